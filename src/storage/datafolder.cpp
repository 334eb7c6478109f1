// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafolder.h"

#include "storage/database.h"
#include "core/datapaths.h"
#include "core/pupilname.h"
#include "schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>

#include <cerrno>
#include <unistd.h>

namespace morvello {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// An empty file holds nothing: it is made again like a missing one.
bool isEmptyFile(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() && fi.isFile() && fi.size() == 0;
}

// Creates the file from the statements unless something is there already
// (also when it appeared between the check and the creation).
DbError createIfMissing(const QString &path, const QStringList &statements)
{
    if (isEmptyFile(path))
        QFile::remove(path);
    if (QFileInfo::exists(path))
        return {};
    DbError error;
    if (Database::create(path, statements, &error) || QFileInfo::exists(path))
        return {};
    return error;
}

DbError structureError(int number, const QString &path, const QString &trouble)
{
    return DbError::make(number, QStringLiteral("L'archivio dei risultati \"%1\" non è utilizzabile: %2.")
                                     .arg(shown(path), trouble));
}

const QString kChecking = QStringLiteral("il controllo");

// A table's columns (name and declared type) in their order; empty for a
// table that is not there.
QVector<schema::Column> columnsOf(Database &db, const QString &table, DbError *error)
{
    QVector<schema::Column> cols;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), kChecking, error))
        return cols;
    q.bindValue(0, table);
    if (!db.run(q, kChecking, error))
        return cols;
    while (q.next())
        cols.append({q.value(0).toString(), q.value(1).toString()});
    return cols;
}

// How the engine keeps the values of a column of this declared type (its
// rules of type affinity): numbers as numbers, texts as texts.
enum class Affinity { Integer, Text, Blob, Real, Numeric };
Affinity affinityOf(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.contains(QLatin1String("BLOB")) || t.trimmed().isEmpty())
        return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

// A column of another type reads back other values (a count as text, a
// name as a number): the type counts as the engine counts it.
bool sameType(const QString &declared, const QString &wanted)
{
    return affinityOf(declared) == affinityOf(wanted);
}

// tabtesti must have the 34 columns in their order (readers address them by
// position); studenti needs its four columns by name.
DbError checkStructure(Database &db)
{
    DbError error;
    const QVector<schema::Column> tabtesti = columnsOf(db, QStringLiteral("tabtesti"), &error);
    if (error.isError())
        return error;
    if (tabtesti.isEmpty())
        return structureError(DbErrorCode::TableNotFound, db.path(), QStringLiteral("manca la tabella \"tabtesti\""));
    const QVector<schema::Column> &cols = schema::tabtestiColumns();
    if (tabtesti.size() != cols.size())
        return structureError(DbErrorCode::FieldNotFound, db.path(),
                              QStringLiteral("la tabella \"tabtesti\" ha %1 colonne invece di %2")
                                  .arg(tabtesti.size())
                                  .arg(cols.size()));
    for (int i = 0; i < cols.size(); ++i) {
        if (tabtesti.at(i).name.compare(cols.at(i).name, Qt::CaseInsensitive) != 0)
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"tabtesti\" la colonna %1 è \"%2\" invece di \"%3\"")
                                      .arg(i)
                                      .arg(tabtesti.at(i).name, cols.at(i).name));
        if (!sameType(tabtesti.at(i).sqlType, cols.at(i).sqlType))
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"tabtesti\" la colonna \"%1\" è di tipo \"%2\" "
                                                 "invece di \"%3\"")
                                      .arg(cols.at(i).name, tabtesti.at(i).sqlType, cols.at(i).sqlType));
    }
    const QVector<schema::Column> studenti = columnsOf(db, QStringLiteral("studenti"), &error);
    if (error.isError())
        return error;
    if (studenti.isEmpty())
        return structureError(DbErrorCode::TableNotFound, db.path(), QStringLiteral("manca la tabella \"studenti\""));
    for (const schema::Column &c : schema::studentiColumns()) {
        const schema::Column *found = nullptr;
        for (const schema::Column &n : studenti)
            found = n.name.compare(c.name, Qt::CaseInsensitive) == 0 ? &n : found;
        if (!found)
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"studenti\" manca la colonna \"%1\"").arg(c.name));
        if (!sameType(found->sqlType, c.sqlType))
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"studenti\" la colonna \"%1\" è di tipo \"%2\" "
                                                 "invece di \"%3\"")
                                      .arg(c.name, found->sqlType, c.sqlType));
    }
    return {};
}

