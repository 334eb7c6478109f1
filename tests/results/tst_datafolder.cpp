#include "platform/database.h"
#include "testsupport.h"
#include "results/datafolder.h"
#include "results/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A results file with some rows, closed again.
QByteArray makeResultsFile(const QString &path, int rows)
{
    if (!Database::create(path, schema::resultsDatabaseStatements()))
        return {};
    {
        auto db = Database::open(path);
        if (!db || !db->beginTransaction())
            return {};
        for (int i = 0; i < rows; ++i)
            db->exec(QStringLiteral("INSERT INTO tabtesti (nome, genette) VALUES (?, ?)"),
                     {QStringLiteral("ALUNNO %1 CON UN NOME LUNGO ABBASTANZA PER RIEMPIRE LE PAGINE").arg(i), i});
        if (!db->commit())
            return {};
    }
    return test::bytesOf(path);
}

} // namespace

class TstDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void missingFolderIsReported()
    {
        QTemporaryDir base;
        const DbError e = prepareDataFolder(base.path());
        QCOMPARE(e.number, DbErrorCode::FileNotFound);
        QVERIFY2(e.message.contains(QStringLiteral("permorvello")), qPrintable(e.message));
        QVERIFY(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
        DbError openError;
        QVERIFY(!openResultsDatabase(base.path(), &openError));
        QCOMPARE(openError.number, DbErrorCode::FileNotFound);
    }

    void createsWhatIsMissing_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("haveResults");
        QTest::addColumn<bool>("haveTemplate");
        QTest::newRow("empty folder") << "permorvello" << false << false;
        QTest::newRow("only results") << "permorvello" << true << false;
        QTest::newRow("only template") << "permorvello" << false << true;
        QTest::newRow("both") << "permorvello" << true << true;
        QTest::newRow("folder in other case") << "PerMorvello" << false << false;
    }
    void createsWhatIsMissing()
    {
        QFETCH(QString, folder);
        QFETCH(bool, haveResults);
        QFETCH(bool, haveTemplate);
        QTemporaryDir base;
        const QString dir = base.filePath(folder);
        QVERIFY(QDir().mkpath(dir));
        const QString results = dir + QStringLiteral("/testi1.mdb");
        const QString exportFile = dir + QStringLiteral("/exporttesti.mdb");
        QByteArray resultsBefore, templateBefore;
        if (haveResults)
            QVERIFY(!(resultsBefore = makeResultsFile(results, 30)).isEmpty());
        if (haveTemplate) {
            // Whatever lies there is the teacher's: it stays as it is.
            templateBefore = "non toccare";
            QVERIFY(test::writeBytes(exportFile, templateBefore));
        }

        const DbError e = prepareDataFolder(base.path());
        QVERIFY2(!e.isError(), qPrintable(e.message));
        QCOMPARE(filesIn(dir), (QStringList{QStringLiteral("exporttesti.mdb"), QStringLiteral("testi1.mdb")}));
        if (haveResults)
            QCOMPARE(test::bytesOf(results), resultsBefore);
        if (haveTemplate)
            QCOMPARE(test::bytesOf(exportFile), templateBefore);

        DbError openError;
        auto db = openResultsDatabase(base.path(), &openError);
        QVERIFY2(db, qPrintable(openError.message));
        QCOMPARE(test::tableRows(*db, QStringLiteral("tabtesti")).size(), haveResults ? 30 : 0);

        if (!haveTemplate) {
            auto exp = Database::open(exportFile, &openError);
            QVERIFY2(exp, qPrintable(openError.message));
            QSqlQuery q(exp->connection());
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pragma_table_info('tabtesti')")) && q.next());
            QCOMPARE(q.value(0).toInt(), 34);
            QCOMPARE(test::tableRows(*exp, QStringLiteral("tabtesti")).size(), 0);
        }
    }

    void preparingTwiceChangesNothing()
    {
        QTemporaryDir base;
        const QString dir = base.filePath(QStringLiteral("permorvello"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(!prepareDataFolder(base.path()).isError());
        const QByteArray results = test::bytesOf(dir + QStringLiteral("/testi1.mdb"));
        const QByteArray exportFile = test::bytesOf(dir + QStringLiteral("/exporttesti.mdb"));
        QVERIFY(!prepareDataFolder(base.path()).isError());
        QCOMPARE(test::bytesOf(dir + QStringLiteral("/testi1.mdb")), results);
        QCOMPARE(test::bytesOf(dir + QStringLiteral("/exporttesti.mdb")), exportFile);
    }

    void troubledResultsFileIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("not a database") << "text";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("garbage pages") << "garbage";
        QTest::newRow("tables missing") << "notables";
        QTest::newRow("columns out of order") << "columns";
        QTest::newRow("studenti missing") << "nostudenti";
    }
    void troubledResultsFileIsReportedAndLeftAlone()
    {
        QFETCH(QString, trouble);
        QTemporaryDir base;
        const QString dir = base.filePath(QStringLiteral("permorvello"));
        QVERIFY(QDir().mkpath(dir));
        const QString results = dir + QStringLiteral("/testi1.mdb");
        QByteArray data;
        if (trouble == QLatin1String("text")) {
            data = "Risultati della classe 2B\n";
        } else if (trouble == QLatin1String("truncated") || trouble == QLatin1String("garbage")) {
            data = makeResultsFile(results, 600);
            QVERIFY(data.size() > 10 * 4096);
            if (trouble == QLatin1String("truncated"))
                data.truncate(data.size() / 3);
            else
                data.replace(4 * 4096, 3 * 4096, QByteArray(3 * 4096, '\x5a'));
        } else if (trouble != QLatin1String("empty")) {
            QStringList statements;
            if (trouble == QLatin1String("columns"))
                statements << QStringLiteral("CREATE TABLE tabtesti (nome TEXT, id INTEGER)");
            if (trouble == QLatin1String("nostudenti")) {
                for (const QString &sql : schema::resultsDatabaseStatements()) {
                    if (!sql.contains(QStringLiteral("studenti")))
                        statements << sql;
                }
            }
            statements << QStringLiteral("CREATE TABLE altro (x)");
            QVERIFY(Database::create(results, statements));
            data = test::bytesOf(results);
        }
        QVERIFY(test::writeBytes(results, data));

        QVERIFY(!prepareDataFolder(base.path()).isError()); // present: not replaced
        QCOMPARE(test::bytesOf(results), data);

        DbError e;
        QVERIFY(!openResultsDatabase(base.path(), &e));
        QVERIFY(e.isError());
        QVERIFY(e.number != DbErrorCode::FileNotFound);
        QVERIFY2(e.message.contains(QStringLiteral("testi1.mdb")), qPrintable(e.message));
        QCOMPARE(test::bytesOf(results), data);
        QCOMPARE(filesIn(dir), (QStringList{QStringLiteral("exporttesti.mdb"), QStringLiteral("testi1.mdb")}));
    }

    void folderThatCannotBeWrittenIsReported()
    {
        QTemporaryDir base;
        const QString dir = base.filePath(QStringLiteral("permorvello"));
        QVERIFY(QDir().mkpath(dir));
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(dir).isWritable()) {
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("running with rights that ignore folder permissions");
        }
        const DbError e = prepareDataFolder(base.path());
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(e.isError());
        QVERIFY2(e.message.contains(QStringLiteral("testi1.mdb")), qPrintable(e.message));
        QVERIFY(filesIn(dir).isEmpty());
    }
};

QTEST_MAIN(TstDataFolder)
#include "tst_datafolder.moc"
