// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serverconfig.h"

#include "core/dberror.h"
#include "core/resultgroups.h"

#include <QDateTime>
#include <QThread>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

namespace morvello {

class Database;
class ResultsStore;
class Ticker;
class TickSource;

// A lab server beside this computer's results file. While the server
// answers, saves and reads go to it; when it does not (or goes away in the
// middle of a save, which then waits at most one connect timeout of 2 s),
// the program keeps to the file and every history row saved meanwhile is
// marked in the file's table "in_attesa" in the same transaction. A check
// runs on a worker thread at start and every minute; once the server
// answers, the marked rows are sent, each once (the server ignores a code
// it has), and a pupil's group on the server takes the values of the newest
// save of that group, here or there.
class ServerLink : public QObject
{
    Q_OBJECT
public:
    // `local` is the file's store; it must outlive the link.
    ServerLink(const ServerConfig &config, ResultsStore &local, QObject *parent = nullptr);
    ~ServerLink() override;

    // What the pupil is to be told once (a server refused, of another
    // program, of a newer version); the program goes on with the file.
    void setTell(std::function<void(const QString &)> tell) { m_tell = std::move(tell); }
    // The timer of the minute's check (a real one in the program, stepped
    // by hand in tests), and the first check, on a worker thread.
    void start(TickSource *ticks);
    // The same check and, when the server answers, the switch to it, done
    // at once on the calling thread (tests, the command line).
    bool connectNow(DbError *error = nullptr);

    bool online() const;
    // The store of the server while online, else null.
    ResultsStore *server() const { return online() ? m_serverStore.get() : nullptr; }
    // A failure that says the server is gone: the link goes local.
    void dropped();

    DbError save(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                 const SaveOrigin &origin);
    // History rows of the file not yet on the server.
    int pendingCount();
    // Sends them now (the server must be online); *sent gets their number.
    DbError sendPending(int *sent = nullptr);

    static QString pendingTable() { return QStringLiteral("in_attesa"); }
    // Whether an archive on a server is this program's, and of a version it
    // knows; the Italian message says what is wrong.
    static DbError checkServerArchive(Database &db, const ServerConfig &config);

signals:
    void onlineChanged(bool online);

private:
    void probeInBackground();
    void probed(const DbError &error);
    void tellOnce(const DbError &error);
    bool ensurePendingTable(DbError *error);

    ServerConfig m_config;
    ResultsStore &m_local;
    std::unique_ptr<Database> m_serverDb;
    std::unique_ptr<ResultsStore> m_serverStore;
    std::function<void(const QString &)> m_tell;
    Ticker *m_ticker = nullptr;
    QPointer<QThread> m_worker;
    bool m_probing = false;
    bool m_pendingTableReady = false;
    QSet<QString> m_told;
};

} // namespace morvello
