#pragma once
#include "core/dberror.h"
#include "core/resultgroups.h"

#include <QDateTime>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

namespace morvello {

class Database;

// The one way into the results file: a handful of prepared statements, each
// operation one durable transaction where it writes.
class ResultsStore
{
public:
    // The database must outlive the store (or be closed through it).
    explicit ResultsStore(Database &db);
    ~ResultsStore();
    ResultsStore(const ResultsStore &) = delete;
    ResultsStore &operator=(const ResultsStore &) = delete;

    Database &database() const { return m_db; }
    bool isOpen() const;
    // Closes the results file (the exits of the screens).
    void close();

    // Save protocol: the row of `nome` (letter case ignored) is found, or
    // created on the first save, and the groups are written, all in one
    // durable transaction. An empty name saves nothing and returns no error.
    // A null date is `now` (or the group's fixed date text).
    DbError save(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now);

    // The pupil's row by name (case ignored): the 34 values by position, date
    // and time columns as QDateTime; nullopt when there is none (error set on
    // engine failure).
    std::optional<QVector<QVariant>> pupilRow(const QString &nome, DbError *error = nullptr);

    // Every nome of tabtesti in table order.
    QStringList names(DbError *error = nullptr);

    // Appends a row (nome, argomento, rispgiuste, rispsbagliate) to
    // "studenti"; an empty name writes nothing.
    DbError appendStudentRow(const QString &nome, const QString &argomento, double right, double second);

    // Reads every row of tabtesti in table order, each as stored; stops when
    // `row` returns false.
    bool forEachRow(const std::function<bool(const QVector<QVariant> &)> &row, DbError *error = nullptr);

    // Appends every row of tabtesti, all columns by position, to the tabtesti
    // of another database file, inside the engine in one all-or-nothing
    // transaction on that file. *rows gets the number of rows appended.
    DbError appendAllRowsTo(const QString &otherFile, int *rows = nullptr);

    static QString notOpenMessage() { return QStringLiteral("L'archivio dei risultati non è aperto."); }

private:
    struct Prepared;
    bool findRow(const QString &nome, qint64 *rowid, DbError *error);
    bool writeGroup(qint64 rowid, const GroupValues &g, const QDateTime &now, DbError *error);
    DbError notOpen() const;
    QStringList tableColumns(const QString &schemaName, DbError *error);

    Database &m_db;
    std::unique_ptr<Prepared> m_q;
};

// The value a group's column keeps: counts and percentages as doubles, the
// 16-bit totals rounded to the nearest whole number (halves to even).
QVariant storedGroupValue(const ResultGroup &group, int which, const QVariant &value);

} // namespace morvello
