// SPDX-License-Identifier: GPL-3.0-or-later
// The lab server beside the file, on a real PostgreSQL cluster: a server
// that goes away, comes back, refuses us or is not ours.
#include "pgcluster.h"
#include "testfiles.h"

#include "storage/database.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"
#include "storage/serverlink.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

const QDateTime kTen(QDate(2026, 3, 14), QTime(10, 0, 0));
const QString kArchive = QStringLiteral("laboratorio");

GroupValues genette(double count)
{
    return GroupValues{FieldGroup::Genette, count, 10, count * 10, {}};
}

// This computer: its own results file and the store over it.
struct Computer
{
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<ResultsStore> store;

    Computer()
    {
        const QString path = dir.path() + QStringLiteral("/testi1.mdb");
        DbError e;
        if (!Database::create(path, schema::resultsDatabaseStatements(), &e) || !(db = Database::open(path, &e)))
            qFatal("%s", qPrintable(e.message));
        store = std::make_unique<ResultsStore>(*db);
        store->setComputerId(QStringLiteral("questo"));
    }
};

// A count of rows on the server, as its superuser sees them.
int serverCount(PgCluster &c, const QString &sql)
{
    DbError e;
    auto db = Database::openServer(c.superuser(kArchive), &e);
    if (!db)
        return -1;
    QSqlQuery q(db->connection());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class TstServerLink : public QObject
{
    Q_OBJECT

private slots:
    // The technician's [server] section, from the user's configuration
    // folder; what libpq is handed never carries more than was meant.
    void configurationFromTheStandardPlace_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("options");
        QTest::newRow("a server by name, verified")
            << QByteArray("[server]\nhost=lab.scuola.it\nport=5433\ndatabase=morvello\nrole=alunni\nsslmode=verify-full\n")
            << "morvello su lab.scuola.it" << "sslmode=verify-full";
        QTest::newRow("options smuggled into sslmode are dropped")
            << QByteArray("[server]\ndatabase=morvello\nsslmode=\"disable host=altrove\"\n") << "morvello" << "";
        QTest::newRow("a service file's section") << QByteArray("[server]\nservice=laboratorio\n") << "laboratorio"
                                                  << "service=laboratorio";
        QTest::newRow("no section: the file alone") << QByteArray("[altro]\ndatabase=x\n") << "" << "";
    }
    void configurationFromTheStandardPlace()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, shown);
        QFETCH(QString, options);
        // One folder for every row: Qt reads the variable once.
        static QTemporaryDir config;
        QVERIFY(QDir().mkpath(config.path() + QStringLiteral("/morvello")));
        QVERIFY(writeBytes(config.path() + QStringLiteral("/morvello/morvello.conf"), section));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const ServerConfig c = ServerConfig::load();
        QCOMPARE(c.isSet(), !shown.isEmpty());
        if (!c.isSet())
            return;
        QCOMPARE(c.shownName(), shown);
        const QStringList given = c.connectOptions().split(QLatin1Char(';'));
        QVERIFY(given.contains(QStringLiteral("connect_timeout=2")));
        QCOMPARE(given.size(), options.isEmpty() ? 4 : 5);
        if (!options.isEmpty())
            QVERIFY2(given.contains(options), qPrintable(c.connectOptions()));
    }

    // Saves made while the server is away wait in the file and arrive once;
    // the pupil's group on the server keeps whichever save is newer.
    void savesWaitAndArriveOnce_data()
    {
        QTest::addColumn<int>("serverMinute"); // another computer's save on the server
        QTest::addColumn<int>("localMinute");  // this computer's, while the server was away
        QTest::addColumn<double>("kept");
        QTest::newRow("the waiting save is newer") << 0 << 5 << 7.0;
        QTest::newRow("the server's is newer") << 5 << 0 << 3.0;
    }
    void savesWaitAndArriveOnce()
    {
        QFETCH(int, serverMinute);
        QFETCH(int, localMinute);
        QFETCH(double, kept);
        MORVELLO_REQUIRE_SERVER(cluster);
        QVERIFY2(cluster->makeArchive(kArchive), qPrintable(cluster->why()));
        Computer here;
        ServerLink link(cluster->superuser(kArchive), *here.store);
        here.store->setLink(&link);
        QVERIFY(link.connectNow());
        QVERIFY(!here.store->save(QStringLiteral("ROSSI"), {genette(1)}, kTen).isError());
        {
            DbError e;
            auto other = Database::openServer(cluster->superuser(kArchive), &e);
            QVERIFY2(other, qPrintable(e.message));
            ResultsStore otherStore(*other);
            QVERIFY(!otherStore.saveHere(QStringLiteral("ROSSI"), {genette(3)}, kTen.addSecs(60 * serverMinute)).isError());
        }

        // Gone in the middle of the lesson: the save is not lost, and waits.
        QVERIFY(cluster->stopServer(QStringLiteral("immediate")));
        const DbError e = here.store->save(QStringLiteral("rossi"), {genette(7)}, kTen.addSecs(60 * localMinute));
        QVERIFY2(!e.isError(), qPrintable(e.message));
        QVERIFY(!link.online());
        QCOMPARE(here.store->pendingCount(), 1);
        QCOMPARE(here.store->pupilRow(QStringLiteral("ROSSI"))->at(30).toDouble(), 7.0);

        // Back: the minute's check finds it, on its worker thread.
        QVERIFY(cluster->startServer());
        ManualTickSource ticks;
        link.start(&ticks);
        QTRY_VERIFY_WITH_TIMEOUT(link.online(), 10000);
        QCOMPARE(here.store->pendingCount(), 0);
        QCOMPARE(serverCount(*cluster, QStringLiteral("SELECT count(*) FROM tentativi")), 3);
        QCOMPARE(serverCount(*cluster, QStringLiteral("SELECT count(DISTINCT codice) FROM tentativi")), 3);
        QCOMPARE(serverCount(*cluster, QStringLiteral("SELECT count(*) FROM tabtesti")), 1);
        QCOMPARE(here.store->pupilRow(QStringLiteral("ROSSI"))->at(30).toDouble(), kept);

        // Sent, but the file did not hear it (cut off before it could strike
        // them off): sent again, kept once.
        QVERIFY(here.db->exec(QStringLiteral("INSERT INTO in_attesa SELECT codice FROM tentativi")));
        int sent = 0;
        QVERIFY(!link.sendPending(&sent).isError());
        QCOMPARE(sent, 1); // the one saved here; the first went straight to the server
        QCOMPARE(serverCount(*cluster, QStringLiteral("SELECT count(*) FROM tentativi")), 3);
        QCOMPARE(here.store->pendingCount(), 0);
    }

    // A server that answers but cannot be ours: said once, in Italian, and
    // the program keeps its results in the file.
    void refusedServerToldOnce_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("said");
        QTest::newRow("wrong password") << "password" << "password";
        QTest::newRow("no such database") << "database" << "non esiste un archivio";
        QTest::newRow("another program's server") << "foreign" << "un altro programma";
        QTest::newRow("a newer version's archive") << "newer" << "versione più recente";
    }
    void refusedServerToldOnce()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, said);
        MORVELLO_REQUIRE_SERVER(cluster);
        QVERIFY2(cluster->makeArchive(kArchive), qPrintable(cluster->why()));
        QVERIFY(cluster->run({QStringLiteral("DROP ROLE IF EXISTS prova"),
                              QStringLiteral("CREATE ROLE prova LOGIN PASSWORD 'giusta' SUPERUSER")}));
        ServerConfig config = cluster->as(QStringLiteral("prova"), kArchive);
        QTemporaryDir home;
        const QString pgpass = home.path() + QStringLiteral("/.pgpass");
        QVERIFY(writeBytes(pgpass, trouble == QLatin1String("password") ? "*:*:*:prova:sbagliata\n" : "*:*:*:prova:giusta\n"));
        QFile::setPermissions(pgpass, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", QFile::encodeName(pgpass));
        if (trouble == QLatin1String("database"))
            config.database = QStringLiteral("non_esiste");
        if (trouble == QLatin1String("foreign"))
            QVERIFY(cluster->run({QStringLiteral("DROP DATABASE IF EXISTS magazzino"), QStringLiteral("CREATE DATABASE magazzino")})
                    && cluster->run({QStringLiteral("CREATE TABLE clienti (nome text)")}, QStringLiteral("magazzino")));
        if (trouble == QLatin1String("foreign"))
            config.database = QStringLiteral("magazzino");
        if (trouble == QLatin1String("newer"))
            QVERIFY(cluster->run({QStringLiteral("UPDATE morvello_schema SET versione = 99")}, kArchive));

        Computer here;
        ServerLink link(config, *here.store);
        here.store->setLink(&link);
        QStringList told;
        link.setTell([&told](const QString &text) { told << text; });
        ManualTickSource ticks;
        link.start(&ticks);
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, 10000);
        QVERIFY2(told.first().contains(said), qPrintable(told.first()));
        // The minute's check meets the same trouble and says nothing more.
        ticks.advance(60 * 1000);
        QTest::qWait(1500);
        QCOMPARE(told.size(), 1);
        QVERIFY(!link.online());
        QVERIFY(!here.store->save(QStringLiteral("BIANCHI"), {genette(2)}, kTen).isError());
        QCOMPARE(here.store->pendingCount(), 1);
        QCOMPARE(here.store->names(), QStringList{QStringLiteral("BIANCHI")});
        qunsetenv("PGPASSFILE");
    }
};

QTEST_GUILESS_MAIN(TstServerLink)
#include "tst_serverlink.moc"
