#include "datafolder.h"

#include "platform/database.h"
#include "platform/datapaths.h"
#include "schema.h"

#include <QDir>
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

// tabtesti must have the 34 columns in their order (readers address them by
// position); studenti needs its four columns by name.
DbError checkStructure(Database &db)
{
    DbError error;
    {
        std::unique_ptr<Recordset> rs = db.openRecordset(QStringLiteral("tabtesti"), &error);
        if (!rs)
            return error.number == DbErrorCode::TableNotFound
                ? structureError(error.number, db.path(), QStringLiteral("manca la tabella \"tabtesti\""))
                : error;
        const QVector<schema::Column> &cols = schema::tabtestiColumns();
        if (rs->fieldCount() != cols.size())
            return structureError(DbErrorCode::FieldNotFound, db.path(),
                                  QStringLiteral("la tabella \"tabtesti\" ha %1 colonne invece di %2")
                                      .arg(rs->fieldCount())
                                      .arg(cols.size()));
        for (int i = 0; i < cols.size(); ++i) {
            if (rs->fieldName(i).compare(cols.at(i).name, Qt::CaseInsensitive) != 0)
                return structureError(DbErrorCode::FieldNotFound, db.path(),
                                      QStringLiteral("nella tabella \"tabtesti\" la colonna %1 è \"%2\" invece di \"%3\"")
                                          .arg(i)
                                          .arg(rs->fieldName(i), cols.at(i).name));
        }
    }
    {
        std::unique_ptr<Recordset> rs = db.openRecordset(QStringLiteral("studenti"), &error);
        if (!rs)
            return error.number == DbErrorCode::TableNotFound
                ? structureError(error.number, db.path(), QStringLiteral("manca la tabella \"studenti\""))
                : error;
        for (const schema::Column &c : schema::studentiColumns()) {
            if (rs->fieldPosition(c.name) < 0)
                return structureError(DbErrorCode::FieldNotFound, db.path(),
                                      QStringLiteral("nella tabella \"studenti\" manca la colonna \"%1\"").arg(c.name));
        }
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
