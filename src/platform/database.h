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

class Recordset;

// The results files are SQLite databases reached through a handful of
// record-at-a-time operations: open by path, table recordsets, a seek on the
// "nome" index, add/edit/update, fields by name or position.
//
// Guarantees the callers lean on:
//  - open() never creates a file; a missing file fails with 3024;
//  - every update() outside an explicit transaction is one durable
//    transaction, committed before update() returns;
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

    // A table-type recordset over all rows of the table, positioned on the
    // first row (eof() when the table is empty), rows in insertion order.
    std::unique_ptr<Recordset> openRecordset(const QString &table, DbError *error = nullptr);

    // Whole-file consistency check (the engine's quick check).
    bool checkIntegrity(DbError *error = nullptr);

    // Explicit transaction: updates made while it is open are committed (or
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
    friend class Recordset;

    struct TableInfo {
        QStringList columns;
        QVector<bool> dateColumns;
        QHash<QString, int> positions;
    };

    bool connect(const QString &what, DbError *error);
    bool tableInfo(const QString &table, TableInfo *info, DbError *error);
    DbError notOpenError() const;

    QString m_connectionName;
    QString m_path;
    bool m_inTransaction = false;
    QHash<QString, TableInfo> m_tables;
    QSet<Recordset *> m_recordsets;
};

// Record-at-a-time view of one table.
class Recordset
{
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    QString table() const { return m_table; }
    int fieldCount() const { return m_columns.size(); }
    QString fieldName(int position) const;
    int fieldPosition(const QString &name) const; // -1 when absent

    // Only the index "nome" exists.
    bool setIndex(const QString &indexName, DbError *error = nullptr);
    // Seek for equality on the current index; op must be "=".
    bool seek(const QString &op, const QVariant &key, DbError *error = nullptr);
    bool noMatch() const { return m_noMatch; }

    bool moveFirst(DbError *error = nullptr);
    bool moveLast(DbError *error = nullptr);
    bool moveNext(DbError *error = nullptr);
    bool eof() const;
    bool bof() const;
    int recordCount() const;

    // Editing: addNew() or edit(), then setValue()s, then update().
    void addNew();
    bool edit(DbError *error = nullptr);
    bool update(DbError *error = nullptr);
    void cancelUpdate();
    bool moveToLastModified(DbError *error = nullptr);

    // Current row's values; date-time columns read back as QDateTime unless
    // they hold other text ("(...)"); a column never written reads null.
    QVariant value(const QString &name, DbError *error = nullptr) const;
    QVariant value(int position, DbError *error = nullptr) const;
    bool setValue(const QString &name, const QVariant &value, DbError *error = nullptr);
    bool setValue(int position, const QVariant &value, DbError *error = nullptr);

private:
    friend class Database;
    Recordset(Database *db, const QString &table);

    enum class Mode { None, AddNew, Edit };
    bool usable(DbError *error) const;
    bool ensureRowids(DbError *error) const;
    bool loadCurrent(DbError *error) const;
    bool moveToEnd(bool last, DbError *error);
    QVariant readBack(int position, const QVariant &raw) const;
    void setCurrent(qint64 rowid, int index);
    void setEmptyPosition();
    bool noCurrent(DbError *error) const;
    int resolve(const QString &name, DbError *error) const;

    Database *m_db = nullptr;
    QString m_table;
    QStringList m_columns;
    QVector<bool> m_dateColumns;
    QHash<QString, int> m_positions;
    // Row ids in insertion order, read only when the recordset is walked or
    // counted: a save never needs them.
    mutable QVector<qint64> m_rowids;
    mutable bool m_rowidsLoaded = false;
    qint64 m_current = -1;  // row id of the current row, -1 when there is none
    mutable int m_pos = -1; // index of m_current in m_rowids when known
    bool m_eof = false;
    bool m_bof = false;
    bool m_walking = false; // moved by MoveFirst/MoveNext: read rows ahead
    bool m_noMatch = false;
    bool m_indexNome = false;
    qint64 m_lastModified = -1;
    Mode m_mode = Mode::None;
    QVector<QVariant> m_buffer;
    QVector<bool> m_dirty;
    // Raw values of the current row, or of a block of rows read ahead.
    mutable QHash<qint64, QVector<QVariant>> m_cache;
};

} // namespace morvello
