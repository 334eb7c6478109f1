// SPDX-License-Identifier: GPL-3.0-or-later
#include "export.h"

#include "datafolder.h"
#include "removabledrive.h"
#include "schema.h"

#include "resultsstore.h"

#include "storage/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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
QString readOnlyDisk()
{
    return QStringLiteral("Sul dischetto nell'unità A: c'è già un file di risultati esportati, ma il dischetto è "
                          "protetto dalla scrittura (o la sua cartella è di sola lettura): i risultati non sono stati "
                          "aggiunti. Togli la protezione dalla scrittura e riprova.");
}
QString readOnlyExportFile()
{
    return QStringLiteral("Il file \"exporttesti.mdb\" sul dischetto nell'unità A: è di sola lettura: i risultati "
                          "non sono stati aggiunti. Togli la protezione dalla scrittura dalle proprietà del file e "
                          "riprova.");
}
QString templateMissing()
{
    return QStringLiteral("Il file \"permorvello\\exporttesti.mdb\" che serve a preparare il dischetto manca o è "
                          "danneggiato, e non si può ricreare: controllare che la cartella \"permorvello\" sia "
                          "scrivibile e riprovare. La copia su floppy viene interrotta.");
}
QString noDiskOffer()
{
    return interrupted()
           + QStringLiteral("\n\nNon trovo nessun disco rimovibile (chiavetta USB o dischetto). Si possono esportare "
                            "i risultati anche in una cartella a scelta: il file exporttesti.mdb vi viene creato, "
                            "oppure, se c'è già, i risultati vi vengono aggiunti.");
}
QString chooseFolderButton()
{
    return QStringLiteral("Scegli una cartella...");
}
QString closeButton()
{
    return QStringLiteral("Chiudi");
}
QString chooserTitle()
{
    return QStringLiteral("Cartella in cui esportare i risultati");
}
QString folderDone(const QString &file, int rows)
{
    return QStringLiteral("Esportazione riuscita: %1 aggiunt%2 al file \"%3\".")
        .arg(rows == 1 ? QStringLiteral("un alunno") : QStringLiteral("%1 alunni").arg(rows),
             rows == 1 ? QStringLiteral("o") : QStringLiteral("i"), QDir::toNativeSeparators(file));
}
QString folderCannotOpen(const QString &file)
{
    return QStringLiteral("Il file \"%1\" non si può aprire: l'esportazione viene interrotta.")
        .arg(QDir::toNativeSeparators(file));
}
QString folderNotExportFile(const QString &file)
{
    return QStringLiteral("Il file \"%1\" non è un archivio di esportazione dei risultati: scegli un'altra cartella.")
        .arg(QDir::toNativeSeparators(file));
}
QString folderNotWritable(const QString &folder)
{
    return QStringLiteral("Non riesco a scrivere nella cartella \"%1\": scegli una cartella in cui si possa scrivere.")
        .arg(QDir::toNativeSeparators(folder));
}
QString folderFull(const QString &folder)
{
    return QStringLiteral("Nella cartella \"%1\" non c'è abbastanza spazio libero per l'archivio dei risultati.")
        .arg(QDir::toNativeSeparators(folder));
}
QString folderTemplateMissing()
{
    return QStringLiteral("Il file \"permorvello\\exporttesti.mdb\" che serve a preparare l'esportazione manca o è "
                          "danneggiato, e non si può ricreare: controllare che la cartella \"permorvello\" sia "
                          "scrivibile e riprovare. L'esportazione viene interrotta.");
}
QString dataFolderRefused()
{
    return QStringLiteral("Questa è la cartella dei dati di Morvello, dove sta il modello per l'esportazione: "
                          "i risultati vanno esportati in un'altra cartella.");
}
} // namespace exportmsg

