// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/activityscreen.h"
#include "kit/countercaption.h"
#include "kit/optionbox.h"
#include <QPushButton>
#include "kit/labels.h"
#include "results/frisultati.h"
#include "kit/navigator.h"
#include "kit/screen.h"
#include "testsupport.h"

#include <QComboBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

using namespace morvello;
using namespace morvello::test;

namespace {

class DemoScreen : public Screen
{
public:
    DemoScreen(const QString &name)
        : Screen(name, QSize(12000, 9000), QColor(64, 0, 0), QStringLiteral("Prova"))
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
    // Text on the wrong-answer red reaches a contrast of 4.5; other grounds
    // keep the colour asked for.
    void textOnRedIsLegible_data()
    {
        QTest::addColumn<QColor>("wanted");
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("white on red") << QColor(Qt::white) << red() << QColor(Qt::black);
        QTest::newRow("yellow on red") << QColor(255, 255, 0) << red() << QColor(Qt::black);
        QTest::newRow("black on red") << QColor(Qt::black) << red() << QColor(Qt::black);
        QTest::newRow("white on navy") << QColor(Qt::white) << QColor(0, 0, 64) << QColor(Qt::white);
        QTest::newRow("red on a lighter red") << red() << QColor(255, 64, 64) << red();
    }
    void textOnRedIsLegible()
    {
        QFETCH(QColor, wanted);
        QFETCH(QColor, ground);
        QFETCH(QColor, shown);
        QCOMPARE(legibleOn(wanted, ground), shown);
        QVERIFY(contrastRatio(shown, red()) >= 4.5 || ground != red());
        // A label shows it so.
        StyledLabel l;
        l.setBackgroundColor(ground);
        l.setTextColor(wanted);
        QCOMPARE(l.palette().color(QPalette::WindowText), shown);
    }

    void scalesUniformlyFromTheTopLeft_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("left"); // a wide window centres the design surface
        QTest::newRow("design size") << QSize(800, 600) << 1.0 << 0;
        QTest::newRow("1280x1024, width limits") << QSize(1280, 1024) << 1.6 << 0;
        QTest::newRow("1920x1080, height limits") << QSize(1920, 1080) << 1.8 << 240;
        QTest::newRow("smaller than design") << QSize(400, 600) << 0.5 << 0;
    }
    void scalesUniformlyFromTheTopLeft()
    {
        QFETCH(QSize, window);
        QFETCH(double, scale);
        QFETCH(int, left);
        test::TestContext t(false);
        DemoScreen s(QStringLiteral("Demo"));
        s.setAttribute(Qt::WA_DontShowOnScreen);
        s.show();
        s.resize(window);
        QCOMPARE(s.scale(), scale);
        QCOMPARE(s.surfaceLeft(), left);
        QCOMPARE(s.label->geometry(),
                 QRect(left + qRound(100 * scale), qRound(200 * scale), qRound(200 * scale), qRound(25 * scale)));
        QCOMPARE(s.label->font().pixelSize(), qRound(16 * scale));
        QCOMPARE(s.designGeometry(s.label), QRect(1500, 3000, 3000, 375));
    }

