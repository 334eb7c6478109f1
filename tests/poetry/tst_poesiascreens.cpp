// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/labels.h"
#include "text/richtextview.h"
#include "poetry/fpoesia1.h"
#include "poetry/fpoesia2.h"
#include "poetry/poetryscreens.h"
#include "results/frisultati.h"
#include "storage/resultsstore.h"
#include "shell/activities.h"
#include "shell/screennames.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace morvello;
using namespace morvello::test;
using poesia::Question;

namespace {

class MenuStandIn : public Screen
{
public:
    MenuStandIn() : Screen(ScreenName::Menu, QSize(11880, 8490), Qt::darkGray, QStringLiteral("Menu")) {}
};

// The program over a temporary folder that holds the real poems and pictures.
struct Fixture
{
    TestContext tc;
    explicit Fixture(const QString &pupil = QStringLiteral("ROSSI ANNA"))
    {
        const QDir source(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"));
        for (const poesia::Poem &p : poesia::poems()) {
            const QString file = p.file.section(QLatin1Char('\\'), -1);
            QFile::copy(source.filePath(file), tc.dataDir() + QLatin1Char('/') + file);
        }
        for (const char *picture : {"giusto.jpg", "sbagliato.jpg"})
            QFile::copy(source.filePath(QLatin1String(picture)), tc.dataDir() + QLatin1Char('/') + QLatin1String(picture));
        tc.session.nomeStudente = pupil;
        tc.navigator->registerScreen(ScreenName::Menu, []() { return new MenuStandIn; });
        tc.host->registerResultsScreen();
        registerActivities(*tc.navigator, tc.env());
    }
    FPoesia1 *intro() { return qobject_cast<FPoesia1 *>(tc.navigator->show(poetryscreens::Poesia1)); }
    FPoesia1 *loadedIntro() { return tc.navigator->screenAs<FPoesia1>(poetryscreens::Poesia1); }
    FPoesia2 *questions() { return tc.navigator->screenAs<FPoesia2>(poetryscreens::Poesia2); }
    void flushUnloads() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QVector<QVariant> row() { return lookupPupil(*tc.db, tc.session.nomeStudente).value_or(QVector<QVariant>()); }
    // The poetry group of the pupil's row: right, total, percentage.
    QVariantList saved()
    {
        const QVector<QVariant> r = row();
        if (r.size() < 9)
            return {};
        return {r.at(6).toDouble(), r.at(7).toDouble(), r.at(8).toDouble()};
    }
};

void choose(FPoesia1 *s, int poem)
{
    QComboBox *combo = s->chooser();
    combo->setCurrentIndex(poem - 1);
    emit combo->activated(poem - 1);
}

// A drop as the window system delivers it.
bool dropOn(QWidget *target, const QString &caption)
{
    const QPointF at = target->rect().center();
    QMimeData mime;
    mime.setData(DragLabel::mimeType(), caption.toUtf8());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// Fills the boxes through the screen's handler: right answers but for the listed boxes.
void fill(FPoesia1 *s, const QList<int> &wrong = {})
{
    const poesia::Poem &p = s->pair().currentPoem();
    for (int i = 0; i < p.numDomande(); ++i) {
        const QString right = p.solutions.at(i);
        s->Label1_DragDrop(i, nullptr, wrong.contains(i) ? (right == "Strofa" ? "Verso" : "Strofa") : right);
    }
}

QStringList numbers(const QList<StyledLabel *> &labels)
{
    QStringList out;
    for (StyledLabel *l : labels)
        out << l->text();
    return out;
}

QStringList introCounters(FPoesia1 *s)
{
    return numbers({s->counter(4), s->counter(5), s->counter(7), s->counter(8)});
}

QStringList questionCounters(FPoesia2 *s)
{
    return numbers({s->counter(7), s->counter(8), s->counter(9), s->counter(10)});
}

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

} // namespace

class TstPoesiaScreens : public QObject
{
    Q_OBJECT
private slots:
    void registryRows();
    void firstShow();
    void poemHighlightsAndIndent_data();
    void poemHighlightsAndIndent();
    void realDropsAndClickCheckAndSave();
    void emptyBoxOnlyTells();
    void emptyNameSavesNothing();
    void blinkingCaption();
    void questionsOpenHiddenAndReset();
    void answersGrowBothScreensAndSave_data();
    void answersGrowBothScreensAndSave();
    void meaningTakesOneAnswer();
    void pictureShrinksAndHides();
    void reviewingTheText();
    void menuUnloadsPoemScreenOnly();
    void archiveAndBack();
    void escoEnds();
    void missingFiles_data();
    void missingFiles();
};

void TstPoesiaScreens::registryRows()
{
    const Activity *a = activityForMenuLabel(activities(), QStringLiteral("LabBASI"));
    QVERIFY(a);
    QCOMPARE(a->screen, QStringLiteral("Fpoesia1"));
    bool second = false;
    for (const Activity &r : activities())
        second = second || (r.screen == QStringLiteral("Fpoesia2") && r.menuLabel.isEmpty() && r.create);
    QVERIFY(second);
}

void TstPoesiaScreens::firstShow()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    QVERIFY(s);
    QCOMPARE(s->windowTitle(), FPoesia1::captionText());
    QCOMPARE(s->chooser()->currentIndex(), -1);
    QCOMPARE(s->chooser()->placeholderText(), QStringLiteral("Scegli la poesia"));
    QCOMPARE(s->chooser()->count(), 9);
    QCOMPARE(s->pair().poesiaScelta(), 1);
    RichTextView poem1;
    QVERIFY(poem1.loadFile(QStringLiteral("permorvello\\tuono.rtf"), f.tc.base()).ok);
    QVERIFY(!poem1.plainText().isEmpty());
    QCOMPARE(s->view()->plainText(), poem1.plainText());
    QCOMPARE(s->sourceLabel()->text(), QStringLiteral("Testo proprio"));
    for (int i = 0; i < poesia::BoxCount; ++i) {
        QCOMPARE(s->box(i)->isVisible(), i < 5);
        QCOMPARE(s->box(i)->backgroundColor(), poesia::boxColour(i));
        QVERIFY(!s->solutionLabel(i)->isVisible());
    }
    QStringList tiles;
    for (DragLabel *t : s->board()->tiles())
        tiles << t->text();
    QCOMPARE(tiles, (QStringList{"Metafora", "Similitudine", "Allitterazione", "Rima", "Strofa", "Verso", "Onomatopea"}));
    QCOMPARE(s->board()->tiles().first()->objectName(), QStringLiteral("Label2(5)"));
    QCOMPARE(introCounters(s), (QStringList{"", "", "", ""}));
    QCOMPARE(s->questionsButton()->text(), QStringLiteral("Quando hai finito, clicca qui"));
    QVERIFY(s->checkButton()->isEnabled());

