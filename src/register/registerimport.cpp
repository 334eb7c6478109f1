// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerimport.h"

#include "register.h"
#include "summary.h"
#include "core/pupilname.h"
#include "core/resultgroups.h"
#include "storage/database.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"
#include "storage/serverconfig.h"
#include "storage/serverlink.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>

namespace morvello {

namespace {

const QString kSource = QStringLiteral("fonte");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString valueKey(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("-");
    bool ok = false;
    const double d = v.toString().toDouble(&ok);
    return ok ? QString::number(d, 'g', 17) : v.toString();
}

// The same key over the engine's own value: a number as it is stored (its
// text would keep only 15 digits), a text read as a number where it is one.
QString valueKey(const Database::RawRow &row, int column)
{
    if (row.isNull(column))
        return QStringLiteral("-");
    if (row.isNumber(column))
        return QString::number(row.number(column), 'g', 17);
    const QString text = QString::fromUtf8(row.text(column));
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? QString::number(d, 'g', 17) : text;
}

// One saved group as both a history row and a tabtesti group can tell it:
// the same save gives the same key in either.
QString saveKey(const QString &pupil, const QString &group, const QString &count, const QString &total,
                const QString &percent, const QString &date)
{
    return QStringList{pupil, group, count, total, percent, date}.join(QChar(0x1f));
}

QString saveKey(const QString &pupil, const QString &group, const QVariant &count, const QVariant &total,
                const QVariant &percent, const QVariant &date)
{
    return saveKey(pupil, group, valueKey(count), valueKey(total), valueKey(percent), valueKey(date));
}

struct TabtestiAttempt
{
    QString code;
    QString savedName;
    QString group;
    QVariant values[4];
    QVariant moment;
};

struct SourceContent
{
    ImportOutcome::Kind kind = ImportOutcome::Kind::Unknown;
    bool hasHistory = false;
    QStringList savedNames; // as the file has them
    QStringList computers;
    QVector<TabtestiAttempt> fromTabtesti;
    QVector<QStringList> flagged; // distinct spellings, sorted
};

// A group of look-alike names as the register keeps it: one text, the same
// whichever file or order brought it.
const QChar kNameSeparator(0x1f);

// Rows with the very same name (an export appends tabtesti at every export)
// are no look-alikes to a teacher: only groups of different spellings stay.
QVector<QStringList> differentSpellings(const QVector<QStringList> &groups)
{
    QVector<QStringList> out;
    for (QStringList g : groups) {
        g.removeDuplicates();
        g.sort();
        if (g.size() > 1)
            out << g;
    }
    return out;
}

bool fail(ImportOutcome &out, const QString &message)
{
    out.imported = false;
    out.message = message;
    return false;
}

QStringList columnsOf(Database &db, const QString &table, DbError *error)
{
    QStringList names;
    QSqlQuery q(db.connection());
    const QString what = QStringLiteral("la lettura");
    // Table names cannot be bound; only the fixed names of this file come here.
    if (!db.prepare(q, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table), what, error) || !db.run(q, what, error))
        return {};
    while (q.next())
        names << q.value(1).toString();
    return names;
}

bool readAll(Database &db, const QString &sql, const std::function<void(const QSqlQuery &)> &row, DbError *error)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("la lettura");
    if (!db.prepare(q, sql, what, error) || !db.run(q, what, error))
        return false;
    while (q.next())
        row(q);
    return true;
}

