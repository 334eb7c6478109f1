// SPDX-License-Identifier: GPL-3.0-or-later
#include "doubles.h"
#include "storage/database.h"
#include "shell/chiedinome.h"
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "shell/morvelloapp.h"
#include "storage/resultsstore.h"

#include "storage/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace morvello;

namespace {

// Scripted dialogs that also note whether the menu was built when the name
// entry came.
class WatchingDialogs : public ScriptedDialogs
{
public:
    std::function<bool()> menuBuilt;
    QList<bool> menuBuiltAtPrompt;
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override
    {
        menuBuiltAtPrompt << (menuBuilt && menuBuilt());
        return ScriptedDialogs::input(prompt, maxLength);
    }
};

struct Started {
    QTemporaryDir dir;
    WatchingDialogs *dialogs = nullptr;
    std::unique_ptr<MorvelloApp> app;

    bool start(const QString &answer = QStringLiteral("rossi mario"))
    {
        auto d = std::make_unique<WatchingDialogs>();
        d->menuBuilt = [this] { return app && app->navigator().isLoaded(ScreenName::Menu); };
        dialogs = d.get();
        dialogs->queueAnswer(answer);
        app = std::make_unique<MorvelloApp>(dir.path(), std::move(d));
        return app->start();
    }
    QString data(const QString &name) const { return dir.filePath(QStringLiteral("permorvello/") + name); }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// While it lives, the program runs as a user without special rights, for
// whom file and folder permissions count (root ignores them).
class PlainUser
{
public:
    PlainUser() : m_wasRoot(geteuid() == 0) { m_ok = !m_wasRoot || seteuid(65534) == 0; }
    ~PlainUser()
    {
        // Back to root; nothing else can be done if that fails.
        if (m_wasRoot && seteuid(0) != 0)
            qWarning("could not become root again");
    }
    bool ok() const { return m_ok; }

private:
    bool m_wasRoot;
    bool m_ok;
};

const QFile::Permissions kAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                                | QFile::ExeOther;
const QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions kReadOnlyFolder = kReadOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void firstStartMakesTheFilesAndAsksTheName()
    {
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("permorvello")));
        QVERIFY(s.start());
        QVERIFY(QFile::exists(s.data(QStringLiteral("testi1.mdb"))));
        QVERIFY(QFile::exists(s.data(QStringLiteral("exporttesti.mdb"))));
        QCOMPARE(s.dialogs->prompts, QStringList{promptNome()});
        // Asked before the menu is built, so that it is on screen sooner.
        QCOMPARE(s.dialogs->menuBuiltAtPrompt, QList<bool>{false});
        QCOMPARE(s.app->session().nomeStudente, QStringLiteral("ROSSI MARIO"));
        QVERIFY(s.app->host().store() && s.app->host().store()->isOpen());
        Screen *menu = s.app->navigator().screen(ScreenName::Menu);
        QVERIFY(menu && menu->isVisible());
        QVERIFY(s.dialogs->messages.isEmpty());
    }

    void dataFolderFoundWhateverItsCase()
    {
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("PerMorvello")));
        QVERIFY(s.start());
        QVERIFY(QFile::exists(s.dir.filePath(QStringLiteral("PerMorvello/testi1.mdb"))));
    }

    void missingDataFolderIsReported()
    {
        Started s;
        QVERIFY(!s.start());
        QCOMPARE(s.dialogs->messages.size(), 1);
        QVERIFY2(s.dialogs->messages.first().contains(QStringLiteral("permorvello"), Qt::CaseInsensitive),
                 qPrintable(s.dialogs->messages.first()));
        QVERIFY(s.dialogs->prompts.isEmpty());
        QVERIFY(!QDir(s.dir.filePath(QStringLiteral("permorvello"))).exists());
    }

    void badArchiveIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("questo non è un archivio\n");
        QTest::newRow("empty header") << QByteArray(100, '\0');
        QByteArray damaged("SQLite format 3");
        damaged.append('\0');
        damaged.append(QByteArray(4080, '\x5a'));
        QTest::newRow("damaged database") << damaged;
    }
    void badArchiveIsReportedAndLeftAlone()
    {
        QFETCH(QByteArray, content);
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("permorvello")));
        {
            QFile f(s.data(QStringLiteral("testi1.mdb")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QVERIFY(!s.start());
        QCOMPARE(s.dialogs->messages.size(), 1);
        QVERIFY2(s.dialogs->messages.first().contains(QStringLiteral("testi1.mdb")), qPrintable(s.dialogs->messages.first()));
        QCOMPARE(readAll(s.data(QStringLiteral("testi1.mdb"))), content);
        QVERIFY(s.dialogs->prompts.isEmpty());
    }

    void refusedStartLeavesNothingBehind_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("said");
        QTest::newRow("read-only file") << "file" << "Il file";
        QTest::newRow("read-only file of an earlier version") << "earlier" << "Il file";
        QTest::newRow("read-only folder") << "folder" << "La cartella";
    }
    void refusedStartLeavesNothingBehind()
    {
        QFETCH(QString, what);
        QFETCH(QString, said);
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("permorvello")));
        const QString folder = s.data(QString());
        const QString archive = s.data(QStringLiteral("testi1.mdb"));
        QVERIFY(s.start());
        s.app.reset();
        if (what == QLatin1String("earlier")) {
            // Its header still says write-ahead log: reading it makes the -wal
            // and -shm files, unless the program stops first.
            auto db = Database::open(archive);
            QVERIFY(db && db->exec(QStringLiteral("PRAGMA journal_mode=WAL")));
        }
        QCOMPARE(filesIn(folder), (QStringList{QStringLiteral("codice-computer.txt"), QStringLiteral("exporttesti.mdb"),
                                               QStringLiteral("testi1.mdb")}));
        QFile::setPermissions(s.dir.path(), kAll);
        QFile::setPermissions(folder, what == QLatin1String("folder") ? kReadOnlyFolder : kAll);
        QFile::setPermissions(archive, what == QLatin1String("folder") ? kAll : kReadOnly);
        bool started = true;
        {
            PlainUser user;
            QVERIFY(user.ok());
            if (::faccessat(AT_FDCWD, QFile::encodeName(archive).constData(), W_OK, AT_EACCESS) == 0
                && ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0) {
                QFile::setPermissions(folder, kAll);
                QSKIP("file permissions do not count for this user");
            }
            started = s.start();
        }
        QFile::setPermissions(folder, kAll);
        QFile::setPermissions(archive, kAll);
        QVERIFY(!started);
        QCOMPARE(s.dialogs->messages.size(), 1);
        const QString message = s.dialogs->messages.first();
        QVERIFY2(message.startsWith(said) && message.contains(QStringLiteral("sola lettura")), qPrintable(message));
        QCOMPARE(filesIn(folder), (QStringList{QStringLiteral("codice-computer.txt"), QStringLiteral("exporttesti.mdb"),
                                               QStringLiteral("testi1.mdb")}));

        // Writable again, the program starts and saves: nothing left over
        // stands in the way.
        QVERIFY2(s.start(), qPrintable(s.dialogs->messages.join(QLatin1Char('\n'))));
        QVERIFY(s.dialogs->messages.isEmpty());
        QVERIFY(!s.app->host().save({GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}).isError());
        s.app.reset();
        QCOMPARE(filesIn(folder), (QStringList{QStringLiteral("codice-computer.txt"), QStringLiteral("exporttesti.mdb"),
                                               QStringLiteral("testi1.mdb")}));
    }

    void misleadingFilesGetClearMessages_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("said");
        QTest::newRow("link round in a loop") << "loop" << "collegamento che rimanda a se stesso";
        QTest::newRow("link to a file that is not there") << "dangling" << "collegamento a un file che non esiste";
        QTest::newRow("disk full while making the archive") << "full" << "il disco è pieno";
    }
    void misleadingFilesGetClearMessages()
    {
        QFETCH(QString, what);
        QFETCH(QString, said);
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("permorvello")));
        const QString archive = s.data(QStringLiteral("testi1.mdb"));
        bool started = true;
        if (what == QLatin1String("loop")) {
            QVERIFY(QFile::link(archive, archive));
        } else if (what == QLatin1String("dangling")) {
            QVERIFY(QFile::link(s.data(QStringLiteral("vecchio/testi1.mdb")), archive));
        }
        if (what == QLatin1String("full")) {
            // Files may not grow past one page: as on a full disk. The signal
            // such a write raises would end the program unless it is ignored.
            const auto old = std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit;
            getrlimit(RLIMIT_FSIZE, &limit);
            rlimit small = limit;
            small.rlim_cur = 4096;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
            started = s.start();
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, old);
        } else {
            started = s.start();
        }
        QVERIFY(!started);
        QCOMPARE(s.dialogs->messages.size(), 1);
        QVERIFY2(s.dialogs->messages.first().contains(said), qPrintable(s.dialogs->messages.first()));
        QVERIFY2(!s.dialogs->messages.first().contains(QStringLiteral("esiste già")), qPrintable(s.dialogs->messages.first()));
        // Nothing half made is left for the next start to stumble on.
        for (const QString &f : filesIn(s.data(QString())))
            QVERIFY2(f == QLatin1String("testi1.mdb") || f == QLatin1String("exporttesti.mdb"), qPrintable(f));
        if (what == QLatin1String("full")) {
            QVERIFY(!QFile::exists(archive));
            QVERIFY2(s.start(), qPrintable(s.dialogs->messages.join(QLatin1Char('\n'))));
        }
    }

    void whatWasMendedIsSaid()
    {
        // The log of a file since replaced lies beside the archive: the
        // archive opens as it is, and the teacher learns where the log went.
        Started s;
        QVERIFY(QDir(s.dir.path()).mkdir(QStringLiteral("permorvello")));
        const QString archive = s.data(QStringLiteral("testi1.mdb"));
        QVERIFY(s.start());
        for (int i = 0; i < 5; ++i) {
            s.app->session().nomeStudente = QStringLiteral("ALUNNO %1").arg(i);
            QVERIFY(!s.app->host().save({GroupValues{FieldGroup::Genette, 1, 2, 50, {}}}).isError());
        }
        s.app.reset();
        // Another archive, written in write-ahead mode by a run that was
        // killed: its log is what the program finds.
        QTemporaryDir other;
        const QString otherFile = other.filePath(QStringLiteral("testi1.mdb"));
        QVERIFY(Database::create(otherFile, schema::resultsDatabaseStatements()));
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("killed"));
            c.setDatabaseName(otherFile);
            QVERIFY(c.open());
            QSqlQuery q(c);
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=0")));
            QVERIFY(q.exec(QStringLiteral("BEGIN")));
            for (int i = 0; i < 300; ++i)
                QVERIFY(q.exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES ('ALTRO %1')").arg(i)));
            QVERIFY(q.exec(QStringLiteral("COMMIT")));
            QVERIFY(QFile::copy(otherFile + QStringLiteral("-wal"), archive + QStringLiteral("-wal")));
            q.finish();
            c.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("killed"));

        QVERIFY(s.start(QStringLiteral("bianchi anna")));
        QCOMPARE(s.app->host().store()->names().size(), 5);
        QCOMPARE(s.dialogs->messages.size(), 1);
        QVERIFY2(s.dialogs->messages.first().contains(QStringLiteral("testi1.mdb-wal.")), qPrintable(s.dialogs->messages.first()));
        QCOMPARE(s.app->session().nomeStudente, QStringLiteral("BIANCHI ANNA"));
        QVERIFY(!s.app->host().save({GroupValues{FieldGroup::Poesia, 1, 2, 50, {}}}).isError());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
