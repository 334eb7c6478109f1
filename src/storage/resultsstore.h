// SPDX-License-Identifier: GPL-3.0-or-later
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
class ServerLink;

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
    //
    // Each group saved also appends its row to the history of attempts
    // ("tentativi"), in the same transaction: the name as saved, the group,
    // its four values as stored, the moment, the screen and visit of
    // `origin`, this computer's id and a new row code.
    DbError save(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                 const SaveOrigin &origin = {});
    // The same, on this store's own database whatever the link says; with
    // `pending`, each history row is also marked as not yet on the server.
    // `codes`, when given, are the history rows' codes, one per group: a save
    // tried on the server and then here keeps its codes, so that a save the
    // server did commit but could not confirm is still one row there.
    DbError saveHere(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                     const SaveOrigin &origin = {}, bool pending = false, const QStringList &codes = {});

    // A lab server in front of this file: while it answers, saves and reads
    // go there (see ServerLink); null for the file alone.
    void setLink(ServerLink *link) { m_link = link; }
    ServerLink *link() const { return m_link; }
    // Results saved here while the server did not answer and not sent yet.
    int pendingCount();

    // This computer's id, written into every history row.
    void setComputerId(const QString &id) { m_computerId = id; }
    QString computerId() const { return m_computerId; }

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
    // of another database file, and the history rows that file does not have
    // yet (by their codes), inside the engine in one all-or-nothing
    // transaction on that file; a file without the history table gains it in
    // that transaction. *rows gets the number of tabtesti rows appended,
    // *historyRows that of history rows.
    DbError appendAllRowsTo(const QString &otherFile, int *rows = nullptr, int *historyRows = nullptr);

    static QString notOpenMessage() { return QStringLiteral("L'archivio dei risultati non è aperto."); }

private:
    struct Prepared;
    bool findRow(const QString &nome, qint64 *rowid, DbError *error);
    bool writeGroup(qint64 rowid, const GroupValues &g, const QDateTime &now, DbError *error,
                    QVariant stored[4]);
    bool writeHistory(const QString &nome, const GroupValues &g, const QVariant stored[4], const QDateTime &now,
                      const SaveOrigin &origin, bool pending, const QString &code, DbError *error);
    // The server's store while the link is online; a read that finds the
    // server gone tells the link and goes on here.
    ResultsStore *remote() const;
    bool lost(const DbError &error) const;
    DbError notOpen() const;
    DbError copyServerRowsTo(const QString &otherFile, int *rows, int *historyRows);
    QStringList tableColumns(const QString &schemaName, DbError *error);

    Database &m_db;
    std::unique_ptr<Prepared> m_q;
    QString m_computerId;
    ServerLink *m_link = nullptr;
};

// The value a group's column keeps: counts and percentages as doubles, the
// 16-bit totals rounded to the nearest whole number (halves to even).
QVariant storedGroupValue(const ResultGroup &group, int which, const QVariant &value);

} // namespace morvello