    FPoesia2 *q = f.questions();
    QVERIFY(q);
    QVERIFY(!q->isVisible());
    QCOMPARE(&s->pair(), &q->pair()); // one model, given to both by the host
    QCOMPARE(q->option(1)->text(), poesia::poem(1).sentences[1]);
    QCOMPARE(questionCounters(q), (QStringList{"0", "0", "0", "0"}));
    QVERIFY(!q->optionLabel(Question::Lessico, 5)->isVisibleTo(q));
    QVERIFY(!q->optionLabel(Question::Versi, 4)->isVisibleTo(q));
    QVERIFY(!q->optionLabel(Question::Versi, 5)->isVisibleTo(q));
}

void TstPoesiaScreens::poemHighlightsAndIndent_data()
{
    QTest::addColumn<int>("poem");
    for (int k = 1; k <= poesia::PoemCount; ++k)
        QTest::newRow(qPrintable(poesia::poem(k).file)) << k;
}

// Each box's passage shows in its colour in the view the pupil reads, and
// every line is indented alike.
void TstPoesiaScreens::poemHighlightsAndIndent()
{
    QFETCH(int, poem);
    Fixture f;
    FPoesia1 *s = f.intro();
    s->resize(1280, 1024);
    choose(s, poem);
    QCOMPARE(s->pair().poesiaScelta(), poem);
    // Larger than the file's type on a large window, and the whole poem in sight.
    QVERIFY(s->poemZoom() > 1.0);
    QVERIFY(s->view()->document()->size().height() <= s->view()->viewport()->height());
    QSet<QRgb> seen;
    const QTextDocument *doc = s->view()->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QVERIFY2(b.layout()->lineCount() <= 1, qPrintable(b.text())); // no verse wraps
        QCOMPARE(qRound(b.blockFormat().leftMargin() * 15), FPoesia1::PoemIndent);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush))
                seen.insert(it.fragment().charFormat().background().color().rgb());
    }
    QSet<QRgb> expected;
    for (int i = 0; i < s->pair().numDomande(); ++i)
        expected.insert(poesia::boxColour(i).rgb());
    QCOMPARE(seen, expected);
}