namespace {

const QString kExportFile = QStringLiteral("A:\\exporttesti.mdb");

// What the pupil is told, for the disk in drive A: or for a chosen folder.
struct Messages {
    QString interrupted, notExportFile, notWritable, full, templateMissing;
    // A locked place that already holds an export, and a locked export file.
    QString readOnlyPlace, readOnlyFile;
};

Messages diskMessages()
{
    return {exportmsg::interrupted(),   exportmsg::insertNewDisk(),   exportmsg::diskNotWritable(),
            exportmsg::diskFull(),      exportmsg::templateMissing(), exportmsg::readOnlyDisk(),
            exportmsg::readOnlyExportFile()};
}

Messages folderMessages(const QString &folder, const QString &file)
{
    return {exportmsg::folderCannotOpen(file), exportmsg::folderNotExportFile(file), exportmsg::folderNotWritable(folder),
            exportmsg::folderFull(folder),     exportmsg::folderTemplateMissing(),   exportmsg::folderNotWritable(folder),
            exportmsg::folderNotWritable(folder)};
}

ExportOutcome failed(ExportStatus status, const QString &message, bool copied, int rows = 0)
{
    ExportOutcome out;
    out.status = status;
    out.message = message;
    out.templateCopied = copied;
    out.rowsAppended = rows;
    return out;
}

bool diskFullErrno(int err)
{
    return err == ENOSPC || err == EFBIG
#ifdef EDQUOT
           || err == EDQUOT
#endif
        ;
}

// The engine names a write that found no room on the disk only as a
// failed write; whether the disk is full is asked of the disk itself, with
// a small file written beside the export and removed again.
constexpr int kDiskIo = 3043;
bool writeWhole(int fd, const QByteArray &data);
bool roomOnDisk(const QString &beside)
{
    const QFileInfo target(beside);
    const QByteArray probe = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                               + QStringLiteral(".spazio-")
                                               + QUuid::createUuid().toString(QUuid::Id128).left(12));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return !diskFullErrno(errno);
    const bool written = writeWhole(fd, QByteArray(64 * 1024, '\0'));
    const int writeErrno = errno;
    ::close(fd);
    ::unlink(probe.constData());
    return written || !diskFullErrno(writeErrno);
}

// The file itself may be written (its folder may still not be).
bool canWrite(const QString &path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// Writes all of `data` to `fd` and flushes it to the disk; errno tells why not.
bool writeWhole(int fd, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return ::fsync(fd) == 0;
}

// Puts `from` in place as `to` unless a file of that name exists: then the
// one there wins, whoever put it there. Never replaces a file.
enum class Placed { Done, Exists, Failed };
Placed placeWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (::link(f.constData(), t.constData()) == 0)
        return Placed::Done;
    if (errno == EEXIST)
        return Placed::Exists;
#ifdef RENAME_NOREPLACE
    // Disks without hard links (a FAT floppy or stick).
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return Placed::Done;
    if (errno == EEXIST)
        return Placed::Exists;
#endif
    return Placed::Failed;
}

// Puts the empty export database on the disk. The copy is written under a
// name of its own and put in place only when whole, with an operation that
// never replaces a file: a second computer exporting onto the same blank
// disk at the same moment either finds this copy or puts its own first, and
// the rows of the one that got there first are never lost.
ExportStatus copyTemplate(const QString &from, const QString &to, const Messages &m, QString *message)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *message = m.templateMissing;
        return ExportStatus::TemplateCopyFailed;
    }
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError || data.isEmpty()) {
        *message = m.templateMissing;
        return ExportStatus::TemplateCopyFailed;
    }
    const QFileInfo target(to);
    const QString tmp = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".nuovo-")
        + QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QByteArray tmpName = QFile::encodeName(tmp);
    const int fd = ::open(tmpName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *message = diskFullErrno(errno) ? m.full : m.notWritable;
        return ExportStatus::TemplateCopyFailed;
    }
    const bool written = writeWhole(fd, data);
    const int writeErrno = errno;
    ::close(fd);
    if (!written) {
        ::unlink(tmpName.constData());
        *message = diskFullErrno(writeErrno) || writeErrno == EIO ? m.full : m.notWritable;
        return ExportStatus::TemplateCopyFailed;
    }
    // A journal beside the name is not touched: it may already be the live
    // one of another computer that put its copy there a moment ago.
    const Placed placed = placeWithoutReplacing(tmp, to);
    ::unlink(tmpName.constData());
    if (placed == Placed::Failed) {
        *message = m.notWritable;
        return ExportStatus::TemplateCopyFailed;
    }
    return ExportStatus::Done;
}

