// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/export.h"
#include "results/frisultati.h"
#include "storage/removabledrive.h"
#include "storage/schema.h"

#include "storage/database.h"
#include "kit/navigator.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include "storage/datafolder.h"
#include "storage/resultsstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSemaphore>
#include <QSqlQuery>
#include <QThread>
#include <QtTest>

#include <atomic>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace morvello;
using namespace morvello::test;

using Rows = QVector<QVector<QVariant>>;

namespace {

const QDateTime kWhen(QDate(2026, 3, 14), QTime(10, 30, 0));

// One computer: its own data folder with the results file and the empty
// export file the program ships with.
struct Computer {
    test::TestContext t;
    explicit Computer(const QStringList &pupils = {})
    {
        DbError err;
        if (!Database::create(t.dataDir() + QStringLiteral("/exporttesti.mdb"), schema::exportTemplateStatements(), &err))
            qFatal("cannot create the export template: %s", qPrintable(err.message));
        int i = 0;
        for (const QString &name : pupils)
            addPupil(name, ++i);
    }
    // A row with something in every kind of column: numbers, a fraction,
    // dates, "(...)", and groups never saved.
    void addPupil(const QString &name, int n)
    {
        test::addRow(*t.db, name,
                     {{2, n}, {3, n + 4}, {4, 50 + n}, {5, kWhen.addDays(n)}, {22, 2}, {23, 3}, {24, 66.5},
                      {25, QStringLiteral("(...)")}, {33, kWhen.addSecs(n)}});
    }
    QString templatePath() const { return t.dataDir() + QStringLiteral("/exporttesti.mdb"); }
    Rows rows() { return readRows(*t.db); }