QString listed(const QStringList &names)
{
    QStringList quoted;
    for (const QString &n : names)
        quoted << QLatin1Char('"') + n + QLatin1Char('"');
    return quoted.join(QStringLiteral(", "));
}

// The unique "nome" index as the program makes it: on column nome alone,
// with the engine's own collation.
bool nomeIndexSound(Database &db, DbError *error)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT \"unique\" FROM pragma_index_list('tabtesti') WHERE name = 'nome'"),
                    kChecking, error)
        || !db.run(q, kChecking, error))
        return false;
    if (!q.next() || q.value(0).toInt() != 1)
        return false;
    q.finish();
    QSqlQuery keys(db.connection());
    keys.setForwardOnly(true);
    if (!db.prepare(keys, QStringLiteral("SELECT name, coll FROM pragma_index_xinfo('nome') WHERE key = 1"), kChecking,
                    error)
        || !db.run(keys, kChecking, error))
        return false;
    int n = 0;
    bool sound = true;
    while (keys.next()) {
        ++n;
        sound = sound && keys.value(0).toString().compare(QLatin1String("nome"), Qt::CaseInsensitive) == 0
                && keys.value(1).toString().compare(Database::nameCollation(), Qt::CaseInsensitive) == 0;
    }
    return sound && n == 1;
}

// Names that the index would take for one pupil, each once.
QStringList duplicateNames(Database &db)
{
    QStringList names;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT group_concat(\"nome\", char(1)) FROM \"tabtesti\" GROUP BY \"nome\" COLLATE %1 "
                              "HAVING count(*) > 1")
                   .arg(Database::nameCollation()))) {
        while (q.next())
            names << q.value(0).toString().split(QChar(1)).join(QStringLiteral(" / "));
    }
    return names;
}

// A missing index, one of an older version (on the program's own collation,
// which other SQLite tools do not know) or one that is not unique is made
// again, in one transaction. Names that stop it are reported; the program
// goes on without it.
DbError repairNomeIndex(Database &db)
{
    DbError error;
    const bool sound = nomeIndexSound(db, &error);
    if (error.isError())
        return error;
    if (sound)
        return {};
    if (!db.beginTransaction(&error))
        return error;
    if (db.exec(QStringLiteral("DROP INDEX IF EXISTS \"nome\""), {}, &error)
        && db.exec(schema::nomeIndexStatement(), {}, &error) && db.commit(&error))
        return {};
    db.rollback();
    if (error.number != DbErrorCode::DuplicateKey)
        return error;
    db.addNotice(QStringLiteral("Nell'archivio dei risultati \"%1\" alcuni nomi compaiono più di una volta: %2. Finché "
                                "restano doppi, il programma salva i risultati nella prima delle righe con quel nome. "
                                "Chiedere a chi cura i computer di unire o rinominare quelle righe.")
                     .arg(shown(db.path()), listed(duplicateNames(db))));
    return {};
}

// The key under which the index takes two names for one pupil.
QString indexKey(const QString &name)
{
    QString key = name;
    for (QChar &c : key) {
        if (c.unicode() < 128)
            c = c.toLower();
    }
    return key;
}

// A name as an earlier version may have stored it: UTF-8, or with bytes
// that are not (a name typed under a Windows code page): each such byte is
// read as the Windows Western code page has it.
QString decodedName(const QByteArray &bytes, bool *wasValid)
{
    static const char16_t cp1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    *wasValid = true;
    QString out;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const int n = int(bytes.size());
    for (int i = 0; i < n;) {
        const uchar b = p[i];
        int len = b < 0x80 ? 1 : (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3 : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
        bool whole = len > 0 && i + len <= n;
        for (int k = 1; whole && k < len; ++k)
            whole = (p[i + k] & 0xC0) == 0x80;
        if (whole && len > 1) {
            // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8 either.
            const QString one = QString::fromUtf8(reinterpret_cast<const char *>(p + i), len);
            whole = one.size() >= 1 && !one.contains(QChar::ReplacementCharacter)
                    && one.toUtf8() == QByteArray(reinterpret_cast<const char *>(p + i), len);
            if (whole)
                out += one;
        } else if (whole) {
            out += QLatin1Char(char(b));
        }
        if (whole) {
            i += len;
            continue;
        }
        *wasValid = false;
        out += (b >= 0x80 && b < 0xA0) ? QChar(cp1252[b - 0x80]) : QChar(b);
        ++i;
    }
    return out;
}

struct StoredName {
    qint64 id;
    QString stored; // as a person reads it
    QString wanted;
    bool validText; // the bytes are UTF-8
};

bool readStoredNames(Database &db, QVector<StoredName> *rows, DbError *error)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT rowid, CAST(\"nome\" AS BLOB), \"nome\" IS NULL FROM \"tabtesti\" ORDER BY rowid"),
                    kChecking, error)
        || !db.run(q, kChecking, error))
        return false;
    while (q.next()) {
        bool valid = true;
        const QString stored = decodedName(q.value(1).toByteArray(), &valid);
        QString wanted = normalisedPupilName(stored);
        // "Ospite" is kept as written; a name with nothing visible stays.
        if (stored.compare(QLatin1String("Ospite"), Qt::CaseInsensitive) == 0 || wanted.isEmpty() || q.value(2).toBool())
            wanted = stored;
        rows->append({q.value(0).toLongLong(), stored, wanted, valid || q.value(2).toBool()});
    }
    return true;
}

