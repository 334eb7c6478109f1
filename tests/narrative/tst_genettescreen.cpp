// SPDX-License-Identifier: GPL-3.0-or-later
#include "narrative/genettescreen.h"
#include "narrative/narrativescreens.h"
#include "text/richtextview.h"
#include "kit/textfit.h"
#include "shell/activities.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;

namespace {

class MenuStandIn : public Screen
{
public:
    MenuStandIn() : Screen(ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu")) {}
};

// The same draw every time: the first exercise is value + 1 (above 9: 4).
class FixedDraw : public RandomSource
{
public:
    explicit FixedDraw(int value) : m_value(value) {}
    int bounded(int) override { return m_value; }

private:
    int m_value;
};

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

struct Fixture {
    TestContext tc;
    FixedDraw draw;
    explicit Fixture(int firstExercise = 4, const QString &pupil = QStringLiteral("ROSSI ANNA"))
        : draw(firstExercise - 1)
    {
        // The shipped passages and pictures, in this test's own data folder.
        const QString from = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/");
        QDir().mkpath(tc.dataDir() + "/genette");
        for (const QString &f : genetteExerciseFiles())
            QFile::copy(from + "genette/" + fileName(f), tc.dataDir() + "/genette/" + fileName(f));
        QFile::copy(from + "giusto.jpg", tc.dataDir() + "/giusto.jpg");
        QFile::copy(from + "sbagliato.jpg", tc.dataDir() + "/sbagliato.jpg");
        tc.services.random = &draw;
        tc.session.nomeStudente = pupil;
        tc.navigator->registerScreen(ScreenName::Menu, []() { return new MenuStandIn; });
        tc.host->registerResultsScreen();
        registerActivities(*tc.navigator, tc.env());
    }
    GenetteScreen *open()
    {
        auto *s = qobject_cast<GenetteScreen *>(tc.navigator->show(narrativescreens::Genette));
        if (s)
            s->resize(1280, 1024);
        return s;
    }
    QVector<QVariant> row(const QString &name = QStringLiteral("ROSSI ANNA"))
    {
        const auto r = lookupPupil(*tc.db, name);
        return r ? *r : QVector<QVariant>();
    }
};

// A real click on the last line of an option's caption, far from its round
// mark: the whole box takes it.
void clickOption(GenetteScreen *s, int index)
{
    OptionBox *o = s->option(index);
    QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(o->width() - 8, o->height() - 6));
}

int rightOption(GenetteScreen *s)
{
    return s->exercise().opzioniGiuste(s->exercise().nrEsercizio());
}

int wrongOption(GenetteScreen *s)
{
    return rightOption(s) == 0 ? 1 : 0;
}

QString passageText(const QString &base, const QString &dataName)
{
    RichTextView v;
    v.loadFile(dataName, base);
    return v.plainText();
}

} // namespace

class TstGenetteScreen : public QObject
{
    Q_OBJECT
private slots:
    void menuRow();
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void loaded();
    void answerWithTheMouse_data();
    void answerWithTheMouse();
    void twoOfThreeSaved();
    void pictureShrinksAway_data();
    void pictureShrinksAway();
    void nextAndConcepts();
    void leavingKeepsTheState();
    void badFiles_data();
    void badFiles();
    void failedSaveKeepsCounters();
    void captionsFit_data();
    void captionsFit();
};

void TstGenetteScreen::menuRow()
{
    const Activity *a = activityForMenuLabel(activities(), QStringLiteral("Labgenette"));
    QVERIFY(a);
    QCOMPARE(a->screen, QStringLiteral("FGenette"));
    QCOMPARE(a->menu, MenuAfterOpening::Hides);
}

