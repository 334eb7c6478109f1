// SPDX-License-Identifier: GPL-3.0-or-later
// The setup of a lab server and the rights it gives, tried for real on a
// throwaway PostgreSQL cluster.
#include "pgcluster.h"
#include "testfiles.h"

#include "storage/database.h"
#include "storage/resultsstore.h"
#include "storage/serversetup.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

class TstServerSetup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    // The two roles get passwords, as the technician would give them, and
    // the computers find them in their .pgpass.
    bool setUp(PgCluster &cluster, const ServerSetup &setup = {})
    {
        QStringList report;
        const DbError e = setUpServer(cluster.superuser(), setup, &report);
        if (e.isError()) {
            qWarning("%s", qPrintable(e.message));
            return false;
        }
        const QString pgpass = m_home.path() + QStringLiteral("/.pgpass");
        if (!writeBytes(pgpass, "*:*:*:morvello_alunni:alunni\n*:*:*:morvello_docente:docente\n"))
            return false;
        QFile::setPermissions(pgpass, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", QFile::encodeName(pgpass));
        return cluster.run({QStringLiteral("ALTER ROLE morvello_alunni PASSWORD 'alunni'"),
                            QStringLiteral("ALTER ROLE morvello_docente PASSWORD 'docente'")});
    }

private slots:
    // What each role may do, statement by statement.
    void rights_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QString pupils = QStringLiteral("morvello_alunni");
        const QString teacher = QStringLiteral("morvello_docente");
        QTest::newRow("pupils read results") << pupils << "SELECT count(*) FROM tabtesti" << true;
        QTest::newRow("pupils update results") << pupils << "UPDATE tabtesti SET genette = 1" << true;
        QTest::newRow("pupils add registrations") << pupils << "INSERT INTO studenti (nome) VALUES ('A')" << true;
        QTest::newRow("pupils delete no result") << pupils << "DELETE FROM tabtesti" << false;
        QTest::newRow("pupils delete no history") << pupils << "DELETE FROM tentativi" << false;
        QTest::newRow("pupils empty no table") << pupils << "TRUNCATE tentativi" << false;
        QTest::newRow("pupils change no registration") << pupils << "UPDATE studenti SET nome = 'B'" << false;
        QTest::newRow("pupils make no table") << pupils << "CREATE TABLE altro (x int)" << false;
        QTest::newRow("pupils drop no table") << pupils << "DROP TABLE tabtesti" << false;
        QTest::newRow("pupils make no database") << pupils << "CREATE DATABASE altro" << false;
        QTest::newRow("pupils change no version") << pupils << "UPDATE morvello_schema SET versione = 2" << false;
        QTest::newRow("teacher reads history") << teacher << "SELECT count(*) FROM tentativi" << true;
        QTest::newRow("teacher writes nothing") << teacher << "INSERT INTO tabtesti (nome) VALUES ('X')" << false;
    }
    void rights()
    {
        QFETCH(QString, role);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        MORVELLO_REQUIRE_SERVER(cluster);
        QVERIFY(setUp(*cluster));
        DbError e;
        auto db = Database::openServer(cluster->as(role, QStringLiteral("morvello")), &e);
        QVERIFY2(db, qPrintable(e.message));
        QCOMPARE(db->exec(statement, {}, &e), allowed);
        if (!allowed)
            QCOMPARE(e.number, DbErrorCode::ReadOnly); // "not granted", in Italian
    }

    // The save protocol needs no more than the pupils' rights: the first
    // save of a pupil, another, and the rows read back.
    void pupilsComputerSaves()
    {
        MORVELLO_REQUIRE_SERVER(cluster);
        QVERIFY(setUp(*cluster));
        DbError e;
        auto db = Database::openServer(cluster->as(QStringLiteral("morvello_alunni"), QStringLiteral("morvello")), &e);
        QVERIFY2(db, qPrintable(e.message));
        ResultsStore store(*db);
        const QDateTime now(QDate(2026, 3, 14), QTime(9, 0));
        e = store.save(QStringLiteral("NUOVO ALUNNO"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, now);
        QVERIFY2(!e.isError(), qPrintable(e.message));
        e = store.save(QStringLiteral("NUOVO ALUNNO"), {GroupValues{FieldGroup::Poesia, 2, 2, 100, {}}}, now);
        QVERIFY2(!e.isError(), qPrintable(e.message));
        QCOMPARE(store.pupilRow(QStringLiteral("NUOVO ALUNNO"))->at(8).toDouble(), 100.0);
        QVERIFY(!store.appendStudentRow(QStringLiteral("NUOVO ALUNNO"), QStringLiteral("Testi narrativi"), 1, 2).isError());
    }

    // Run again it changes nothing; a database of another program is left
    // as it is, and so are bad names.
    void setupRefusesWhatIsNotItsOwn_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("said");
        QTest::newRow("again on its own archive") << "morvello" << "";
        QTest::newRow("another program's tables") << "magazzino" << "un altro programma";
        QTest::newRow("a name that is not plain") << "morvello; DROP" << "non va bene come nome";
    }
    void setupRefusesWhatIsNotItsOwn()
    {
        QFETCH(QString, database);
        QFETCH(QString, said);
        MORVELLO_REQUIRE_SERVER(cluster);
        QVERIFY(setUp(*cluster));
        QVERIFY(cluster->run({QStringLiteral("DROP DATABASE IF EXISTS magazzino"), QStringLiteral("CREATE DATABASE magazzino")})
                && cluster->run({QStringLiteral("CREATE TABLE clienti (nome text)")}, QStringLiteral("magazzino")));
        ServerSetup setup;
        setup.database = database;
        const DbError e = setUpServer(cluster->superuser(), setup);
        QCOMPARE(e.isError(), !said.isEmpty());
        QVERIFY2(e.message.contains(said), qPrintable(e.message));
        DbError r;
        auto db = Database::openServer(cluster->superuser(QStringLiteral("magazzino")), &r);
        QVERIFY(db);
        QSqlQuery q(db->connection());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'")) && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TstServerSetup)
#include "tst_serversetup.moc"