void TstPoesiaScreens::realDropsAndClickCheckAndSave()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    s->resize(1280, 1024);
    const poesia::Poem &p = poesia::poem(1);
    for (int i = 0; i < p.numDomande(); ++i)
        QVERIFY(dropOn(s->box(i), i == 2 ? QStringLiteral("Similitudine") : p.solutions.at(i)));
    QCOMPARE(s->box(2)->text(), QStringLiteral("Similitudine"));
    click(s->checkButton());

    QCOMPARE(s->box(2)->backgroundColor(), red());
    QCOMPARE(s->box(2)->text(), QStringLiteral("Similitudine"));
    QCOMPARE(s->box(1)->backgroundColor(), poesia::boxColour(1));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(s->solutionLabel(i)->isVisible());
        QCOMPARE(s->solutionLabel(i)->text(), p.solutions.at(i));
    }
    QVERIFY(!s->checkButton()->isEnabled());
    QCOMPARE(introCounters(s), (QStringList{"4", "5", "4", "5"}));
    QCOMPARE(questionCounters(f.questions()), (QStringList{"4", "5", "4", "5"}));
    QCOMPARE(f.saved(), (QVariantList{4.0, 5.0, 80.0}));

    // The boxes still take tiles; only a new pick checks again.
    QVERIFY(dropOn(s->box(2), QStringLiteral("Metafora")));
    click(s->checkButton());
    QCOMPARE(introCounters(s), (QStringList{"4", "5", "4", "5"}));
    choose(s, 3);
    QCOMPARE(introCounters(s), (QStringList{"", "", "4", "5"}));
    for (int i = 0; i < 6; ++i)
        QVERIFY(dropOn(s->box(i), poesia::poem(3).solutions.at(i)));
    click(s->checkButton());
    QCOMPARE(introCounters(s), (QStringList{"6", "6", "10", "11"}));
    QCOMPARE(f.saved(), (QVariantList{10.0, 11.0, 90.0}));
}

void TstPoesiaScreens::emptyBoxOnlyTells()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    fill(s);
    s->Label1_DragDrop(4, nullptr, QString()); // nothing dropped: the box keeps its device
    QCOMPARE(s->box(4)->text(), QStringLiteral("Verso"));
    choose(s, 4);
    s->Label1_DragDrop(0, nullptr, QStringLiteral("Rima"));
    click(s->checkButton());
    QCOMPARE(f.tc.dialogs.messages, QStringList{QStringLiteral("Devi completare la risposta...")});
    QVERIFY(s->checkButton()->isEnabled());
    QCOMPARE(introCounters(s), (QStringList{"", "", "", ""}));
    QVERIFY(f.row().isEmpty());
}

void TstPoesiaScreens::emptyNameSavesNothing()
{
    Fixture f{QString()};
    FPoesia1 *s = f.intro();
    fill(s);
    click(s->checkButton());
    QCOMPARE(introCounters(s), (QStringList{"5", "5", "5", "5"}));
    QVERIFY(allNames(*f.tc.db).isEmpty());
    QVERIFY(f.tc.dialogs.messages.isEmpty());
}

void TstPoesiaScreens::blinkingCaption()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    QCOMPARE(s->blinkTimer()->interval(), FPoesia1::BlinkMs);
    f.tc.ticks.advance(1999);
    QCOMPARE(s->questionsButton()->text(), QStringLiteral("Quando hai finito, clicca qui"));
    f.tc.ticks.advance(1);
    QCOMPARE(s->questionsButton()->text(), QStringLiteral("per vedere le altre domande"));
    f.tc.ticks.advance(2000);
    QCOMPARE(s->questionsButton()->text(), QStringLiteral("Quando hai finito, clicca qui"));
}