void TstGenetteScreen::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");

    QTest::newRow("passage") << "RichTextBox1" << QRect(360, 360, 5895, 5415) << "";
    QTest::newRow("problem") << "Label3" << QRect(480, 6240, 5655, 1575) << "";
    QTest::newRow("Voce button") << "CmdVoce" << QRect(11055, 1320, 855, 375) << "Voce";
    QTest::newRow("Frequenza button") << "CmdFrequenza" << QRect(8280, 1320, 975, 375) << "Frequenza";
    QTest::newRow("last option") << "Option1(3)" << QRect(6600, 5160, 5295, 615) << "";
    QTest::newRow("next") << "CmdSeguente" << QRect(6600, 6120, 5295, 735) << "Esercizio successivo";
    QTest::newRow("picture at its resting width") << "Image1" << QRect(6600, 6840, 975, 1215) << "";
    QTest::newRow("concept caption") << "Label1" << QRect(7200, 2040, 2535, 375) << "Concetto selezionato:";
    QTest::newRow("number caption") << "Label9" << QRect(8640, 2400, 735, 255) << "Testo Nr. ";
    QTest::newRow("score caption") << "Label5" << QRect(8400, 7440, 855, 375) << " punti su";
    QTest::newRow("menu") << "CmdMenù" << QRect(9840, 6960, 2055, 255) << "Menù";
    QTest::newRow("archive") << "CmdArchivio" << QRect(9840, 7320, 2055, 255) << "Archivio";
    QTest::newRow("exit") << "CmdEsci" << QRect(9840, 7680, 2055, 255) << "Esco";
}

void TstGenetteScreen::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    Fixture f;
    GenetteScreen *s = f.open();
    QVERIFY(s);
    QCOMPARE(s->windowTitle(), QStringLiteral("Form1"));
    QWidget *w = s->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(s->designGeometry(w), twips);
    if (!text.isEmpty()) {
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            QCOMPARE(b->text(), text);
        else
            QCOMPARE(qobject_cast<QLabel *>(w)->text(), text);
    }
}

void TstGenetteScreen::loaded()
{
    Fixture f(7);
    GenetteScreen *s = f.open();
    QCOMPARE(s->conceptLabel()->text(), QStringLiteral("ORDINE"));
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("7"));
    QCOMPARE(s->problemLabel()->text(), genetteConcepts().at(Ordine).problem);
    QVERIFY(s->passage()->plainText().size() > 300);
    QCOMPARE(s->passage()->plainText(), passageText(f.tc.base(), QStringLiteral("permorvello\\genette\\ordine7.rtf")));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(s->option(i)->isVisible(), i < 3);
    QVERIFY(!s->conceptButton(Ordine)->isEnabled());
    QVERIFY(s->conceptButton(Voce)->isEnabled());
    QVERIFY(!s->nextButton()->isEnabled());
    QVERIFY(!s->picture()->isVisible());
    QCOMPARE(s->rightLabel()->text(), QStringLiteral("0"));
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("0"));
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TstGenetteScreen::answerWithTheMouse_data()
{
    QTest::addColumn<bool>("right");
    QTest::addColumn<QString>("pupil");
    QTest::newRow("right") << true << "ROSSI ANNA";
    QTest::newRow("wrong") << false << "ROSSI ANNA";
    QTest::newRow("right, no name: nothing saved") << true << "";
}

void TstGenetteScreen::answerWithTheMouse()
{
    QFETCH(bool, right);
    QFETCH(QString, pupil);
    Fixture f(4, pupil);
    GenetteScreen *s = f.open();
    const int option = right ? rightOption(s) : wrongOption(s);
    clickOption(s, option);

    QCOMPARE(s->rightLabel()->text(), right ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("1"));
    QVERIFY(s->option(option)->isChecked());
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(s->option(i)->mark() == AnswerMark::Wrong, !right && i == option);
        QVERIFY(!s->option(i)->isEnabled());
    }
    QVERIFY(s->nextButton()->isEnabled());
    QVERIFY(s->picture()->isVisible());
    QCOMPARE(s->picture()->shows(), right ? PictureSlot::Shows::Right : PictureSlot::Shows::Wrong);
    QVERIFY(s->picture()->pictureLoaded());
    QVERIFY(f.tc.dialogs.messages.isEmpty());

    if (pupil.isEmpty()) {
        QStringList names = allNames(*f.tc.db);
        QVERIFY(names.isEmpty());
        return;
    }
    const QVector<QVariant> row = f.row();
    QCOMPARE(row.size(), 34);
    QCOMPARE(row.at(30).toDouble(), right ? 1.0 : 0.0);
    QCOMPARE(row.at(31).toDouble(), 1.0);
    QCOMPARE(row.at(32).toDouble(), right ? 100.0 : 0.0);
    QCOMPARE(row.at(33).toDateTime(), f.tc.clock.now());
    QVERIFY(row.at(2).isNull()); // other groups untouched
}