// Reads what the file holds and what kind of file it is, without writing
// anything anywhere.
bool inspect(const QString &file, SourceContent &content, ImportOutcome &out)
{
    const QString name = shown(QFileInfo(file).absoluteFilePath());
    const QString refused = QStringLiteral("Il file \"%1\" non è stato importato: ").arg(name);
    DbError error;
    std::unique_ptr<Database> src = Database::openForReading(file, &error);
    if (!src)
        return fail(out, refused + error.message);
    if (!src->checkIntegrity(&error))
        return fail(out, QStringLiteral("Il file \"%1\" è danneggiato e non è stato importato.").arg(name));
    QSet<QString> tables;
    int userVersion = 0;
    bool ok = readAll(*src, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"),
                      [&](const QSqlQuery &q) { tables.insert(q.value(0).toString()); }, &error)
              && readAll(*src, QStringLiteral("PRAGMA user_version"),
                         [&](const QSqlQuery &q) { userVersion = q.value(0).toInt(); }, &error);
    if (!ok)
        return fail(out, QStringLiteral("Il file \"%1\" è danneggiato e non è stato importato.").arg(name));
    const QString foreign = QStringLiteral("Il file \"%1\" non è un archivio, un'esportazione o un registro di "
                                           "Morvello e non è stato importato.")
                                .arg(name);
    const QString future = QStringLiteral("Il file \"%1\" è stato scritto da una versione più recente di Morvello "
                                          "e non è stato importato: aggiornare il programma.")
                               .arg(name);

    if (tables.contains(QStringLiteral("registro"))) {
        QString format;
        ok = readAll(*src, QStringLiteral("SELECT valore FROM registro WHERE chiave = 'formato'"),
                     [&](const QSqlQuery &q) { format = q.value(0).toString(); }, &error);
        if (!ok || format != Register::formatTag() || !tables.contains(QStringLiteral("alunni"))
            || !tables.contains(QStringLiteral("tentativi")))
            return fail(out, foreign);
        if (userVersion > Register::kVersion)
            return fail(out, future);
        content.kind = out.kind = ImportOutcome::Kind::Register;
        content.hasHistory = true;
        if (tables.contains(QStringLiteral("nomi_segnalati"))
            && !readAll(*src, QStringLiteral("SELECT nomi FROM nomi_segnalati ORDER BY id"),
                        [&](const QSqlQuery &q) { content.flagged << q.value(0).toString().split(kNameSeparator); }, &error))
            return fail(out, refused + error.message);
        content.flagged = differentSpellings(content.flagged);
        ok = readAll(*src, QStringLiteral("SELECT nome FROM alunni"),
                     [&](const QSqlQuery &q) { content.savedNames << q.value(0).toString(); }, &error)
             && readAll(*src, QStringLiteral("SELECT DISTINCT computer FROM tentativi WHERE computer IS NOT NULL ORDER BY 1"),
                        [&](const QSqlQuery &q) { content.computers << q.value(0).toString(); }, &error);
        return ok || fail(out, refused + error.message);
    }

    if (!tables.contains(QStringLiteral("tabtesti")))
        return fail(out, foreign);
    const QStringList tabtesti = columnsOf(*src, QStringLiteral("tabtesti"), &error);
    if (tabtesti.size() < schema::tabtestiColumns().size())
        return fail(out, foreign);
    if (userVersion > schema::kResultsFileVersion)
        return fail(out, future);
    content.kind = out.kind = tables.contains(QStringLiteral("studenti")) ? ImportOutcome::Kind::Archive
                                                                          : ImportOutcome::Kind::Export;
    content.hasHistory = tables.contains(QStringLiteral("tentativi"));
    content.flagged = differentSpellings(lookAlikeRows(*src, &error));
    if (error.isError())
        return fail(out, refused + error.message);

    // The saves the history tells of; a tabtesti group among them is no
    // attempt of its own.
    QSet<QString> inHistory;
    QSet<QString> names;
    // A file holds a class's few names many times over.
    QHash<QString, QString> normalised;
    auto pupilOf = [&normalised](const QString &saved) {
        auto it = normalised.constFind(saved);
        if (it == normalised.constEnd())
            it = normalised.insert(saved, normalisedPupilName(saved));
        return *it;
    };
    if (content.hasHistory) {
        const QStringList cols = columnsOf(*src, QStringLiteral("tentativi"), &error);
        for (const schema::Column &c : schema::tentativiColumns()) {
            if (!cols.contains(c.name))
                return fail(out, foreign);
        }
        // Read straight from the engine: a value object per field made the
        // history's reading cost as much as its copy.
        // A name the engine holds as NULL reads as an empty one, as the
        // driver gives it.
        bool first = true;
        QByteArray lastSaved;
        QString pupil;
        ok = src->scan(QStringLiteral("SELECT nome, gruppo, conteggio, totale, percentuale, data FROM tentativi "
                                      "WHERE codice IS NOT NULL"),
                       {}, QStringLiteral("la lettura"),
                       [&](const Database::RawRow &row) {
                           if (first || row.text(0) != QByteArrayView(lastSaved)) {
                               first = false;
                               lastSaved = row.text(0).toByteArray();
                               const QString saved = QString::fromUtf8(lastSaved);
                               names.insert(saved);
                               pupil = pupilOf(saved);
                           }
                           inHistory.insert(saveKey(pupil, QString::fromUtf8(row.text(1)), valueKey(row, 2),
                                                    valueKey(row, 3), valueKey(row, 4), valueKey(row, 5)));
                           return true;
                       },
                       &error)
             && readAll(*src, QStringLiteral("SELECT DISTINCT computer FROM tentativi WHERE computer IS NOT NULL ORDER BY 1"),
                        [&](const QSqlQuery &q) { content.computers << q.value(0).toString(); }, &error);
        if (!ok)
            return fail(out, refused + error.message);
    }

    QStringList select;
    for (int i = 0; i < schema::tabtestiColumns().size(); ++i)
        select << QLatin1Char('"') + QString(tabtesti.at(i)).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    QSet<QString> seen;
    ok = readAll(*src, QStringLiteral("SELECT %1 FROM tabtesti ORDER BY rowid").arg(select.join(QLatin1Char(','))),
                 [&](const QSqlQuery &q) {
                     const QString saved = q.value(1).toString();
                     const QString pupil = pupilOf(saved);
                     if (pupil.isEmpty())
                         return;
                     const QVector<ResultGroup> &groups = resultGroups();
                     for (int g = 0; g < groups.size(); ++g) {
                         const ResultGroup &group = groups.at(g);
                         TabtestiAttempt a;
                         bool saved4 = false;
                         for (int k = 0; k < 4; ++k) {
                             a.values[k] = q.value(group.firstColumn() + k);
                             saved4 = saved4 || !a.values[k].isNull();
                         }
                         if (!saved4)
                             continue;
                         a.savedName = saved;
                         a.group = group.columns[0];
                         const QString key = saveKey(pupil, a.group, a.values[0], a.values[1], a.values[2], a.values[3]);
                         if (inHistory.contains(key))
                             continue;
                         // A group that keeps a fixed text for its date (the
                         // helps) was saved with the group before it, whose
                         // date tells the moment and keeps two saves apart.
                         QVariant when = a.values[3];
                         if (!group.dateText.isEmpty() && g > 0)
                             when = q.value(groups.at(g - 1).firstColumn() + GroupValue::Date);
                         const QString full = key + QChar(0x1f) + valueKey(when);
                         a.code = QStringLiteral("tabtesti:")
                                  + QString::fromLatin1(
                                        QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
                         // An export made twice holds the row twice: one attempt.
                         if (seen.contains(a.code))
                             continue;
                         seen.insert(a.code);
                         const QVariant moment = Database::fromStoredDate(when);
                         if (moment.typeId() == QMetaType::QDateTime)
                             a.moment = moment.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                         names.insert(saved);
                         content.fromTabtesti.append(a);
                     }
                 },
                 &error);
    if (!ok)
        return fail(out, refused + error.message);
    content.savedNames = names.values();
    content.savedNames.sort();
    QMap<QString, QStringList> ways;
    for (const QString &saved : std::as_const(content.savedNames)) {
        const QString pupil = pupilOf(saved);
        if (!pupil.isEmpty())
            ways[pupil] << saved;
    }
    for (auto it = ways.cbegin(); it != ways.cend(); ++it) {
        if (it.value().size() > 1)
            out.spellings << QStringLiteral("%1: \"%2\"").arg(it.key(), it.value().join(QStringLiteral("\", \"")));
    }
    return true;
}

QString sourceUri(const QString &file)
{
    const QString real = QFileInfo(file).canonicalFilePath();
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(real, "/")) + QStringLiteral("?mode=ro");
}

