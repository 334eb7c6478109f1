#include "storage/database.h"
#include "testfiles.h"
#include "storage/datafolder.h"
#include "storage/resultsstore.h"
#include "storage/schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

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

// The statements an earlier version built the results file with: a
// write-ahead log, and the "nome" index on the program's own collation.
QStringList earlierVersionStatements()
{
    QStringList out;
    for (QString sql : schema::resultsDatabaseStatements()) {
        if (sql.contains(QStringLiteral("user_version")))
            continue;
        sql.replace(QStringLiteral("journal_mode=DELETE"), QStringLiteral("journal_mode=WAL"));
        sql.replace(QStringLiteral("COLLATE NOCASE"), QStringLiteral("COLLATE ") + Database::legacyNameCollation());
        out << sql;
    }
    return out;
}

// An earlier version's file holding these names (set straight into the
// table, as that version or a teacher's tool left them).
bool makeEarlierFile(const QString &path, const QStringList &names)
{
    if (!Database::create(path, earlierVersionStatements()))
        return false;
    auto db = Database::open(path);
    if (!db)
        return false;
    // Opening switches the journal; the earlier version's file kept its log.
    if (!db->exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        return false;
    for (const QString &n : names)
        if (!db->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"), {n}))
            return false;
    return true;
}

sqlite3 *handleOf(Database &db)
{
    return *static_cast<sqlite3 *const *>(db.connection().driver()->handle().constData());
}

int reversed(void *, int n1, const void *p1, int n2, const void *p2)
{
    const int c = memcmp(p2, p1, size_t(qMin(n1, n2)));
    return c != 0 ? c : n2 - n1;
}

// The "nome" index written in an order the engine's own NOCASE does not
// keep: index and table then disagree, and only a full check sees it.
bool spoilNomeIndex(const QString &path)
{
    auto db = Database::open(path);
    if (!db)
        return false;
    sqlite3_create_collation(handleOf(*db), "NOCASE", SQLITE_UTF8, nullptr, reversed);
    if (!db->beginTransaction())
        return false;
    for (int i = 0; i < 200; ++i)
        if (!db->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"), {QStringLiteral("ALUNNO %1").arg(i)}))
            return false;
    return db->commit();
}

QString pragmaValue(Database &db, const QString &sql)
{
    QSqlQuery q(db.connection());
    return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<failed>");
}

// The index as the program wants it: unique, on nome, with NOCASE.
bool nomeIndexAsMade(Database &db)
{
    return pragmaValue(db, QStringLiteral("SELECT \"unique\" FROM pragma_index_list('tabtesti') WHERE name='nome'"))
               == QStringLiteral("1")
           && pragmaValue(db, QStringLiteral("SELECT group_concat(name || ' ' || coll) FROM pragma_index_xinfo('nome') "
                                             "WHERE key=1"))
                  == QStringLiteral("nome NOCASE");
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
            // A sound template is the teacher's: it stays as it is, even
            // with a table of the teacher's own beside tabtesti.
            QVERIFY(Database::create(exportFile, schema::exportTemplateStatements()
                                                     << QStringLiteral("CREATE TABLE \"note\" (testo TEXT)")));
            templateBefore = test::bytesOf(exportFile);
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
        QTest::addColumn<bool>("refused");
        QTest::newRow("not a database") << "text" << true;
        // A file of no bytes holds nothing: it is made like a missing one.
        QTest::newRow("empty file") << "empty" << false;
        QTest::newRow("truncated") << "truncated" << true;
        QTest::newRow("garbage pages") << "garbage" << true;
        QTest::newRow("tables missing") << "notables" << true;
        QTest::newRow("columns out of order") << "columns" << true;
        QTest::newRow("studenti missing") << "nostudenti" << true;
        QTest::newRow("index disagrees with its table") << "index" << true;
        QTest::newRow("nome holds numbers") << "nometype" << true;
        QTest::newRow("a count holds text") << "counttype" << true;
        QTest::newRow("studenti counts hold text") << "studentitype" << true;
    }
    void troubledResultsFileIsReportedAndLeftAlone()
    {
        QFETCH(QString, trouble);
        QFETCH(bool, refused);
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
        } else if (trouble == QLatin1String("index")) {
            QVERIFY(Database::create(results, schema::resultsDatabaseStatements()));
            QVERIFY(spoilNomeIndex(results));
            data = test::bytesOf(results);
        } else if (trouble.endsWith(QLatin1String("type"))) {
            QStringList statements = schema::resultsDatabaseStatements();
            const QString from = trouble == QLatin1String("nometype") ? QStringLiteral("\"nome\" TEXT")
                               : trouble == QLatin1String("counttype") ? QStringLiteral("\"genettetot\" DOUBLE")
                                                                        : QStringLiteral("\"rispgiuste\" NUMERIC");
            const QString to = trouble == QLatin1String("nometype") ? QStringLiteral("\"nome\" INTEGER")
                             : trouble == QLatin1String("counttype") ? QStringLiteral("\"genettetot\" VARCHAR(10)")
                                                                      : QStringLiteral("\"rispgiuste\" TEXT");
            QVERIFY(statements.join(QLatin1Char('\n')).contains(from));
            statements.replaceInStrings(from, to);
            QVERIFY(Database::create(results, statements));
            data = test::bytesOf(results);
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
        if (!refused) {
            DbError e;
            auto db = openResultsDatabase(base.path(), &e);
            QVERIFY2(db, qPrintable(e.message));
            QVERIFY(db->notices().isEmpty());
            QVERIFY(nomeIndexAsMade(*db));
            return;
        }
        QCOMPARE(test::bytesOf(results), data);

        DbError e;
        QVERIFY(!openResultsDatabase(base.path(), &e));
        QVERIFY(e.isError());
        QVERIFY(e.number != DbErrorCode::FileNotFound);
        QVERIFY2(e.message.contains(QStringLiteral("testi1.mdb")), qPrintable(e.message));
        QCOMPARE(test::bytesOf(results), data);
        QCOMPARE(filesIn(dir), (QStringList{QStringLiteral("exporttesti.mdb"), QStringLiteral("testi1.mdb")}));
    }

    void nomeIndexMadeAgain_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("duplicates");
        QTest::newRow("index missing") << "DROP INDEX nome" << QStringList();
        QTest::newRow("index not unique") << "DROP INDEX nome; CREATE INDEX nome ON tabtesti (nome)" << QStringList();
        QTest::newRow("index on the wrong column") << "DROP INDEX nome; CREATE UNIQUE INDEX nome ON tabtesti (id)"
                                                   << QStringList();
        QTest::newRow("index without collation") << "DROP INDEX nome; CREATE UNIQUE INDEX nome ON tabtesti (nome)"
                                                 << QStringList();
        QTest::newRow("index of an earlier version") << "earlier" << QStringList();
        QTest::newRow("names that stop it") << "DROP INDEX nome; INSERT INTO tabtesti (nome) VALUES ('BETA'), "
                                               "('Ospite'), ('OSPITE')"
                                            << QStringList{QStringLiteral("BETA"), QStringLiteral("Ospite")};
    }
    void nomeIndexMadeAgain()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, duplicates);
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("permorvello")));
        const QString results = base.filePath(QStringLiteral("permorvello/testi1.mdb"));
        const QStringList names{QStringLiteral("ALFA"), QStringLiteral("BETA")};
        if (setup == QLatin1String("earlier")) {
            QVERIFY(makeEarlierFile(results, names));
        } else {
            QVERIFY(Database::create(results, schema::resultsDatabaseStatements()));
            auto raw = Database::open(results);
            for (const QString &n : names)
                QVERIFY(raw->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"), {n}));
            for (const QString &sql : setup.split(QStringLiteral("; ")))
                QVERIFY(raw->exec(sql));
        }
        DbError e;
        auto db = openResultsDatabase(base.path(), &e);
        QVERIFY2(db, qPrintable(e.message));
        if (duplicates.isEmpty()) {
            QVERIFY2(db->notices().isEmpty(), qPrintable(db->notices().join(QLatin1Char('\n'))));
            QVERIFY(nomeIndexAsMade(*db));
            QCOMPARE(test::allNames(*db), names);
        } else {
            // Reported with the names; the program goes on with the file.
            QCOMPARE(db->notices().size(), 1);
            for (const QString &n : duplicates)
                QVERIFY2(db->notices().first().contains(QLatin1Char('"') + n), qPrintable(db->notices().first()));
            QVERIFY(!db->notices().first().contains(QStringLiteral("ALFA")));
            ResultsStore store(*db);
            QVERIFY(!store.save(QStringLiteral("ALFA"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, QDateTime::currentDateTime())
                         .isError());
        }
    }

    void storedNamesBroughtToOneForm()
    {
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("permorvello")));
        const QString results = base.filePath(QStringLiteral("permorvello/testi1.mdb"));
        QVERIFY(makeEarlierFile(results, {QString::fromUtf8("NICOLO\u0300 BIANCHI"), QString::fromUtf8("ROSSI\u00a0MARIO"),
                                          QString::fromUtf8("NERI\u200b  ANNA"), QStringLiteral("Ospite"),
                                          QStringLiteral("VERDI LUCA"), QStringLiteral("VERDI\tLUCA"),
                                          QString::fromUtf8("GIALLI\u3000SARA")}));
        const QStringList expected{QString::fromUtf8("NICOLÒ BIANCHI"), QStringLiteral("ROSSI MARIO"),
                                   QStringLiteral("NERI ANNA"),     QStringLiteral("Ospite"),
                                   QStringLiteral("VERDI LUCA"),    QStringLiteral("VERDI\tLUCA"),
                                   QStringLiteral("GIALLI SARA")};
        DbError e;
        {
            auto db = openResultsDatabase(base.path(), &e);
            QVERIFY2(db, qPrintable(e.message));
            // The two rows that would become one are kept as they are, and named.
            QCOMPARE(test::allNames(*db), expected);
            QCOMPARE(db->notices().size(), 1);
            QVERIFY(db->notices().first().contains(QStringLiteral("\"VERDI LUCA\"")));
            QVERIFY(db->notices().first().contains(QStringLiteral("\"VERDI\tLUCA\"")));
            QVERIFY(!db->notices().first().contains(QStringLiteral("ROSSI")));
            // Looked at again next time, until mended.
            QCOMPARE(pragmaValue(*db, QStringLiteral("PRAGMA user_version")), QStringLiteral("0"));
            QVERIFY(db->exec(QStringLiteral("DELETE FROM tabtesti WHERE nome = ?"), {QStringLiteral("VERDI\tLUCA")}));
        }
        auto db = openResultsDatabase(base.path(), &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(db->notices().isEmpty());
        QCOMPARE(pragmaValue(*db, QStringLiteral("PRAGMA user_version")), QString::number(schema::kResultsFileVersion));
        // The pupil typing the name today finds the old row.
        const auto row = test::lookupPupil(*db, QStringLiteral("NICOLÒ BIANCHI"));
        QVERIFY(row);
        QCOMPARE(row->at(0).toLongLong(), 1);
    }

    void standardToolsUseTheArchive_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::newRow("new archive") << false;
        QTest::newRow("archive of an earlier version") << true;
    }
    void standardToolsUseTheArchive()
    {
        QFETCH(bool, earlier);
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (tool.isEmpty())
            QSKIP("the sqlite3 tool is not installed (./morvello.sh test installs it)");
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("permorvello")));
        const QString results = base.filePath(QStringLiteral("permorvello/testi1.mdb"));
        if (earlier)
            QVERIFY(makeEarlierFile(results, {QStringLiteral("BIANCHI ANNA")}));
        QVERIFY(!prepareDataFolder(base.path()).isError());
        {
            DbError e;
            auto db = openResultsDatabase(base.path(), &e);
            QVERIFY2(db, qPrintable(e.message));
            ResultsStore store(*db);
            for (const QString &n : {QStringLiteral("ROSSI MARIO"), QStringLiteral("Ospite")})
                QVERIFY(!store.save(n, {GroupValues{FieldGroup::Genette, 3, 4, 75, {}}}, QDateTime::currentDateTime())
                             .isError());
        }
        const auto sqlite3Tool = [&](const QString &sql, QString *out) {
            QProcess p;
            p.start(tool, {QStringLiteral("-batch"), results, sql});
            if (!p.waitForFinished(60000))
                return -1;
            *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QString out;
        QCOMPARE(sqlite3Tool(QStringLiteral("SELECT count(*) FROM tabtesti; PRAGMA integrity_check; "
                                            "INSERT INTO tabtesti (nome) VALUES ('VERDI LUCA'); "
                                            "SELECT count(*) FROM tabtesti WHERE nome = 'OSPITE' COLLATE NOCASE; PRAGMA journal_mode;"),
                             &out),
                 0);
        QCOMPARE(out.split(QLatin1Char('\n')),
                 (QStringList{QString::number(earlier ? 3 : 2), QStringLiteral("ok"), QStringLiteral("1"),
                              QStringLiteral("delete")}));
        // The tool keeps one row per pupil as the program does.
        QVERIFY(sqlite3Tool(QStringLiteral("INSERT INTO tabtesti (nome) VALUES ('ospite')"), &out) != 0);
        QVERIFY2(out.contains(QStringLiteral("UNIQUE")), qPrintable(out));
        // What the tool wrote, the program reads.
        DbError e;
        auto db = openResultsDatabase(base.path(), &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(test::allNames(*db).contains(QStringLiteral("VERDI LUCA")));
        QCOMPARE(QDir(base.filePath(QStringLiteral("permorvello"))).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("exporttesti.mdb"), QStringLiteral("testi1.mdb")}));
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