void TstPoesiaScreens::questionsOpenHiddenAndReset()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    FPoesia2 *q = f.questions();
    click(s->questionsButton());
    QVERIFY(q->isVisible());
    QVERIFY(s->isVisible());
    QCOMPARE(q->windowTitle(), FPoesia2::captionText());
    click(q->optionLabel(Question::Lessico, 1));
    QCOMPARE(q->optionLabel(Question::Lessico, 1)->backgroundColor(), red());
    QVERIFY(!q->optionLabel(Question::Lessico, 1)->isEnabled());
    click(q->option(0));
    QCOMPARE(q->option(0)->shownGround(), red());
    QVERIFY(!q->option(2)->isEnabled());
    QCOMPARE(questionCounters(q), (QStringList{"0", "2", "0", "2"}));

    click(q->backButton());
    QVERIFY(!q->isVisible());
    click(s->questionsButton());
    QVERIFY(q->isVisible());
    QCOMPARE(q->optionLabel(Question::Lessico, 1)->backgroundColor(), QColor(128, 0, 128));
    QVERIFY(q->optionLabel(Question::Lessico, 1)->isEnabled());
    QCOMPARE(q->optionLabel(Question::Versi, 2)->backgroundColor(), QColor(64, 0, 64));
    QCOMPARE(q->optionLabel(Question::Rime, 2)->backgroundColor(), QColor(0, 0, 128));
    QCOMPARE(q->optionLabel(Question::Musicalita, 2)->backgroundColor(), QColor(0, 64, 0));
    QCOMPARE(q->optionLabel(Question::Lessico, 0)->backgroundColor(), QColor(192, 0, 192));
    for (int i = 0; i < 4; ++i) {
        QVERIFY(q->option(i)->isEnabled());
        QVERIFY(!q->option(i)->isChecked());
        QCOMPARE(q->option(i)->shownGround(), q->palette().color(QPalette::Button));
    }
    QVERIFY(q->frame()->isEnabled());
    QCOMPARE(questionCounters(q), (QStringList{"0", "2", "0", "2"}));
}

void TstPoesiaScreens::answersGrowBothScreensAndSave_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("intro");
    QTest::addColumn<QVariantList>("saved");
    // Poem 1 checked first with 4 of 5.
    QTest::newRow("heading") << int(Question::Rime) << 0 << QStringList{"4", "5", "4", "5"}
                             << QStringList{"4", "5", "4", "5"} << QVariantList{4.0, 5.0, 80.0};
    QTest::newRow("right rhyme") << int(Question::Rime) << 2 << QStringList{"5", "6", "5", "6"}
                                 << QStringList{"5", "6", "5", "6"} << QVariantList{5.0, 6.0, 83.0};
    QTest::newRow("wrong rhyme") << int(Question::Rime) << 4 << QStringList{"4", "6", "4", "6"}
                                 << QStringList{"4", "6", "4", "6"} << QVariantList{4.0, 6.0, 66.0};
}

void TstPoesiaScreens::answersGrowBothScreensAndSave()
{
    QFETCH(int, question);
    QFETCH(int, index);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, intro);
    QFETCH(QVariantList, saved);

    Fixture f;
    FPoesia1 *s = f.intro();
    fill(s, {0});
    click(s->checkButton());
    click(s->questionsButton());
    FPoesia2 *q = f.questions();
    ClickLabel *l = q->optionLabel(Question(question), index);
    const QColor before = l->backgroundColor();
    click(l);
    QCOMPARE(questionCounters(q), questions);
    QCOMPARE(introCounters(s), intro);
    QCOMPARE(f.saved(), saved);
    if (index == 0) {
        QVERIFY(l->isEnabled());
        QCOMPARE(l->backgroundColor(), before);
        QVERIFY(!q->picture()->isVisible());
        return;
    }
    const bool right = index == s->pair().rightOption(Question(question));
    QVERIFY(!l->isEnabled());
    QCOMPARE(l->backgroundColor(), right ? before : red());
    QVERIFY(q->picture()->isVisible());
    QCOMPARE(q->picture()->shows(), right ? PictureSlot::Shows::Right : PictureSlot::Shows::Wrong);
    // The other options of the question stay open.
    QVERIFY(q->optionLabel(Question(question), 1)->isEnabled());
}