bool copyRows(Register &reg, const SourceContent &content, qint64 importId, ImportOutcome &out, DbError *error)
{
    Database &db = reg.database();
    const QString what = QStringLiteral("l'importazione");
    // Saved names to the register's pupils, by the program's own form.
    if (!db.exec(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS fonte_nomi (salvato TEXT PRIMARY KEY, alunno INTEGER NOT NULL)"),
                 {}, error)
        || !db.exec(QStringLiteral("DELETE FROM temp.fonte_nomi"), {}, error))
        return false;
    QSqlQuery addPupil(db.connection());
    QSqlQuery findPupil(db.connection());
    QSqlQuery mapName(db.connection());
    if (!db.prepare(addPupil, QStringLiteral("INSERT OR IGNORE INTO main.alunni (nome) VALUES (?)"), what, error)
        || !db.prepare(findPupil, QStringLiteral("SELECT id FROM main.alunni WHERE nome = ?"), what, error)
        || !db.prepare(mapName, QStringLiteral("INSERT OR IGNORE INTO temp.fonte_nomi (salvato, alunno) VALUES (?, ?)"),
                       what, error))
        return false;
    QHash<QString, qint64> pupilOf;
    for (const QString &saved : content.savedNames) {
        const QString pupil = normalisedPupilName(saved);
        if (pupil.isEmpty())
            continue;
        if (!pupilOf.contains(pupil)) {
            addPupil.bindValue(0, pupil);
            findPupil.bindValue(0, pupil);
            if (!db.run(addPupil, what, error) || !db.run(findPupil, what, error) || !findPupil.next())
                return false;
            pupilOf.insert(pupil, findPupil.value(0).toLongLong());
            findPupil.finish();
        }
        mapName.bindValue(0, saved);
        mapName.bindValue(1, pupilOf.value(pupil));
        if (!db.run(mapName, what, error))
            return false;
    }

    if (content.hasHistory) {
        const bool fromRegister = content.kind == ImportOutcome::Kind::Register;
        const QString sql = fromRegister
            ? QStringLiteral("INSERT OR IGNORE INTO main.tentativi (codice, alunno, nome, gruppo, conteggio, totale, "
                             "percentuale, data, momento, schermata, visita, computer, storico, importazione) "
                             "SELECT t.codice, n.alunno, t.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.data, "
                             "t.momento, t.schermata, t.visita, t.computer, t.storico, ? FROM fonte.tentativi AS t "
                             "JOIN fonte.alunni AS a ON a.id = t.alunno JOIN temp.fonte_nomi AS n ON n.salvato = a.nome "
                             "WHERE t.codice IS NOT NULL AND t.gruppo IS NOT NULL ORDER BY t.rowid")
            : QStringLiteral("INSERT OR IGNORE INTO main.tentativi (codice, alunno, nome, gruppo, conteggio, totale, "
                             "percentuale, data, momento, schermata, visita, computer, storico, importazione) "
                             "SELECT t.codice, n.alunno, t.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.data, "
                             "t.momento, t.schermata, t.visita, t.computer, 1, ? FROM fonte.tentativi AS t "
                             "JOIN temp.fonte_nomi AS n ON n.salvato = t.nome "
                             "WHERE t.codice IS NOT NULL AND t.gruppo IS NOT NULL ORDER BY t.rowid");
        QSqlQuery history(db.connection());
        if (!db.prepare(history, sql, what, error))
            return false;
        history.bindValue(0, importId);
        if (!db.run(history, what, error))
            return false;
        out.newRows += history.numRowsAffected();
    }

    QSqlQuery attempt(db.connection());
    if (!db.prepare(attempt,
                    QStringLiteral("INSERT OR IGNORE INTO main.tentativi (codice, alunno, nome, gruppo, conteggio, totale, "
                                   "percentuale, data, momento, schermata, visita, computer, storico, importazione) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, NULL, 0, ?)"),
                    what, error))
        return false;
    for (const TabtestiAttempt &a : content.fromTabtesti) {
        attempt.bindValue(0, a.code);
        attempt.bindValue(1, pupilOf.value(normalisedPupilName(a.savedName)));
        attempt.bindValue(2, a.savedName);
        attempt.bindValue(3, a.group);
        for (int k = 0; k < 4; ++k)
            attempt.bindValue(4 + k, a.values[k]);
        attempt.bindValue(8, a.moment);
        attempt.bindValue(9, a.code); // each is a visit of its own
        attempt.bindValue(10, importId);
        if (!db.run(attempt, what, error))
            return false;
        const int added = attempt.numRowsAffected();
        out.newRows += added;
        out.tabtestiRows += added;
    }

    QSqlQuery flagged(db.connection());
    if (!db.prepare(flagged,
                    QStringLiteral("INSERT OR IGNORE INTO main.nomi_segnalati (nomi, file, importazione) VALUES (?, ?, ?)"),
                    what, error))
        return false;
    for (const QStringList &names : content.flagged) {
        flagged.bindValue(0, names.join(kNameSeparator));
        flagged.bindValue(1, out.file);
        flagged.bindValue(2, importId);
        if (!db.run(flagged, what, error))
            return false;
    }
    return true;
}

} // namespace

