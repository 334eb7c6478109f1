// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's guide: F1 on every screen, and the small "Guida" of the menu
// and of the results screen, which lies where no other control is.
#include "shell/fmenu.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

class StubScreen : public Screen
{
public:
    explicit StubScreen(const QString &name) : Screen(name, QSize(11880, 8490), QColor(128, 128, 128), name) {}
};

struct Program {
    test::TestContext t;
    Program()
    {
        t.dialogs.queueAnswer(QStringLiteral("rossi mario"));
        t.navigator->registerScreen(ScreenName::Menu, [this]() { return new FMenu(*t.host, {}); });
        t.host->registerResultsScreen();
        t.navigator->registerScreen(ScreenName::Espositivo, [] { return new StubScreen(ScreenName::Espositivo); });
    }
    Screen *open(const QString &name)
    {
        Screen *s = t.navigator->show(name);
        s->activateWindow();
        return QTest::qWaitForWindowActive(s) ? s : nullptr;
    }
};

ClickLabel *guideOf(Screen *s)
{
    return s->findChild<ClickLabel *>(QStringLiteral("LabGuida"));
}

} // namespace

class TestGuide : public QObject
{
    Q_OBJECT
private slots:
    void opens_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("how");
        QTest::newRow("F1 on the menu") << ScreenName::Menu << "F1";
        QTest::newRow("Guida on the menu") << ScreenName::Menu << "Guida";
        QTest::newRow("F1 on the results screen") << ScreenName::Risultati << "F1";
        QTest::newRow("Guida on the results screen") << ScreenName::Risultati << "Guida";
        QTest::newRow("F1 on an activity") << ScreenName::Espositivo << "F1";
    }
    void opens()
    {
        QFETCH(QString, screen);
        QFETCH(QString, how);
        Program p;
        Screen *s = p.open(screen);
        QVERIFY(s);
        if (how == QLatin1String("F1")) {
            QTest::keyClick(s, Qt::Key_F1);
        } else {
            QVERIFY(guideOf(s));
            QTest::mouseClick(guideOf(s), Qt::LeftButton);
        }
        // The page names this computer's data folder.
        QCOMPARE(p.t.dialogs.guides, QStringList{p.t.dataDir()});
        QVERIFY(p.t.dialogs.messages.isEmpty());
    }

    // An addition in free space: it covers no control of the screen, at the
    // design size and when the window grows.
    void guideLiesInFreeSpace_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QStringList>("under"); // what it may lie on
        QTest::newRow("menu 1280x1024") << ScreenName::Menu << QSize(1280, 1024) << QStringList();
        QTest::newRow("menu 1920x1080") << ScreenName::Menu << QSize(1920, 1080) << QStringList();
        QTest::newRow("results 1280x1024") << ScreenName::Risultati << QSize(1280, 1024)
                                           << QStringList{QStringLiteral("Label5")};
        QTest::newRow("results 1920x1080") << ScreenName::Risultati << QSize(1920, 1080)
                                           << QStringList{QStringLiteral("Label5")};
    }
    void guideLiesInFreeSpace()
    {
        QFETCH(QString, screen);
        QFETCH(QSize, window);
        QFETCH(QStringList, under);
        Program p;
        Screen *s = p.open(screen);
        QVERIFY(s);
        s->resize(window);
        ClickLabel *guide = guideOf(s);
        QVERIFY(guide);
        QVERIFY(guide->isVisible());
        QVERIFY(s->rect().contains(guide->geometry()));
        // The caption fits its box.
        QVERIFY(guide->sizeHint().width() <= guide->width() && guide->sizeHint().height() <= guide->height() + 1);
        for (QWidget *w : s->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w == guide || under.contains(w->objectName()) || w->testAttribute(Qt::WA_TransparentForMouseEvents))
                continue;
            // The hidden names list of the menu counts too: it opens over its column.
            QVERIFY2(!w->geometry().intersects(guide->geometry()), qPrintable(w->objectName()));
        }
        if (!shotsFolder().isEmpty())
            s->grab().save(QStringLiteral("%1/guida-%2-%3x%4.png")
                               .arg(shotsFolder(), screen)
                               .arg(window.width())
                               .arg(window.height()));
    }
};

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"