    static Rows readRows(Database &db)
    {
        Rows out;
        for (const QVector<QVariant> &row : test::tableRows(db, QStringLiteral("tabtesti")))
            out << row;
        return out;
    }
};

// The folder that plays drive A: for the computers of a test; empty for no
// drive at all.
QString &driveRoot()
{
    static QString root;
    return root;
}

// The disk in drive A:, a folder of its own.
struct Disk {
    QTemporaryDir dir;
    QString root;
    Disk() : root(dir.path()) { driveRoot() = root; }
    explicit Disk(const QString &path) : root(path) { driveRoot() = root; }
    ~Disk() { driveRoot().clear(); }
    QString file() const { return root + QStringLiteral("/exporttesti.mdb"); }
    Rows rows() const
    {
        auto db = Database::open(file());
        return db ? Computer::readRows(*db) : Rows{};
    }
    QStringList entries() const { return QDir(root).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }
};

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Press "ESPORTA i risultati su floppy" on the computer's results screen.
QStringList pressExport(Computer &c)
{
    c.t.dialogs.messages.clear();
    c.t.drive.setFolder(driveRoot());
    c.t.host->registerResultsScreen();
    c.t.navigator->setShowWindows(false);
    auto *s = qobject_cast<FRisultati *>(c.t.navigator->load(ScreenName::Risultati));
    s->LabEXPORT_Click();
    return c.t.dialogs.messages;
}

// The same export without the screen, for what the screen does not show.
ExportOutcome exportDirectly(Computer &c)
{
    c.t.drive.setFolder(driveRoot());
    ResultsStore store(*c.t.db);
    return exportArchive(store, c.t.services);
}

// A smaller disk: files may not grow beyond `bytes` while it lives. Writes
// past the limit fail with EFBIG instead of stopping the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit l = m_old;
        l.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &l) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void blankDisk()
    {
        Computer c({QStringLiteral("ROSSI MARIO"), QStringLiteral("Ospite"), QStringLiteral("VERDI ANNA")});
        Disk disk;
        const Rows before = c.rows();
        const QByteArray templateHash = fileHash(c.templatePath());

        QCOMPARE(pressExport(c), QStringList());
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("exporttesti.mdb")});
        const Rows exported = disk.rows();
        // Every column by position, the row key the program never writes included.
        QCOMPARE(exported, before);
        QCOMPARE(exported[0][0], QVariant(qint64(1)));
        QCOMPARE(exported[1][1], QVariant(QStringLiteral("Ospite")));
        QCOMPARE(exported[2][5], QVariant(kWhen.addDays(3)));
        QCOMPARE(exported[2][25], QVariant(QStringLiteral("(...)")));
        QVERIFY(exported[2][10].isNull());
        QCOMPARE(c.rows(), before);
        QCOMPARE(fileHash(c.templatePath()), templateHash);
        // The archive's id stays its own: the disk's file does not carry it.
        auto onDisk = Database::open(disk.file());
        QSqlQuery id(onDisk->connection()), own(c.t.db->connection());
        QVERIFY(id.exec(QStringLiteral("PRAGMA application_id")) && id.next());
        QVERIFY(own.exec(QStringLiteral("PRAGMA application_id")) && own.next());
        QCOMPARE(id.value(0).toLongLong(), 0);
        QVERIFY(own.value(0).toLongLong() != 0);
    }

    void emptyArchive()
    {
        Computer c;
        Disk disk;
        QCOMPARE(pressExport(c), QStringList());
        QVERIFY(QFile::exists(disk.file()));
        QCOMPARE(disk.rows().size(), 0);
        QCOMPARE(exportDirectly(c).rowsAppended, 0);
    }

    void twiceOntoOneDisk_data()
    {
        QTest::addColumn<bool>("earlierDiskFile");
        QTest::newRow("blank disk") << false;
        // A disk file made by an earlier version, holding rows already: it
        // gains the history table in place.
        QTest::newRow("disk file of an earlier version") << true;
    }
    void twiceOntoOneDisk()
    {
        QFETCH(bool, earlierDiskFile);
        Computer c({QStringLiteral("ROSSI MARIO"), QStringLiteral("VERDI ANNA")});
        Disk disk;
        Rows already;
        if (earlierDiskFile) {
            Computer earlier({QStringLiteral("PRIMO ALUNNO")});
            QVERIFY(Database::create(disk.file(), schema::exportTemplateStatements().filter(QStringLiteral("tabtesti"))));
            QCOMPARE(pressExport(earlier), QStringList());
            already = earlier.rows();
        }
        // Two saves of one visit and one of another: three attempts' rows.
        ResultsStore store(*c.t.db);
        for (const QString &visit : {QStringLiteral("v1"), QStringLiteral("v1"), QStringLiteral("v2")})
            QVERIFY(!store.save(QStringLiteral("ROSSI MARIO"), {GroupValues{FieldGroup::Genette, 1, 2, 50, {}}}, kWhen,
                                SaveOrigin{QStringLiteral("FGenette"), visit})
                         .isError());
        const auto history = test::tableRows(*c.t.db, QStringLiteral("tentativi"));
        QCOMPARE(history.size(), 3);
        const ExportOutcome first = exportDirectly(c);
        QCOMPARE(first.status, ExportStatus::Done);
        QCOMPARE(first.rowsAppended, 2);
        QCOMPARE(first.historyRowsAppended, 3);
        QCOMPARE(first.templateCopied, !earlierDiskFile);
        QCOMPARE(pressExport(c), QStringList());
        const Rows rows = disk.rows();
        QCOMPARE(rows.size(), already.size() + 4);
        QCOMPARE(rows.mid(0, already.size()), already);
        QCOMPARE(rows.mid(already.size(), 2), c.rows());
        QCOMPARE(rows.mid(already.size() + 2, 2), c.rows());
        // The history once, however often the computer exports; a new
        // attempt goes with the next export.
        auto onDisk = Database::open(disk.file());
        QCOMPARE(test::tableRows(*onDisk, QStringLiteral("tentativi")), history);
        onDisk.reset();
        QVERIFY(!store.save(QStringLiteral("VERDI ANNA"), {GroupValues{FieldGroup::Poesia, 3, 4, 75, {}}}, kWhen).isError());
        const ExportOutcome third = exportDirectly(c);
        QCOMPARE(third.rowsAppended, 2);
        QCOMPARE(third.historyRowsAppended, 1);
        onDisk = Database::open(disk.file());
        QCOMPARE(test::tableRows(*onDisk, QStringLiteral("tentativi")), test::tableRows(*c.t.db, QStringLiteral("tentativi")));
    }

    void threeComputersOntoOneDisk()
    {
        Computer a({QStringLiteral("ALFA UNO"), QStringLiteral("ALFA DUE")});
        Computer b({QStringLiteral("BETA UNO")});
        Computer c({QStringLiteral("GAMMA UNO"), QStringLiteral("GAMMA DUE"), QStringLiteral("GAMMA TRE")});
        Disk disk;
        QCOMPARE(pressExport(b), QStringList());
        QCOMPARE(pressExport(c), QStringList());
        QCOMPARE(pressExport(a), QStringList());
        QCOMPARE(disk.rows(), b.rows() + c.rows() + a.rows());
    }

    void diskFileNamedInCapitals()
    {
        Computer c({QStringLiteral("ROSSI MARIO")});
        Disk disk;
        QVERIFY(QFile::copy(c.templatePath(), disk.root + QStringLiteral("/EXPORTTESTI.MDB")));
        QCOMPARE(pressExport(c), QStringList());
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("EXPORTTESTI.MDB")});
        auto db = Database::open(disk.root + QStringLiteral("/EXPORTTESTI.MDB"));
        QVERIFY(db);
        QCOMPARE(Computer::readRows(*db), c.rows());
    }

    void noDiskOrNoDrive_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("message");
        QTest::newRow("drive empty (the folder is not there)") << "missing" << exportmsg::diskNotWritable();
        // Nothing can be created below a plain file, not even by root.
        QTest::newRow("drive that cannot be written") << "under-a-file" << exportmsg::diskNotWritable();
        QTest::newRow("no drive at all: a folder is offered, and the offer closed") << "none" << exportmsg::noDiskOffer();
        // A disk that already holds an export, then locked.
        QTest::newRow("read-only disk holding an export") << "ro-folder" << exportmsg::readOnlyDisk();
        QTest::newRow("read-only export file") << "ro-file" << exportmsg::readOnlyExportFile();
    }
    void noDiskOrNoDrive()
    {
        QFETCH(QString, drive);
        QFETCH(QString, message);
        Computer c({QStringLiteral("ROSSI MARIO")});
        const Rows before = c.rows();
        QTemporaryDir scratch;
        std::unique_ptr<Disk> disk;
        if (drive == QLatin1String("missing")) {
            disk = std::make_unique<Disk>(scratch.path() + QStringLiteral("/floppy"));
        } else if (drive == QLatin1String("under-a-file")) {
            QFile plain(scratch.path() + QStringLiteral("/plain"));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            plain.close();
            disk = std::make_unique<Disk>(plain.fileName() + QStringLiteral("/floppy"));
        } else if (drive.startsWith(QLatin1String("ro-"))) {
            if (geteuid() == 0)
                QSKIP("running as root: file and folder permissions do not stop root from writing");
            disk = std::make_unique<Disk>(scratch.path());
            QCOMPARE(pressExport(c), QStringList());
            const QByteArray held = fileHash(disk->file());
            const QString locked = drive == QLatin1String("ro-file") ? disk->file() : disk->root;
            QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            const QStringList said = pressExport(c);
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(said, QStringList{message});
            QCOMPARE(fileHash(disk->file()), held);
            QCOMPARE(disk->entries(), QStringList{QStringLiteral("exporttesti.mdb")});
            return;
        } else {
            driveRoot().clear();
        }
        QCOMPARE(pressExport(c), QStringList{message});
        QCOMPARE(c.rows(), before);
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 drive == QLatin1String("under-a-file") ? QStringList{QStringLiteral("plain")} : QStringList{});
    }

    void writeProtectedDisk()
    {
        if (geteuid() == 0)
            QSKIP("running as root: folder permissions do not stop root from writing");
        Computer c({QStringLiteral("ROSSI MARIO")});
        Disk disk;
        QVERIFY(QFile::setPermissions(disk.root, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QStringList said = pressExport(c);
        QFile::setPermissions(disk.root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(said, QStringList{exportmsg::diskNotWritable()});
        QCOMPARE(disk.entries(), QStringList());
    }

    void diskFullWhileCopyingTheTemplate()
    {
        Computer c({QStringLiteral("ROSSI MARIO")});
        Disk disk;
        const Rows before = c.rows();
        QVERIFY(QFileInfo(c.templatePath()).size() > 2048);
        QStringList said;
        {
            FileSizeLimit small(2048);
            QVERIFY(small.ok());
            said = pressExport(c);
        }
        QCOMPARE(said, QStringList{exportmsg::diskFull()});
        // No half copy left for the next try to take for a real file.
        QCOMPARE(disk.entries(), QStringList());
        QCOMPARE(c.rows(), before);

        // With room on the disk the same click works.
        QCOMPARE(pressExport(c), QStringList());
        QCOMPARE(disk.rows(), before);
    }

    void diskFullWhileAppending()
    {
        Computer c;
        for (int i = 0; i < 300; ++i)
            c.addPupil(QStringLiteral("ALUNNO %1").arg(i), i);
        Disk disk;
        // Earlier exports are on the disk already.
        Computer earlier({QStringLiteral("PRIMO ALUNNO")});
        QCOMPARE(pressExport(earlier), QStringList());
        const QByteArray diskBefore = fileHash(disk.file());
        const qint64 size = QFileInfo(disk.file()).size();
        const Rows before = c.rows();

        QStringList said;
        {
            // Room for a few rows, not for three hundred.
            FileSizeLimit full(size + 4 * 4096);
            QVERIFY(full.ok());
            said = pressExport(c);
        }
        QCOMPARE(said, QStringList{exportmsg::diskFull()});
        QCOMPARE(fileHash(disk.file()), diskBefore);
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("exporttesti.mdb")});
        QCOMPARE(disk.rows(), earlier.rows());
        QCOMPARE(c.rows(), before);

        // Nothing half done stays behind: the next export appends each row once.
        QCOMPARE(pressExport(c), QStringList());
        QCOMPARE(disk.rows(), earlier.rows() + before);
    }

    void damagedExportFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QByteArray garbage;
        for (int i = 0; i < 200; ++i)
            garbage += "questo non e' un archivio di dati ";
        QTest::newRow("not a database") << garbage << exportmsg::interrupted();
        QTest::newRow("empty file") << QByteArray() << exportmsg::insertNewDisk();
        QTest::newRow("database without tabtesti") << QByteArray("other-table") << exportmsg::insertNewDisk();
        QTest::newRow("tabtesti with too few columns") << QByteArray("short-table") << exportmsg::interrupted();
        QTest::newRow("cut off half way") << QByteArray("truncated") << QString();
    }
    void damagedExportFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        Computer c({QStringLiteral("ROSSI MARIO"), QStringLiteral("VERDI ANNA")});
        Disk disk;
        if (content == "other-table" || content == "short-table") {
            const QString table = content == "other-table" ? QStringLiteral("CREATE TABLE altro (x TEXT)")
                                                            : QStringLiteral("CREATE TABLE tabtesti (id INTEGER, nome TEXT)");
            QVERIFY(Database::create(disk.file(), {table}));
        } else if (content == "truncated") {
            // Rows on the disk, then the file loses its second half.
            QCOMPARE(pressExport(c), QStringList());
            for (int i = 0; i < 50; ++i)
                c.addPupil(QStringLiteral("ALTRO %1").arg(i), i);
            QCOMPARE(pressExport(c), QStringList());
            QFile f(disk.file());
            QVERIFY(f.resize(f.size() / 2));
        } else {
            QFile f(disk.file());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QByteArray diskBefore = fileHash(disk.file());
        const Rows before = c.rows();
        const QStringList said = pressExport(c);
        if (message.isEmpty()) // whichever of the two the damage leads to
            QVERIFY2(said == QStringList{exportmsg::interrupted()} || said == QStringList{exportmsg::insertNewDisk()},
                     qPrintable(said.join(QLatin1Char('|'))));
        else
            QCOMPARE(said, QStringList{message});
        QCOMPARE(fileHash(disk.file()), diskBefore);
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("exporttesti.mdb")});
        QCOMPARE(c.rows(), before);
    }

    void badTemplate_data()
    {
        // A template spoilt in the data folder holds no rows by definition:
        // it is made again and the export goes on. Only one that cannot be
        // made again stops it, every time with the same clear message.
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing" << QString();
        QTest::newRow("not a database") << "garbage" << QString();
        QTest::newRow("empty file") << "empty" << QString();
        QTest::newRow("without tabtesti") << "other" << QString();
        QTest::newRow("tabtesti with too few columns") << "short" << QString();
        QTest::newRow("cut off half way") << "truncated" << QString();
        QTest::newRow("cannot be made again") << "link" << exportmsg::templateMissing();
        // Said at once, never waited on.
        QTest::newRow("a pipe in its place") << "fifo" << exportmsg::templateMissing();
        // Sound, without the history table: it gains it in place.
        QTest::newRow("template of an earlier version") << "earlier" << QString();
    }
    void badTemplate()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        Computer c({QStringLiteral("ROSSI MARIO")});
        Disk disk;
        const QByteArray sound = test::bytesOf(c.templatePath());
        QVERIFY(QFile::remove(c.templatePath()));
        if (kind == QLatin1String("garbage")) {
            QVERIFY(test::writeBytes(c.templatePath(), QByteArray(8192, 'x')));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(test::writeBytes(c.templatePath(), QByteArray()));
        } else if (kind == QLatin1String("truncated")) {
            QVERIFY(test::writeBytes(c.templatePath(), sound.left(sound.size() / 2)));
        } else if (kind == QLatin1String("other") || kind == QLatin1String("short")) {
            QVERIFY(Database::create(c.templatePath(), {kind == QLatin1String("other")
                                                            ? QStringLiteral("CREATE TABLE altro (x TEXT)")
                                                            : QStringLiteral("CREATE TABLE tabtesti (id INTEGER, nome TEXT)")}));
        } else if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(c.templatePath() + QStringLiteral("-altrove/exporttesti.mdb"), c.templatePath()));
        } else if (kind == QLatin1String("earlier")) {
            QVERIFY(Database::create(c.templatePath(), schema::exportTemplateStatements().filter(QStringLiteral("tabtesti"))));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(c.templatePath()).constData(), 0600), 0);
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            QCOMPARE(pressExport(c), message.isEmpty() ? QStringList() : QStringList{message});
            if (!message.isEmpty()) {
                QCOMPARE(disk.entries(), QStringList());
                continue;
            }
            QCOMPARE(disk.rows(), attempt == 0 ? c.rows() : c.rows() + c.rows());
            // The template is sound again, for this export and the next.
            DbError e;
            auto t = Database::open(c.templatePath(), &e);
            QVERIFY2(t, qPrintable(e.message));
            QCOMPARE(test::tableRows(*t, QStringLiteral("tabtesti")).size(), 0);
            QSqlQuery history(t->connection());
            QVERIFY(history.exec(QStringLiteral("SELECT count(*) FROM pragma_table_info('tentativi')")) && history.next());
            QCOMPARE(history.value(0).toInt(), int(schema::tentativiColumns().size()));
        }
    }

    // No disk: the message offers a folder, and the export into it keeps
    // the disk's rules (the empty file put there first, rows only appended,
    // nothing replaced, all or nothing).
    void exportIntoAChosenFolder_data()
    {
        QTest::addColumn<QString>("folder");  // what the chosen folder holds, or where it is
        QTest::addColumn<int>("choice");      // 0: choose a folder, 1: close
        QTest::addColumn<bool>("chooses");    // false: the chooser is cancelled
        QTest::addColumn<QString>("outcome"); // done, appended, capitals, not-open, not-export, data-folder, unwritable, none
        QTest::newRow("blank folder") << "blank" << 0 << true << "done";
        QTest::newRow("folder with another computer's export") << "exported" << 0 << true << "appended";
        QTest::newRow("export file named in capitals") << "capitals" << 0 << true << "capitals";
        QTest::newRow("exporttesti.mdb that is no database") << "garbage" << 0 << true << "not-open";
        QTest::newRow("database without tabtesti") << "other-table" << 0 << true << "not-export";
        QTest::newRow("the data folder itself") << "data" << 0 << true << "data-folder";
        QTest::newRow("a folder that cannot be made") << "under-a-file" << 0 << true << "unwritable";
        QTest::newRow("chooser cancelled") << "blank" << 0 << false << "none";
        QTest::newRow("offer closed") << "blank" << 1 << true << "none";
    }
    void exportIntoAChosenFolder()
    {
        QFETCH(QString, folder);
        QFETCH(int, choice);
        QFETCH(bool, chooses);
        QFETCH(QString, outcome);
        Computer c({QStringLiteral("ROSSI MARIO"), QStringLiteral("VERDI ANNA")});
        Computer other({QStringLiteral("NERI UGO")});
        driveRoot().clear(); // no disk anywhere
        QTemporaryDir scratch;
        QString chosen = scratch.path();
        QString file = chosen + QStringLiteral("/exporttesti.mdb");
        if (folder == QLatin1String("exported")) {
            Disk disk(chosen);
            QCOMPARE(pressExport(other), QStringList());
        } else if (folder == QLatin1String("capitals")) {
            file = chosen + QStringLiteral("/EXPORTTESTI.MDB");
            QVERIFY(QFile::copy(c.templatePath(), file));
        } else if (folder == QLatin1String("garbage")) {
            QVERIFY(writeBytes(file, QByteArray("not a database at all, but a teacher's notes").repeated(100)));
        } else if (folder == QLatin1String("other-table")) {
            DbError err;
            QVERIFY(Database::create(file, {QStringLiteral("CREATE TABLE altro (x)")}, &err));
        } else if (folder == QLatin1String("data")) {
            chosen = c.t.dataDir();
            file = c.templatePath();
        } else if (folder == QLatin1String("under-a-file")) {
            QVERIFY(writeBytes(scratch.path() + QStringLiteral("/plain"), "x"));
            chosen = scratch.path() + QStringLiteral("/plain/cartella");
            file = chosen + QStringLiteral("/exporttesti.mdb");
        }
        const QByteArray before = fileHash(file);
        const Rows otherRows = other.rows();

        c.t.dialogs.queueChoice(choice);
        if (chooses)
            c.t.dialogs.queueFolder(chosen);
        const QStringList said = pressExport(c);

        QCOMPARE(c.t.dialogs.choices, (QList<QStringList>{{exportmsg::chooseFolderButton(), exportmsg::closeButton()}}));
        QCOMPARE(said.value(0), exportmsg::noDiskOffer());
        // Asked only after the offer was taken, always from the home folder.
        QCOMPARE(c.t.dialogs.folderStarts, choice == 0 ? QStringList{QDir::homePath()} : QStringList());
        const QStringList rest = said.mid(1);
        auto rowsIn = [](const QString &path) {
            auto db = Database::open(path);
            return db ? Computer::readRows(*db) : Rows{};
        };
        if (outcome == QLatin1String("done")) {
            QCOMPARE(rest, QStringList{exportmsg::folderDone(file, 2)});
            QCOMPARE(rowsIn(file), c.rows());
        } else if (outcome == QLatin1String("appended")) {
            QCOMPARE(rest, QStringList{exportmsg::folderDone(file, 2)});
            QCOMPARE(rowsIn(file), otherRows + c.rows());
        } else if (outcome == QLatin1String("capitals")) {
            QCOMPARE(rest, QStringList{exportmsg::folderDone(file, 2)});
            QCOMPARE(QDir(chosen).entryList(QDir::Files), QStringList{QStringLiteral("EXPORTTESTI.MDB")});
            QCOMPARE(rowsIn(file), c.rows());
        } else if (outcome == QLatin1String("none")) {
            QCOMPARE(rest, QStringList());
            QCOMPARE(QDir(chosen).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        } else {
            const QString message = outcome == QLatin1String("not-open")      ? exportmsg::folderCannotOpen(file)
                                    : outcome == QLatin1String("not-export")  ? exportmsg::folderNotExportFile(file)
                                    : outcome == QLatin1String("data-folder") ? exportmsg::dataFolderRefused()
                                                                              : exportmsg::folderNotWritable(chosen);
            QCOMPARE(rest, QStringList{message});
            QCOMPARE(fileHash(file), before); // never replaced, nothing appended
        }
        QCOMPARE(c.t.dialogs.messages.size(), said.size());
        // The template stays empty, whatever happened.
        QCOMPARE(rowsIn(c.templatePath()), Rows{});
    }

    void twoExportsRacingOntoOneBlankDisk()
    {
        // Two pupils press the button at the same moment on two computers
        // that share one folder as the disk. Whichever puts the file there
        // first, neither deletes it and no row is lost.
        Computer a, b;
        for (int i = 0; i < 20; ++i) {
            a.addPupil(QStringLiteral("ALFA %1").arg(i), i);
            b.addPupil(QStringLiteral("BETA %1").arg(i), i);
        }
        const Rows rowsA = a.rows(), rowsB = b.rows();
        for (int round = 0; round < 25; ++round) {
            Disk disk;
            QSemaphore ready, go;
            std::atomic<int> failures{0};
            QString said;
            auto exporter = [&](const QString &base, const QString &file) {
                return QThread::create([&, base, file] {
                    // A connection of its own, as on the other computer.
                    auto db = Database::open(file);
                    FolderDrive drive(disk.root);
                    Services services;
                    services.baseDir = base;
                    services.drive = &drive;
                    ResultsStore store(*db);
                    ready.release();
                    go.acquire();
                    const ExportOutcome out = exportArchive(store, services);
                    if (out.status != ExportStatus::Done) {
                        ++failures;
                        said = out.message;
                    }
                    store.close();
                });
            };
            std::unique_ptr<QThread> ta(exporter(a.t.base(), a.t.resultsPath()));
            std::unique_ptr<QThread> tb(exporter(b.t.base(), b.t.resultsPath()));
            ta->start();
            tb->start();
            ready.acquire(2);
            go.release(2);
            QVERIFY(ta->wait(60000) && tb->wait(60000));
            QVERIFY2(failures == 0, qPrintable(QStringLiteral("round %1: %2").arg(round).arg(said)));
            QCOMPARE(disk.entries().join(QLatin1Char(' ')), QStringLiteral("exporttesti.mdb"));
            const Rows rows = disk.rows();
            QVERIFY2(rows == rowsA + rowsB || rows == rowsB + rowsA, qPrintable(QStringLiteral("round %1: %2 rows")
                                                                                    .arg(round)
                                                                                    .arg(rows.size())));
        }
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