void TstGenetteScreen::twoOfThreeSaved()
{
    Fixture f(1);
    GenetteScreen *s = f.open();
    s->CmdConcept_Click(Durata);
    clickOption(s, rightOption(s));
    s->nextButton()->click();
    clickOption(s, wrongOption(s));
    s->nextButton()->click();
    clickOption(s, rightOption(s));
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("3"));
    QCOMPARE(s->rightLabel()->text(), QStringLiteral("2"));
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("3"));
    const QVector<QVariant> row = f.row();
    QCOMPARE(row.at(30).toDouble(), 2.0);
    QCOMPARE(row.at(31).toDouble(), 3.0);
    QCOMPARE(row.at(32).toDouble(), 66.0);
}

void TstGenetteScreen::pictureShrinksAway_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("one answer") << "answer";
    QTest::newRow("next exercise empties it, the timer still hides it") << "next";
    QTest::newRow("a concept change leaves it") << "concept";
    QTest::newRow("a new answer while it shrinks starts again") << "again";
}

void TstGenetteScreen::pictureShrinksAway()
{
    QFETCH(QString, road);
    Fixture f(2);
    GenetteScreen *s = f.open();
    PictureSlot *p = s->picture();
    clickOption(s, rightOption(s));
    QCOMPARE(p->currentWidth(), GenetteScreen::PictureRestWidth);

    if (road == QLatin1String("next")) {
        s->nextButton()->click();
        QVERIFY(p->isVisible());
        QCOMPARE(p->shows(), PictureSlot::Shows::Nothing);
    }
    if (road == QLatin1String("concept")) {
        s->CmdConcept_Click(Voce);
        QCOMPARE(p->shows(), PictureSlot::Shows::Right);
    }
    f.tc.ticks.advance(999);
    QVERIFY(p->isVisible());
    QCOMPARE(p->currentWidth(), GenetteScreen::PictureRestWidth);
    f.tc.ticks.advance(1 + GenetteScreen::PictureShrinkMs / 2);
    QVERIFY(p->isVisible());
    QVERIFY2(p->currentWidth() > 0 && p->currentWidth() < GenetteScreen::PictureRestWidth,
             qPrintable(QString::number(p->currentWidth())));

    if (road == QLatin1String("again")) {
        s->CmdConcept_Click(Frequenza); // opens the options again
        clickOption(s, wrongOption(s));
        QCOMPARE(p->currentWidth(), GenetteScreen::PictureRestWidth);
        QCOMPARE(p->shows(), PictureSlot::Shows::Wrong);
        f.tc.ticks.advance(999);
        QVERIFY(p->isVisible());
        QCOMPARE(p->currentWidth(), GenetteScreen::PictureRestWidth);
    }
    f.tc.ticks.runUntilIdle();
    QVERIFY(!p->isVisible());
    QCOMPARE(p->currentWidth(), GenetteScreen::PictureRestWidth);
    QCOMPARE(s->designGeometry(p).width(), GenetteScreen::PictureRestWidth);
    QVERIFY(!p->animating());
    QVERIFY(!s->exercise().pictureShown());
    QVERIFY(!s->exercise().timerEnabled());
}

