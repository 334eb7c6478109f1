// SPDX-License-Identifier: GPL-3.0-or-later
#include "narrative/narrativescreens.h"
#include "narrative/storycatalogue.h"
#include "narrative/trovaseqscreen.h"
#include "text/contentcheck.h"
#include "kit/labels.h"
#include "kit/reader.h"
#include "text/richtextview.h"
#include "shell/activities.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

class MenuStandIn : public Screen
{
public:
    MenuStandIn() : Screen(ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu")) {}
};

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

struct Fixture {
    TestContext tc;
    Fixture()
    {
        const QString from = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/");
        for (const StoryEntry &e : storyCatalogue())
            for (const QString &f : {e.storyFile, e.solutionFile, e.helpFile})
                QFile::copy(from + fileName(f), tc.dataDir() + QLatin1Char('/') + fileName(f));
        tc.navigator->registerScreen(ScreenName::Menu, []() { return new MenuStandIn; });
        tc.host->registerResultsScreen();
        registerActivities(*tc.navigator, tc.env());
    }
    TrovaSeqScreen *show() { return qobject_cast<TrovaSeqScreen *>(tc.navigator->show(narrativescreens::TrovaSeq)); }
};

template <class W>
W *child(QWidget *s, const QString &name)
{
    return s->findChild<W *>(name);
}

QString caption(QWidget *s, const QString &name)
{
    auto *l = child<QLabel>(s, name);
    return l ? l->text() : QStringLiteral("<missing %1>").arg(name);
}

QPushButton *button(QWidget *s, const QString &name)
{
    return child<QPushButton>(s, name);
}

ClickLabel *square(QWidget *s, int i)
{
    return child<ClickLabel>(s, QStringLiteral("LabCOLORE(%1)").arg(i));
}

QVector<QRgb> coloursOf(RichTextView *v)
{
    return checks::colourAtEachPosition(*v->document());
}

// Colours the story as its solution through the screen's own handlers.
void colourAsSolution(TrovaSeqScreen *s)
{
    const QVector<QRgb> sol =
        checks::colourAtEachPosition(*s->findChild<RichTextView *>(QStringLiteral("RichTextBox3"))->document());
    int start = 0;
    for (int p = 1; p <= sol.size(); ++p) {
        if (p == sol.size() || sol.at(p) != sol.at(start)) {
            s->storyView()->setSelStart(start);
            s->storyView()->setSelLength(p - start);
            s->LabCOLORE_Click(paletteIndexOf(sol.at(start)));
            start = p;
        }
    }
}

void choose(TrovaSeqScreen *s, const QString &title)
{
    auto *combo = child<QComboBox>(s, QStringLiteral("Combo1"));
    const int i = combo->findText(title);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

// The pixel in the story view's viewport at the middle of character `pos`.
QPoint pointAt(RichTextView *v, int pos)
{
    QTextCursor c(v->document());
    c.setPosition(pos);
    const QRect r = v->cursorRect(c);
    return QPoint(r.left() + 1, r.center().y());
}

} // namespace

class TstTrovaSeqScreen : public QObject
{
    Q_OBJECT
private slots:
    void registryRow();
    void controls_data();
    void controls();
    void asLoaded();
    void storyFitsTheView_data();
    void storyFitsTheView();
    void mouseSelectionAndSquareClick_data();
    void mouseSelectionAndSquareClick();
    void keyboardSelectionAndSquare();
    void correctionMarksCountsAndSaves_data();
    void correctionMarksCountsAndSaves();
    void emptyNameSavesNothing();
    void nothingColouredOnlyTells();
    void failingSaveTellsAndKeepsCounters();
    void menuHidesAndEverythingSurvives();
    void damagedStoryTellsAndOthersWork_data();
    void damagedStoryTellsAndOthersWork();
};

void TstTrovaSeqScreen::registryRow()
{
    const Activity *a = activityForMenuLabel(activities(), QStringLiteral("Labsequenze"));
    QVERIFY(a);
    QCOMPARE(a->screen, QStringLiteral("FtrovaSEQ"));
    QCOMPARE(a->menu, MenuAfterOpening::Hides);
}

void TstTrovaSeqScreen::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");       // caption; "" for none checked
    QTest::addColumn<QString>("accessible"); // accessible name; "" for none checked

