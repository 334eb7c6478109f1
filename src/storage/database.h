// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class QSqlQuery;

namespace morvello {

struct ServerConfig;

// The results files are SQLite databases. This adapter opens and creates
// them, checks them, runs transactions and turns engine failures into the
// numbered Italian errors; the statements on the results live in the
// results store.
//
// Guarantees the callers lean on:
//  - open() never creates a file; a missing file fails with 3024;
//  - every statement outside an explicit transaction is one durable
//    transaction, committed before it returns;
//  - the file runs with a rollback journal: whenever the program is not
//    writing, the file alone holds everything (it can be copied, backed up
//    or kept on a network share);
//  - a write-ahead log or a journal found beside a file is never applied
//    blindly (see open() and create());
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
    // 3049 damaged, 3027 read-only (file or folder), 3051 a link that leads
    // nowhere, 3260 held by another program. A refused open leaves no file
    // behind. The file is switched to a rollback journal.
    //
    // A write-ahead log left beside the file (a run that was killed, or a
    // log that belongs to a file since deleted or replaced) is first folded
    // into a scratch copy; only when the result passes the full integrity
    // check is it applied to the file. Otherwise the file is opened as it is,
    // the log is moved aside (renamed with the date) and notices() says so.
    //
    // A rollback journal left beside the file (a save cut short) is applied
    // by the engine only when it provably belongs to this file at this
    // moment: its copy of page 1 carries the same archive id (the header's
    // application_id) and a change counter the file's own follows. One that
    // does not is moved aside untried; without an id to compare, it is tried
    // on a scratch copy first. Nothing beside a file that another program
    // is writing is ever touched. Links are followed: the real file's
    // companions are the ones looked at, and the real file is opened.
    // Anything but a plain file (a pipe, a device) is refused at once.
    static std::unique_ptr<Database> open(const QString &path, DbError *error = nullptr);

    // Opens a connection to a lab server (PostgreSQL, through Qt's QPSQL
    // driver) instead of a file. The same transactions, statements and
    // numbered errors; what only a file has (journals, integrity checks,
    // attaching) is not offered. Fails with 3151 when the server does not
    // answer within 2 s or refuses the connection, with 3051 when the
    // program has no driver for it; the message says why in Italian.
    static std::unique_ptr<Database> openServer(const ServerConfig &config, DbError *error = nullptr);
    // Whether QPSQL is there: without it the program keeps to the file.
    static bool serverDriverAvailable();
    bool isServer() const { return m_server; }
    // A failure that says the server went away (or never answered), as
    // opposed to one it gave an answer to.
    static bool isConnectionLoss(const DbError &error);

    // Opens an existing database file for reading only (a template that is
    // checked, not written): no write access needed, nothing switched.
    static std::unique_ptr<Database> openForReading(const QString &path, DbError *error = nullptr);

    // Creates a new, empty database file running the given statements in one
    // transaction. Fails when the file exists already. A journal, log or
    // index file left with that name (-journal, -wal, -shm) is moved aside
    // first, never applied to the new file.
    static bool create(const QString &path, const QStringList &statements, DbError *error = nullptr);

    // Moves "<path>-wal", "-shm" and "-journal" aside, renamed with the
    // date; returns the new names (empty when there was nothing).
    static QStringList setAsideCompanions(const QString &path);
    // Moves one file aside, renamed with the date ("<name>.2026-03-14_10-30-00");
    // returns the new name, empty when it could not be moved.
    static QString setAside(const QString &file);

    // What the pupil or the teacher should know about the open that did not
    // stop it (a log moved aside, ...), in Italian; empty as a rule.
    QStringList notices() const { return m_notices; }
    void addNotice(const QString &text) { m_notices << text; }

    QString path() const { return m_path; }
    bool isOpen() const;
    void close();

    // Whole-file consistency check, indexes compared with their tables; or,
    // given tables, of those tables and their indexes only.
    bool checkIntegrity(DbError *error = nullptr, const QStringList &tables = {});

    // Explicit transaction: statements run while it is open are committed (or
    // rolled back) together. Not nestable.
    bool beginTransaction(DbError *error = nullptr);
    bool commit(DbError *error = nullptr);
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase connection() const;

    // Another database file joins this connection under `schemaName` (by
    // its real path) until detach() or close(); what lies beside it is then
    // this connection's own, never a left-over for another open to judge.
    bool attach(const QString &file, const QString &schemaName, DbError *error = nullptr);
    void detach(const QString &schemaName);

    // How long a statement waits for another program that holds the file
    // before failing with 3260 (5000 ms unless changed).
    void setBusyTimeout(int milliseconds);

    // The collation of the results file's "nome" index: SQLite's own, so
    // that any SQLite tool can read, check and write the file. It folds the
    // letters A-Z only; names are stored in capitals, so it matters only for
    // the one mixed-case name, "Ospite".
    static QString nameCollation() { return QStringLiteral("NOCASE"); }
    // The program's own collation that older files were built on; every
    // connection still knows it, so that such a file can be checked and
    // moved onto nameCollation().
    static QString legacyNameCollation() { return QStringLiteral("MORVELLO_NOCASE"); }

    // Runs one statement with bound values; for the few callers (schema,
    // tools) that need plain SQL.
    bool exec(const QString &sql, const QVariantList &values = {}, DbError *error = nullptr);
    // One row of a scan(): each column as the engine holds it, valid only
    // during the call that receives it.
    class RawRow
    {
    public:
        bool isNull(int column) const;
        // Stored as a number, whole or real (not a text).
        bool isNumber(int column) const;
        // Stored as a whole number (not a real, not a text).
        bool isWhole(int column) const;
        qint64 whole(int column) const;
        double number(int column) const;
        // The column's text in UTF-8.
        QByteArrayView text(int column) const;

    private:
        friend class Database;
        explicit RawRow(void *statement) : m_statement(statement) {}
        void *m_statement;
    };
    // Reads a file's rows one by one, straight from the engine: for exports
    // of a million rows, where a value object per field costs more than the
    // reading itself. onRow returns false to stop early (the scan then
    // returns false and leaves *error alone: the caller knows why it
    // stopped). Files only; values are bound as exec() binds them.
    bool scan(const QString &sql, const QVariantList &values, const QString &what,
              const std::function<bool(const RawRow &)> &onRow, DbError *error = nullptr);


    // Maps an engine failure to a numbered, Italian error; systemErrno is the
    // operating system's reason, when known.
    DbError translate(const QString &what, int sqliteCode, const QString &driverText, int systemErrno = 0) const;

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

    DbError translateServer(const QString &what, const QString &sqlState, const QString &driverText) const;
    bool connect(const QString &what, DbError *error);
    DbError notOpenError() const;
    bool foldLeftOverLog(DbError *error);
    bool judgeLeftOverJournal(DbError *error);
    bool registerOpen();

    QString m_connectionName;
    QString m_path;
    bool m_inTransaction = false;
    bool m_readOnly = false;
    bool m_registered = false;
    bool m_server = false;
    QHash<QString, QString> m_attached; // schema name -> real path
    QStringList m_notices;
};

} // namespace morvello
