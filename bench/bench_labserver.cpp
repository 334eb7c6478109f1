// SPDX-License-Identifier: GPL-3.0-or-later
// A lab of computers saving at once, on a throwaway PostgreSQL cluster made
// here (commits flushed to disk as on a real server).
//   bench_labserver [processes] [saves]        (30 and 1,000 unless given)
// 1. server: every process saves to the one server; then the rows are
//    counted: lost updates (a pupil's group without its last value) and
//    history rows twice;
// 2. files: the same processes, each on its own SQLite file, same run;
// 3. fault: the same load through the link that falls back to each
//    computer's own file, while the server is stopped (immediate) and then
//    killed with SIGKILL, and started again each time; at the end every save
//    a process was told had succeeded must be on the server exactly once.
// Each process is this program again, with --worker.

#include "pgcluster.h"

#include "storage/database.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"
#include "storage/serverlink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>

using namespace morvello;
using namespace morvello::test;

namespace {

const QString kArchive = QStringLiteral("carico");

// Process p saves pupil p % 10, in a group of its own for that pupil.
QString pupilOf(int p)
{
    return QStringLiteral("ALUNNO %1").arg(p % 10);
}

FieldGroup groupOf(int p)
{
    return resultGroups().at(p / 10 % resultGroups().size()).group;
}

std::unique_ptr<Database> openFile(const QString &path)
{
    DbError e;
    if (!QFileInfo::exists(path) && !Database::create(path, schema::resultsDatabaseStatements(), &e))
        return nullptr;
    return Database::open(path, &e);
}

// One computer of the lab. Prints "ok N" (acknowledged saves) at the end.
int worker(const QStringList &args)
{
    const QString mode = args.at(0);
    const QString where = args.at(1);
    const int p = args.at(2).toInt();
    const int saves = args.at(3).toInt();
    const QDateTime start = QDateTime::currentDateTime();
    std::unique_ptr<Database> db;
    std::unique_ptr<ResultsStore> store;
    std::unique_ptr<ServerLink> link;
    ServerConfig config;
    config.host = where;
    config.database = kArchive;
    config.role = QStringLiteral("postgres");
    DbError e;
    if (mode == QLatin1String("server")) {
        db = Database::openServer(config, &e);
    } else {
        db = openFile(mode == QLatin1String("file") ? where : args.at(4));
    }
    if (!db) {
        std::fprintf(stderr, "worker %d: %s\n", p, qPrintable(e.message));
        return 1;
    }
    store = std::make_unique<ResultsStore>(*db);
    store->setComputerId(QStringLiteral("pc%1").arg(p));
    if (mode == QLatin1String("fault")) {
        link = std::make_unique<ServerLink>(config, *store);
        store->setLink(link.get());
        link->connectNow();
    }
    int acknowledged = 0;
    QElapsedTimer sinceTry;
    sinceTry.start();
    for (int i = 1; i <= saves; ++i) {
        // The minute's check, every 200 ms here.
        if (link && !link->online() && sinceTry.elapsed() > 200) {
            link->connectNow();
            sinceTry.restart();
        }
        const SaveOrigin origin{QStringLiteral("FCarico"), QStringLiteral("%1-%2").arg(p).arg(i)};
        e = store->save(pupilOf(p), {GroupValues{groupOf(p), i, saves, 100.0 * i / saves, {}}},
                        start.addMSecs(i), origin);
        if (!e.isError())
            ++acknowledged;
    }
    // Whatever waits is sent before the lesson ends.
    for (int t = 0; link && link->pendingCount() > 0 && t < 600; ++t) {
        if (!link->online())
            link->connectNow();
        else
            link->sendPending();
        if (link->pendingCount() > 0)
            QThread::msleep(100);
    }
    std::printf("ok %d pending %d\n", acknowledged, link ? link->pendingCount() : 0);
    return 0;
}

struct Run {
    double seconds = 0;
    int acknowledged = 0;
    int pending = 0;
    bool ok = true;
};

Run runWorkers(const QString &mode, const QString &where, int processes, int saves, const QString &files,
               const std::function<void(double)> &during = {})
{
    Run r;
    std::vector<std::unique_ptr<QProcess>> ps;
    QElapsedTimer t;
    t.start();
    for (int p = 0; p < processes; ++p) {
        auto proc = std::make_unique<QProcess>();
        QStringList args{QStringLiteral("--worker"), mode, where, QString::number(p), QString::number(saves)};
        if (!files.isEmpty())
            args << QStringLiteral("%1/pc%2.mdb").arg(files).arg(p);
        proc->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc->start(QCoreApplication::applicationFilePath(), args);
        ps.push_back(std::move(proc));
    }
    bool running = true;
    while (running) {
        running = false;
        for (auto &proc : ps)
            if (proc->state() != QProcess::NotRunning && !proc->waitForFinished(50))
                running = true;
        if (during)
            during(t.elapsed() / 1000.0);
    }
    r.seconds = t.elapsed() / 1000.0;
    for (auto &proc : ps) {
        const QStringList words = QString::fromLocal8Bit(proc->readAllStandardOutput()).split(QLatin1Char(' '));
        if (proc->exitCode() != 0 || words.size() < 4) {
            r.ok = false;
            continue;
        }
        r.acknowledged += words.at(1).toInt();
        r.pending += words.at(3).toInt();
    }
    return r;
}

int count(Database &db, const QString &sql)
{
    QSqlQuery q(db.connection());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

// Lost updates: pupils' groups whose columns do not hold the last save.
int lostUpdates(Database &db, int processes, int saves)
{
    ResultsStore store(db);
    int lost = 0;
    for (int p = 0; p < processes; ++p) {
        const auto row = store.pupilRow(pupilOf(p));
        if (!row || row->value(int(groupOf(p))).toInt() != saves)
            ++lost;
    }
    return lost;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--worker"))
        return worker(args.mid(1));
    const int processes = args.value(0, QStringLiteral("30")).toInt();
    const int saves = args.value(1, QStringLiteral("1000")).toInt();
    std::printf("load average: %s", qPrintable(QString::fromLatin1([] {
                    QFile f(QStringLiteral("/proc/loadavg"));
                    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?\n");
                }())));

    PgCluster cluster;
    cluster.setDurable(true);
    if (!cluster.start() || !cluster.makeArchive(kArchive)) {
        std::fprintf(stderr, "no cluster: %s\n", qPrintable(cluster.why()));
        return 1;
    }
    const int total = processes * saves;

    // 1. One server.
    Run server = runWorkers(QStringLiteral("server"), cluster.socketDir(), processes, saves, {});
    DbError e;
    {
        auto db = Database::openServer(cluster.superuser(kArchive), &e);
        std::printf("server: %d processes x %d saves in %.1f s = %.0f saves/s; acknowledged %d; history rows %d, "
                    "distinct codes %d, pupils' rows %d, lost updates %d\n",
                    processes, saves, server.seconds, total / server.seconds, server.acknowledged,
                    count(*db, QStringLiteral("SELECT count(*) FROM tentativi")),
                    count(*db, QStringLiteral("SELECT count(DISTINCT codice) FROM tentativi")),
                    count(*db, QStringLiteral("SELECT count(*) FROM tabtesti")), lostUpdates(*db, processes, saves));
    }

    // 2. A file each.
    QTemporaryDir files;
    Run file = runWorkers(QStringLiteral("separate"), QString(), processes, saves, files.path());
    std::printf("files:  %d processes x %d saves in %.1f s = %.0f saves/s; acknowledged %d\n", processes, saves,
                file.seconds, total / file.seconds, file.acknowledged);

    // 3. The server stopped, then killed, during the load.
    if (!cluster.makeArchive(kArchive))
        return 1;
    QTemporaryDir local;
    int stage = 0;
    auto restart = [&cluster]() {
        for (int t = 0; t < 100 && !cluster.startServer(); ++t)
            QThread::msleep(100);
    };
    Run fault = runWorkers(QStringLiteral("fault"), cluster.socketDir(), processes, saves, local.path(),
                           [&](double s) {
                               if (stage == 0 && s > 2) {
                                   stage = 1;
                                   cluster.stopServer(QStringLiteral("immediate"));
                                   QThread::msleep(1500);
                                   restart();
                               } else if (stage == 1 && s > 6) {
                                   stage = 2;
                                   const qint64 pid = cluster.postmasterPid();
                                   if (pid > 0)
                                       ::kill(pid_t(pid), SIGKILL);
                                   QThread::msleep(1500);
                                   restart();
                               }
                           });
    {
        auto db = Database::openServer(cluster.superuser(kArchive), &e);
        if (!db) {
            std::fprintf(stderr, "%s\n", qPrintable(e.message));
            return 1;
        }
        QSqlQuery q(db->connection());
        q.exec(QStringLiteral("SELECT visita, count(*) FROM tentativi GROUP BY visita"));
        QHash<QString, int> seen;
        while (q.next())
            seen.insert(q.value(0).toString(), q.value(1).toInt());
        int twice = 0;
        for (int n : std::as_const(seen))
            if (n > 1)
                ++twice;
        std::printf("fault:  stopped at 2 s, killed -9 at 6 s (stages reached: %d); %.1f s; acknowledged %d of %d; "
                    "on the server %d saves, %d of them more than once; still waiting %d; lost updates %d\n",
                    stage, fault.seconds, fault.acknowledged, total, int(seen.size()), twice, fault.pending,
                    lostUpdates(*db, processes, saves));
        const bool good = server.ok && file.ok && fault.ok && fault.acknowledged == int(seen.size()) && twice == 0
                          && fault.pending == 0;
        std::printf("%s\n", good ? "every acknowledged save is on the server exactly once" : "FAULT: see above");
        return good ? 0 : 1;
    }
}