// The export onto `target`, whichever disk or folder it lies in.
ExportOutcome exportInto(ResultsStore &store, const Services &services, const QString &target, const Messages &m)
{
    // The data folder's own exporttesti.mdb is the empty template every new
    // disk gets: rows appended to it would go onto every disk after.
    const QString templatePath = services.dataPath(schema::exportTemplateFile());
    const QFileInfo targetInfo(target);
    const QFileInfo templateInfo(templatePath);
    const QString targetFolder = QFileInfo(targetInfo.absolutePath()).canonicalFilePath();
    if (!targetFolder.isEmpty()
        && targetFolder == QFileInfo(templateInfo.absolutePath()).canonicalFilePath())
        return failed(ExportStatus::Refused, exportmsg::dataFolderRefused(), false);

    bool copied = false;
    std::unique_ptr<Database> exp;
    for (;;) {
        DbError err;
        exp = Database::open(target, &err);
        if (exp)
            break;
        // The disk has no export file yet: put the empty one there, once. A
        // template spoilt in the data folder is made again first, so that
        // the disk never gets a useless copy.
        if (err.number == DbErrorCode::FileNotFound && !copied) {
            if (ensureExportTemplate(templatePath).isError())
                return failed(ExportStatus::TemplateCopyFailed, m.templateMissing, false);
            QString message;
            if (copyTemplate(templatePath, target, m, &message) != ExportStatus::Done)
                return failed(ExportStatus::TemplateCopyFailed, message, false);
            copied = true;
            continue;
        }
        // Whatever is on the disk stays there: it may hold rows.
        if (err.number == DbErrorCode::ReadOnly)
            return failed(ExportStatus::OpenFailed,
                          canWrite(target) ? m.readOnlyPlace : m.readOnlyFile, copied);
        if (err.number == DbErrorCode::DiskFull)
            return failed(ExportStatus::OpenFailed, m.full, copied);
        return failed(ExportStatus::OpenFailed, m.interrupted, copied);
    }

    // A disk whose file has no results table is not an export disk.
    DbError err;
    const bool hasTable = exp->exec(QStringLiteral("SELECT count(*) FROM \"tabtesti\" WHERE 0"), {}, &err);
    exp->close();
    exp.reset();
    if (!hasTable || !store.isOpen())
        return failed(ExportStatus::TableFailed, m.notExportFile, copied);

    // All rows or none: a disk that fills up half way must not hold an export
    // that looks done.
    int rows = 0;
    int historyRows = 0;
    err = store.appendAllRowsTo(target, &rows, &historyRows);
    if (err.isError()) {
        const bool full = err.number == DbErrorCode::DiskFull || (err.number == kDiskIo && !roomOnDisk(target));
        const QString message = full ? m.full
                                : err.number == DbErrorCode::ReadOnly
                                    ? (canWrite(target) ? m.readOnlyPlace : m.readOnlyFile)
                                    : m.interrupted;
        return failed(ExportStatus::WriteFailed, message, copied);
    }
    ExportOutcome out;
    out.rowsAppended = rows;
    out.historyRowsAppended = historyRows;
    out.templateCopied = copied;
    out.file = target;
    return out;
}

} // namespace

ExportOutcome exportArchive(ResultsStore &store, const Services &services)
{
    const QString target = removabledrive::resolve(kExportFile, services.drive);
    if (target.isEmpty())
        return failed(ExportStatus::NoDisk, exportmsg::interrupted(), false);
    return exportInto(store, services, target, diskMessages());
}

ExportOutcome exportToFolder(ResultsStore &store, const Services &services, const QString &folder)
{
    // Found the way the disk's file is, whatever the case of its name.
    const FolderDrive chosen(folder);
    const QString target = removabledrive::resolve(kExportFile, &chosen);
    if (target.isEmpty())
        return failed(ExportStatus::OpenFailed, exportmsg::folderNotWritable(folder), false);
    ExportOutcome out = exportInto(store, services, target, folderMessages(folder, target));
    if (out.status == ExportStatus::Done)
        out.message = exportmsg::folderDone(target, out.rowsAppended);
    return out;
}

} // namespace morvello