    QTest::newRow("Label1") << "Label1" << "In questo brano devi trovare        sequenze" << "";
    QTest::newRow("Label2") << "Label2"
                            << "Tenendo premuto il tasto sinistro del mouse, seleziona la sequenza, poi clicca sul colore"
                            << "";
    QTest::newRow("Label4") << "Label4" << "Valutazione" << "";
    QTest::newRow("Label5") << "Label5" << " punti su" << "";
    QTest::newRow("Label6") << "Label6" << "Aiuti ricevuti" << "";
    QTest::newRow("Label7") << "Label7" << "(Mancate coincidenze                  )" << "";
    const char *ordinals[] = {"PRIMA", "SECONDA", "TERZA", "QUARTA", "QUINTA"};
    for (int i = 0; i < 5; ++i) {
        const QString c = QStringLiteral("Colore della %1 sequenza").arg(QLatin1String(ordinals[i]));
        QTest::newRow(qPrintable(QStringLiteral("square %1").arg(i)))
            << QStringLiteral("LabCOLORE(%1)").arg(i) << "" << c;
        QTest::newRow(qPrintable(QStringLiteral("caption %1").arg(i))) << QStringLiteral("Label3(%1)").arg(i) << c << "";
    }
    QTest::newRow("CmdAiuto") << "CmdAiuto" << "Aiutami!" << "Aiutami!";
    QTest::newRow("Cmdcorrezione") << "Cmdcorrezione" << "CORREGGI" << "CORREGGI";
    QTest::newRow("CmdMenù") << "CmdMenù" << "Menù" << "Menù";
    QTest::newRow("CmdArchivio") << "CmdArchivio" << "Archivio" << "Archivio";
    QTest::newRow("CmdEsci") << "CmdEsci" << "Esco" << "Esco";
    QTest::newRow("story") << "RichTextBox1" << "" << "Racconto da dividere in sequenze";
    QTest::newRow("help") << "RichTextBox2" << "" << "Aiuto";
    QTest::newRow("chooser") << "Combo1" << "" << "Scegli il testo";
}

void TstTrovaSeqScreen::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, accessible);
    Fixture f;
    TrovaSeqScreen *s = f.show();
    QWidget *w = child<QWidget>(s, name);
    QVERIFY2(w, qPrintable(name));
    if (!text.isEmpty()) {
        if (auto *b = qobject_cast<QPushButton *>(w))
            QCOMPARE(b->text(), text);
        else
            QCOMPARE(caption(s, name), text);
    }
    if (!accessible.isEmpty())
        QCOMPARE(w->accessibleName(), accessible);
}

void TstTrovaSeqScreen::asLoaded()
{
    Fixture f;
    TrovaSeqScreen *s = f.show();
    QVERIFY(s->isVisible());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
    QCOMPARE(caption(s, QStringLiteral("LabNrSeq")), QStringLiteral("5"));
    QCOMPARE(caption(s, QStringLiteral("LabAUTORE")), QStringLiteral("Testo proprio"));
    for (int i = 0; i < 5; ++i)
        QVERIFY(square(s, i)->isVisible());
    auto *combo = child<QComboBox>(s, QStringLiteral("Combo1"));
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->placeholderText(), QStringLiteral("Scegli il testo ---->"));
    QCOMPARE(combo->count(), 6);
    QVERIFY(button(s, QStringLiteral("CmdAiuto"))->isEnabled());
    QVERIFY(button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    for (const char *n : {"Labpunti", "Labtot", "LabErrori", "Labaiuti"})
        QCOMPARE(caption(s, QString::fromLatin1(n)), QStringLiteral("0"));
    QVERIFY(!child<QWidget>(s, QStringLiteral("RichTextBox3"))->isVisible());
    QVERIFY(s->storyView()->plainText().startsWith(QStringLiteral("Il sabato mattina")));
    // White text on a dark ground.
    QCOMPARE(checks::firstCharacterNotIn(*s->storyView()->document(), UncolouredText), -1);
    QVERIFY(s->storyView()->palette().color(QPalette::Base).lightness() < 60);

    // A four-sequence story hides the fifth square.
    choose(s, QStringLiteral("Gobba, zoppa..."));
    QCOMPARE(caption(s, QStringLiteral("LabNrSeq")), QStringLiteral("4"));
    QVERIFY(!square(s, 4)->isVisible());
    QVERIFY(!child<QWidget>(s, QStringLiteral("Label3(4)"))->isVisible());
}

