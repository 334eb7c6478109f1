// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A throwaway PostgreSQL cluster for the tests of the lab server: made with
// initdb in a temporary folder, listening on a Unix socket there and nowhere
// else, stopped and removed at the end. One per test program: a cluster
// takes a second or two to start, a database a fraction of that.
#include "storage/serverconfig.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace morvello::test {

class PgCluster
{
public:
    PgCluster() = default;
    ~PgCluster();
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    // Makes and starts the cluster; false with the reason in why() when
    // PostgreSQL is not installed or would not start.
    bool start();
    void stop();
    // pg_ctl stop in the given mode ("fast", "immediate"), and start again
    // on the same data: for the tests of a server that goes away.
    bool stopServer(const QString &mode = QStringLiteral("fast"));
    bool startServer();
    bool isRunning() const { return m_running; }
    // Before start(): every commit flushed to disk, as on a real server (the
    // tests do without, for speed; the fault benchmark needs it).
    void setDurable(bool durable) { m_durable = durable; }
    // The server's main process, for a test that kills it outright; 0 when
    // it is not running.
    qint64 postmasterPid() const;
    // What the server wrote to its log.
    QString log() const;
    QString why() const { return m_why; }

    // The superuser's connection to a database ("postgres" unless named).
    ServerConfig superuser(const QString &database = QStringLiteral("postgres")) const;
    ServerConfig as(const QString &role, const QString &database) const;
    // Runs statements as the superuser, one by one; false with the failure in why().
    bool run(const QStringList &statements, const QString &database = QStringLiteral("postgres"));
    // A new empty database with the program's tables, owned by the superuser.
    bool makeArchive(const QString &database);
    QString socketDir() const;
    QString binDir() const;

private:
    bool pg(const QStringList &command, QString *output = nullptr, int timeoutMs = 60000);

    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_running = false;
    bool m_durable = false;
    QString m_why;
};

// The cluster of this test program, started at its first use; null, after
// a skip (or, under CI=true, a failure) of the calling test, when there is
// no PostgreSQL to run. Stopped when the program ends.
PgCluster *sharedCluster();
// True under CI=true, where a missing server fails instead of skipping.
bool serverRequired();

} // namespace morvello::test

// In a test function: the shared cluster, or the test skips (fails under CI).
#define MORVELLO_REQUIRE_SERVER(var)                                                                   \
    morvello::test::PgCluster *var = morvello::test::sharedCluster();                                  \
    if (!var) {                                                                                        \
        if (morvello::test::serverRequired())                                                          \
            QFAIL("PostgreSQL cluster needed under CI=true and not available");                      \
        QSKIP("no PostgreSQL 15 in /usr/lib/postgresql/15/bin: the server cases are skipped");       \
    }