void TstPoesiaScreens::meaningTakesOneAnswer()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    choose(s, 2);
    click(s->questionsButton());
    FPoesia2 *q = f.questions();
    QCOMPARE(q->option(3)->text(), QStringLiteral("in autunno gli uomini del borgo sono molto occupati."));
    click(q->option(2));
    QVERIFY(q->option(2)->isChecked());
    QVERIFY(!q->frame()->isEnabled());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!q->option(i)->isEnabled());
    QCOMPARE(q->option(2)->shownGround(), q->palette().color(QPalette::Button));
    click(q->option(3));
    QCOMPARE(questionCounters(q), (QStringList{"1", "1", "1", "1"}));
    QCOMPARE(introCounters(s), (QStringList{"1", "1", "1", "1"}));
    QCOMPARE(f.saved(), (QVariantList{1.0, 1.0, 100.0}));
}

void TstPoesiaScreens::pictureShrinksAndHides()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    click(s->questionsButton());
    FPoesia2 *q = f.questions();
    PictureSlot *picture = q->picture();
    QCOMPARE(picture->restingWidth(), 1200);
    click(q->optionLabel(Question::Versi, 3));
    QVERIFY(picture->isVisible());
    QVERIFY(picture->pictureLoaded());
    f.tc.ticks.advance(999);
    QCOMPARE(*q->pair().contaTick(), 0);
    QCOMPARE(picture->currentWidth(), 1200);
    f.tc.ticks.advance(1);
    QCOMPARE(*q->pair().contaTick(), 1);
    f.tc.ticks.advance(500);
    QVERIFY(picture->isVisible());
    QCOMPARE(picture->currentWidth(), 0); // shrunk away within the first tick
    f.tc.ticks.advance(1000);
    QCOMPARE(*q->pair().contaTick(), 2);
    QVERIFY(picture->isVisible());
    // Once shrunk away it stays away: no flash back full size at the second tick.
    for (int ms = 0; ms < 400; ms += 20) {
        f.tc.ticks.advance(20);
        QCOMPARE(picture->currentWidth(), 0);
    }
    f.tc.ticks.advance(600);
    QCOMPARE(*q->pair().contaTick(), 0); // the third tick hides it at once
    QVERIFY(!picture->isVisible());
    f.tc.ticks.advance(500);
    QVERIFY(!picture->isVisible());
    QCOMPARE(picture->currentWidth(), 1200);
    QCOMPARE(*q->pair().contaTick(), 0);
    QVERIFY(!picture->animating());
}

void TstPoesiaScreens::reviewingTheText()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    choose(s, 6);
    click(s->questionsButton());
    FPoesia2 *q = f.questions();
    click(q->optionLabel(Question::Rime, 3));
    click(q->option(1));

    click(q->reviewButton());
    QCOMPARE(q->reviewButton()->text(), QStringLiteral("Rivedo le domande"));
    QVERIFY(!q->backButton()->isEnabled());
    QVERIFY(q->view()->isVisible());
    QCOMPARE(q->view()->plainText(), s->view()->plainText());
    QVERIFY(!q->optionLabel(Question::Rime, 1)->isVisible());
    QVERIFY(q->optionLabel(Question::Rime, 0)->isVisible());
    QVERIFY(!q->frame()->isVisible());
    QVERIFY(q->counter(10)->isVisible());

    click(q->reviewButton());
    QCOMPARE(q->reviewButton()->text(), QStringLiteral("Rivedo il testo"));
    QVERIFY(q->backButton()->isEnabled());
    QVERIFY(!q->view()->isVisible());
    QCOMPARE(q->optionLabel(Question::Rime, 3)->backgroundColor(), red());
    QVERIFY(!q->optionLabel(Question::Rime, 3)->isEnabled());
    QVERIFY(q->optionLabel(Question::Rime, 1)->isVisible());
    QVERIFY(q->option(1)->isChecked());
    QVERIFY(!q->option(0)->isEnabled());
}

