// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "storage/schema.h"
#include "pgcluster.h"

#include "kit/accessibility.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>

namespace morvello::test {

static Services makeServices(TestContext &t)
{
    Services s;
    s.dialogs = &t.dialogs;
    s.clock = &t.clock;
    s.random = &t.random;
    s.ticks = &t.ticks;
    s.drive = &t.drive;
    s.speech = &t.speech;
    return s;
}

namespace {

Archive g_archive = Archive::File;
const QString kTestArchive = QStringLiteral("morvello_prove");

// The server's database, made once per test program and emptied for each
// context: far quicker than a database per test.
std::unique_ptr<Database> freshServerArchive()
{
    PgCluster *cluster = sharedCluster();
    if (!cluster)
        qFatal("no PostgreSQL cluster for a server context");
    static bool made = false;
    if (!made) {
        if (!cluster->makeArchive(kTestArchive))
            qFatal("cannot make the server's archive: %s", qPrintable(cluster->why()));
        made = true;
    }
    if (!cluster->run({QStringLiteral("SET client_min_messages = warning"),
                       QStringLiteral("DROP FUNCTION IF EXISTS rifiuta() CASCADE"),
                       QStringLiteral("TRUNCATE \"tabtesti\", \"studenti\", \"tentativi\" RESTART IDENTITY")},
                      kTestArchive))
        qFatal("cannot empty the server's archive: %s", qPrintable(cluster->why()));
    DbError err;
    std::unique_ptr<Database> db = Database::openServer(cluster->superuser(kTestArchive), &err);
    if (!db)
        qFatal("cannot open the server's archive: %s", qPrintable(err.message));
    return db;
}

} // namespace

void setArchive(Archive archive)
{
    g_archive = archive;
}

Archive currentArchive()
{
    return g_archive;
}

int runOnBothArchives(QObject &tests, int argc, char **argv)
{
    setArchive(Archive::File);
    int failed = QTest::qExec(&tests, argc, argv);
    if (!sharedCluster()) {
        if (serverRequired()) {
            qCritical("FAIL: the server's run of %s needs PostgreSQL under CI=true", tests.metaObject()->className());
            return failed + 1;
        }
        qWarning("SKIP: the server's run of %s: no PostgreSQL 15 to start", tests.metaObject()->className());
        return failed;
    }
    setArchive(Archive::Server);
    failed += QTest::qExec(&tests, argc, argv);
    setArchive(Archive::File);
    return failed;
}

std::unique_ptr<Database> TestContext::openAnother(DbError *error) const
{
    if (onServer())
        return Database::openServer(sharedCluster()->superuser(kTestArchive), error);
    return Database::open(resultsPath(), error);
}

bool refuseWrites(Database &db, const QString &moment)
{
    if (!db.isServer())
        return db.exec(QStringLiteral("CREATE TRIGGER rifiuta %1 BEGIN SELECT RAISE(ABORT, 'rifiutato'); END").arg(moment));
    return db.exec(QStringLiteral("CREATE OR REPLACE FUNCTION rifiuta() RETURNS trigger LANGUAGE plpgsql AS "
                                  "$$BEGIN RAISE EXCEPTION 'rifiutato'; END$$"))
           && db.exec(QStringLiteral("CREATE TRIGGER rifiuta %1 FOR EACH ROW EXECUTE FUNCTION rifiuta()").arg(moment));
}

bool allowWrites(Database &db)
{
    if (!db.isServer())
        return db.exec(QStringLiteral("DROP TRIGGER rifiuta"));
    return db.exec(QStringLiteral("DROP FUNCTION rifiuta() CASCADE"));
}

bool makeReadOnly(Database &db)
{
    return db.exec(db.isServer() ? QStringLiteral("SET default_transaction_read_only = on")
                                 : QStringLiteral("PRAGMA query_only=1"));
}

TestContext::TestContext(bool createDatabase)
    : services(makeServices(*this)), host(std::make_unique<AppHost>(services)), session(host->session())
{
    a11y::install();
    QDir().mkpath(dataDir());
    services.baseDir = dir.path();
    drive.setFolder(dir.path() + QStringLiteral("/floppy"));
    navigator = &host->navigator();
    host->setEnd([this] { ended = true; });
    if (createDatabase && g_archive == Archive::Server) {
        db = freshServerArchive();
        host->setDatabase(db.get());
    } else if (createDatabase) {
        DbError err;
        if (!Database::create(resultsPath(), schema::resultsDatabaseStatements(), &err))
            qFatal("cannot create test database: %s", qPrintable(err.message));
        db = Database::open(resultsPath(), &err);
        if (!db)
            qFatal("cannot open test database: %s", qPrintable(err.message));
        host->setDatabase(db.get());
    }
}

void TestContext::copyShippedData()
{
    const QDir src(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
    for (const QString &sub : {QString(), QStringLiteral("genette")}) {
        const QString to = dataDir() + (sub.isEmpty() ? QString() : QLatin1Char('/') + sub);
        QDir().mkpath(to);
        for (const QFileInfo &fi : QDir(src.filePath(sub)).entryInfoList(QDir::Files))
            QFile::copy(fi.filePath(), to + QLatin1Char('/') + fi.fileName());
    }
}

TestContext::~TestContext()
{
    host.reset();
    db.reset();
}

DbError saveGroup(TestContext &t, FieldGroup group, const QVariant &count, const QVariant &total,
                  const QVariant &percent)
{
    return t.host->save({GroupValues{group, count, total, percent, QVariant()}});
}

DbError saveGroups(TestContext &t, const QVector<GroupValues> &groups)
{
    return t.host->save(groups);
}

DbError registerNarrativeResult(TestContext &t, double right, double total)
{
    return t.host->appendStudentRow(QStringLiteral("Testi narrativi"), right, total);
}

void reportSaveFailure(TestContext &t, const DbError &error)
{
    if (error.isError())
        t.services.tell(ActivityScreen::saveFailedText(error));
}

void whenModalShows(std::function<void(QWidget *)> answer, bool *seen)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, seen, tries] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            if (!QTest::qWaitForWindowExposed(modal))
                qWarning("the dialog %s never came on screen", modal->metaObject()->className());
            if (seen)
                *seen = true;
            answer(modal);
            // An answer cut short by a failed check must not leave the test
            // waiting on the dialog forever.
            if (auto *d = qobject_cast<QDialog *>(modal); d && d->isVisible())
                d->reject();
        } else if (++*tries > 1000) { // ten seconds: give up, the test fails on its own
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

QString shotsFolder()
{
    return qEnvironmentVariable("MORVELLO_SHOTS_DIR");
}

} // namespace morvello::test