// Rows whose names would be one pupil's once in today's form, each group in
// table order.
QVector<QStringList> lookAlikeGroups(const QVector<StoredName> &rows)
{
    QHash<QString, int> groupOf;
    QVector<QStringList> groups;
    for (const StoredName &r : rows) {
        const QString key = indexKey(r.wanted);
        const int g = groupOf.value(key, -1);
        if (g < 0) {
            groupOf.insert(key, int(groups.size()));
            groups.append({r.stored});
        } else {
            groups[g].append(r.stored);
        }
    }
    QVector<QStringList> out;
    for (const QStringList &g : std::as_const(groups))
        if (g.size() > 1)
            out.append(g);
    return out;
}

// The file's place in the chain of versions.
int userVersion(Database &db, DbError *error)
{
    QSqlQuery q(db.connection());
    if (!db.prepare(q, QStringLiteral("PRAGMA user_version"), kChecking, error) || !db.run(q, kChecking, error))
        return 0;
    return q.next() ? q.value(0).toInt() : 0;
}

// One step of the chain: every statement or none, so that a run killed on
// the way leaves the file as it was, to be brought up to date next time.
DbError runAsOneStep(Database &db, const QStringList &statements)
{
    DbError error;
    if (!db.beginTransaction(&error))
        return error;
    for (const QString &sql : statements) {
        if (!db.exec(sql, {}, &error)) {
            db.rollback();
            return error;
        }
    }
    db.commit(&error);
    return error;
}

// Names stored by earlier versions are put in today's form once, in one
// transaction, and the file marked done. Two rows whose names would then be
// one are both left as they are: the teacher is told once that some rows
// need a look, and where to see them (not their names: a pupil may be at
// the keyboard).
DbError normaliseStoredNames(Database &db)
{
    DbError error;
    const int version = userVersion(db, &error);
    if (error.isError())
        return error;
    if (version >= schema::kNamesVersion)
        return {};

    QVector<StoredName> rows;
    if (!readStoredNames(db, &rows, &error))
        return error;
    // A row keeps its name when its new name would meet another row's name;
    // that can make further meetings, so until nothing changes.
    bool clashes = false;
    for (bool again = true; again;) {
        again = false;
        QHash<QString, int> owners;
        for (const StoredName &r : std::as_const(rows))
            owners[indexKey(r.wanted)] += 1;
        for (StoredName &r : rows) {
            if (r.wanted != r.stored && owners.value(indexKey(r.wanted)) > 1) {
                r.wanted = r.stored;
                r.validText = true; // its bytes stay as they are, too
                clashes = true;
                again = true;
            }
        }
    }
    if (!clashes)
        clashes = !lookAlikeGroups(rows).isEmpty();

    if (!db.beginTransaction(&error))
        return error;
    for (const StoredName &r : std::as_const(rows)) {
        if ((r.wanted != r.stored || !r.validText)
            && !db.exec(QStringLiteral("UPDATE \"tabtesti\" SET \"nome\" = ? WHERE rowid = ?"), {r.wanted, r.id}, &error)) {
            db.rollback();
            return error;
        }
    }
    if (!db.exec(QStringLiteral("PRAGMA user_version=%1").arg(schema::kNamesVersion), {}, &error)) {
        db.rollback();
        return error;
    }
    if (!db.commit(&error))
        return error;
    if (clashes)
        db.addNotice(QStringLiteral("Nell'archivio dei risultati \"%1\" alcune righe hanno nomi che si leggono come "
                                    "quelli di altre righe (spazi, accenti o apostrofi scritti in modo diverso): sono "
                                    "state lasciate come erano e un insegnante dovrebbe guardarle, per unirle o "
                                    "rinominarle. Per vederle, avviare morvello-check dalla cartella del programma.")
                         .arg(shown(db.path())));
    return {};
}

