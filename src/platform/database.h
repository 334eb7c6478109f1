#pragma once
#include "dberror.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class QSqlQuery;

namespace morvello {

// The results files are SQLite databases. This adapter opens and creates
// them, checks them, runs transactions and turns engine failures into the
// numbered Italian errors; the statements on the results live in the
// results store.
//
// Guarantees the callers lean on:
//  - open() never creates a file; a missing file fails with 3024;
//  - every statement outside an explicit transaction is one durable
//    transaction, committed before it returns;
//  - the "nome" comparison ignores letter case (Unicode-aware);
//  - values only ever travel through bound parameters.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing database file (absolute, or relative to the working
    // directory; backslashes and letter case as in resolveDataPath). Returns
    // null and fills *error on failure: 3024 missing, 3343 not a database,
    // 3049 damaged, 3027 read-only, 3260 held by another program. The file's
    // journal mode is kept as it was made (see schema.cpp).
    static std::unique_ptr<Database> open(const QString &path, DbError *error = nullptr);

    // Creates a new, empty database file running the given statements in one
    // transaction. Fails when the file exists already.
    static bool create(const QString &path, const QStringList &statements, DbError *error = nullptr);

    QString path() const { return m_path; }
    bool isOpen() const;
    void close();

    // Whole-file consistency check (the engine's quick check).
    bool checkIntegrity(DbError *error = nullptr);

    // Explicit transaction: statements run while it is open are committed (or
    // rolled back) together. Not nestable.
    bool beginTransaction(DbError *error = nullptr);
    bool commit(DbError *error = nullptr);
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase connection() const;

    // How long a statement waits for another program that holds the file
    // before failing with 3260 (5000 ms unless changed).
    void setBusyTimeout(int milliseconds);

    // Name of the case-ignoring, Unicode-aware collation every connection
    // registers; the results file's "nome" index is built on it.
    static QString nameCollation() { return QStringLiteral("MORVELLO_NOCASE"); }

    // Runs one statement with bound values; for the few callers (schema,
    // tools) that need plain SQL.
    bool exec(const QString &sql, const QVariantList &values = {}, DbError *error = nullptr);

    // Maps an engine failure to a numbered, Italian error.
    DbError translate(const QString &what, int sqliteCode, const QString &driverText) const;

    // Prepares / runs a statement on this connection; on failure *error holds
    // the numbered error of `what` ("il salvataggio", ...).
    bool prepare(QSqlQuery &query, const QString &sql, const QString &what, DbError *error) const;
    bool run(QSqlQuery &query, const QString &what, DbError *error) const;
    // The numbered error of a statement that failed.
    DbError failure(const QSqlQuery &query, const QString &what) const;

    // A value as the file keeps it (whole numbers as integers, date-times as
    // "yyyy-MM-dd HH:mm:ss" text), and a stored value of a date-time column
    // read back (a QDateTime, or the text it holds when that is no date).
    static QVariant toStored(const QVariant &value);
    static QVariant fromStoredDate(const QVariant &raw);

private:
    Database() = default;

    bool connect(const QString &what, DbError *error);
    DbError notOpenError() const;

    QString m_connectionName;
    QString m_path;
    bool m_inTransaction = false;
};

} // namespace morvello