    // A number in a caption stands on the caption's baseline, in the blanks
    // or beside the words it belongs to, at every scale and in any font.
    void counterCaptionPlacesNumbers_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("limit"); // endsBefore, twips; -1 none
        QTest::addColumn<QSize>("window");
        const int inBlanks = int(CounterCaption::Place::InBlanks);
        const int after = int(CounterCaption::Place::AfterCaption);
        const int before = int(CounterCaption::Place::BeforeCaption);
        QTest::newRow("in the widest blanks") << QStringLiteral("In questo brano devi trovare        sequenze")
                                              << inBlanks << -1 << QSize(1280, 1024);
        QTest::newRow("in the blanks, large window") << QStringLiteral("Attuale           su") << inBlanks << -1
                                                     << QSize(1920, 1080);
        QTest::newRow("after the caption") << QStringLiteral("Aiuti ricevuti") << after << -1 << QSize(1280, 1024);
        QTest::newRow("before the caption") << QStringLiteral(" punti su") << before << -1 << QSize(1280, 1024);
        QTest::newRow("bracket kept short of a limit")
            << QStringLiteral("(Mancate coincidenze                  )") << inBlanks << 4300 << QSize(1280, 1024);
    }
    void counterCaptionPlacesNumbers()
    {
        QFETCH(QString, caption);
        QFETCH(int, place);
        QFETCH(int, limit);
        QFETCH(QSize, window);
        test::TestContext t(false);
        DemoScreen s(QStringLiteral("Demo"));
        s.setAttribute(Qt::WA_DontShowOnScreen);
        s.show();
        s.label->setText(caption);
        s.label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        auto *number = s.place(new StyledLabel(QStringLiteral("12"), &s), 0, 3100, 480, 255);
        number->setAlignment(Qt::AlignCenter);
        auto *counter = new CounterCaption(&s, s.label);
        counter->number(number, CounterCaption::Place(place));
        if (limit >= 0)
            counter->endsBefore(limit);
        s.resize(window);

        // One baseline: same top, height, size of type and vertical alignment.
        QCOMPARE(number->geometry().top(), s.label->geometry().top());
        QCOMPARE(number->height(), s.label->height());
        QCOMPARE(number->font().pixelSize(), s.label->font().pixelSize());
        QCOMPARE(number->alignment() & Qt::AlignVertical_Mask, Qt::AlignVCenter);

        const QFontMetricsF fm(s.label->font());
        const double textLeft = s.label->x() + s.label->contentsMargins().left();
        const QString words = caption.trimmed();
        const double firstLetter = textLeft + fm.horizontalAdvance(caption.left(caption.indexOf(words)));
        const double lastLetter = firstLetter + fm.horizontalAdvance(words);
        const QRect n = number->geometry();
        switch (CounterCaption::Place(place)) {
        case CounterCaption::Place::InBlanks: {
            const int gap = int(caption.indexOf(QStringLiteral("  ")));
            const double from = textLeft + fm.horizontalAdvance(caption.left(gap));
            const double to = textLeft + fm.horizontalAdvance(caption.left(int(caption.lastIndexOf(QLatin1Char(' '))) + 1));
            QVERIFY2(qAbs(n.center().x() - (from + to) / 2) <= 2, qPrintable(QString::number(n.center().x())));
            break;
        }
        case CounterCaption::Place::AfterCaption:
            QVERIFY(n.left() > lastLetter && n.left() < lastLetter + 2 * fm.height());
            break;
        case CounterCaption::Place::BeforeCaption:
            QVERIFY(n.right() < firstLetter && n.right() > firstLetter - 2 * fm.height());
            break;
        case CounterCaption::Place::OwnPlace:
            break;
        }
        if (limit >= 0)
            QVERIFY(lastLetter <= s.surfaceLeft() + limit * s.scale() / kTwipsPerPixel + 1);
    }

    // One look for an answered option, on a label or on a round option.
    void answerMarks_data()
    {
        QTest::addColumn<int>("mark");
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<bool>("framed");
        QTest::addColumn<QColor>("text");
        const QColor resting(0xf0, 0xf0, 0xf0);
        QTest::newRow("open") << int(AnswerMark::Open) << resting << false << QColor(Qt::black);
        QTest::newRow("chosen") << int(AnswerMark::Chosen) << resting << true << QColor(Qt::black);
        QTest::newRow("wrong") << int(AnswerMark::Wrong) << red() << true << QColor(Qt::black);
        QTest::newRow("left aside") << int(AnswerMark::Closed) << resting << false << closedTextColor();
    }
    void answerMarks()
    {
        QFETCH(int, mark);
        QFETCH(QColor, ground);
        QFETCH(bool, framed);
        QFETCH(QColor, text);
        StyledLabel label(QStringLiteral("Metafora"));
        markAnswer(&label, AnswerMark(mark), QColor(0xf0, 0xf0, 0xf0));
        QCOMPARE(label.backgroundColor(), ground);
        QCOMPARE(label.isBordered(), framed);
        QCOMPARE(label.textColor(), text);
        OptionBox option(QStringLiteral("Metafora"), nullptr);
        option.setGround(QColor(0xf0, 0xf0, 0xf0));
        option.setMark(AnswerMark(mark));
        QCOMPARE(option.shownGround(), ground);
        QVERIFY(contrastRatio(text, ground) >= 4.5);
    }

    // The circle sits inside its box with a margin, and a click chooses
    // without taking the keyboard focus.
    void optionBoxCircleAndFocus()
    {
        test::TestContext t(false);
        DemoScreen s(QStringLiteral("Demo"));
        s.setAttribute(Qt::WA_DontShowOnScreen);
        s.show();
        auto *o = s.place(new OptionBox(QStringLiteral("Il racconto segue un ordine cronologico"), &s), 1500, 6000,
                          5000, 615);
        s.setDesignFont(o, QStringLiteral("Arial"), 8.25);
        s.resize(1280, 1024);
        s.command->setFocus(Qt::TabFocusReason);
        const QRect circle = o->markRect();
        QVERIFY(circle.left() >= 3 && circle.top() >= 2 && circle.bottom() <= o->height() - 3);
        QVERIFY(circle.width() >= QFontInfo(o->font()).pixelSize() * 0.9);
        QVERIFY(o->captionRect().left() > circle.right());
        QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(o->width() - 5, o->height() / 2));
        QVERIFY(o->isChecked());
        QVERIFY(!o->hasFocus());
    }

    void runtimeTopChangesFollowTheScale()
    {
        test::TestContext t(false);
        DemoScreen s(QStringLiteral("Demo"));
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
        DemoScreen s(QStringLiteral("Demo"));
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
        DemoScreen s(QStringLiteral("Demo"));
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
        DemoScreen s(QStringLiteral("Demo"));
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
        DemoScreen s(QStringLiteral("Demo"));
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
        DemoScreen s(QStringLiteral("Demo"));
        QSignalSpy picked(s.source, &DragLabel::picked);
        QSignalSpy placed(s.box, &DropLabel::boxClicked);
        QTest::keyClick(s.source, Qt::Key_Space);
        QTest::keyClick(s.box, Qt::Key_Enter);
        QTest::mouseClick(s.box, Qt::LeftButton);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(placed.count(), 2);
        QCOMPARE(placed.at(0).at(0).toInt(), 2);
    }

    // Any closed chooser on any screen, not only those the kit makes.
    void closedChoosersIgnoreTheWheel_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::newRow("plain chooser") << false;
        QTest::newRow("editable box") << true;
    }
    void closedChoosersIgnoreTheWheel()
    {
        QFETCH(bool, editable);
        test::TestContext t(false);
        DemoScreen s(QStringLiteral("Demo"));
        auto *combo = s.place(new QComboBox(&s), 1500, 4500, 2295, 315);
        combo->addItems({QStringLiteral("uno"), QStringLiteral("due"), QStringLiteral("tre")});
        combo->setEditable(editable);
        combo->setCurrentIndex(1);
        QSignalSpy activated(combo, &QComboBox::activated);
        const QPoint at = combo->rect().center();
        QWheelEvent wheel(at, combo->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(activated.count(), 0);
    }

    void navigatorLifecycle()
    {
        test::TestContext t(false);
        int built = 0;
        t.navigator->registerScreen(QStringLiteral("Demo"), [&built]() {
            ++built;
            return new DemoScreen(QStringLiteral("Demo"));
        });
        t.navigator->registerScreen(QStringLiteral("fmenù"), []() { return new DemoScreen(QStringLiteral("fmenù")); });

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
        t.navigator->registerScreen(QStringLiteral("Demo"), []() { return new DemoScreen(QStringLiteral("Demo")); });
        t.navigator->registerScreen(QStringLiteral("fmenù"), []() { return new DemoScreen(QStringLiteral("fmenù")); });
        Screen *s = t.navigator->showCaller(caller);
        QVERIFY(s);
        QCOMPARE(s->screenName(), shown);
        QVERIFY(s->isVisible());
    }

    // The exits of an activity screen, each with the screen's own policy.
    void activityExits_data()
    {
        QTest::addColumn<int>("exit");      // Exit, or -1 for the title-bar close
        QTest::addColumn<int>("onMenu");    // OnMenu
        QTest::addColumn<QString>("shown"); // the screen on top afterwards; empty: none
        QTest::addColumn<bool>("kept");     // the activity still loaded
        QTest::addColumn<bool>("ended");
        QTest::newRow("menu, hiding") << int(Exit::Menu) << int(OnMenu::Hide) << "fmenù" << true << false;
        QTest::newRow("menu, unloading") << int(Exit::Menu) << int(OnMenu::Unload) << "fmenù" << false << false;
        QTest::newRow("archive") << int(Exit::Archive) << int(OnMenu::Unload) << "FRisultati" << true << false;
        QTest::newRow("exit") << int(Exit::Quit) << int(OnMenu::Hide) << "" << true << true;
        QTest::newRow("back") << int(Exit::Back) << int(OnMenu::Unload) << "Partner" << true << false;
        QTest::newRow("title bar, hiding") << -1 << int(OnMenu::Hide) << "fmenù" << true << false;
        QTest::newRow("title bar, unloading") << -1 << int(OnMenu::Unload) << "fmenù" << false << false;
    }
    void activityExits()
    {
        QFETCH(int, exit);
        QFETCH(int, onMenu);
        QFETCH(QString, shown);
        QFETCH(bool, kept);
        QFETCH(bool, ended);
        test::TestContext t;
        t.session.nomeStudente = QStringLiteral("ROSSI MARIO");
        test::addRow(*t.db, QStringLiteral("ROSSI MARIO"), {{2, 4}});
        t.registerScreens();
        t.navigator->registerScreen(QStringLiteral("Partner"), []() { return new DemoScreen(QStringLiteral("Partner")); });
        t.navigator->registerScreen(QStringLiteral("Demo"), [&t, onMenu]() {
            auto *a = new ActivityScreen(t.env(), QStringLiteral("Demo"), QSize(12000, 9000), QColor(0, 64, 0),
                                         QStringLiteral("Prova"), OnMenu(onMenu));
            a->addExit(Exit::Menu, QStringLiteral("CmdMenù"), QStringLiteral("MENU'"), QRect(240, 7000, 2000, 400));
            a->addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"),
                       QRect(2400, 7000, 2000, 400));
            a->addExit(Exit::Quit, QStringLiteral("cmdfine"), QStringLiteral("Esco"), QRect(4600, 7000, 2000, 400));
            a->addExit(Exit::Back, QStringLiteral("cmdtorno"), QStringLiteral("Torno"), QRect(6800, 7000, 2000, 400));
            a->setBackTarget(QStringLiteral("Partner"));
            return a;
        });
        t.dialogs.queueAnswer(QStringLiteral("rossi mario"));
        auto *a = qobject_cast<ActivityScreen *>(t.navigator->show(QStringLiteral("Demo")));
        QVERIFY(a);
        if (exit < 0)
            a->close();
        else
            a->exitButton(Exit(exit))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(t.navigator->isLoaded(QStringLiteral("Demo")), kept);
        if (kept && !ended)
            QVERIFY(!t.navigator->screen(QStringLiteral("Demo"))->isVisible());
        QCOMPARE(t.ended, ended);
        QCOMPARE(t.db->isOpen(), !ended); // the exit closes the results file first
        if (!shown.isEmpty()) {
            QVERIFY(t.navigator->screen(shown));
            QVERIFY(t.navigator->screen(shown)->isVisible());
        }
        if (exit == int(Exit::Archive)) {
            QCOMPARE(t.session.formChiamante, QStringLiteral("Demo"));
            auto *r = t.navigator->screenAs<FRisultati>(FRisultati::name());
            QCOMPARE(r->cell(1, 1), QStringLiteral("4")); // refreshed for the pupil
            r->Labtorna_Click();
            QVERIFY(t.navigator->screen(QStringLiteral("Demo"))->isVisible());
        }
    }

    // The right/wrong picture's shrink-away: the end state comes at the tick
    // the screen chose, and the picture is back at its width for the next.
    void pictureShrinksAway_data()
    {
        QTest::addColumn<int>("hideAtTick");
        QTest::addColumn<bool>("sharedCounter");
        QTest::addColumn<int>("counterBefore");
        QTest::addColumn<int>("msUntilHidden");
        QTest::newRow("one second after the answer") << 1 << false << 0 << 1000;
        QTest::newRow("third tick of the screen's counter") << 3 << true << 0 << 3000;
        QTest::newRow("counter already at two: hidden sooner") << 3 << true << 2 << 1000;
        // What lies in the picture's place: shown only when it is a whole picture.
        QTest::newRow("the shipped picture") << 1 << false << 0 << 1000;
        QTest::newRow("a picture cut short") << 1 << false << 0 << 1000;
        QTest::newRow("a pipe in the picture's place") << 1 << false << 0 << 1000;
    }
    void pictureShrinksAway()
    {
        QFETCH(int, hideAtTick);
        QFETCH(bool, sharedCounter);
        QFETCH(int, counterBefore);
        QFETCH(int, msUntilHidden);
        test::TestContext t(false);
        const QString tag = QString::fromUtf8(QTest::currentDataTag());
        const QString picture = t.dataDir() + QStringLiteral("/sbagliato.jpg");
        const QByteArray shipped = test::bytesOf(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/sbagliato.jpg"));
        QVERIFY(shipped.size() > 1000);
        if (tag == QLatin1String("the shipped picture"))
            QVERIFY(test::writeBytes(picture, shipped));
        else if (tag == QLatin1String("a picture cut short"))
            QVERIFY(test::writeBytes(picture, shipped.left(shipped.size() * 2 / 3)));
        else if (tag == QLatin1String("a pipe in the picture's place"))
            QCOMPARE(::mkfifo(QFile::encodeName(picture).constData(), 0600), 0);
        ActivityScreen a(t.env(), QStringLiteral("Demo"), QSize(12000, 9000), QColor(0, 64, 0), QStringLiteral("Prova"),
                         OnMenu::Hide);
        a.setAttribute(Qt::WA_DontShowOnScreen);
        a.show();
        int counter = counterBefore;
        PictureSlot *p = a.addPicture(QStringLiteral("Image1"), QRect(6600, 6840, 1200, 1215));
        ShrinkAway plan;
        plan.hideAtTick = hideAtTick;
        plan.tickCounter = sharedCounter ? &counter : nullptr;
        p->setShrinkAway(plan);
        p->showAnswer(false);
        QCOMPARE(p->shows(), PictureSlot::Shows::Wrong);
        QVERIFY(p->isVisible());
        QCOMPARE(p->currentWidth(), 1200);
        // Without a whole picture in the data folder a drawn cross stands in.
        QCOMPARE(p->pictureLoaded(), tag == QLatin1String("the shipped picture"));

        // The first tick sweeps it away, visibly.
        t.ticks.advance(plan.delayMs + plan.shrinkMs / 2);
        QVERIFY(p->isVisible());
        QVERIFY(p->currentWidth() < 1200); // visibly shrinking
        if (msUntilHidden > plan.delayMs) {
            // Then it stays away, never back at full size, until the hiding
            // tick hides it at once.
            t.ticks.advance(msUntilHidden - plan.delayMs - plan.shrinkMs / 2 - 1);
            QVERIFY(p->isVisible());
            QCOMPARE(p->currentWidth(), 0);
            t.ticks.advance(1);
        } else {
            t.ticks.advance(plan.shrinkMs);
        }
        QVERIFY(!p->isVisible());
        QCOMPARE(p->currentWidth(), 1200);
        QVERIFY(!p->animating());
        if (sharedCounter)
            QCOMPARE(counter, 0);

        // A second answer starts again, from the width at rest.
        p->showAnswer(true);
        QVERIFY(p->isVisible());
        QCOMPARE(p->shows(), PictureSlot::Shows::Right);
        QVERIFY(p->animating());
        // Without a plan a picture stays until the screen clears it.
        PictureSlot *still = a.addPicture(QStringLiteral("Image2"), QRect(600, 600, 975, 975));
        still->showAnswer(true);
        t.ticks.advance(10000);
        QVERIFY(still->isVisible());
        still->clear();
        QVERIFY(still->isVisible());
        QCOMPARE(still->shows(), PictureSlot::Shows::Nothing);
    }

    void failedSaveIsReportedAndNothingElseChanges()
    {
        test::TestContext t;
        t.session.nomeStudente = QStringLiteral("BLU");
        ActivityScreen a(t.env(), QStringLiteral("Demo"), QSize(12000, 9000), QColor(0, 64, 0), QStringLiteral("Prova"),
                         OnMenu::Hide);
        QVERIFY(a.saveAndReport(FieldGroup::Genette, Score{1, 2, 50}));
        QVERIFY(t.dialogs.messages.isEmpty());
        QVERIFY(t.db->exec(QStringLiteral("PRAGMA query_only=1")));
        QVERIFY(!a.saveAndReport(FieldGroup::Genette, Score{2, 3, 66}));
        QCOMPARE(t.dialogs.messages.size(), 1);
        QVERIFY(t.dialogs.messages.first().startsWith(QStringLiteral("Il risultato non è stato salvato")));
        QVERIFY(!t.ended);
        QCOMPARE(lookupPupil(*t.db, QStringLiteral("BLU"))->at(30).toDouble(), 1.0);
    }
};

QTEST_MAIN(TestScreenKit)
#include "tst_screenkit.moc"
