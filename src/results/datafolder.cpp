#include "datafolder.h"

#include "platform/database.h"
#include "platform/datapaths.h"
#include "schema.h"

#include <QDir>
#include <QSqlQuery>
#include <QFileInfo>

namespace morvello {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Creates the file from the statements unless something is there already
// (also when it appeared between the check and the creation).
DbError createIfMissing(const QString &path, const QStringList &statements)
{
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

// A table's column names in their order; empty for a table that is not there.
QStringList columnsOf(Database &db, const QString &table, DbError *error)
{
    QStringList names;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("il controllo");
    if (!db.prepare(q, QStringLiteral("SELECT name FROM pragma_table_info(?)"), what, error))
        return names;
    q.bindValue(0, table);
    if (!db.run(q, what, error))
        return names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

// tabtesti must have the 34 columns in their order (readers address them by
// position); studenti needs its four columns by name.
DbError checkStructure(Database &db)
{
    DbError error;
    const QStringList tabtesti = columnsOf(db, QStringLiteral("tabtesti"), &error);
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
        if (tabtesti.at(i).compare(cols.at(i).name, Qt::CaseInsensitive) != 0)
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"tabtesti\" la colonna %1 è \"%2\" invece di \"%3\"")
                                      .arg(i)
                                      .arg(tabtesti.at(i), cols.at(i).name));
    }
    const QStringList studenti = columnsOf(db, QStringLiteral("studenti"), &error);
    if (error.isError())
        return error;
    if (studenti.isEmpty())
        return structureError(DbErrorCode::TableNotFound, db.path(), QStringLiteral("manca la tabella \"studenti\""));
    for (const schema::Column &c : schema::studentiColumns()) {
        bool found = false;
        for (const QString &n : studenti)
            found = found || n.compare(c.name, Qt::CaseInsensitive) == 0;
        if (!found)
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("nella tabella \"studenti\" manca la colonna \"%1\"").arg(c.name));
    }
    return {};
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
    const DbError exportTemplate =
        createIfMissing(resolveDataPath(schema::exportTemplateFile(), baseDir), schema::exportTemplateStatements());
    return results.isError() ? results : exportTemplate;
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
    if (err.isError())
        return nullptr;
    return db;
}

} // namespace morvello