// The history of attempts joins an archive of an earlier version: the table,
// its index and the file's new version in one transaction, so that a run
// killed on the way leaves the file as it was, to be brought up to date at
// the next start. A table lost since (a teacher's tool) is made again.
DbError addHistoryTable(Database &db)
{
    DbError error;
    const int version = userVersion(db, &error);
    if (error.isError())
        return error;
    const QVector<schema::Column> have = columnsOf(db, QStringLiteral("tentativi"), &error);
    if (error.isError())
        return error;
    if (version >= schema::kHistoryVersion && have.size() >= schema::tentativiColumns().size())
        return {};
    if (!have.isEmpty() && have.size() < schema::tentativiColumns().size())
        return structureError(DbErrorCode::FieldNotFound, db.path(),
                              QStringLiteral("la tabella \"tentativi\" ha %1 colonne invece di %2")
                                  .arg(have.size())
                                  .arg(schema::tentativiColumns().size()));
    QStringList statements = schema::historyTableStatements();
    if (version < schema::kHistoryVersion)
        statements << QStringLiteral("PRAGMA user_version=%1").arg(schema::kHistoryVersion);
    return runAsOneStep(db, statements);
}

// The pupils' choices join an archive of an earlier version: the table and
// the file's new version in one transaction.
DbError addPreferencesTable(Database &db)
{
    DbError error;
    const int version = userVersion(db, &error);
    if (error.isError())
        return error;
    if (version >= schema::kPreferencesVersion)
        return {};
    return runAsOneStep(db, {schema::preferencesTableStatement(),
                             QStringLiteral("PRAGMA user_version=%1").arg(schema::kPreferencesVersion)});
}

// An archive made before archives had an id gets one, once.
DbError giveArchiveId(Database &db)
{
    DbError error;
    QSqlQuery q(db.connection());
    if (!db.prepare(q, QStringLiteral("PRAGMA application_id"), kChecking, &error) || !db.run(q, kChecking, &error))
        return error;
    if (q.next() && q.value(0).toLongLong() != 0)
        return {};
    q.finish();
    db.exec(schema::archiveIdStatement(schema::newArchiveId()), {}, &error);
    return error;
}

// What an interrupted first start left: the files the data folder's
// databases are built under before they are put in place. Not one younger
// than a minute: another copy of the program may be building it now.
void removeUnfinishedFiles(const QString &folder)
{
    const QDateTime settled = QDateTime::currentDateTimeUtc().addSecs(-60);
    QDir dir(folder);
    const QStringList patterns{QStringLiteral(".testi1.mdb.nuovo-*"), QStringLiteral(".exporttesti.mdb.nuovo-*")};
    for (const QFileInfo &fi : dir.entryInfoList(patterns, QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive)) {
        if (fi.lastModified().toUTC() < settled && !fi.isSymLink())
            QFile::remove(fi.absoluteFilePath());
    }
}

// The export template holds a table tabtesti with at least the 34 columns the
// export fills by position, in a file the engine finds whole.
bool soundExportTemplate(const QString &path)
{
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return false;
    // Read only: a template on a read-only share is still a sound one.
    std::unique_ptr<Database> db = Database::openForReading(path);
    if (!db || !db->checkIntegrity())
        return false;
    DbError error;
    return !error.isError() && columnsOf(*db, QStringLiteral("tabtesti"), &error).size() >= schema::tabtestiColumns().size()
           && !error.isError();
}

} // namespace

DbError prepareDataFolder(const QString &baseDir)
{
    const QString folder = resolveDataPath(dataFolderName(), baseDir);
    if (!QFileInfo(folder).isDir()) {
        const QString base = baseDir.isEmpty() ? QDir::currentPath() : baseDir;
        return DbError::make(DbErrorCode::FileNotFound,
                             QStringLiteral("La cartella dei dati \"%1\" non si trova in \"%2\": senza di essa il "
                                            "programma non può funzionare.")
                                 .arg(dataFolderName(), shown(base)));
    }
    removeUnfinishedFiles(folder);
    const DbError results =
        createIfMissing(resolveDataPath(schema::resultsFile(), baseDir), schema::resultsDatabaseStatements());
    // Only made when missing or empty here: the export itself checks the
    // template whole before each use (ensureExportTemplate), which spares the
    // start-up a second file to open.
    const DbError exportTemplate =
        createIfMissing(resolveDataPath(schema::exportTemplateFile(), baseDir), schema::exportTemplateStatements());
    return results.isError() ? results : exportTemplate;
}

