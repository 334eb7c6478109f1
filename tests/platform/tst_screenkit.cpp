#include "platform/labels.h"
#include "platform/navigator.h"
#include "platform/screen.h"
#include "testsupport.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

using namespace morvello;

namespace {

class DemoScreen : public Screen
{
public:
    DemoScreen(AppContext &ctx, const QString &name)
        : Screen(ctx, name, QSize(12000, 9000), QColor(64, 0, 0), QStringLiteral("Prova"))
    {
        label = place(new StyledLabel(QStringLiteral("testo"), this), 1500, 3000, 3000, 375);
        setDesignFont(label, QStringLiteral("Arial"), 12);
        command = place(new CommandLabel(QStringLiteral("Vai"), QColor(192, 192, 255), this), 6000, 6000, 1500, 375);
        box = place(new DropLabel(2, this), 6000, 1500, 2295, 375);
        source = place(new DragLabel(QStringLiteral("Richiama"), this), 240, 5160, 1935, 375);
    }
    void formLoad() override { ++loads; }
    void formMouseMove() override { command->rest(); }

    StyledLabel *label;
    CommandLabel *command;
    DropLabel *box;
    DragLabel *source;
    int loads = 0;
    int state = 0;
};

} // namespace

class TestScreenKit : public QObject
{
    Q_OBJECT
private slots:
    void scalesUniformlyFromTheTopLeft_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<double>("scale");
        QTest::newRow("design size") << QSize(800, 600) << 1.0;
        QTest::newRow("1280x1024, width limits") << QSize(1280, 1024) << 1.6;
        QTest::newRow("1920x1080, height limits") << QSize(1920, 1080) << 1.8;
        QTest::newRow("smaller than design") << QSize(400, 600) << 0.5;
    }
    void scalesUniformlyFromTheTopLeft()
    {
        QFETCH(QSize, window);
        QFETCH(double, scale);
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        s.setAttribute(Qt::WA_DontShowOnScreen);
        s.show();
        s.resize(window);
        QCOMPARE(s.scale(), scale);
        QCOMPARE(s.label->geometry(), QRect(qRound(100 * scale), qRound(200 * scale), qRound(200 * scale), qRound(25 * scale)));
        QCOMPARE(s.label->font().pixelSize(), qRound(16 * scale));
        QCOMPARE(s.designGeometry(s.label), QRect(1500, 3000, 3000, 375));
    }

    void runtimeTopChangesFollowTheScale()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        s.setAttribute(Qt::WA_DontShowOnScreen);
        s.show();
        s.resize(1600, 1200);
        s.setDesignTop(s.label, 4500);
        QCOMPARE(s.label->y(), 600);
        s.resize(800, 600);
        QCOMPARE(s.label->y(), 300);
    }

    void commandLabelTurnsRedAndRests()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        s.resize(800, 600);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.command->textColor(), QColor(192, 192, 255));
        QTest::mouseMove(s.command, QPoint(5, 5));
        QTRY_COMPARE(s.command->textColor(), QColor(255, 0, 0));
        // Over another control: no reset.
        QTest::mouseMove(s.label, QPoint(5, 5));
        QCOMPARE(s.command->textColor(), QColor(255, 0, 0));
        QTest::mouseMove(&s, QPoint(790, 590));
        QTRY_COMPARE(s.command->textColor(), QColor(192, 192, 255));
    }

    void commandLabelClicksOnReleaseAndKeys()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        s.resize(800, 600);
        QSignalSpy clicked(s.command, &CommandLabel::clicked);
        QTest::mouseClick(s.command, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QTest::keyClick(s.command, Qt::Key_Return);
        QTest::keyClick(s.command, Qt::Key_Space);
        QCOMPARE(clicked.count(), 3);
        QTest::keyClick(s.command, Qt::Key_A);
        QCOMPARE(clicked.count(), 3);
    }

    void dropOnATargetReportsTheCaption()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        s.resize(800, 600);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy dropped(s.box, &DropLabel::dropped);

        QMimeData mime;
        mime.setData(DragLabel::mimeType(), QStringLiteral("Informa racconta descrive confronta").toUtf8());
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.box, &drop);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toInt(), 2);
        QCOMPARE(dropped.at(0).at(1).toString(), QStringLiteral("Informa racconta descrive confronta"));
    }

    void foreignDragsAreRefused()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        QSignalSpy dropped(s.box, &DropLabel::dropped);
        QMimeData mime;
        mime.setText(QStringLiteral("testo qualsiasi"));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.box, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.box, &drop);
        QCOMPARE(dropped.count(), 0);
    }

    void keyboardPicksAndPlaces()
    {
        test::TestContext t(false);
        DemoScreen s(t.ctx, QStringLiteral("Demo"));
        QSignalSpy picked(s.source, &DragLabel::picked);
        QSignalSpy placed(s.box, &DropLabel::clicked);
        QTest::keyClick(s.source, Qt::Key_Space);
        QTest::keyClick(s.box, Qt::Key_Enter);
        QTest::mouseClick(s.box, Qt::LeftButton);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(placed.count(), 2);
        QCOMPARE(placed.at(0).at(0).toInt(), 2);
    }

    void navigatorLifecycle()
    {
        test::TestContext t(false);
        int built = 0;
        t.navigator->registerScreen(QStringLiteral("Demo"), [&built](AppContext &c) {
            ++built;
            return new DemoScreen(c, QStringLiteral("Demo"));
        });
        t.navigator->registerScreen(ScreenName::Menu, [](AppContext &c) { return new DemoScreen(c, ScreenName::Menu); });

        auto *s = static_cast<DemoScreen *>(t.navigator->show(QStringLiteral("Demo")));
        QVERIFY(s && s->isVisible());
        QCOMPARE(s->loads, 1);
        s->state = 42;
        t.navigator->hide(QStringLiteral("Demo"));
        QVERIFY(!s->isVisible());
        QCOMPARE(t.navigator->show(QStringLiteral("Demo")), s);
        QCOMPARE(s->state, 42);
        QCOMPARE(built, 1);

        QPointer<Screen> old = s;
        t.navigator->unload(QStringLiteral("Demo"));
        QVERIFY(!t.navigator->isLoaded(QStringLiteral("Demo")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        auto *fresh = static_cast<DemoScreen *>(t.navigator->show(QStringLiteral("Demo")));
        QCOMPARE(fresh->state, 0);
        QCOMPARE(fresh->loads, 1);
        QCOMPARE(built, 2);

        QVERIFY(!t.navigator->show(QStringLiteral("Inesistente")));
    }

    void returnToAnUnknownCallerShowsTheMenu_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("shown");
        QTest::newRow("known screen") << "Demo" << "Demo";
        QTest::newRow("unknown name") << "Fnessuno" << "fmenù";
        QTest::newRow("empty") << "" << "fmenù";
    }
    void returnToAnUnknownCallerShowsTheMenu()
    {
        QFETCH(QString, caller);
        QFETCH(QString, shown);
        test::TestContext t(false);
        t.navigator->registerScreen(QStringLiteral("Demo"), [](AppContext &c) { return new DemoScreen(c, QStringLiteral("Demo")); });
        t.navigator->registerScreen(ScreenName::Menu, [](AppContext &c) { return new DemoScreen(c, ScreenName::Menu); });
        Screen *s = t.navigator->showCaller(caller);
        QVERIFY(s);
        QCOMPARE(s->screenName(), shown);
        QVERIFY(s->isVisible());
    }

    void titleBarCloseHidesAndShowsTheMenu()
    {
        test::TestContext t(false);
        t.navigator->registerScreen(QStringLiteral("Demo"), [](AppContext &c) { return new DemoScreen(c, QStringLiteral("Demo")); });
        t.navigator->registerScreen(ScreenName::Menu, [](AppContext &c) { return new DemoScreen(c, ScreenName::Menu); });
        Screen *s = t.navigator->show(QStringLiteral("Demo"));
        s->close();
        QVERIFY(!s->isVisible());
        QVERIFY(t.navigator->screen(ScreenName::Menu)->isVisible());
    }
};

QTEST_MAIN(TestScreenKit)
#include "tst_screenkit.moc"
