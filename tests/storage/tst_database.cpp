#include "storage/database.h"
#include "core/numeric.h"
#include "core/resultgroups.h"
#include "storage/resultsstore.h"
#include "testfiles.h"
#include "storage/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace morvello;

namespace {

void writeBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

QString pragma(Database &db, const QString &name)
{
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("PRAGMA ") + name) || !q.next())
        return QStringLiteral("<failed>");
    return q.value(0).toString();
}

// Adds a tabtesti row holding only nome; returns false on failure.
bool addName(Database &db, const QString &name, DbError *error = nullptr)
{
    return db.exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"), {name}, error);
}

QStringList namesOf(Database &db)
{
    QStringList out;
    for (const QVector<QVariant> &row : test::tableRows(db, QStringLiteral("tabtesti")))
        out << row.value(1).toString();
    return out;
}

const QDateTime kWhen(QDate(2026, 3, 14), QTime(10, 30, 5));

int rowCount(const QString &path, const QString &table = QStringLiteral("tabtesti"))
{
    // A plain connection, as any other program would open the file.
    const QString name = QStringLiteral("plain-count");
    int n = -1;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(path);
        if (c.open()) {
            QSqlQuery q(c);
            if (q.exec(QStringLiteral("SELECT count(*) FROM \"%1\" NOT INDEXED").arg(table)) && q.next())
                n = q.value(0).toInt();
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}

// What a run killed while writing leaves: `path` written through a
// connection in write-ahead mode (`checkpointed` rows folded into the file,
// `logged` more only in its log), copied as the files lie on the disk while
// that connection is still open into `into` (the file and its -wal).
bool killedRun(const QString &path, int checkpointed, int logged, const QString &into)
{
    const QString name = QStringLiteral("killed-run");
    bool ok = false;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(path);
        if (c.open()) {
            QSqlQuery q(c);
            ok = q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0"))
                 && q.exec(QStringLiteral("PRAGMA synchronous=OFF"));
            // A few commits, the first ones before the checkpoint.
            for (int i = 0; ok && i < checkpointed + logged; ++i) {
                if (i % 50 == 0 || i == checkpointed) {
                    ok = (i == 0 || q.exec(QStringLiteral("COMMIT")))
                         && (i != checkpointed || i == 0 || q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
                         && q.exec(QStringLiteral("BEGIN"));
                }
                ok = ok && q.exec(QStringLiteral("INSERT INTO tabtesti (nome, genette) VALUES ('ALUNNO %1', %1)").arg(i));
            }
            ok = ok && q.exec(QStringLiteral("COMMIT"));
            const QString target = into + QStringLiteral("/") + QFileInfo(path).fileName();
            QFile::remove(target);
            QFile::remove(target + QStringLiteral("-wal"));
            ok = ok && QFile::copy(path, target) && QFile::copy(path + QStringLiteral("-wal"), target + QStringLiteral("-wal"));
            q.finish();
        }
        c.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QStringList besides(const QString &path)
{
    return QDir(QFileInfo(path).absolutePath())
        .entryList({QFileInfo(path).fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TstDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Database> m_db;

    std::unique_ptr<Database> openOrFail(const QString &path)
    {
        DbError e;
        auto db = Database::open(path, &e);
        if (!db)
            qWarning("open failed: %d %s", e.number, qPrintable(e.message));
        return db;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        static int n = 0;
        m_path = m_dir.filePath(QStringLiteral("t%1.mdb").arg(++n));
        DbError e;
        QVERIFY2(Database::create(m_path, schema::resultsDatabaseStatements(), &e), qPrintable(e.message));
        m_db = openOrFail(m_path);
        QVERIFY(m_db);
    }
    void cleanup() { m_db.reset(); }

    void missingFileIs3024AndCreatesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "nessuno.mdb";
        QTest::newRow("spaces") << "file con spazi.mdb";
        QTest::newRow("uri characters") << "a?b#c%20d&e=f.mdb";
        QTest::newRow("accents") << "perché è così.mdb";
        QTest::newRow("missing folder") << "nessuna cartella/testi1.mdb";
    }
    void missingFileIs3024AndCreatesNothing()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        DbError e;
        QVERIFY(!Database::open(path, &e));
        QCOMPARE(e.number, DbErrorCode::FileNotFound);
        QVERIFY(e.message.contains(QFileInfo(path).fileName()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void createThenOpenOddNames_data()
    {
        missingFileIs3024AndCreatesNothing_data();
    }
    void createThenOpenOddNames()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        DbError e;
        QVERIFY2(Database::create(path, schema::exportTemplateStatements(), &e), qPrintable(e.message));
        QVERIFY(QFileInfo::exists(path));
        auto db = Database::open(path, &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(addName(*db, QStringLiteral("ROSSI")));
        db.reset();
        QCOMPARE(rowCount(path), 1);
        // Nothing but the file itself is left in its folder.
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(path).fileName()});
    }

    void createNeverReplacesAFile()
    {
        QVERIFY(addName(*m_db, QStringLiteral("BIANCHI")));
        m_db.reset();
        const QByteArray before = test::bytesOf(m_path);
        DbError e;
        QVERIFY(!Database::create(m_path, schema::exportTemplateStatements(), &e));
        QVERIFY(e.isError());
        QCOMPARE(test::bytesOf(m_path), before);
    }

    void windowsStylePathRelativeToWorkingDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("permorvello")));
        DbError e;
        QVERIFY(Database::create(dir.filePath(QStringLiteral("permorvello/testi1.mdb")),
                                 schema::resultsDatabaseStatements(), &e));
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto db = Database::open(QStringLiteral("Permorvello\\testi1.mdb"), &e);
        QDir::setCurrent(old);
        QVERIFY2(db, qPrintable(e.message));
        QCOMPARE(db->path(), QFileInfo(dir.filePath(QStringLiteral("permorvello/testi1.mdb"))).absoluteFilePath());
    }

    void notADatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("Questo non è un archivio di dati.\n").repeated(200);
        QTest::newRow("zeros") << QByteArray(8192, '\0');
        QTest::newRow("short garbage") << QByteArray("\x01\x02\x03");
        QByteArray header("SQLite format 3\0", 16);
        QTest::newRow("header only") << header + QByteArray(84, '\xff');
    }
    void notADatabase()
    {
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QStringLiteral("falso.mdb"));
        writeBytes(path, content);
        DbError e;
        auto db = Database::open(path, &e);
        QVERIFY(!db);
        QVERIFY(e.number != DbErrorCode::FileNotFound);
        QVERIFY(e.number == DbErrorCode::NotADatabase || e.number == DbErrorCode::Damaged);
        QVERIFY2(e.message.contains(QStringLiteral("falso.mdb")), qPrintable(e.message));
        QCOMPARE(test::bytesOf(path), content);
    }

    void directoryIsNotADatabase()
    {
        DbError e;
        QVERIFY(!Database::open(m_dir.path(), &e));
        QVERIFY(e.isError());
        QVERIFY(e.number != DbErrorCode::FileNotFound);
    }

    void damagedFile_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("truncated") << "truncate";
        QTest::newRow("garbage page") << "garbage";
        QTest::newRow("bad header") << "header";
    }
    void damagedFile()
    {
        QFETCH(QString, damage);
        QVERIFY(m_db->beginTransaction());
        for (int i = 0; i < 400; ++i)
            QVERIFY(addName(*m_db, QStringLiteral("ALUNNO NUMERO %1 ").arg(i).repeated(6)));
        QVERIFY(m_db->commit());
        m_db.reset();
        QByteArray data = test::bytesOf(m_path);
        QVERIFY(data.size() > 8 * 4096);
        if (damage == QLatin1String("truncate"))
            data.truncate(data.size() / 2);
        else if (damage == QLatin1String("garbage"))
            data.replace(3 * 4096, 2 * 4096, QByteArray(2 * 4096, '\xab'));
        else
            data.replace(0, 16, QByteArray(16, 'x'));
        writeBytes(m_path, data);

        DbError e;
        auto db = Database::open(m_path, &e);
        if (db) {
            // The damage lies past what opening reads: the check finds it.
            QVERIFY(!db->checkIntegrity(&e));
        }
        QVERIFY2(e.number == DbErrorCode::Damaged || e.number == DbErrorCode::NotADatabase,
                 qPrintable(QString::number(e.number) + e.message));
        QVERIFY(e.message.contains(QFileInfo(m_path).fileName()));
        db.reset();
        QCOMPARE(test::bytesOf(m_path), data);
    }

    void readOnlyFileFailsToOpen()
    {
        m_db.reset();
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadUser);
        if (::access(QFile::encodeName(m_path).constData(), W_OK) == 0) {
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
            QSKIP("running with rights that ignore file permissions");
        }
        DbError e;
        QVERIFY(!Database::open(m_path, &e));
        QCOMPARE(e.number, DbErrorCode::ReadOnly);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void writeRefusedIsReadOnly3027()
    {
        QVERIFY(m_db->exec(QStringLiteral("PRAGMA query_only=1")));
        DbError e;
        QVERIFY(!addName(*m_db, QStringLiteral("VERDI"), &e));
        QCOMPARE(e.number, DbErrorCode::ReadOnly);
        QVERIFY(e.message.contains(QFileInfo(m_path).fileName()));
    }

    void diskFullIs3026AndLeavesNoRow()
    {
        QVERIFY(addName(*m_db, QStringLiteral("PRIMO")));
        const int pages = pragma(*m_db, QStringLiteral("page_count")).toInt();
        QVERIFY(m_db->exec(QStringLiteral("PRAGMA max_page_count=%1").arg(pages)));
        DbError e;
        bool failed = false;
        for (int i = 0; i < 50 && !failed; ++i)
            failed = !addName(*m_db, QStringLiteral("LUNGO %1 ").arg(i) + QString(3000, QLatin1Char('x')), &e);
        QVERIFY(failed);
        QCOMPARE(e.number, DbErrorCode::DiskFull);
        // Every row is whole: the one that did not fit is not there at all.
        const QStringList names = namesOf(*m_db);
        QVERIFY(!names.isEmpty());
        for (const QString &n : names)
            QVERIFY(!n.isEmpty());
    }

    void busyFileIs3260()
    {
        auto other = openOrFail(m_path);
        QVERIFY(other);
        QVERIFY(m_db->beginTransaction());
        QVERIFY(addName(*m_db, QStringLiteral("IN CORSO")));
        other->setBusyTimeout(50);
        DbError e;
        QVERIFY(!addName(*other, QStringLiteral("ATTESA"), &e));
        QCOMPARE(e.number, DbErrorCode::Locked);
        QVERIFY(m_db->commit());
        QVERIFY(addName(*other, QStringLiteral("ATTESA"), &e));
        QCOMPARE(rowCount(m_path), 2);
    }

    void durableSettingsInForce()
    {
        QCOMPARE(pragma(*m_db, QStringLiteral("synchronous")), QStringLiteral("2")); // FULL
        QCOMPARE(pragma(*m_db, QStringLiteral("journal_mode")), QStringLiteral("delete"));
        QVERIFY(addName(*m_db, QStringLiteral("ROSSI")));
        // Committed on return: another connection sees the row at once.
        QCOMPARE(rowCount(m_path), 1);
        // A clean close leaves the file alone in its folder.
        m_db.reset();
        QVERIFY(!QFileInfo::exists(m_path + QStringLiteral("-wal")));
        QVERIFY(!QFileInfo::exists(m_path + QStringLiteral("-shm")));
        QVERIFY(!QFileInfo::exists(m_path + QStringLiteral("-journal")));
        QCOMPARE(rowCount(m_path), 1);
    }

    void filesOnDiskHoldEveryReturnedUpdate()
    {
        // What a program killed right now would leave: the files as they lie
        // on the disk while the connection is still open.
        QVERIFY(addName(*m_db, QStringLiteral("PRIMO")));
        ResultsStore store(*m_db);
        QVERIFY(!store.save(QStringLiteral("primo"), {GroupValues{FieldGroup::Genette, 9, 9, 100, {}}}, kWhen).isError());
        QTemporaryDir copy;
        const QString image = copy.filePath(QStringLiteral("testi1.mdb"));
        QVERIFY(QFile::copy(m_path, image));
        if (QFileInfo::exists(m_path + QStringLiteral("-wal")))
            QVERIFY(QFile::copy(m_path + QStringLiteral("-wal"), image + QStringLiteral("-wal")));
        auto db = openOrFail(image);
        QVERIFY(db);
        QVERIFY(db->checkIntegrity());
        const auto rows = test::tableRows(*db, QStringLiteral("tabtesti"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(int(FieldGroup::Genette)).toInt(), 9);
    }

    void leftOverLogFoldedInOrSetAside_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("setAside");
        QTest::newRow("log of a run that was killed") << "own" << 300 << false;
        QTest::newRow("log of a run killed after a checkpoint") << "own-checkpointed" << 300 << false;
        QTest::newRow("file replaced by an older copy") << "older" << 10 << true;
        QTest::newRow("file deleted and made again") << "other" << 5 << true;
        QTest::newRow("file emptied") << "empty" << 0 << true;
    }
    void leftOverLogFoldedInOrSetAside()
    {
        QFETCH(QString, file);
        QFETCH(int, rows);
        QFETCH(bool, setAside);
        m_db.reset();
        QTemporaryDir lab;
        const QString path = lab.filePath(QFileInfo(m_path).fileName());
        const QString older = lab.filePath(QStringLiteral("copia.mdb"));
        {
            auto db = openOrFail(m_path);
            for (int i = 0; i < 10; ++i)
                QVERIFY(addName(*db, QStringLiteral("PRIMO %1").arg(i)));
        }
        QVERIFY(QFile::copy(m_path, older));
        const bool checkpointed = file != QLatin1String("own");
        QVERIFY(killedRun(m_path, checkpointed ? 100 : 0, checkpointed ? 190 : 290, lab.path()));
        const QByteArray log = test::bytesOf(path + QStringLiteral("-wal"));
        QVERIFY(log.size() > 4096);
        if (file == QLatin1String("older")) {
            QVERIFY(QFile::remove(path) && QFile::copy(older, path));
        } else if (file == QLatin1String("other")) {
            QVERIFY(QFile::remove(path));
            QVERIFY(Database::create(older + QStringLiteral(".altro"), schema::resultsDatabaseStatements()));
            auto other = openOrFail(older + QStringLiteral(".altro"));
            for (int i = 0; i < 5; ++i)
                QVERIFY(addName(*other, QStringLiteral("ALTRO %1").arg(i)));
            other.reset();
            QVERIFY(QFile::rename(older + QStringLiteral(".altro"), path));
        } else if (file == QLatin1String("empty")) {
            QVERIFY(test::writeBytes(path, QByteArray()));
        }
        const QByteArray before = test::bytesOf(path);

        DbError e;
        auto db = Database::open(path, &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(db->checkIntegrity(&e));
        QCOMPARE(pragma(*db, QStringLiteral("journal_mode")), QStringLiteral("delete"));
        QCOMPARE(test::tableRows(*db, QStringLiteral("tabtesti")).size(), rows);
        if (setAside) {
            QCOMPARE(db->notices().size(), 1);
            QVERIFY2(db->notices().first().contains(QStringLiteral("testi1.mdb-wal.")) || db->notices().first().contains(QStringLiteral(".mdb-wal.")),
                     qPrintable(db->notices().first()));
            if (file != QLatin1String("empty"))
                QCOMPARE(test::bytesOf(path), before); // opened as it was
        } else {
            QVERIFY2(db->notices().isEmpty(), qPrintable(db->notices().join(QLatin1Char('\n'))));
            QCOMPARE(namesOf(*db).last(), QStringLiteral("ALUNNO 289"));
        }
        db.reset();
        // One file alone afterwards, and a log that did not fit kept aside whole.
        const QStringList files = besides(path);
        QCOMPARE(files.first(), QFileInfo(path).fileName());
        QCOMPARE(files.size(), setAside ? 2 : 1);
        if (setAside) {
            QVERIFY2(files.at(1).startsWith(QFileInfo(path).fileName() + QStringLiteral("-wal.")), qPrintable(files.at(1)));
            QCOMPARE(test::bytesOf(lab.filePath(files.at(1))), log);
        }
    }

    void straysBesideAMissingFileSetAside_data()
    {
        QTest::addColumn<QStringList>("strays");
        QTest::newRow("log") << QStringList{QStringLiteral("-wal")};
        QTest::newRow("log and its index") << QStringList{QStringLiteral("-wal"), QStringLiteral("-shm")};
        QTest::newRow("journal") << QStringList{QStringLiteral("-journal")};
        QTest::newRow("all three") << QStringList{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
    }
    void straysBesideAMissingFileSetAside()
    {
        QFETCH(QStringList, strays);
        m_db.reset();
        QTemporaryDir lab;
        // The log of the file a teacher deleted to start afresh.
        QVERIFY(killedRun(m_path, 0, 300, lab.path()));
        const QString path = lab.filePath(QFileInfo(m_path).fileName());
        const QByteArray log = test::bytesOf(path + QStringLiteral("-wal"));
        QVERIFY(QFile::remove(path) && QFile::remove(path + QStringLiteral("-wal")));
        for (const QString &suffix : strays) {
            QVERIFY(test::writeBytes(path + suffix, log));
            QFile f(path + suffix);
            QVERIFY(f.open(QIODevice::ReadWrite)
                    && f.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
        }

        DbError e;
        QVERIFY2(Database::create(path, schema::resultsDatabaseStatements(), &e), qPrintable(e.message));
        const QStringList files = besides(path);
        QCOMPARE(files.size(), 1 + strays.size());
        for (const QString &f : files.mid(1)) {
            QVERIFY2(f.contains(QStringLiteral(".mdb-")) && f.count(QLatin1Char('.')) >= 2, qPrintable(f));
            QCOMPARE(test::bytesOf(lab.filePath(f)), log);
        }
        auto db = Database::open(path, &e);
        QVERIFY2(db, qPrintable(e.message));
        QVERIFY(db->notices().isEmpty());
        QVERIFY(db->checkIntegrity(&e));
        QCOMPARE(test::tableRows(*db, QStringLiteral("tabtesti")).size(), 0);
        QVERIFY(addName(*db, QStringLiteral("NUOVO")));
        QCOMPARE(namesOf(*db), QStringList{QStringLiteral("NUOVO")});
    }

    void caseIgnoringSeek_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::newRow("guest upper-cased") << "Ospite" << "OSPITE" << true;
        QTest::newRow("exact") << "ROSSI MARIO" << "ROSSI MARIO" << true;
        QTest::newRow("lower key") << "ROSSI MARIO" << "rossi mario" << true;
        // Names arrive in capitals: the engine's own folding of A-Z is enough
        // and other SQLite tools share it.
        QTest::newRow("accented capital") << "ÈLIA" << "ÈLIA" << true;
        QTest::newRow("only A-Z fold") << "èlia" << "ÈLIA" << false;
        QTest::newRow("accented inside") << "NICOLÒ D'ANGELO" << "nicolÒ d'angelo" << true;
        QTest::newRow("turkish and others") << "ÇAĞLA ŽIVKOVIĆ" << "ÇaĞla ŽivkoviĆ" << true;
        QTest::newRow("different letter") << "ROSSI" << "ROSSA" << false;
        QTest::newRow("accent matters") << "ELIA" << "ÈLIA" << false;
        QTest::newRow("trailing space matters") << "ROSSI" << "ROSSI " << false;
        QTest::newRow("prefix only") << "ROSSI MARIO" << "ROSSI" << false;
    }
    void caseIgnoringSeek()
    {
        QFETCH(QString, stored);
        QFETCH(QString, key);
        QFETCH(bool, found);
        QVERIFY(addName(*m_db, QStringLiteral("ALTRO PRIMA")));
        QVERIFY(addName(*m_db, stored));
        QVERIFY(addName(*m_db, QStringLiteral("ZZZ DOPO")));
        ResultsStore store(*m_db);
        DbError e;
        const auto row = store.pupilRow(key, &e);
        QVERIFY(!e.isError());
        QCOMPARE(bool(row), found);
        if (found)
            QCOMPARE(row->at(1).toString(), stored);
    }

    void valuesTravelAsValues()
    {
        const QString name = QStringLiteral("O'NEIL \"X\"; DROP TABLE tabtesti; --");
        QVERIFY(addName(*m_db, name));
        ResultsStore store(*m_db);
        const auto row = store.pupilRow(name.toLower());
        QVERIFY(row);
        QCOMPARE(row->at(1).toString(), name);
        QVERIFY(!store.save(name, {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kWhen).isError());
        QCOMPARE(namesOf(*m_db), QStringList{name});
    }

    void oneRowPerNameAcrossTwoConnections_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("same") << "BIANCHI" << "BIANCHI";
        QTest::newRow("case") << "Ospite" << "OSPITE";
        QTest::newRow("accent case") << "Èlia" << "ÈLIA";
    }
    void oneRowPerNameAcrossTwoConnections()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        auto other = openOrFail(m_path);
        QVERIFY(other);
        QVERIFY(addName(*m_db, first));
        DbError e;
        QVERIFY(!addName(*other, second, &e));
        QCOMPARE(e.number, DbErrorCode::DuplicateKey);
        QCOMPARE(rowCount(m_path), 1);
    }

    void allColumnsByNameAndPosition()
    {
        const QVector<schema::Column> &cols = schema::tabtestiColumns();
        QCOMPARE(cols.size(), 34);
        QSqlQuery q(m_db->connection());
        QVERIFY(q.exec(QStringLiteral("SELECT name FROM pragma_table_info('tabtesti')")));
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        q.finish();
        QCOMPARE(names.size(), 34);
        for (int i = 0; i < cols.size(); ++i)
            QCOMPARE(names.at(i), cols.at(i).name);
        QCOMPARE(names.at(4), QStringLiteral("espositivo%"));
        QCOMPARE(names.at(33), QStringLiteral("genettedata"));

        // Every group written at once, then read back by position.
        QVector<GroupValues> all;
        for (const ResultGroup &g : resultGroups()) {
            const int p = g.firstColumn();
            all << GroupValues{g.group, double(p) + 0.5, double(p + 1) + 0.5, double(p + 2) + 0.5, kWhen.addSecs(p)};
        }
        ResultsStore store(*m_db);
        QVERIFY(!store.save(QStringLiteral("TUTTE LE COLONNE"), all, kWhen).isError());
        const auto row = store.pupilRow(QStringLiteral("tutte le colonne"));
        QVERIFY(row);
        QCOMPARE(row->size(), 34);
        QVERIFY(row->at(0).toLongLong() > 0);
        QCOMPARE(row->at(1).toString(), QStringLiteral("TUTTE LE COLONNE"));
        for (const ResultGroup &g : resultGroups()) {
            const int p = g.firstColumn();
            for (int k = 0; k < 3; ++k) {
                const double written = double(p + k) + 0.5;
                QCOMPARE(row->at(p + k).toDouble(), g.int16[k] ? double(toInt16(written)) : written);
            }
            QCOMPARE(row->at(p + 3).typeId(), QMetaType::QDateTime);
            QCOMPARE(row->at(p + 3).toDateTime(), kWhen.addSecs(p));
        }
    }

    void datesTextAndNulls()
    {
        ResultsStore store(*m_db);
        QVERIFY(!store.save(QStringLiteral("DATE"),
                            {GroupValues{FieldGroup::Sequenze, 1, 2, 50, QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59))},
                             GroupValues{FieldGroup::Aiuti, 0, 1, 0, {}}},
                            kWhen)
                     .isError());
        const auto row = store.pupilRow(QStringLiteral("DATE"));
        QVERIFY(row);
        const QVariant d = row->at(int(FieldGroup::Sequenze) + 3);
        QCOMPARE(d.typeId(), QMetaType::QDateTime);
        QCOMPARE(d.toDateTime(), QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)));
        const QVariant t = row->at(int(FieldGroup::Aiuti) + 3);
        QCOMPARE(t.typeId(), QMetaType::QString);
        QCOMPARE(t.toString(), QStringLiteral("(...)"));
        // Zero is a value, not null; never-written columns are null.
        QVERIFY(!row->at(int(FieldGroup::Aiuti)).isNull());
        QCOMPARE(row->at(int(FieldGroup::Aiuti)).toInt(), 0);
        for (int p : {int(FieldGroup::Espositivi), int(FieldGroup::Poesia) + 2, int(FieldGroup::Genette) + 3}) {
            const QVariant v = row->at(p);
            QVERIFY2(v.isNull() && !v.isValid(), qPrintable(QString::number(p)));
        }
        // Stored as ISO text that other tools read as a date.
        QSqlQuery q(m_db->connection());
        QVERIFY(q.exec(QStringLiteral("SELECT sequenzedata, date(sequenzedata) FROM tabtesti")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("2025-12-31 23:59:59"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("2025-12-31"));
    }

    void walkInInsertionOrder()
    {
        const QStringList names{QStringLiteral("ZETA"), QStringLiteral("ALFA"), QStringLiteral("MEDIO"),
                                QStringLiteral("Ospite")};
        for (const QString &n : names)
            QVERIFY(addName(*m_db, n));
        ResultsStore store(*m_db);
        QCOMPARE(store.names(), names);
        QStringList seen;
        QVERIFY(store.forEachRow([&seen](const QVector<QVariant> &row) {
            seen << row.at(1).toString();
            return true;
        }));
        QCOMPARE(seen, names);
        // A walk may stop early.
        seen.clear();
        QVERIFY(store.forEachRow([&seen](const QVector<QVariant> &row) {
            seen << row.at(1).toString();
            return seen.size() < 2;
        }));
        QCOMPARE(seen, names.mid(0, 2));
    }

    void walkManyRowsReadsEveryRowOnce()
    {
        QVERIFY(m_db->beginTransaction());
        for (int i = 0; i < 700; ++i)
            QVERIFY(addName(*m_db, QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'))));
        QVERIFY(m_db->commit());
        ResultsStore store(*m_db);
        int i = 0;
        QVERIFY(store.forEachRow([&i](const QVector<QVariant> &row) {
            if (row.at(1).toString() != QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0')))
                return false;
            ++i;
            return true;
        }));
        QCOMPARE(i, 700);
        QCOMPARE(store.names().size(), 700);
    }

    void emptyTable()
    {
        ResultsStore store(*m_db);
        DbError e;
        QCOMPARE(store.names(&e), QStringList());
        QVERIFY(!e.isError());
        int rows = 0;
        QVERIFY(store.forEachRow([&rows](const QVector<QVariant> &) { return ++rows > 0; }, &e));
        QCOMPARE(rows, 0);
        QVERIFY(!store.pupilRow(QStringLiteral("NESSUNO"), &e));
        QVERIFY(!e.isError());
    }

    void addNewAppendsAndCountsGrow()
    {
        ResultsStore store(*m_db);
        QVERIFY(!store.save(QStringLiteral("UNO"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kWhen).isError());
        QVERIFY(!store.save(QStringLiteral("DUE"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kWhen).isError());
        QCOMPARE(store.names(), (QStringList{QStringLiteral("UNO"), QStringLiteral("DUE")}));
        QVERIFY(store.pupilRow(QStringLiteral("DUE"))->at(0).toLongLong()
                > store.pupilRow(QStringLiteral("UNO"))->at(0).toLongLong());
        QVERIFY(!store.appendStudentRow(QStringLiteral("UNO"), QStringLiteral("Testi narrativi"), 1, 2).isError());
        QVERIFY(!store.appendStudentRow(QStringLiteral("UNO"), QStringLiteral("Testi narrativi"), 3, 4).isError());
        QCOMPARE(test::tableRows(*m_db, QStringLiteral("studenti")).size(), 2);
        QCOMPARE(store.names().size(), 2); // registering is not a new pupil
    }

    void editChangesOnlyCurrentRow()
    {
        for (const char *n : {"A", "B", "C"})
            QVERIFY(addName(*m_db, QString::fromLatin1(n)));
        ResultsStore store(*m_db);
        const qint64 id = store.pupilRow(QStringLiteral("b"))->at(0).toLongLong();
        QVERIFY(!store.save(QStringLiteral("b"), {GroupValues{FieldGroup::Genette, 7, 8, 87, {}}}, kWhen).isError());
        const auto row = store.pupilRow(QStringLiteral("B"));
        QCOMPARE(row->at(int(FieldGroup::Genette)).toInt(), 7);
        QCOMPARE(row->at(0).toLongLong(), id);
        int sevens = 0;
        for (const QVector<QVariant> &r : test::tableRows(*m_db, QStringLiteral("tabtesti")))
            sevens += r.at(int(FieldGroup::Genette)).toInt() == 7;
        QCOMPARE(sevens, 1);
        QCOMPARE(store.names().size(), 3);
    }

    void missingTableIs3078()
    {
        DbError e;
        QVERIFY(!m_db->exec(QStringLiteral("SELECT * FROM nessuna"), {}, &e));
        QCOMPARE(e.number, DbErrorCode::TableNotFound);
        QVERIFY(m_db->exec(QStringLiteral("DROP TABLE studenti")));
        ResultsStore store(*m_db);
        QCOMPARE(store.appendStudentRow(QStringLiteral("A"), QStringLiteral("Testi narrativi"), 1, 2).number,
                 DbErrorCode::TableNotFound);
    }

    void rollbackLeavesNothing()
    {
        QVERIFY(m_db->beginTransaction());
        QVERIFY(m_db->inTransaction());
        for (int i = 0; i < 3; ++i)
            QVERIFY(addName(*m_db, QStringLiteral("TEMP %1").arg(i)));
        QCOMPARE(rowCount(m_path), 0); // not visible outside before commit
        m_db->rollback();
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(rowCount(m_path), 0);
        QCOMPARE(namesOf(*m_db), QStringList());
    }

    void commitKeepsAll()
    {
        QVERIFY(m_db->beginTransaction());
        DbError e;
        QVERIFY(!m_db->beginTransaction(&e)); // not nestable
        for (int i = 0; i < 3; ++i)
            QVERIFY(addName(*m_db, QStringLiteral("TEMP %1").arg(i)));
        QVERIFY(m_db->commit());
        QCOMPARE(rowCount(m_path), 3);
    }

    void closingRemovesConnection()
    {
        const QString name = m_db->connection().connectionName();
        QVERIFY(QSqlDatabase::connectionNames().contains(name));
        auto other = openOrFail(m_path);
        QVERIFY(other->connection().connectionName() != name);
        ResultsStore store(*m_db);
        QVERIFY(store.names().isEmpty()); // its statements are prepared now
        QVERIFY(!store.save(QStringLiteral("A"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kWhen).isError());
        m_db->close();
        QVERIFY(!m_db->isOpen());
        QVERIFY(!QSqlDatabase::connectionNames().contains(name));
        // A store whose file was closed under it fails cleanly.
        DbError e;
        QVERIFY(store.names(&e).isEmpty());
        QCOMPARE(e.number, DbErrorCode::NotOpen);
        QCOMPARE(store.save(QStringLiteral("A"), {GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}, kWhen).number,
                 DbErrorCode::NotOpen);
        QCOMPARE(store.appendStudentRow(QStringLiteral("A"), QStringLiteral("x"), 1, 2).number, DbErrorCode::NotOpen);
    }

    void exportTemplateIsPlainSqlite()
    {
        const QString path = m_dir.filePath(QStringLiteral("exporttesti.mdb"));
        QFile::remove(path);
        QVERIFY(Database::create(path, schema::exportTemplateStatements()));
        // A connection without the program's collation, as a teacher's tool
        // has: it can write the same rows twice.
        const QString name = QStringLiteral("plain-export");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            c.setDatabaseName(path);
            QVERIFY(c.open());
            QSqlQuery q(c);
            for (int i = 0; i < 2; ++i)
                QVERIFY2(q.exec(QStringLiteral("INSERT INTO tabtesti (id, nome, \"espositivo%\") VALUES (1, 'ROSSI', 50)")),
                         qPrintable(q.lastError().text()));
            QVERIFY(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
            QVERIFY(q.exec(QStringLiteral("SELECT group_concat(sql) FROM sqlite_master")) && q.next());
            QVERIFY(!q.value(0).toString().contains(Database::nameCollation()));
            QVERIFY(!q.value(0).toString().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive));
            c.close();
        }
        QSqlDatabase::removeDatabase(name);
        auto db = openOrFail(path);
        {
            QSqlQuery q(db->connection());
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM pragma_table_info('tabtesti')")) && q.next());
            QCOMPARE(q.value(0).toInt(), 34);
        }
        QCOMPARE(test::tableRows(*db, QStringLiteral("tabtesti")).size(), 2);
        QCOMPARE(pragma(*db, QStringLiteral("journal_mode")), QStringLiteral("delete"));
        QCOMPARE(pragma(*db, QStringLiteral("synchronous")), QStringLiteral("2"));
        QVERIFY(addName(*db, QStringLiteral("ANCORA")));
        db.reset();
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("exporttesti.mdb*")}, QDir::Files),
                 QStringList{QStringLiteral("exporttesti.mdb")});
    }
};

QTEST_MAIN(TstDatabase)
#include "tst_database.moc"
