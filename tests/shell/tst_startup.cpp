#include "platform/database.h"
#include "shell/chiedinome.h"
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "shell/morvelloapp.h"
#include "results/resultsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace morvello;

namespace {

struct Started {
    QTemporaryDir dir;
    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<MorvelloApp> app;

    bool start(const QString &answer = QStringLiteral("rossi mario"))
    {
        auto d = std::make_unique<ScriptedDialogs>();
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
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
