// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's real dialogs as the program opens them: the choice box, the folder
// chooser and the teacher's guide, answered on screen (offscreen).
#include "kit/guidewindow.h"
#include "kit/qtdialogs.h"
#include "shell/morvelloapp.h"
#include "storage/export.h"
#include "testsupport.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

void saveShot(QWidget *w, const QString &name)
{
    const QString dir = shotsFolder();
    if (!dir.isEmpty())
        w->grab().save(dir + QLatin1Char('/') + name);
}

const QStringList kButtons{exportmsg::chooseFolderButton(), exportmsg::closeButton()};

} // namespace

class TestQtDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Qt keeps the file dialog's history under here: it must stay empty.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        setupApplication(*qApp);
    }

    void choiceAnswersWithTheButtonPressed_data()
    {
        QTest::addColumn<QString>("press"); // a button's caption, or "Esc"
        QTest::addColumn<int>("answer");
        QTest::newRow("the offer") << kButtons[0] << 0;
        QTest::newRow("close") << kButtons[1] << 1;
        QTest::newRow("Esc is the closing button") << "Esc" << 1;
    }
    void choiceAnswersWithTheButtonPressed()
    {
        QFETCH(QString, press);
        QFETCH(int, answer);
        QtDialogs dialogs;
        bool seen = false;
        whenModalShows(
            [&](QWidget *box) {
                auto *mb = qobject_cast<QMessageBox *>(box);
                QVERIFY(mb);
                QCOMPARE(mb->windowTitle(), QStringLiteral("Morvello"));
                QCOMPARE(mb->text(), exportmsg::noDiskOffer());
                if (press == kButtons[0])
                    saveShot(mb, QStringLiteral("choice-no-disk.png"));
                if (press == QLatin1String("Esc")) {
                    QTest::keyClick(mb, Qt::Key_Escape);
                    return;
                }
                for (QAbstractButton *b : mb->buttons())
                    if (b->text() == press)
                        b->click();
            },
            &seen);
        QCOMPARE(dialogs.choose(exportmsg::noDiskOffer(), kButtons), answer);
        QVERIFY(seen);
    }

    // Every chooser opens where it is told, whatever was chosen before, and
    // Qt's dialog writes nothing into the user's settings.
    void folderChooserStartsAfreshAndKeepsNothing()
    {
        QTemporaryDir home, elsewhere;
        QtDialogs dialogs;
        for (int round = 0; round < 2; ++round) {
            QString openedOn;
            whenModalShows([&](QWidget *w) {
                auto *fd = qobject_cast<QFileDialog *>(w);
                QVERIFY(fd);
                openedOn = fd->directory().absolutePath();
                if (round == 0)
                    saveShot(fd, QStringLiteral("folder-chooser.png"));
                fd->setDirectory(elsewhere.path());
                QMetaObject::invokeMethod(fd, "accept");
            });
            const std::optional<QString> chosen = dialogs.chooseFolder(QStringLiteral("Cartella"), home.path());
            QCOMPARE(openedOn, QDir(home.path()).absolutePath());
            QVERIFY(chosen);
            QCOMPARE(QDir(*chosen).absolutePath(), QDir(elsewhere.path()).absolutePath());
        }
        QCOMPARE(QDir(m_config.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    // The data folder is written into the page as text, never as markup.
    void guideNamesTheDataFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "/home/maestra/.local/share/morvello/permorvello";
        QTest::newRow("markup characters") << "/home/a&b/<i>classe</i>/permorvello";
    }
    void guideNamesTheDataFolder()
    {
        QFETCH(QString, folder);
        GuideWindow guide(folder);
        const QString text = guide.browser()->toPlainText();
        QVERIFY2(text.contains(folder), qPrintable(text));
        QVERIFY(!text.contains(QLatin1String("@CARTELLA_DATI@")));
        QVERIFY(!guide.browser()->toHtml().contains(QLatin1String("<i>classe")));
    }

    void guideLinksStayOnThePage()
    {
        const QString html = GuideWindow::pageHtml(QStringLiteral("/dati"));
        QVERIFY(html.startsWith(QLatin1String("<!DOCTYPE html>")));
        // Every link of the contents leads to a section of the page, and no
        // link leads out of it.
        const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        int links = 0;
        for (auto m = href.globalMatch(html); m.hasNext(); ++links) {
            const QString target = m.next().captured(1);
            QVERIFY2(target.startsWith(QLatin1Char('#')), qPrintable(target));
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(target.mid(1))), qPrintable(target));
        }
        QCOMPARE(links, 7);
        QVERIFY(!html.contains(QLatin1String("<img")));
    }

    void oneGuideWindowComesToTheFront()
    {
        QtDialogs dialogs;
        dialogs.showGuide(QStringLiteral("/dati/permorvello"));
        auto windows = [] {
            QList<GuideWindow *> out;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *g = qobject_cast<GuideWindow *>(w); g && g->isVisible())
                    out << g;
            return out;
        };
        QCOMPARE(windows().size(), 1);
        GuideWindow *first = windows().constFirst();
        QVERIFY(QTest::qWaitForWindowExposed(first));
        QCOMPARE(first->windowTitle(), QStringLiteral("Morvello - Guida per l'insegnante"));
        saveShot(first, QStringLiteral("guide.png"));
        dialogs.showGuide(QStringLiteral("/dati/permorvello"));
        QCOMPARE(windows(), QList<GuideWindow *>{first});
        // Closed, it goes; the next one is new.
        first->close();
        QTRY_COMPARE(windows().size(), 0);
        dialogs.showGuide(QStringLiteral("/dati/permorvello"));
        QCOMPARE(windows().size(), 1);
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