void TstTrovaSeqScreen::storyFitsTheView_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("small window") << QSize(700, 500);
}

void TstTrovaSeqScreen::storyFitsTheView()
{
    QFETCH(QSize, window);
    Fixture f;
    TrovaSeqScreen *s = f.show();
    s->resize(window);
    QVERIFY(QTest::qWaitForWindowExposed(s));
    for (const StoryEntry &e : storyCatalogue()) {
        choose(s, e.title);
        QCoreApplication::processEvents();
        QVERIFY(s->storyPoints() >= 12.0);
        // Larger than the written size only while the whole story still shows.
        if (s->storyPoints() > 12.0)
            QVERIFY2(s->storyView()->verticalScrollBar()->maximum() == 0, qPrintable(e.title));
    }
}

void TstTrovaSeqScreen::mouseSelectionAndSquareClick_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("index");
    QTest::newRow("forwards, first square") << 4 << 40 << 0;
    QTest::newRow("backwards, third square") << 90 << 20 << 2;
    QTest::newRow("a click without dragging") << 30 << 30 << 1;
}

void TstTrovaSeqScreen::mouseSelectionAndSquareClick()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, index);
    Fixture f;
    TrovaSeqScreen *s = f.show();
    RichTextView *v = s->storyView();
    QVERIFY(QTest::qWaitForWindowExposed(s));
    QWidget *vp = v->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, pointAt(v, from));
    QTest::mouseMove(vp, pointAt(v, (from + to) / 2));
    QTest::mouseMove(vp, pointAt(v, to));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, pointAt(v, to));
    QCOMPARE(v->selLength(), qAbs(to - from));

    QTest::mouseClick(square(s, index), Qt::LeftButton);
    const QVector<QRgb> colours = coloursOf(v);
    const QRgb painted = storyPalette().at(index).square;
    for (int p = 0; p < colours.size(); ++p) {
        const bool inside = p >= qMin(from, to) && p < qMax(from, to);
        QCOMPARE(colours.at(p), inside ? painted : UncolouredText);
    }
    QCOMPARE(s->logic().coloreScelto(), painted);
}

