#include "datafolder.h"

#include "storage/database.h"
#include "core/datapaths.h"
#include "core/pupilname.h"
#include "schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>

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

// Names stored by earlier versions are put in today's form once, in one
// transaction. Two rows whose names would then be one are both left as
// they are, and named.
DbError normaliseStoredNames(Database &db)
{
    DbError error;
    QSqlQuery version(db.connection());
    if (!db.prepare(version, QStringLiteral("PRAGMA user_version"), kChecking, &error) || !db.run(version, kChecking, &error))
        return error;
    if (version.next() && version.value(0).toInt() >= schema::kResultsFileVersion)
        return {};
    version.finish();

    struct Row {
        qint64 id;
        QString stored;
        QString wanted;
    };
    QVector<Row> rows;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!db.prepare(q, QStringLiteral("SELECT rowid, \"nome\" FROM \"tabtesti\" ORDER BY rowid"), kChecking, &error)
            || !db.run(q, kChecking, &error))
            return error;
        while (q.next()) {
            const QString stored = q.value(1).toString();
            QString wanted = normalisedPupilName(stored);
            // "Ospite" is kept as written; a name with nothing visible stays.
            if (stored.compare(QLatin1String("Ospite"), Qt::CaseInsensitive) == 0 || wanted.isEmpty() || q.isNull(1))
                wanted = stored;
            rows.append({q.value(0).toLongLong(), stored, wanted});
        }
    }
    // A row keeps its name when its new name would meet another row's name;
    // that can make further meetings, so until nothing changes.
    QStringList clashes;
    for (bool again = true; again;) {
        again = false;
        QHash<QString, int> owners;
        for (const Row &r : std::as_const(rows))
            owners[indexKey(r.wanted)] += 1;
        for (Row &r : rows) {
            if (r.wanted != r.stored && owners.value(indexKey(r.wanted)) > 1) {
                clashes << r.stored;
                r.wanted = r.stored;
                again = true;
            }
        }
    }
    // The rows they would have met are named as well.
    if (!clashes.isEmpty()) {
        QHash<QString, QString> byKey;
        for (const QString &c : std::as_const(clashes))
            byKey.insert(indexKey(normalisedPupilName(c)), c);
        for (const Row &r : std::as_const(rows)) {
            if (byKey.contains(indexKey(r.stored)) && !clashes.contains(r.stored))
                clashes << r.stored;
        }
    }

    clashes.removeDuplicates();
    if (!db.beginTransaction(&error))
        return error;
    for (const Row &r : std::as_const(rows)) {
        if (r.wanted != r.stored
            && !db.exec(QStringLiteral("UPDATE \"tabtesti\" SET \"nome\" = ? WHERE rowid = ?"), {r.wanted, r.id}, &error)) {
            db.rollback();
            return error;
        }
    }
    // Done once: a file whose names still meet is looked at again at the
    // next start, and the teacher told again.
    if (clashes.isEmpty()
        && !db.exec(QStringLiteral("PRAGMA user_version=%1").arg(schema::kResultsFileVersion), {}, &error)) {
        db.rollback();
        return error;
    }
    if (!db.commit(&error))
        return error;
    if (!clashes.isEmpty())
        db.addNotice(QStringLiteral("Nell'archivio dei risultati \"%1\" ci sono nomi che sembrano diversi ma si "
                                    "leggono allo stesso modo (spazi o accenti scritti in modo diverso): %2. Sono stati "
                                    "lasciati come erano; chiedere a chi cura i computer di unire o rinominare quelle "
                                    "righe.")
                         .arg(shown(db.path()), listed(clashes)));
    return {};
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
    if (soundExportTemplate(path))
        return {};
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
    if (!db->checkIntegrity(&err))
        return nullptr;
    err = checkStructure(*db);
    if (!err.isError())
        err = repairNomeIndex(*db);
    if (!err.isError())
        err = normaliseStoredNames(*db);
    if (err.isError())
        return nullptr;
    return db;
}

} // namespace morvello