QString kindName(ImportOutcome::Kind kind)
{
    switch (kind) {
    case ImportOutcome::Kind::Export:
        return QStringLiteral("esportazione");
    case ImportOutcome::Kind::Archive:
        return QStringLiteral("archivio");
    case ImportOutcome::Kind::Register:
        return QStringLiteral("registro");
    case ImportOutcome::Kind::Unknown:
        break;
    }
    return QStringLiteral("sconosciuto");
}

ImportOutcome importFile(Register &reg, const QString &file, const QDateTime &now)
{
    ImportOutcome out;
    out.file = file;
    const QFileInfo fi(file);
    const QString name = shown(fi.absoluteFilePath());
    if (!fi.exists()) {
        out.message = QStringLiteral("Il file \"%1\" non esiste.").arg(name);
        return out;
    }
    if (fi.canonicalFilePath() == QFileInfo(reg.path()).canonicalFilePath()) {
        out.message = QStringLiteral("Il file \"%1\" è il registro aperto: non si importa in sé stesso.").arg(name);
        return out;
    }
    SourceContent content;
    if (!inspect(file, content, out))
        return out;

    Database &db = reg.database();
    DbError error;
    // Attached by URI so that the engine itself forbids any write to it.
    {
        QSqlQuery attach(db.connection());
        const QString what = QStringLiteral("l'apertura di \"%1\"").arg(name);
        bool attached = db.prepare(attach, QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(kSource), what, &error);
        if (attached) {
            attach.bindValue(0, sourceUri(file));
            attached = db.run(attach, what, &error);
        }
        if (!attached) {
            out.message = QStringLiteral("Il file \"%1\" non è stato importato: %2").arg(name, error.message);
            return out;
        }
    }
    bool ok = db.beginTransaction(&error);
    qint64 importId = 0;
    if (ok) {
        QSqlQuery provenance(db.connection());
        const QString what = QStringLiteral("l'importazione");
        ok = db.prepare(provenance,
                        QStringLiteral("INSERT INTO importazioni (file, computer, quando, righe_nuove, tipo) "
                                       "VALUES (?, ?, ?, 0, ?)"),
                        what, &error);
        if (ok) {
            provenance.bindValue(0, fi.absoluteFilePath());
            provenance.bindValue(1, content.computers.isEmpty() ? QVariant() : QVariant(content.computers.join(QLatin1Char(','))));
            provenance.bindValue(2, now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            provenance.bindValue(3, kindName(content.kind));
            ok = db.run(provenance, what, &error);
            importId = provenance.lastInsertId().toLongLong();
        }
        // The rows this file adds are those past the last one there now.
        qint64 before = 0;
        if (ok) {
            QSqlQuery last(db.connection());
            ok = db.prepare(last, QStringLiteral("SELECT ifnull(max(rowid), 0) FROM main.tentativi"), what, &error)
                 && db.run(last, what, &error) && last.next();
            before = ok ? last.value(0).toLongLong() : 0;
        }
        ok = ok && copyRows(reg, content, importId, out, &error);
        ok = ok && (out.newRows == 0 || summary::afterImport(db, before, &error));
        if (ok) {
            QStringList notes;
            if (out.tabtestiRows > 0)
                notes << QStringLiteral("%1 righe da tabtesti, senza storia: una prova per gruppo salvato").arg(out.tabtestiRows);
            if (!out.spellings.isEmpty())
                notes << QStringLiteral("nomi scritti in più modi, contati come un alunno: ") + out.spellings.join(QStringLiteral("; "));
            const QString note = notes.join(QStringLiteral(". "));
            ok = db.exec(QStringLiteral("UPDATE importazioni SET righe_nuove = ?, nota = ? WHERE id = ?"),
                         {out.newRows, note.isEmpty() ? QVariant() : QVariant(note), importId}, &error);
        }
        if (ok)
            ok = db.commit(&error);
        else
            db.rollback();
    }
    db.exec(QStringLiteral("DETACH DATABASE \"%1\"").arg(kSource));
    if (!ok) {
        out.newRows = 0;
        out.tabtestiRows = 0;
        out.message = QStringLiteral("Il file \"%1\" non è stato importato: %2").arg(name, error.message);
        return out;
    }
    out.imported = true;
    out.computers = content.computers;
    out.flagged = content.flagged;
    return out;
}

ImportOutcome importServer(Register &reg, const ServerConfig &config, const QDateTime &now)
{
    ImportOutcome out;
    out.file = config.shownName();
    const QString refused = QStringLiteral("I risultati del server \"%1\" non sono stati importati: ").arg(out.file);
    DbError error;
    std::unique_ptr<Database> server = Database::openServer(config, &error);
    if (server)
        error = ServerLink::checkServerArchive(*server, config);
    if (error.isError()) {
        out.message = refused + error.message;
        return out;
    }
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("server.mdb"));
    if (!scratch.isValid() || !Database::create(copy, schema::exportTemplateStatements(), &error)) {
        out.message = refused + (error.isError() ? error.message : QStringLiteral("manca una cartella temporanea."));
        return out;
    }
    ResultsStore store(*server);
    error = store.appendAllRowsTo(copy);
    server->close();
    if (error.isError()) {
        out.message = refused + error.message;
        return out;
    }
    out = importFile(reg, copy, now);
    out.file = config.shownName();
    if (!out.imported) {
        out.message.replace(shown(QFileInfo(copy).absoluteFilePath()), config.shownName());
        return out;
    }
    // The scratch file goes; the register remembers where the rows came from.
    reg.database().exec(QStringLiteral("UPDATE importazioni SET file = ?, tipo = ? WHERE id = (SELECT max(id) FROM importazioni)"),
                        {QStringLiteral("server %1").arg(config.shownName()), QStringLiteral("server")});
    return out;
}

QStringList importableFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString suffix = QFileInfo(f).suffix().toLower();
        if (suffix == QLatin1String("mdb") || suffix == QLatin1String("sqlite") || suffix == QLatin1String("db"))
            files << f;
    }
    files.sort();
    return files;
}

} // namespace morvello
