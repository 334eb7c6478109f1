// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        if (sql.contains(QStringLiteral("user_version")) || sql.contains(QStringLiteral("application_id"))
            || sql.contains(QStringLiteral("preferenze")))
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
        // What a first start killed half way left: its unfinished files.
        QTest::newRow("interrupted first start") << "interrupted" << false << false;
        QTest::newRow("folder reached through a link") << "link" << true << true;
    }
    void createsWhatIsMissing()
    {
        QFETCH(QString, folder);
        QFETCH(bool, haveResults);
        QFETCH(bool, haveTemplate);
        QTemporaryDir base;
        QString dir = base.filePath(folder);
        QVERIFY(QDir().mkpath(dir));
        if (folder == QLatin1String("interrupted")) {
            QVERIFY(QDir(base.path()).rename(folder, QStringLiteral("permorvello")));
            dir = base.filePath(QStringLiteral("permorvello"));
            for (const QString &name : {QStringLiteral(".testi1.mdb.nuovo-3f2a9c1b7d4e"), QStringLiteral(".testi1.mdb.nuovo-3f2a9c1b7d4e-journal"),
                                        QStringLiteral(".exporttesti.mdb.nuovo-0a1b2c3d4e5f")}) {
                QVERIFY(test::writeBytes(dir + QLatin1Char('/') + name, QByteArray(1024, 'x')));
                QFile f(dir + QLatin1Char('/') + name);
                QVERIFY(f.open(QIODevice::ReadWrite)
                        && f.setFileTime(QDateTime::currentDateTime().addSecs(-600), QFileDevice::FileModificationTime));
            }
        } else if (folder == QLatin1String("link")) {
            // The data folder kept elsewhere, reached through a link.
            QVERIFY(QFile::link(dir, base.filePath(QStringLiteral("permorvello"))));
        }
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
        QTest::newRow("a pipe in its place") << "fifo" << true;
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
        if (trouble == QLatin1String("fifo")) {
            // Said at once, naming the file; never waited on.
            QCOMPARE(::mkfifo(QFile::encodeName(results).constData(), 0600), 0);
            QVERIFY(!prepareDataFolder(base.path()).isError());
            DbError e;
            QVERIFY(!openResultsDatabase(base.path(), &e));
            QVERIFY2(e.message.contains(QStringLiteral("testi1.mdb")) && e.message.contains(QStringLiteral("pipe")),
                     qPrintable(e.message));
            QVERIFY(!QFileInfo(results).isFile() && QFileInfo::exists(results));
            return;
        }
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
                                          QString::fromUtf8("GIALLI\u3000SARA"), QString::fromUtf8("D\u2019ANGELO ANNA"),
                                          QStringLiteral("D'ANGELO ANNA"), QString::fromUtf8("DE\u02bcSANTI LIA"),
                                          QString::fromUtf8("BRUNO\u2800 PIA\ufe0f"), QString::fromUtf8("NERO\u3164 TEO\u034f")}));
        {
            // Names an older version wrote in the Windows code page.
            auto raw = Database::open(results);
            QVERIFY(raw->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (CAST(? AS TEXT))"),
                              {QByteArray("NICOL\xd2 VERDI")}));
            QVERIFY(raw->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (CAST(? AS TEXT))"),
                              {QByteArray("PERCH\xc9 \xe0")}));
        }
        const QStringList expected{QString::fromUtf8("NICOLÒ BIANCHI"), QStringLiteral("ROSSI MARIO"),
                                   QStringLiteral("NERI ANNA"),     QStringLiteral("Ospite"),
                                   QStringLiteral("VERDI LUCA"),    QStringLiteral("VERDI\tLUCA"),
                                   QStringLiteral("GIALLI SARA"),   QString::fromUtf8("D\u2019ANGELO ANNA"),
                                   QStringLiteral("D'ANGELO ANNA"), QStringLiteral("DE'SANTI LIA"),
                                   QStringLiteral("BRUNO PIA"),     QStringLiteral("NERO TEO"),
                                   QString::fromUtf8("NICOLÒ VERDI"), QString::fromUtf8("PERCHÉ À")};
        DbError e;
        {
            auto db = openResultsDatabase(base.path(), &e);
            QVERIFY2(db, qPrintable(e.message));
            // The rows that would become one are kept as they are; at
            // start-up the teacher is told only that some need a look, and
            // where to see them.
            QCOMPARE(test::allNames(*db), expected);
            QCOMPARE(db->notices().size(), 1);
            QVERIFY2(db->notices().first().contains(QStringLiteral("morvello-check")), qPrintable(db->notices().first()));
            for (const QString &name : {QStringLiteral("VERDI"), QStringLiteral("ANGELO")})
                QVERIFY2(!db->notices().first().contains(name), qPrintable(db->notices().first()));
            QCOMPARE(pragmaValue(*db, QStringLiteral("PRAGMA user_version")), QString::number(schema::kResultsFileVersion));
            // The checker names them.
            const QStringList look = rowsNeedingALook(*db);
            QCOMPARE(look.size(), 2);
            QCOMPARE(look.at(0), QStringLiteral("\"VERDI LUCA\", \"VERDI\tLUCA\""));
            QCOMPARE(look.at(1), QString::fromUtf8("\"D\u2019ANGELO ANNA\", \"D'ANGELO ANNA\""));
            // Stored as UTF-8 now.
            QCOMPARE(pragmaValue(*db, QStringLiteral("SELECT hex(nome) FROM tabtesti WHERE rowid = 13")),
                     QString::fromLatin1(QString::fromUtf8("NICOLÒ VERDI").toUtf8().toHex().toUpper()));
        }
        // Shown once: the file is marked done.
        auto db = openResultsDatabase(base.path(), &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(db->notices().isEmpty());
        QCOMPARE(rowsNeedingALook(*db).size(), 2);
        QVERIFY(pragmaValue(*db, QStringLiteral("PRAGMA application_id")).toLongLong() != 0);
        // The pupil typing the name today finds the old row.
        const auto row = test::lookupPupil(*db, QStringLiteral("NICOLÒ BIANCHI"));
        QVERIFY(row);
        QCOMPARE(row->at(0).toLongLong(), 1);
    }

    // An archive of the previous version gains the history at its first
    // open, all at once: a run killed at any moment of it leaves the file as
    // it was or with the table whole, and nothing else changed.
    void previousVersionGainsTheHistoryUnderKill()
    {
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("permorvello")));
        const QString results = base.filePath(QStringLiteral("permorvello/testi1.mdb"));
        QStringList previous;
        for (const QString &sql : schema::resultsDatabaseStatements())
            if (!sql.contains(QStringLiteral("tentativi")))
                previous << QString(sql).replace(QStringLiteral("user_version=%1").arg(schema::kResultsFileVersion),
                                                 QStringLiteral("user_version=%1").arg(schema::kNamesVersion));
        QVERIFY(Database::create(results, previous));
        {
            auto db = Database::open(results);
            QVERIFY(db->beginTransaction());
            for (int i = 0; i < 3000; ++i)
                QVERIFY(db->exec(QStringLiteral("INSERT INTO tabtesti (nome, genette) VALUES (?, ?)"),
                                 {QStringLiteral("ALUNNO %1").arg(i), i}));
            QVERIFY(db->commit());
        }
        QVector<QVector<QVariant>> rows;
        {
            auto db = Database::open(results);
            rows = test::tableRows(*db, QStringLiteral("tabtesti"));
        }
        int gained = 0;
        for (int round = 0; round < 24; ++round) {
            const pid_t child = ::fork();
            if (child == 0) {
                openResultsDatabase(base.path());
                ::_exit(0);
            }
            ::usleep(useconds_t(round * 4000));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            {
                // Either before the step or after it, never between.
                auto raw = Database::open(results);
                QVERIFY(raw && raw->checkIntegrity());
                const QString version = pragmaValue(*raw, QStringLiteral("PRAGMA user_version"));
                const QString columns = pragmaValue(*raw, QStringLiteral("SELECT count(*) FROM pragma_table_info('tentativi')"));
                QVERIFY2((version == QString::number(schema::kNamesVersion) && columns == QLatin1String("0"))
                             || (version.toInt() >= schema::kHistoryVersion
                                 && columns == QString::number(schema::tentativiColumns().size())),
                         qPrintable(version + QLatin1Char(' ') + columns));
                gained += version.toInt() >= schema::kHistoryVersion ? 1 : 0;
                QCOMPARE(test::tableRows(*raw, QStringLiteral("tabtesti")), rows);
            }
            DbError e;
            auto db = openResultsDatabase(base.path(), &e);
            QVERIFY2(db, qPrintable(e.message));
            QVERIFY(db->checkIntegrity(&e));
            QCOMPARE(test::tableRows(*db, QStringLiteral("tabtesti")), rows);
            QCOMPARE(pragmaValue(*db, QStringLiteral("PRAGMA user_version")), QString::number(schema::kResultsFileVersion));
            QCOMPARE(pragmaValue(*db, QStringLiteral("SELECT count(*) FROM pragma_table_info('tentativi')")),
                     QString::number(schema::tentativiColumns().size()));
            // Start again from the previous version for the next round.
            QVERIFY(db->exec(QStringLiteral("DROP TABLE tentativi")));
            QVERIFY(db->exec(QStringLiteral("PRAGMA user_version=%1").arg(schema::kNamesVersion)));
        }
        qDebug("history gained before the kill in %d of 24 runs", gained);
    }

    // The step after the history: an archive of version 4 gains the pupils'
    // choices, and its rows stay as they were.
    void previousVersionGainsThePreferences()
    {
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("permorvello")));
        const QString results = base.filePath(QStringLiteral("permorvello/testi1.mdb"));
        QStringList previous;
        for (const QString &sql : schema::resultsDatabaseStatements())
            if (!sql.contains(QStringLiteral("preferenze")))
                previous << QString(sql).replace(QStringLiteral("user_version=%1").arg(schema::kResultsFileVersion),
                                                 QStringLiteral("user_version=%1").arg(schema::kHistoryVersion));
        QVERIFY(Database::create(results, previous));
        {
            auto db = Database::open(results);
            QVERIFY(db->exec(QStringLiteral("INSERT INTO tabtesti (nome, genette) VALUES ('ROSSI ANNA', 3)")));
        }
        DbError e;
        auto db = openResultsDatabase(base.path(), &e);
        QVERIFY2(db, qPrintable(e.message));
        QCOMPARE(pragmaValue(*db, QStringLiteral("PRAGMA user_version")), QString::number(schema::kPreferencesVersion));
        QCOMPARE(pragmaValue(*db, QStringLiteral("SELECT count(*) FROM preferenze")), QStringLiteral("0"));
        QCOMPARE(pragmaValue(*db, QStringLiteral("SELECT genette FROM tabtesti WHERE nome = 'ROSSI ANNA'")),
                 QStringLiteral("3"));
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
