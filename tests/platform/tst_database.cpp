#include "platform/database.h"
#include "testsupport.h"
#include "results/schema.h"

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
    std::unique_ptr<Recordset> rs = db.openRecordset(QStringLiteral("tabtesti"), error);
    if (!rs)
        return false;
    rs->addNew();
    return rs->setValue(QStringLiteral("nome"), name, error) && rs->update(error);
}

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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs);
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            QVERIFY(!rs->value(QStringLiteral("nome")).toString().isEmpty());
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
        QCOMPARE(pragma(*m_db, QStringLiteral("journal_mode")), QStringLiteral("wal"));
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs->setIndex(QStringLiteral("nome")));
        QVERIFY(rs->seek(QStringLiteral("="), QStringLiteral("primo")));
        QVERIFY(rs->edit());
        QVERIFY(rs->setValue(QStringLiteral("genette"), 9));
        QVERIFY(rs->update());
        QTemporaryDir copy;
        const QString image = copy.filePath(QStringLiteral("testi1.mdb"));
        QVERIFY(QFile::copy(m_path, image));
        if (QFileInfo::exists(m_path + QStringLiteral("-wal")))
            QVERIFY(QFile::copy(m_path + QStringLiteral("-wal"), image + QStringLiteral("-wal")));
        auto db = openOrFail(image);
        QVERIFY(db);
        QVERIFY(db->checkIntegrity());
        auto back = db->openRecordset(QStringLiteral("tabtesti"));
        QCOMPARE(back->recordCount(), 1);
        QCOMPARE(back->value(QStringLiteral("genette")).toInt(), 9);
    }

    void caseIgnoringSeek_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::newRow("guest upper-cased") << "Ospite" << "OSPITE" << true;
        QTest::newRow("exact") << "ROSSI MARIO" << "ROSSI MARIO" << true;
        QTest::newRow("lower key") << "ROSSI MARIO" << "rossi mario" << true;
        QTest::newRow("accented capital") << "èlia" << "ÈLIA" << true;
        QTest::newRow("accented inside") << "NICOLÒ D'ANGELO" << "nicolò d'angelo" << true;
        QTest::newRow("turkish and others") << "ÇAĞLA ŽIVKOVIĆ" << "çağla živković" << true;
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs);
        QVERIFY(rs->setIndex(QStringLiteral("nome")));
        QVERIFY(rs->seek(QStringLiteral("="), key));
        QCOMPARE(rs->noMatch(), !found);
        if (found)
            QCOMPARE(rs->value(QStringLiteral("nome")).toString(), stored);
    }

    void valuesTravelAsValues()
    {
        const QString name = QStringLiteral("O'NEIL \"X\"; DROP TABLE tabtesti; --");
        QVERIFY(addName(*m_db, name));
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs->setIndex(QStringLiteral("nome")));
        QVERIFY(rs->seek(QStringLiteral("="), name.toLower()));
        QVERIFY(!rs->noMatch());
        QCOMPARE(rs->value(1).toString(), name);
    }

    void oneRowPerNameAcrossTwoConnections_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("same") << "BIANCHI" << "BIANCHI";
        QTest::newRow("case") << "Ospite" << "OSPITE";
        QTest::newRow("accent case") << "èlia" << "ÈLIA";
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs);
        QCOMPARE(rs->fieldCount(), 34);
        for (int i = 0; i < cols.size(); ++i) {
            QCOMPARE(rs->fieldName(i), cols.at(i).name);
            QCOMPARE(rs->fieldPosition(cols.at(i).name), i);
        }
        QCOMPARE(rs->fieldName(4), QStringLiteral("espositivo%"));
        QCOMPARE(rs->fieldName(33), QStringLiteral("genettedata"));

        const QDateTime when(QDate(2026, 3, 14), QTime(10, 30, 5));
        rs->addNew();
        QVERIFY(rs->setValue(1, QStringLiteral("TUTTE LE COLONNE")));
        for (int i = 2; i < 34; ++i) {
            const bool date = cols.at(i).sqlType == QLatin1String("DATETIME");
            // Even positions by name, odd by position: both paths write.
            const QVariant v = date ? QVariant(when.addSecs(i)) : QVariant(double(i) + 0.5);
            if (i % 2 == 0)
                QVERIFY(rs->setValue(cols.at(i).name, v));
            else
                QVERIFY(rs->setValue(i, v));
        }
        QVERIFY(rs->update());
        QVERIFY(rs->moveToLastModified());
        QVERIFY(rs->value(0).toLongLong() > 0);
        QCOMPARE(rs->value(QStringLiteral("nome")).toString(), QStringLiteral("TUTTE LE COLONNE"));
        for (int i = 2; i < 34; ++i) {
            const bool date = cols.at(i).sqlType == QLatin1String("DATETIME");
            const QVariant byPos = rs->value(i);
            const QVariant byName = rs->value(cols.at(i).name);
            QCOMPARE(byPos, byName);
            if (date) {
                QCOMPARE(byPos.typeId(), QMetaType::QDateTime);
                QCOMPARE(byPos.toDateTime(), when.addSecs(i));
            } else if (cols.at(i).sqlType == QLatin1String("SMALLINT")) {
                QCOMPARE(byPos.toDouble(), double(i) + 0.5);
            } else {
                QCOMPARE(byPos.toDouble(), double(i) + 0.5);
            }
        }
        DbError e;
        QVERIFY(!rs->value(34, &e).isValid());
        QCOMPARE(e.number, DbErrorCode::FieldNotFound);
        QVERIFY(!rs->value(QStringLiteral("inesistente"), &e).isValid());
        QCOMPARE(e.number, DbErrorCode::FieldNotFound);
        // Field names ignore letter case, as the old engine's did.
        QCOMPARE(rs->value(QStringLiteral("ESPOSITIVO%")).toDouble(), 4.5);
    }

    void datesTextAndNulls()
    {
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        rs->addNew();
        rs->setValue(QStringLiteral("nome"), QStringLiteral("DATE"));
        rs->setValue(QStringLiteral("sequenzedata"), QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)));
        rs->setValue(QStringLiteral("aiutidata"), QStringLiteral("(...)"));
        rs->setValue(QStringLiteral("aiuti"), 0);
        QVERIFY(rs->update());
        QVERIFY(rs->moveToLastModified());
        const QVariant d = rs->value(QStringLiteral("sequenzedata"));
        QCOMPARE(d.typeId(), QMetaType::QDateTime);
        QCOMPARE(d.toDateTime(), QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)));
        const QVariant t = rs->value(QStringLiteral("aiutidata"));
        QCOMPARE(t.typeId(), QMetaType::QString);
        QCOMPARE(t.toString(), QStringLiteral("(...)"));
        // Zero is a value, not null; never-written columns are null.
        QVERIFY(!rs->value(QStringLiteral("aiuti")).isNull());
        QCOMPARE(rs->value(QStringLiteral("aiuti")).toInt(), 0);
        for (const QString &c : {QStringLiteral("espositivi"), QStringLiteral("poesia%"), QStringLiteral("genettedata")}) {
            const QVariant v = rs->value(c);
            QVERIFY2(v.isNull() && !v.isValid(), qPrintable(c));
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(!rs->eof());
        QCOMPARE(rs->value(1).toString(), QStringLiteral("ZETA")); // positioned on the first row
        QCOMPARE(rs->recordCount(), 4);
        QStringList seen;
        QVERIFY(rs->moveFirst());
        while (!rs->eof()) {
            seen << rs->value(QStringLiteral("nome")).toString();
            QVERIFY(rs->moveNext());
        }
        QCOMPARE(seen, names);
        DbError e;
        QVERIFY(!rs->moveNext(&e));
        QCOMPARE(e.number, DbErrorCode::NoCurrentRecord);
        QVERIFY(!rs->value(1, &e).isValid());
        QCOMPARE(e.number, DbErrorCode::NoCurrentRecord);
        QVERIFY(rs->moveLast());
        QCOMPARE(rs->value(1).toString(), QStringLiteral("Ospite"));
        // A seek, then walking on from the row found.
        QVERIFY(rs->setIndex(QStringLiteral("nome")));
        QVERIFY(rs->seek(QStringLiteral("="), QStringLiteral("alfa")));
        QVERIFY(rs->moveNext());
        QCOMPARE(rs->value(1).toString(), QStringLiteral("MEDIO"));
    }

    void walkManyRowsReadsEveryRowOnce()
    {
        QVERIFY(m_db->beginTransaction());
        for (int i = 0; i < 700; ++i)
            QVERIFY(addName(*m_db, QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0'))));
        QVERIFY(m_db->commit());
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QCOMPARE(rs->recordCount(), 700);
        int i = 0;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++i)
            QCOMPARE(rs->value(1).toString(), QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0')));
        QCOMPARE(i, 700);
    }

    void emptyTable()
    {
        auto rs = m_db->openRecordset(QStringLiteral("studenti"));
        QVERIFY(rs);
        QVERIFY(rs->eof());
        QVERIFY(rs->bof());
        QCOMPARE(rs->recordCount(), 0);
        QCOMPARE(rs->fieldCount(), 4);
        DbError e;
        QVERIFY(!rs->edit(&e));
        QCOMPARE(e.number, DbErrorCode::NoCurrentRecord);
        QVERIFY(!rs->moveToLastModified(&e));
        QVERIFY(rs->moveFirst());
        QVERIFY(rs->eof());
    }

    void addNewAppendsAndCountsGrow()
    {
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QCOMPARE(rs->recordCount(), 0);
        rs->addNew();
        rs->setValue(1, QStringLiteral("UNO"));
        QVERIFY(rs->update());
        rs->addNew();
        rs->setValue(1, QStringLiteral("DUE"));
        QVERIFY(rs->update());
        QCOMPARE(rs->recordCount(), 2);
        QVERIFY(rs->moveToLastModified());
        QCOMPARE(rs->value(1).toString(), QStringLiteral("DUE"));
        QVERIFY(rs->moveFirst());
        QCOMPARE(rs->value(1).toString(), QStringLiteral("UNO"));
    }

    void editChangesOnlyCurrentRow()
    {
        for (const char *n : {"A", "B", "C"})
            QVERIFY(addName(*m_db, QString::fromLatin1(n)));
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QVERIFY(rs->setIndex(QStringLiteral("nome")));
        QVERIFY(rs->seek(QStringLiteral("="), QStringLiteral("b")));
        const qint64 id = rs->value(0).toLongLong();
        QVERIFY(rs->edit());
        QVERIFY(rs->setValue(QStringLiteral("genette"), 7));
        QVERIFY(rs->value(QStringLiteral("genette")).toInt() == 7); // the edit buffer
        QVERIFY(rs->update());
        QCOMPARE(rs->value(QStringLiteral("genette")).toInt(), 7);
        QCOMPARE(rs->value(0).toLongLong(), id);
        QCOMPARE(rs->recordCount(), 3);
        int sevens = 0;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            sevens += rs->value(QStringLiteral("genette")).toInt() == 7;
        QCOMPARE(sevens, 1);
    }

    void writesNeedAddNewOrEdit()
    {
        QVERIFY(addName(*m_db, QStringLiteral("A")));
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        DbError e;
        QVERIFY(!rs->setValue(QStringLiteral("poesia"), 1, &e));
        QVERIFY(e.isError());
        QVERIFY(!rs->update(&e));
        QVERIFY(e.isError());
        QVERIFY(rs->edit());
        rs->setValue(QStringLiteral("poesia"), 1);
        rs->cancelUpdate();
        QVERIFY(!rs->update(&e));
        QVERIFY(rs->value(QStringLiteral("poesia")).isNull());
    }

    void missingTableIs3078()
    {
        DbError e;
        QVERIFY(!m_db->openRecordset(QStringLiteral("nessuna"), &e));
        QCOMPARE(e.number, DbErrorCode::TableNotFound);
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        QCOMPARE(rs->recordCount(), 0);
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
        auto rs = m_db->openRecordset(QStringLiteral("tabtesti"));
        m_db->close();
        QVERIFY(!m_db->isOpen());
        QVERIFY(!QSqlDatabase::connectionNames().contains(name));
        // A recordset that outlives its database fails cleanly.
        DbError e;
        QVERIFY(!rs->moveFirst(&e));
        QCOMPARE(e.number, DbErrorCode::NotOpen);
        m_db.reset();
        rs->addNew();
        QVERIFY(!rs->update(&e));
        QCOMPARE(e.number, DbErrorCode::NotOpen);
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
        auto rs = db->openRecordset(QStringLiteral("tabtesti"));
        QCOMPARE(rs->fieldCount(), 34);
        QCOMPARE(rs->recordCount(), 2);
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
