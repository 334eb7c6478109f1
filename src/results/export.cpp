#include "export.h"

#include "removabledrive.h"
#include "schema.h"

#include "resultsstore.h"

#include "platform/database.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

namespace morvello {

namespace exportmsg {
QString interrupted()
{
    return QStringLiteral("C'è un problema... la copia su floppy viene interrotta.");
}
QString insertNewDisk()
{
    return QStringLiteral("Probabilmente non hai inserito un Floppy nuovo. Inseriscilo e riprova.");
}
QString diskNotWritable()
{
    return QStringLiteral("Non riesco a scrivere sul dischetto nell'unità A:. Controlla che il dischetto sia "
                          "inserito e che non sia protetto dalla scrittura, poi riprova.");
}
QString diskFull()
{
    return QStringLiteral("Sul dischetto non c'è abbastanza spazio libero per l'archivio dei risultati. "
                          "Usa un dischetto con almeno 500 Kb liberi e riprova.");
}
QString templateMissing()
{
    return QStringLiteral("Manca il file \"permorvello\\exporttesti.mdb\" che serve a preparare il dischetto: "
                          "la copia su floppy viene interrotta.");
}
} // namespace exportmsg

namespace {

const QString kExportFile = QStringLiteral("A:\\exporttesti.mdb");

ExportOutcome failed(ExportStatus status, const QString &message, bool copied, int rows = 0)
{
    ExportOutcome out;
    out.status = status;
    out.message = message;
    out.templateCopied = copied;
    out.rowsAppended = rows;
    return out;
}

// Puts the empty export database on the disk. The copy is written aside and
// renamed into place only when complete, so a full or faulty disk never keeps
// half a file that the next try would take for a real one.
ExportStatus copyTemplate(const QString &from, const QString &to, QString *message)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *message = exportmsg::templateMissing();
        return ExportStatus::TemplateCopyFailed;
    }
    QSaveFile out(to);
    // Unbuffered, so a write the disk takes only in part is seen at once.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *message = exportmsg::diskNotWritable();
        return ExportStatus::TemplateCopyFailed;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(64 * 1024);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        out.commit();
        *message = exportmsg::templateMissing();
        return ExportStatus::TemplateCopyFailed;
    }
    if (!out.commit()) {
        *message = exportmsg::diskFull();
        return ExportStatus::TemplateCopyFailed;
    }
    if (QFileInfo(to).size() != in.size()) {
        QFile::remove(to);
        *message = exportmsg::diskFull();
        return ExportStatus::TemplateCopyFailed;
    }
    return ExportStatus::Done;
}

// A template copied by this click that then could not take the rows is taken
// away again: the disk is left as it was found.
void removeCopy(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

ExportOutcome exportArchive(ResultsStore &store, const Services &services)
{
    const QString target = removabledrive::resolve(kExportFile, services.drive);
    if (target.isEmpty())
        return failed(ExportStatus::OpenFailed, exportmsg::interrupted(), false);

    bool copied = false;
    std::unique_ptr<Database> exp;
    for (;;) {
        DbError err;
        exp = Database::open(target, &err);
        if (exp)
            break;
        // The disk has no export file yet: put the empty one there, once.
        if (err.number == DbErrorCode::FileNotFound && !copied) {
            QString message;
            if (copyTemplate(services.dataPath(schema::exportTemplateFile()), target, &message) != ExportStatus::Done)
                return failed(ExportStatus::TemplateCopyFailed, message, false);
            copied = true;
            continue;
        }
        if (copied)
            removeCopy(target);
        return failed(ExportStatus::OpenFailed, exportmsg::interrupted(), copied);
    }

    // A disk whose file has no results table is not an export disk.
    DbError err;
    const bool hasTable = exp->exec(QStringLiteral("SELECT count(*) FROM \"tabtesti\" WHERE 0"), {}, &err);
    exp->close();
    exp.reset();
    if (!hasTable || !store.isOpen()) {
        if (copied)
            removeCopy(target);
        return failed(ExportStatus::TableFailed, exportmsg::insertNewDisk(), copied);
    }

    // All rows or none: a disk that fills up half way must not hold an export
    // that looks done.
    int rows = 0;
    err = store.appendAllRowsTo(target, &rows);
    if (err.isError()) {
        if (copied)
            removeCopy(target);
        return failed(ExportStatus::WriteFailed, exportmsg::interrupted(), copied);
    }
    ExportOutcome out;
    out.rowsAppended = rows;
    out.templateCopied = copied;
    return out;
}

} // namespace morvello