void TstGenetteScreen::nextAndConcepts()
{
    Fixture f(9);
    GenetteScreen *s = f.open();
    s->conceptButton(Distanza)->click();
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("9"));
    s->conceptButton(Prospettiva)->click();
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("1"));
    QCOMPARE(s->conceptLabel()->text(), QStringLiteral("PROSPETTIVA"));
    QCOMPARE(s->option(2)->isVisible(), false);

    // Wrong answer: red until the next concept load.
    clickOption(s, wrongOption(s));
    const int wrong = wrongOption(s);
    QVERIFY(s->option(wrong)->mark() == AnswerMark::Wrong);
    s->conceptButton(Durata)->click();
    for (int i = 0; i < 4; ++i) {
        QVERIFY(s->option(i)->mark() != AnswerMark::Wrong);
        QVERIFY(!s->option(i)->isChecked());
        QVERIFY(s->option(i)->isEnabled());
        QCOMPARE(s->option(i)->isVisible(), true);
    }
    // "Esercizio successivo" stays on, and without a new answer only says so.
    QVERIFY(s->nextButton()->isEnabled());
    const QString before = s->passage()->plainText();
    s->nextButton()->click();
    QCOMPARE(f.tc.dialogs.messages, QStringList{QStringLiteral("Devi fornire una risposta...")});
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("1"));
    QCOMPARE(s->passage()->plainText(), before);
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("1"));

    // The last exercise of Distanza leads back to the first.
    s->conceptButton(Distanza)->click();
    while (s->exerciseLabel()->text() != QLatin1String("14")) {
        clickOption(s, rightOption(s));
        s->nextButton()->click();
    }
    clickOption(s, rightOption(s));
    s->nextButton()->click();
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("1"));
    QCOMPARE(s->passage()->plainText(),
             passageText(f.tc.base(), QStringLiteral("permorvello\\genette\\distanza1.rtf")));
    QVERIFY(!s->nextButton()->isEnabled());
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
}

void TstGenetteScreen::leavingKeepsTheState()
{
    Fixture f(5);
    GenetteScreen *s = f.open();
    s->conceptButton(Voce)->click();
    clickOption(s, rightOption(s));
    QTest::mouseClick(s->exitButton(Exit::Menu), Qt::LeftButton);
    QVERIFY(!s->isVisible());
    QVERIFY(f.tc.navigator->screen(ScreenName::Menu)->isVisible());
    QCOMPARE(f.tc.navigator->show(narrativescreens::Genette), s); // the same screen, not a new one
    QCOMPARE(s->conceptLabel()->text(), QStringLiteral("VOCE"));
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("5"));
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("1"));
    QVERIFY(s->nextButton()->isEnabled());

    QTest::mouseClick(s->exitButton(Exit::Archive), Qt::LeftButton);
    QCOMPARE(f.tc.session.formChiamante, QStringLiteral("FGenette"));
    QVERIFY(!s->isVisible());
    f.tc.host->showCaller(f.tc.session.formChiamante);
    QVERIFY(s->isVisible());
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("1"));

    QVERIFY(!f.tc.ended);
    QTest::mouseClick(s->exitButton(Exit::Quit), Qt::LeftButton);
    QVERIFY(f.tc.ended);
}

void TstGenetteScreen::badFiles_data()
{
    QTest::addColumn<QString>("file");      // under permorvello/
    QTest::addColumn<QByteArray>("content"); // null: deleted
    QTest::addColumn<QString>("named");     // in the message
    QTest::addColumn<bool>("passageShown");

    QTest::newRow("passage missing") << "genette/ordine4.rtf" << QByteArray() << "permorvello\\genette\\ordine4.rtf"
                                     << false;
    QTest::newRow("passage damaged") << "genette/ordine4.rtf" << QByteArray("{\\rtf1 non finisce")
                                     << "permorvello\\genette\\ordine4.rtf" << false;
    QTest::newRow("right picture missing") << "giusto.jpg" << QByteArray() << "permorvello\\giusto.jpg" << true;
    QTest::newRow("right picture damaged") << "giusto.jpg" << QByteArray("non è un'immagine")
                                           << "permorvello\\giusto.jpg" << true;
}

