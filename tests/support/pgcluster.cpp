// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgcluster.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>

#include <pwd.h>
#include <unistd.h>

namespace morvello::test {

namespace {

constexpr int kPort = 5432;

bool runningAsRoot()
{
    return geteuid() == 0;
}

} // namespace

PgCluster::~PgCluster()
{
    stop();
}

QString PgCluster::binDir() const
{
    return QStringLiteral("/usr/lib/postgresql/15/bin");
}

QString PgCluster::socketDir() const
{
    return m_dir ? m_dir->path() : QString();
}

bool PgCluster::pg(const QStringList &command, QString *output, int timeoutMs)
{
    // PostgreSQL refuses to run as root: the tests, which do under CI, hand
    // its programs to the postgres user.
    QString program = command.first();
    QStringList args = command.mid(1);
    if (runningAsRoot()) {
        args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args;
        // /usr/sbin is not on every root's PATH (a plain "su").
        program = QFileInfo::exists(QStringLiteral("/usr/sbin/runuser")) ? QStringLiteral("/usr/sbin/runuser")
                                                                            : QStringLiteral("runuser");
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        m_why = QStringLiteral("%1 did not start").arg(program);
        return false;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        m_why = QStringLiteral("%1 did not finish").arg(command.first());
        return false;
    }
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (output)
        *output = out;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_why = QStringLiteral("%1 failed: %2").arg(QFileInfo(command.first()).fileName(), out.trimmed());
        return false;
    }
    return true;
}

bool PgCluster::start()
{
    if (m_running)
        return true;
    if (!QFileInfo(binDir() + QStringLiteral("/initdb")).isExecutable()) {
        m_why = QStringLiteral("PostgreSQL 15 is not installed (no %1/initdb)").arg(binDir());
        return false;
    }
    if (runningAsRoot() && !getpwnam("postgres")) {
        m_why = QStringLiteral("running as root and there is no postgres user to run the server");
        return false;
    }
    // In /tmp: a socket's path must stay under about 100 characters.
    m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/morvello-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        m_why = QStringLiteral("no temporary folder");
        return false;
    }
    if (runningAsRoot()) {
        const passwd *pw = getpwnam("postgres");
        if (chown(QFile::encodeName(m_dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_why = QStringLiteral("cannot give the folder to the postgres user");
            return false;
        }
    }
    const QString data = m_dir->path() + QStringLiteral("/data");
    if (!pg({binDir() + QStringLiteral("/initdb"), QStringLiteral("-D"), data, QStringLiteral("-U"),
             QStringLiteral("postgres"), QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
        return false;
    // The superuser on trust; every other role by its password, so that a
    // wrong one is refused as on a real server.
    QFile hba(data + QStringLiteral("/pg_hba.conf"));
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || hba.write("local all postgres trust\nlocal all all scram-sha-256\n") < 0) {
        m_why = QStringLiteral("cannot write pg_hba.conf");
        return false;
    }
    hba.close();
    if (runningAsRoot()) {
        const passwd *pw = getpwnam("postgres");
        if (chown(QFile::encodeName(hba.fileName()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_why = QStringLiteral("cannot give pg_hba.conf to the postgres user");
            return false;
        }
    }
    return startServer();
}

bool PgCluster::startServer()
{
    const QString data = m_dir->path() + QStringLiteral("/data");
    const QString options = QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c port=%2 "
                                           "-c max_connections=100 %3")
                                .arg(m_dir->path())
                                .arg(kPort)
                                .arg(m_durable ? QString() : QStringLiteral("-c fsync=off -c full_page_writes=off"));
    m_running = pg({binDir() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data, QStringLiteral("-l"),
                    m_dir->path() + QStringLiteral("/log"), QStringLiteral("-o"), options, QStringLiteral("-w"),
                    QStringLiteral("start")});
    return m_running;
}

bool PgCluster::stopServer(const QString &mode)
{
    if (!m_running || !m_dir)
        return true;
    const bool ok = pg({binDir() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_dir->path() + QStringLiteral("/data"),
                        QStringLiteral("-m"), mode, QStringLiteral("-w"), QStringLiteral("stop")});
    m_running = !ok;
    return ok;
}

qint64 PgCluster::postmasterPid() const
{
    if (!m_dir)
        return 0;
    QFile f(m_dir->path() + QStringLiteral("/data/postmaster.pid"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readLine().trimmed().toLongLong();
}

QString PgCluster::log() const
{
    QFile f(m_dir ? m_dir->path() + QStringLiteral("/log") : QString());
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

void PgCluster::stop()
{
    if (m_running)
        stopServer(QStringLiteral("immediate"));
    m_dir.reset();
}

ServerConfig PgCluster::superuser(const QString &database) const
{
    return as(QStringLiteral("postgres"), database);
}

ServerConfig PgCluster::as(const QString &role, const QString &database) const
{
    ServerConfig c;
    c.host = socketDir();
    c.port = kPort;
    c.database = database;
    c.role = role;
    return c;
}

bool PgCluster::run(const QStringList &statements, const QString &database)
{
    DbError e;
    std::unique_ptr<Database> db = Database::openServer(superuser(database), &e);
    if (!db) {
        m_why = e.message;
        return false;
    }
    for (const QString &sql : statements) {
        QSqlQuery q(db->connection());
        if (!q.exec(sql)) {
            m_why = QStringLiteral("%1: %2").arg(sql, q.lastError().text());
            return false;
        }
    }
    return true;
}

bool PgCluster::makeArchive(const QString &database)
{
    return run({QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(database),
                QStringLiteral("CREATE DATABASE \"%1\"").arg(database)})
           && run(schema::serverSchemaStatements(), database);
}

PgCluster *sharedCluster()
{
    static std::unique_ptr<PgCluster> cluster;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto c = std::make_unique<PgCluster>();
        if (c->start()) {
            cluster = std::move(c);
            std::atexit([] { cluster.reset(); });
        } else {
            qWarning("PostgreSQL cluster: %s", qPrintable(c->why()));
        }
    }
    return cluster.get();
}

bool serverRequired()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

} // namespace morvello::test