void TstTrovaSeqScreen::keyboardSelectionAndSquare()
{
    Fixture f;
    TrovaSeqScreen *s = f.show();
    RichTextView *v = s->storyView();
    v->setFocus(Qt::TabFocusReason);
    v->setSelStart(10);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(v->selLength(), 5);
    ClickLabel *sq = square(s, 3);
    QCOMPARE(sq->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    sq->setFocus(Qt::TabFocusReason);
    QTest::keyClick(sq, Qt::Key_Space);
    const QVector<QRgb> colours = coloursOf(v);
    for (int p = 0; p < 20; ++p)
        QCOMPARE(colours.at(p), p >= 10 && p < 15 ? storyPalette().at(3).square : UncolouredText);
}

void TstTrovaSeqScreen::correctionMarksCountsAndSaves_data()
{
    QTest::addColumn<bool>("askHelp");
    QTest::addColumn<double>("aiuti");
    QTest::addColumn<double>("aiutiPerc");
    // Read aloud (corrected while a sentence is marked) or in the legible
    // look: the marks and the typeface lie over the colours, never in them.
    QTest::addColumn<bool>("reading");
    QTest::addColumn<bool>("legible");
    QTest::newRow("no help") << false << 0.0 << 0.0 << false << false;
    QTest::newRow("help once") << true << 1.0 << 100.0 << false << false;
    QTest::newRow("while read aloud") << false << 0.0 << 0.0 << true << false;
    QTest::newRow("legible look, read aloud") << true << 1.0 << 100.0 << true << true;
}

void TstTrovaSeqScreen::correctionMarksCountsAndSaves()
{
    QFETCH(bool, askHelp);
    QFETCH(double, aiuti);
    QFETCH(double, aiutiPerc);
    QFETCH(bool, reading);
    QFETCH(bool, legible);
    Fixture f;
    f.tc.session.nomeStudente = QStringLiteral("ROSSI ANNA");
    f.tc.session.testoLeggibile = legible;
    TrovaSeqScreen *s = f.show();
    QCOMPARE(s->storyView()->legible(), legible);
    if (askHelp) {
        button(s, QStringLiteral("CmdAiuto"))->click();
        QVERIFY(!button(s, QStringLiteral("CmdAiuto"))->isEnabled());
        QVERIFY(s->helpView()->plainText().contains(QStringLiteral("Il gatto nero")));
    }
    colourAsSolution(s);
    // Twelve wrong characters inside the first paragraph.
    s->storyView()->setSelStart(100);
    s->storyView()->setSelLength(12);
    s->LabCOLORE_Click(4);
    if (reading) {
        s->readButton()->press();
        f.tc.speech.finish();
        f.tc.speech.finish();
        QCOMPARE(f.tc.speech.said.size(), 3);
        QVERIFY(s->storyView()->readingMark().first > 0);
    }
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    // Reading on to the end changes nothing either.
    f.tc.speech.finishAll();

    QVERIFY(f.tc.dialogs.messages.isEmpty());
    QCOMPARE(caption(s, QStringLiteral("LabErrori")), QStringLiteral("12"));
    QCOMPARE(caption(s, QStringLiteral("Labpunti")), QStringLiteral("10"));
    QCOMPARE(caption(s, QStringLiteral("Labtot")), QStringLiteral("10"));
    QCOMPARE(caption(s, QStringLiteral("Labaiuti")), counterText(aiuti));
    QVERIFY(!button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    const QVector<QRgb> colours = coloursOf(s->storyView());
    for (int p = 100; p < 112; ++p)
        QCOMPARE(colours.at(p), WrongMark);

    const auto row = lookupPupil(*f.tc.db, QStringLiteral("ROSSI ANNA"));
    QVERIFY(row);
    const QVector<QVariant> &r = *row;
    QCOMPARE(r.at(18).toDouble(), 10.0);
    QCOMPARE(r.at(19).toDouble(), 10.0);
    QCOMPARE(r.at(20).toDouble(), 100.0);
    QCOMPARE(r.at(21).toDateTime(), f.tc.clock.now());
    QCOMPARE(r.at(22).toDouble(), aiuti);
    QCOMPARE(r.at(23).toInt(), 1);
    QCOMPARE(r.at(24).toDouble(), aiutiPerc);
    QCOMPARE(r.at(25).toString(), QStringLiteral("(...)"));
    // No other group is touched.
    QVERIFY(r.at(2).isNull());
    QVERIFY(r.at(26).isNull());
}

void TstTrovaSeqScreen::emptyNameSavesNothing()
{
    Fixture f;
    TrovaSeqScreen *s = f.show();
    colourAsSolution(s);
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    QVERIFY(f.tc.dialogs.messages.isEmpty());
    QCOMPARE(caption(s, QStringLiteral("Labtot")), QStringLiteral("10"));
    QVERIFY(allNames(*f.tc.db).isEmpty());
}

void TstTrovaSeqScreen::nothingColouredOnlyTells()
{
    Fixture f;
    f.tc.session.nomeStudente = QStringLiteral("NERI ADA");
    TrovaSeqScreen *s = f.show();
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    QCOMPARE(f.tc.dialogs.messages, QStringList{QStringLiteral("Non hai selezionato e/o colorato il testo...")});
    QVERIFY(button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    QCOMPARE(caption(s, QStringLiteral("Labtot")), QStringLiteral("0"));
    QVERIFY(allNames(*f.tc.db).isEmpty());
}

void TstTrovaSeqScreen::failingSaveTellsAndKeepsCounters()
{
    Fixture f;
    f.tc.session.nomeStudente = QStringLiteral("VERDI LUCA");
    TrovaSeqScreen *s = f.show();
    colourAsSolution(s);
    f.tc.db->close();
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY(!f.tc.dialogs.messages.first().isEmpty());
    QCOMPARE(caption(s, QStringLiteral("Labpunti")), QStringLiteral("10"));
    QCOMPARE(caption(s, QStringLiteral("Labtot")), QStringLiteral("10"));
    // The pupil goes on with another story.
    choose(s, QStringLiteral("La sentinella"));
    QVERIFY(button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
}

void TstTrovaSeqScreen::menuHidesAndEverythingSurvives()
{
    Fixture f;
    TrovaSeqScreen *s = f.show();
    button(s, QStringLiteral("CmdAiuto"))->click();
    colourAsSolution(s);
    s->storyView()->setSelStart(100);
    s->storyView()->setSelLength(3);
    s->LabCOLORE_Click(4);
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    const QVector<QRgb> before = coloursOf(s->storyView());

    button(s, QStringLiteral("CmdMenù"))->click();
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->screen(ScreenName::Menu)->isVisible());
    QVERIFY(f.tc.navigator->isLoaded(narrativescreens::TrovaSeq));

    QCOMPARE(f.show(), s);
    QCOMPARE(coloursOf(s->storyView()), before);
    QCOMPARE(caption(s, QStringLiteral("Labtot")), QStringLiteral("10"));
    QCOMPARE(caption(s, QStringLiteral("Labaiuti")), QStringLiteral("1"));
    QVERIFY(!button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    QVERIFY(!button(s, QStringLiteral("CmdAiuto"))->isEnabled());
    QVERIFY(!s->helpView()->plainText().isEmpty());
}

void TstTrovaSeqScreen::damagedStoryTellsAndOthersWork_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("helpOpen"); // a hint is given only on a story the pupil sees
    QTest::newRow("solution missing") << QStringLiteral("kukiaqcol.rtf") << true;
    QTest::newRow("story missing") << QStringLiteral("kukiaq.rtf") << false;
}

void TstTrovaSeqScreen::damagedStoryTellsAndOthersWork()
{
    QFETCH(QString, file);
    QFETCH(bool, helpOpen);
    Fixture f;
    QVERIFY(QFile::remove(f.tc.dataDir() + QLatin1Char('/') + file));
    TrovaSeqScreen *s = f.show();
    choose(s, QStringLiteral("Lo sciamano"));
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY2(f.tc.dialogs.messages.first().contains(file), qPrintable(f.tc.dialogs.messages.first()));
    QVERIFY(!button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    QCOMPARE(button(s, QStringLiteral("CmdAiuto"))->isEnabled(), helpOpen);
    button(s, QStringLiteral("CmdAiuto"))->click();
    QCOMPARE(caption(s, QStringLiteral("Labaiuti")), helpOpen ? QStringLiteral("1") : QStringLiteral("0"));
    choose(s, QStringLiteral("I fondamenti"));
    QVERIFY(button(s, QStringLiteral("Cmdcorrezione"))->isEnabled());
    colourAsSolution(s);
    button(s, QStringLiteral("Cmdcorrezione"))->click();
    QCOMPARE(caption(s, QStringLiteral("Labpunti")), QStringLiteral("10"));
}

QTEST_MAIN(TstTrovaSeqScreen)
#include "tst_trovaseqscreen.moc"