void TstPoesiaScreens::menuUnloadsPoemScreenOnly()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    choose(s, 7);
    fill(s, {1, 2});
    click(s->checkButton());
    FPoesia2 *q = f.questions();
    click(s->exitButton(Exit::Menu));
    f.flushUnloads();
    QVERIFY(!f.loadedIntro());
    QCOMPARE(f.questions(), q);
    QCOMPARE(questionCounters(q), (QStringList{"4", "6", "4", "6"}));

    s = f.intro();
    QCOMPARE(s->pair().poesiaScelta(), 1);
    QCOMPARE(s->chooser()->currentIndex(), -1);
    QCOMPARE(introCounters(s), (QStringList{"", "", "", ""}));
    // Both screens' totals start again together: what the questions screen
    // shows is what its next answer saves.
    QCOMPARE(questionCounters(q), (QStringList{"0", "0", "0", "0"}));
    click(s->questionsButton());
    click(q->optionLabel(Question::Versi, s->pair().rightOption(Question::Versi)));
    QCOMPARE(questionCounters(q).mid(2), (QStringList{"1", "1"}));
    QCOMPARE(f.saved().mid(0, 2), (QVariantList{1.0, 1.0}));
    click(q->backButton());
    fill(s);
    click(s->checkButton());
    QCOMPARE(questionCounters(q), (QStringList{"5", "5", "6", "6"}));
    QCOMPARE(f.saved(), (QVariantList{6.0, 6.0, 100.0}));
}

void TstPoesiaScreens::archiveAndBack()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    fill(s);
    click(s->checkButton());
    click(s->exitButton(Exit::Archive));
    QCOMPARE(f.tc.session.formChiamante, QStringLiteral("Fpoesia1"));
    QVERIFY(!s->isVisible());
    auto *results = f.tc.navigator->screenAs<FRisultati>(ScreenName::Risultati);
    QVERIFY(results && results->isVisible());
    bool shown = false;
    for (int r = 1; r < results->grid()->rowCount(); ++r)
        shown = shown || (results->cell(r, 0) == resultGroup(FieldGroup::Poesia).gridCaption && results->cell(r, 1) == "5"
                          && results->cell(r, 3) == "100");
    QVERIFY(shown);
    f.tc.host->showCaller(f.tc.session.formChiamante);
    QVERIFY(s->isVisible());
    QCOMPARE(introCounters(s), (QStringList{"5", "5", "5", "5"}));
}

void TstPoesiaScreens::escoEnds()
{
    Fixture f;
    FPoesia1 *s = f.intro();
    click(s->questionsButton());
    click(f.questions()->exitButton(Exit::Quit));
    QVERIFY(f.tc.ended);
}

void TstPoesiaScreens::missingFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // null: the file is gone
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("poemShown");
    QTest::newRow("poem missing") << "tuono.rtf" << QByteArray() << "permorvello\\tuono.rtf" << false;
    QTest::newRow("poem damaged") << "tuono.rtf" << QByteArray("{\\rtf1 {{{ rotto") << "permorvello\\tuono.rtf"
                                  << false;
    QTest::newRow("picture missing") << "sbagliato.jpg" << QByteArray() << "permorvello\\sbagliato.jpg" << true;
    QTest::newRow("picture damaged") << "sbagliato.jpg" << QByteArray("non è un'immagine")
                                     << "permorvello\\sbagliato.jpg" << true;
}

void TstPoesiaScreens::missingFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    QFETCH(bool, poemShown);
    Fixture f;
    const QString path = f.tc.dataDir() + QLatin1Char('/') + file;
    QVERIFY(QFile::remove(path));
    if (!content.isNull())
        QVERIFY(writeBytes(path, content));

    FPoesia1 *s = f.intro();
    fill(s);
    click(s->checkButton());
    click(s->questionsButton());
    FPoesia2 *q = f.questions();
    click(q->optionLabel(Question::Lessico, 1)); // wrong for poem 1
    click(q->optionLabel(Question::Lessico, 2)); // wrong again: told once only

    const QStringList messages = f.tc.dialogs.messages;
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(told), qPrintable(messages.first()));
    // Nothing is answered on a poem the pupil could not read; with only a
    // picture missing everything goes on.
    if (poemShown) {
        QCOMPARE(introCounters(s), (QStringList{"5", "7", "5", "7"}));
        QCOMPARE(f.saved(), (QVariantList{5.0, 7.0, 71.0}));
    } else {
        QCOMPARE(introCounters(s), (QStringList{"", "", "", ""}));
        QCOMPARE(f.saved(), QVariantList());
    }
    choose(s, 2);
    QVERIFY(s->view()->plainText().contains(QStringLiteral("San Martino")) || !s->view()->plainText().isEmpty());
}

QTEST_MAIN(TstPoesiaScreens)
#include "tst_poesiascreens.moc"