DbError ensureExportTemplate(const QString &path)
{
    if (soundExportTemplate(path)) {
        // A template of an earlier version gains the history table in place.
        std::unique_ptr<Database> db = Database::openForReading(path);
        DbError error;
        const bool hasHistory = db && !columnsOf(*db, QStringLiteral("tentativi"), &error).isEmpty();
        db.reset();
        if (!hasHistory) {
            db = Database::open(path);
            if (db && db->beginTransaction()) {
                bool ok = true;
                for (const QString &sql : schema::historyTableStatements())
                    ok = ok && db->exec(sql);
                if (!ok || !db->commit())
                    db->rollback();
            }
        }
        return {}; // a template that cannot take it still serves: the export adds it on the disk
    }
    // It holds no rows by definition: a damaged one is made again from the
    // schema, the old file kept aside in case a teacher wants it.
    if (QFileInfo(path).isFile() && QFileInfo(path).size() > 0) {
        Database::setAsideCompanions(path);
        Database::setAside(path);
    }
    const DbError error = createIfMissing(path, schema::exportTemplateStatements());
    if (error.isError())
        return error;
    if (!soundExportTemplate(path))
        return DbError::make(DbErrorCode::Damaged,
                             QStringLiteral("Il file \"%1\" che serve a preparare il dischetto è danneggiato e non si "
                                            "può ricreare: cancellarlo, controllare che la cartella sia scrivibile e "
                                            "riavviare il programma.")
                                 .arg(shown(path)));
    return {};
}

std::unique_ptr<Database> openResultsDatabase(const QString &baseDir, DbError *error)
{
    DbError local;
    DbError &err = error ? *error : local;
    err = DbError{};
    const QString path = resolveDataPath(schema::resultsFile(), baseDir);
    std::unique_ptr<Database> db = Database::open(path, &err);
    if (!db) {
        if (err.number == DbErrorCode::FileNotFound)
            err.message = QStringLiteral("L'archivio dei risultati \"%1\" non esiste.").arg(shown(path));
        return nullptr;
    }
    // What the screens read and write, whole, at every start; the history of
    // attempts, which may hold a million rows, is not read through here (a
    // damaged page of it fails the save or the export that meets it, with
    // its numbered error).
    if (!db->checkIntegrity(&err, {QStringLiteral("tabtesti"), QStringLiteral("studenti")}))
        return nullptr;
    err = checkStructure(*db);
    if (!err.isError())
        err = repairNomeIndex(*db);
    if (!err.isError())
        err = normaliseStoredNames(*db);
    if (!err.isError())
        err = addHistoryTable(*db);
    if (!err.isError())
        err = addPreferencesTable(*db);
    if (!err.isError())
        err = giveArchiveId(*db);
    if (err.isError())
        return nullptr;
    return db;
}

QString computerId(const QString &baseDir)
{
    const QString folder = resolveDataPath(dataFolderName(), baseDir);
    const QString path = folder + QStringLiteral("/codice-computer.txt");
    auto read = [&path]() {
        QFile f;
        f.setFileName(path);
        if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
            return QString();
        const QString id = QString::fromLatin1(f.read(64)).trimmed();
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
        return hex.match(id).hasMatch() ? id : QString();
    };
    QString id = read();
    if (!id.isEmpty() || !QFileInfo(folder).isDir())
        return id;
    // Made once, whole or not at all; a copy of the program that made it a
    // moment earlier wins.
    QSaveFile f(path + QStringLiteral(".nuovo"));
    const QString made = schema::newRowCode();
    if (f.open(QIODevice::WriteOnly) && f.write(made.toLatin1() + '\n') > 0 && f.commit()) {
        const QByteArray from = QFile::encodeName(path + QStringLiteral(".nuovo"));
        if (::link(from.constData(), QFile::encodeName(path).constData()) != 0 && errno != EEXIST) {
            ::unlink(from.constData());
            return made; // a folder that cannot keep it: this run's own
        }
        ::unlink(from.constData());
    }
    id = read();
    return id.isEmpty() ? made : id;
}

QVector<QStringList> lookAlikeRows(Database &db, DbError *error)
{
    QVector<StoredName> rows;
    if (!readStoredNames(db, &rows, error))
        return {};
    return lookAlikeGroups(rows);
}

QStringList rowsNeedingALook(Database &db, DbError *error)
{
    QStringList out;
    for (const QStringList &group : lookAlikeRows(db, error))
        out << listed(group);
    return out;
}

} // namespace morvello