// A file that cannot be shown is named to the pupil and the screen goes on.
// An answer on a passage the pupil could not read is not taken; one given
// with only a picture missing counts and is saved.
void TstGenetteScreen::badFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, named);
    QFETCH(bool, passageShown);
    Fixture f(4);
    const QString path = f.tc.dataDir() + "/" + file;
    if (content.isNull())
        QVERIFY(QFile::remove(path));
    else
        QVERIFY(writeBytes(path, content));

    GenetteScreen *s = f.open();
    QCOMPARE(s->passage()->plainText().isEmpty(), !passageShown);
    clickOption(s, rightOption(s));
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY2(f.tc.dialogs.messages.first().contains(named), qPrintable(f.tc.dialogs.messages.first()));
    QCOMPARE(s->rightLabel()->text(), passageShown ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(s->option(rightOption(s))->isChecked(), passageShown);
    if (passageShown) {
        QCOMPARE(f.row().at(30).toDouble(), 1.0);
        QVERIFY(s->picture()->isVisible()); // a drawn mark when the picture is missing
    }

    // The screen goes on: another exercise comes up, and the same missing
    // picture is not reported a second time.
    s->nextButton()->click();
    QCOMPARE(s->exerciseLabel()->text(), QStringLiteral("5"));
    QVERIFY(!s->passage()->plainText().isEmpty());
    clickOption(s, rightOption(s));
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QCOMPARE(f.row().at(31).toDouble(), passageShown ? 2.0 : 1.0);
}

void TstGenetteScreen::failedSaveKeepsCounters()
{
    Fixture f(4);
    GenetteScreen *s = f.open();
    clickOption(s, rightOption(s));
    QVERIFY(f.tc.db->exec(QStringLiteral("PRAGMA query_only=1")));
    s->nextButton()->click();
    clickOption(s, rightOption(s));
    QCOMPARE(f.tc.dialogs.messages.size(), 1);
    QVERIFY(f.tc.dialogs.messages.first().startsWith(QStringLiteral("Il risultato non è stato salvato")));
    QCOMPARE(s->rightLabel()->text(), QStringLiteral("2"));
    QCOMPARE(s->totalLabel()->text(), QStringLiteral("2"));
    QCOMPARE(f.row().at(31).toDouble(), 1.0);
    QVERIFY(f.tc.db->exec(QStringLiteral("PRAGMA query_only=0")));
    s->nextButton()->click();
    clickOption(s, wrongOption(s));
    QCOMPARE(f.row().at(30).toDouble(), 2.0);
    QCOMPARE(f.row().at(31).toDouble(), 3.0);
    QCOMPARE(f.row().at(32).toDouble(), 66.0);
}

void TstGenetteScreen::captionsFit_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("design size") << QSize(813, 573);
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

// Every caption of every concept shows whole in its option box, and every
// problem statement on its panel.
void TstGenetteScreen::captionsFit()
{
    QFETCH(QSize, window);
    Fixture f(1);
    GenetteScreen *s = f.open();
    s->resize(window);
    for (int c = 0; c < GenetteConceptCount; ++c) {
        s->CmdConcept_Click(c);
        for (int i = 0; i < genetteConcepts().at(c).optionCount(); ++i) {
            OptionBox *o = s->option(i);
            const QFont font = o->captionFont();
            QVERIFY2(textsFit(font, {o->text()}, o->captionRect().size(), true), qPrintable(o->text()));
            QVERIFY(font.pixelSize() >= int(o->font().pixelSize() * 0.75));
        }
        QLabel *problem = s->problemLabel();
        QVERIFY2(textsFit(problem->font(), {problem->text()}, problem->size() - QSize(4, 2), true),
                 qPrintable(problem->text()));
    }
}

QTEST_MAIN(TstGenetteScreen)
#include "tst_genettescreen.moc"
