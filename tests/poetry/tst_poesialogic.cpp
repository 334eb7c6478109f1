// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/contentsource.h"
#include "text/contentcheck.h"
#include "text/richtextview.h"
#include "text/rtfreader.h"
#include "poetry/poesiacatalogue.h"
#include "poetry/poesiachecks.h"
#include "poetry/poesiaexercise.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace morvello;
using poesia::Question;
using State = PoesiaExercise::OptionState;

using Clicks = QList<QPair<int, int>>;
Q_DECLARE_METATYPE(Clicks)

namespace {

// Counters of one screen as the pupil reads them: "" for an empty label.
QStringList shown(const CounterRows &c)
{
    QStringList out;
    for (const Counter *k : {&c.right, &c.total, &c.runningRight, &c.runningTotal})
        out.append(k->isEmpty() ? QString() : QString::number(k->value()));
    return out;
}

// Fills every box of the poem on display: right ones with the solution,
// the first `wrong` boxes with a device that is not.
void fill(PoesiaExercise &e, int wrong = 0)
{
    for (int i = 0; i < e.numDomande(); ++i) {
        const QString right = e.currentPoem().solutions.at(i);
        const QString other = right == QLatin1String("Strofa") ? QStringLiteral("Verso") : QStringLiteral("Strofa");
        QVERIFY(e.drop(i, i < wrong ? other : right));
    }
}

void choose(PoesiaExercise &e, int number)
{
    QVERIFY(e.pickPoem(poesia::poem(number).entry()));
}

QByteArray rtfOf(const QString &source)
{
    content::Source s;
    QString error;
    if (!content::parseSource(source.toUtf8(), &s, &error))
        qFatal("%s", qPrintable(error));
    return content::writeRtf(s, content::Output::Plain);
}

const QString GoodPoem = QStringLiteral("Passa la gente sul vecchio <h #80FFFF>ponte</h>,\n"
                                        "<h #80FF80>tu sei la mano</h> che unisce le sponde;\n"
                                        "<h #FFFF80>e sotto il fiume scorre lento e piano</h>\n"
                                        "fino alla luce dell'ultimo <h #80FFFF>monte</h>.\n"
                                        "Sembra <h #C0C0C0>come una barca</h> ferma sull'acqua.");

} // namespace

class TstPoesiaLogic : public QObject
{
    Q_OBJECT
private slots:
    void poemTable_data();
    void poemTable();
    void keysMatchTheTable();
    void firstDisplay();
    void pick_data();
    void pick();
    void checks_data();
    void checks();
    void incompleteChangesNothing();
    void wrongBoxKeepsItsText();
    void afterCheckOnlyAPickReopens();
    void dropsOutsideThePoem_data();
    void dropsOutsideThePoem();
    void menuAndBackStartsAfresh();
    void blink();
    void options_data();
    void options();
    void meaningTakesOneAnswer();
    void reopeningKeepsCounters();
    void checkWritesTheQuestionsRows();
    void answersSaveTheRunningTotals();
    void highlightsAreRead_data();
    void highlightsAreRead();
    void poemChecks_data();
    void poemChecks();
    void shippedPoemsPass();
};

void TstPoesiaLogic::poemTable_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("solutions");
    QTest::addColumn<QList<int>>("answers"); // lexicon, verses, rhymes, musicality, meaning

    const QString A = "Allitterazione", O = "Onomatopea", M = "Metafora", R = "Rima", V = "Verso", S = "Similitudine",
                  F = "Strofa";
    QTest::newRow("1") << 1 << "permorvello\\tuono.rtf" << QStringList{A, O, M, R, V} << QList<int>{3, 3, 2, 3, 1};
    QTest::newRow("2") << 2 << "permorvello\\sanmartino.rtf" << QStringList{R, M, F, S, V}
                       << QList<int>{3, 3, 2, 2, 2};
    QTest::newRow("3") << 3 << "permorvello\\novembre.rtf" << QStringList{M, M, R, M, M, M}
                       << QList<int>{3, 3, 5, 2, 1};
    QTest::newRow("4") << 4 << "permorvello\\ponte.rtf" << QStringList{R, M, V} << QList<int>{2, 2, 5, 2, 0};
    QTest::newRow("5") << 5 << "permorvello\\faro.rtf" << QStringList{R, A, M, S} << QList<int>{2, 2, 2, 3, 3};
    QTest::newRow("6") << 6 << "permorvello\\stasera.rtf" << QStringList{M, M, A} << QList<int>{1, 1, 1, 4, 2};
    QTest::newRow("7") << 7 << "permorvello\\Autunno.rtf" << QStringList{V, M, M, M, M, M}
                       << QList<int>{1, 1, 1, 5, 0};
    QTest::newRow("8") << 8 << "permorvello\\temporale.rtf" << QStringList{O, S, M, R, V}
                       << QList<int>{1, 3, 2, 3, 3};
    QTest::newRow("9") << 9 << "permorvello\\trombettina.rtf" << QStringList{R, S, M, M, A}
                       << QList<int>{3, 1, 1, 1, 0};
}

void TstPoesiaLogic::poemTable()
{
    QFETCH(int, number);
    QFETCH(QString, file);
    QFETCH(QStringList, solutions);
    QFETCH(QList<int>, answers);

    QCOMPARE(poesia::poems().size(), poesia::PoemCount);
    PoesiaExercise e;
    choose(e, number);
    QCOMPARE(e.poesiaScelta(), number);
    QCOMPARE(e.currentPoem().file, file);
    QCOMPARE(e.numDomande(), int(solutions.size()));
    for (int i = 0; i < solutions.size(); ++i)
        QCOMPARE(e.soluzione(i), solutions.at(i));
    QCOMPARE((QList<int>{e.rispLessico(), e.rispVersi(), e.rispRime(), e.rispMusicalita(), e.rispMessaggio()}),
             answers);
    QCOMPARE(e.currentPoem().source, QStringLiteral("Testo proprio"));
    QVERIFY(e.currentPoem().entry().startsWith(QLatin1String("Testo proprio - ")));
    for (int s = 0; s < poesia::SentenceCount; ++s)
        QVERIFY(!e.frasiMessaggio(s).isEmpty());
    QVERIFY(e.frasiMessaggio(4).isEmpty());
    if (number == 2)
        QCOMPARE(e.frasiMessaggio(3), QStringLiteral("in autunno gli uomini del borgo sono molto occupati."));
    // The right sentence must be found by reading the poem, not by its
    // length: it is at most a few characters longer than the longest wrong
    // one, and the four stay close in length.
    int longestWrong = 0, shortest = 1000, longest = 0;
    for (int s = 0; s < poesia::SentenceCount; ++s) {
        const int n = int(e.frasiMessaggio(s).size());
        if (s != e.rispMessaggio())
            longestWrong = qMax(longestWrong, n);
        shortest = qMin(shortest, n);
        longest = qMax(longest, n);
    }
    QVERIFY2(int(e.frasiMessaggio(e.rispMessaggio()).size()) <= longestWrong + 5,
             qPrintable(e.frasiMessaggio(e.rispMessaggio())));
    QVERIFY2(longest - shortest <= 20, qPrintable(QStringLiteral("%1 to %2").arg(shortest).arg(longest)));
    // The tiles hold every device a box can ask for.
    for (const QString &s : solutions) {
        bool found = false;
        for (const poesia::Tile &t : poesia::tiles())
            found = found || t.caption == s;
        QVERIFY2(found, qPrintable(s));
    }
}

// The poems' notes are where the writers keep titles and sentences: what the
// program shows must be what they wrote there.
void TstPoesiaLogic::keysMatchTheTable()
{
    QFile f(QStringLiteral(MORVELLO_SOURCE_DIR "/content/poesie/KEYS.md"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString keys = QString::fromUtf8(f.readAll());
    static const QRegularExpression section(QStringLiteral("^## (\\d) — (\\S+)\\.txt — "),
                                            QRegularExpression::MultilineOption);
    auto it = section.globalMatch(keys);
    int seen = 0;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const poesia::Poem &p = poesia::poem(m.captured(1).toInt());
        QCOMPARE(p.file, QStringLiteral("permorvello\\") + m.captured(2) + QStringLiteral(".rtf"));
        const int end = int(keys.indexOf(QLatin1String("\n## "), m.capturedEnd()));
        const QString body = keys.mid(m.capturedEnd(), end < 0 ? -1 : end - m.capturedEnd());
        QVERIFY2(body.contains(QStringLiteral("\"%1\"").arg(p.entry())), qPrintable(p.entry()));
        QVERIFY(body.contains(QStringLiteral("(giusta %1)").arg(p.rispMessaggio)));
        const QStringList answers{QStringLiteral("Lessico %1:").arg(p.rispLessico),
                                  QStringLiteral("Versi %1:").arg(p.rispVersi),
                                  QStringLiteral("Rime %1:").arg(p.rispRime),
                                  QStringLiteral("Musicalità %1:").arg(p.rispMusicalita)};
        for (const QString &a : answers)
            QVERIFY2(body.contains(QStringLiteral("\n- ") + a), qPrintable(QStringLiteral("poesia %1, %2").arg(p.number).arg(a)));
        for (int box = 0; box < p.numDomande(); ++box)
            QVERIFY2(body.contains(QStringLiteral("\n- Box %1 %2:").arg(box).arg(p.solutions.at(box))),
                     qPrintable(QStringLiteral("poesia %1, box %2").arg(p.number).arg(box)));
        for (int s = 0; s < poesia::SentenceCount; ++s) {
            const QString line = QStringLiteral("  %1. %2").arg(s).arg(p.sentences[size_t(s)]);
            QVERIFY2(body.contains(line), qPrintable(QStringLiteral("poesia %1, frase %2").arg(p.number).arg(s)));
        }
        ++seen;
    }
    QCOMPARE(seen, poesia::PoemCount);
}

void TstPoesiaLogic::firstDisplay()
{
    PoesiaExercise e;
    QCOMPARE(e.poesiaScelta(), 1);
    QCOMPARE(e.numDomande(), 5);
    QCOMPARE(shown(e.introCounters()), (QStringList{"", "", "", ""}));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(e.frasiMessaggio(1), poesia::poem(1).sentences[1]);
    QVERIFY(e.checkEnabled());
    for (int i = 0; i < poesia::BoxCount; ++i) {
        QVERIFY(e.boxText(i).isEmpty());
        QVERIFY(!e.solutionShown(i));
    }
}

void TstPoesiaLogic::pick_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("lastMatched");
    QTest::addColumn<int>("poem");
    QTest::addColumn<int>("boxes");

    QTest::newRow("ninth entry") << QStringList{poesia::poem(9).entry()} << true << 9 << 5;
    QTest::newRow("three-box poem") << QStringList{poesia::poem(6).entry()} << true << 6 << 3;
    QTest::newRow("prompt keeps the poem") << QStringList{poesia::poem(3).entry(), poesia::chooserPrompt()} << false
                                           << 3 << 6;
    QTest::newRow("letter case must match") << QStringList{poesia::poem(4).entry().toUpper()} << false << 1 << 5;
    QTest::newRow("same poem again") << QStringList{poesia::poem(2).entry(), poesia::poem(2).entry()} << true << 2
                                     << 5;
}

void TstPoesiaLogic::pick()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, lastMatched);
    QFETCH(int, poem);
    QFETCH(int, boxes);

    PoesiaExercise e;
    bool matched = false;
    for (const QString &entry : entries) {
        fill(e);
        QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
        matched = e.pickPoem(entry);
    }
    QCOMPARE(matched, lastMatched);
    QCOMPARE(e.poesiaScelta(), poem);
    QCOMPARE(e.numDomande(), boxes);
    QVERIFY(e.checkEnabled());
    for (int i = 0; i < poesia::BoxCount; ++i) {
        QVERIFY(e.boxText(i).isEmpty());
        QVERIFY(!e.boxWrong(i));
        QVERIFY(!e.solutionShown(i));
        QCOMPARE(e.boxInUse(i), i < boxes);
    }
    // Current-poem counters go blank; the running totals stay.
    const QStringList c = shown(e.introCounters());
    QCOMPARE(c.mid(0, 2), (QStringList{"", ""}));
    QVERIFY(!c.at(3).isEmpty());
}

void TstPoesiaLogic::checks_data()
{
    QTest::addColumn<QList<int>>("poems");       // checked one after another
    QTest::addColumn<QList<int>>("wrong");       // wrong boxes of each
    QTest::addColumn<QStringList>("counters");   // the poem screen's four labels after the last
    QTest::addColumn<double>("percent");

    QTest::newRow("six of six") << QList<int>{3} << QList<int>{0} << QStringList{"6", "6", "6", "6"} << 100.0;
    QTest::newRow("three of three") << QList<int>{4} << QList<int>{0} << QStringList{"3", "3", "3", "3"} << 100.0;
    QTest::newRow("5 and 3 of five") << QList<int>{1, 8} << QList<int>{0, 2} << QStringList{"3", "5", "8", "10"}
                                     << 80.0;
    QTest::newRow("none right") << QList<int>{9} << QList<int>{5} << QStringList{"0", "5", "0", "5"} << 0.0;
    QTest::newRow("two of three") << QList<int>{6} << QList<int>{1} << QStringList{"2", "3", "2", "3"} << 66.0;
}

void TstPoesiaLogic::checks()
{
    QFETCH(QList<int>, poems);
    QFETCH(QList<int>, wrong);
    QFETCH(QStringList, counters);
    QFETCH(double, percent);

    PoesiaExercise e;
    for (int k = 0; k < poems.size(); ++k) {
        choose(e, poems.at(k));
        fill(e, wrong.at(k));
        QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
        QCOMPARE(e.lastScore(), e.numDomande() - wrong.at(k));
    }
    QCOMPARE(shown(e.introCounters()), counters);
    QCOMPARE(shown(e.questionCounters()), counters);
    const Score s = e.score();
    QCOMPARE(s.right, counters.at(2).toDouble());
    QCOMPARE(s.total, counters.at(3).toDouble());
    QCOMPARE(s.percent, percent);
}

void TstPoesiaLogic::incompleteChangesNothing()
{
    PoesiaExercise e;
    choose(e, 3);
    fill(e);
    QVERIFY(e.drop(5, QString())); // the last box emptied again
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("refused: ") + PoesiaExercise::incompleteMessage());
    QCOMPARE(PoesiaExercise::incompleteMessage(), QStringLiteral("Devi completare la risposta..."));
    QVERIFY(e.checkEnabled());
    QCOMPARE(shown(e.introCounters()), (QStringList{"", "", "", ""}));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"0", "0", "0", "0"}));
    for (int i = 0; i < poesia::BoxCount; ++i) {
        QVERIFY(!e.boxWrong(i));
        QVERIFY(!e.solutionShown(i));
    }
    QCOMPARE(e.boxText(0), QStringLiteral("Metafora"));
}

void TstPoesiaLogic::wrongBoxKeepsItsText()
{
    PoesiaExercise e;
    fill(e);
    QVERIFY(e.drop(2, QStringLiteral("metafora"))); // the comparison is case-sensitive
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    QVERIFY(e.boxWrong(2));
    QCOMPARE(e.boxText(2), QStringLiteral("metafora"));
    QCOMPARE(e.solutionText(2), QStringLiteral("Metafora"));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(e.solutionShown(i));
        QCOMPARE(e.boxWrong(i), i == 2);
    }
    QVERIFY(!e.solutionShown(5));
}

void TstPoesiaLogic::afterCheckOnlyAPickReopens()
{
    PoesiaExercise e;
    fill(e, 1);
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    QVERIFY(!e.checkEnabled());
    QVERIFY(e.drop(0, QStringLiteral("Allitterazione"))); // boxes still take tiles
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("ignored"));
    QCOMPARE(shown(e.introCounters()), (QStringList{"4", "5", "4", "5"}));
    QVERIFY(e.boxWrong(0)); // the colours of the check stay
    QVERIFY(!e.pickPoem(poesia::chooserPrompt()));
    fill(e);
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    QCOMPARE(shown(e.introCounters()), (QStringList{"5", "5", "9", "10"}));
}

void TstPoesiaLogic::dropsOutsideThePoem_data()
{
    QTest::addColumn<int>("poem");
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("taken");
    QTest::newRow("last box of a six-box poem") << 3 << 5 << true;
    QTest::newRow("fourth box of a three-box poem") << 4 << 3 << false;
    QTest::newRow("negative") << 1 << -1 << false;
    QTest::newRow("past the column") << 3 << 6 << false;
}

void TstPoesiaLogic::dropsOutsideThePoem()
{
    QFETCH(int, poem);
    QFETCH(int, box);
    QFETCH(bool, taken);
    PoesiaExercise e;
    choose(e, poem);
    QCOMPARE(e.drop(box, QStringLiteral("Rima")), taken);
    QCOMPARE(e.boxText(box), taken ? QStringLiteral("Rima") : QString());
}

void TstPoesiaLogic::menuAndBackStartsAfresh()
{
    PoesiaExercise e;
    choose(e, 7);
    fill(e, 2);
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    e.openQuestions();
    QCOMPARE(test::verdictOf(e.answerOption(Question::Rime, 1)), QStringLiteral("right"));
    const QStringList questions = shown(e.questionCounters());
    QCOMPARE(questions, (QStringList{"5", "7", "5", "7"}));

    e.loadIntro(); // "MENU'" unloaded the poem screen; the menu opens it again
    QCOMPARE(e.poesiaScelta(), 1);
    QCOMPARE(e.numDomande(), 5);
    QVERIFY(e.checkEnabled());
    QCOMPARE(shown(e.introCounters()), (QStringList{"", "", "", ""}));
    // The questions screen stayed loaded, but its totals start again with the
    // poem screen's, so that what it shows is what the next answer saves.
    QCOMPARE(shown(e.questionCounters()), (QStringList{"0", "0", "0", "0"}));
    for (int i = 0; i < poesia::BoxCount; ++i)
        QVERIFY(e.boxText(i).isEmpty());
    QCOMPARE(e.score(), (Score{0, 0, 0}));
}

void TstPoesiaLogic::blink()
{
    const QString a = PoesiaExercise::blinkFirst();
    const QString b = PoesiaExercise::blinkSecond();
    QCOMPARE(a, QStringLiteral("Quando hai finito, clicca qui"));
    QCOMPARE(b, QStringLiteral("per vedere le altre domande"));
    QCOMPARE(PoesiaExercise::nextBlink(a), b);
    QCOMPARE(PoesiaExercise::nextBlink(b), a);
}

void TstPoesiaLogic::options_data()
{
    QTest::addColumn<int>("poem");
    QTest::addColumn<Clicks>("clicks"); // question, index
    QTest::addColumn<QStringList>("answers");           // verdict on each click
    QTest::addColumn<QStringList>("questions");         // the questions screen's counters after
    QTest::addColumn<QStringList>("intro");             // the poem screen's

    using C = Clicks;
    const QString I = QStringLiteral("ignored"), R = QStringLiteral("right"), W = QStringLiteral("wrong");
    const int lex = int(Question::Lessico), ver = int(Question::Versi), rime = int(Question::Rime),
              mus = int(Question::Musicalita);
    QTest::newRow("heading") << 1 << C{{rime, 0}} << QStringList{I} << QStringList{"0", "0", "0", "0"}
                             << QStringList{"", "", "", ""};
    QTest::newRow("right rhyme") << 1 << C{{rime, 2}} << QStringList{R} << QStringList{"1", "1", "1", "1"}
                                 << QStringList{"1", "1", "1", "1"};
    QTest::newRow("wrong rhyme") << 1 << C{{rime, 5}} << QStringList{W} << QStringList{"0", "1", "0", "1"}
                                 << QStringList{"", "1", "", "1"};
    QTest::newRow("each try counts") << 3 << C{{rime, 1}, {rime, 2}, {rime, 5}} << QStringList{W, W, R}
                                     << QStringList{"1", "3", "1", "3"} << QStringList{"1", "3", "1", "3"};
    QTest::newRow("a closed label takes no click") << 4 << C{{lex, 2}, {lex, 2}, {lex, 1}, {lex, 1}}
                                                   << QStringList{R, I, W, I} << QStringList{"1", "2", "1", "2"}
                                                   << QStringList{"1", "2", "1", "2"};
    QTest::newRow("placeholders") << 1 << C{{lex, 5}, {ver, 4}, {ver, 5}, {mus, 6}} << QStringList{I, I, I, I}
                                  << QStringList{"0", "0", "0", "0"} << QStringList{"", "", "", ""};
    QTest::newRow("all four right") << 6 << C{{lex, 1}, {ver, 1}, {rime, 1}, {mus, 4}} << QStringList{R, R, R, R}
                                    << QStringList{"4", "4", "4", "4"} << QStringList{"4", "4", "4", "4"};
}

void TstPoesiaLogic::options()
{
    QFETCH(int, poem);
    QFETCH(Clicks, clicks);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, intro);

    PoesiaExercise e;
    choose(e, poem);
    e.openQuestions();
    for (int k = 0; k < clicks.size(); ++k) {
        const Question q = Question(clicks.at(k).first);
        const int index = clicks.at(k).second;
        QCOMPARE(test::verdictOf(e.answerOption(q, index)), answers.at(k));
        if (answers.at(k) == QLatin1String("right"))
            QCOMPARE(e.optionState(q, index), State::Right);
        if (answers.at(k) == QLatin1String("wrong"))
            QCOMPARE(e.optionState(q, index), State::Wrong);
    }
    QCOMPARE(shown(e.questionCounters()), questions);
    QCOMPARE(shown(e.introCounters()), intro);
}

void TstPoesiaLogic::meaningTakesOneAnswer()
{
    PoesiaExercise e;
    choose(e, 2);
    e.openQuestions();
    QVERIFY(e.meaningOpen());
    QCOMPARE(test::verdictOf(e.answerMeaning(3)), QStringLiteral("wrong"));
    QCOMPARE(e.meaningState(3), State::Wrong);
    QCOMPARE(e.meaningChosen(), 3);
    QCOMPARE(test::verdictOf(e.answerMeaning(2)), QStringLiteral("ignored")); // the right one, too late
    QCOMPARE(shown(e.questionCounters()), (QStringList{"0", "1", "0", "1"}));
    e.openQuestions();
    QCOMPARE(e.meaningChosen(), -1);
    QCOMPARE(e.meaningState(3), State::Open);
    QCOMPARE(test::verdictOf(e.answerMeaning(2)), QStringLiteral("right"));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"1", "2", "1", "2"}));
    QCOMPARE(test::verdictOf(e.answerMeaning(-1)), QStringLiteral("ignored"));
}

void TstPoesiaLogic::reopeningKeepsCounters()
{
    PoesiaExercise e;
    e.openQuestions();
    QCOMPARE(test::verdictOf(e.answerOption(Question::Lessico, 1)), QStringLiteral("wrong"));
    QCOMPARE(test::verdictOf(e.answerOption(Question::Versi, 3)), QStringLiteral("right"));
    e.openQuestions();
    QVERIFY(e.optionOpen(Question::Lessico, 1));
    QVERIFY(e.optionOpen(Question::Versi, 3));
    QVERIFY(!e.optionOpen(Question::Lessico, 0));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"1", "2", "1", "2"}));
    QCOMPARE(test::verdictOf(e.answerOption(Question::Versi, 3)), QStringLiteral("right")); // open again: counts again
    QCOMPARE(shown(e.introCounters()), (QStringList{"2", "3", "2", "3"}));
}

// The questions screen's rows are not the poem screen's: a check writes
// this poem's figures and the running totals over whatever they showed.
void TstPoesiaLogic::checkWritesTheQuestionsRows()
{
    PoesiaExercise e;
    e.openQuestions();
    QCOMPARE(test::verdictOf(e.answerOption(Question::Rime, 2)), QStringLiteral("right"));
    QCOMPARE(test::verdictOf(e.answerOption(Question::Rime, 1)), QStringLiteral("wrong"));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"1", "2", "1", "2"}));
    e.loadIntro();
    QCOMPARE(shown(e.questionCounters()), (QStringList{"0", "0", "0", "0"}));
    QCOMPARE(shown(e.introCounters()), (QStringList{"", "", "", ""}));
    fill(e, 1);
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    QCOMPARE(shown(e.questionCounters()), (QStringList{"4", "5", "4", "5"}));
    QCOMPARE(shown(e.introCounters()), (QStringList{"4", "5", "4", "5"}));
}

// Each answer on the questions screen is saved at once, with the figures a
// check would save: the poem screen's running totals.
void TstPoesiaLogic::answersSaveTheRunningTotals()
{
    PoesiaExercise e;
    fill(e);
    QCOMPARE(test::verdictOf(e.check()), QStringLiteral("judged"));
    QCOMPARE(e.score(), (Score{5, 5, 100}));
    e.openQuestions();
    QCOMPARE(test::verdictOf(e.answerOption(Question::Lessico, 1)), QStringLiteral("wrong"));
    QCOMPARE(e.score(), (Score{5, 6, 83}));
    QCOMPARE(test::verdictOf(e.answerMeaning(1)), QStringLiteral("right"));
    QCOMPARE(e.score(), (Score{6, 7, 85}));
}

void TstPoesiaLogic::highlightsAreRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("passages"); // text of each, in order
    QTest::addColumn<QList<int>>("boxes");

    const QByteArray table = "{\\colortbl;\\red128\\green255\\blue255;\\red255\\green255\\blue0;}";
    QTest::newRow("highlight") << "{\\rtf1\\ansi" + table + "uno {\\highlight1 due} tre\\par}"
                               << QStringList{"due"} << QList<int>{0};
    QTest::newRow("cb") << "{\\rtf1\\ansi" + table + "uno \\cb2 due\\cb0  tre\\par}" << QStringList{"due"}
                        << QList<int>{5};
    QTest::newRow("chcbpat") << "{\\rtf1\\ansi" + table + "{\\chcbpat1 uno} due {\\chcbpat2 tre}\\par}"
                             << QStringList{"uno", "tre"} << QList<int>{0, 5};
    QTest::newRow("across a line end") << "{\\rtf1\\ansi" + table + "uno {\\highlight1 due\\par tre} quattro\\par}"
                                       << QStringList{"due\ntre"} << QList<int>{0};
    QTest::newRow("rhymes on following lines")
        << "{\\rtf1\\ansi" + table + "uno {\\highlight1 due}\\par tre {\\highlight1 bue}\\par}"
        << QStringList{"due", "bue"} << QList<int>{0, 0};
    QTest::newRow("automatic colour is no highlight")
        << QByteArray("{\\rtf1\\ansi{\\colortbl;}{\\highlight0 uno}\\par}") << QStringList{} << QList<int>{};
}

void TstPoesiaLogic::highlightsAreRead()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, passages);
    QFETCH(QList<int>, boxes);

    // Through the reader and through the view the screens show the poem in.
    QTextDocument doc;
    QVERIFY(readRtf(rtf, &doc).ok);
    RichTextView view;
    QVERIFY(view.loadRtf(rtf).ok);
    for (const QTextDocument *d : QList<const QTextDocument *>{&doc, view.document()}) {
        const QList<MarkedPassage> found = markedPassages(*d);
        QStringList texts;
        QList<int> foundBoxes;
        for (const MarkedPassage &m : found) {
            texts.append(m.text);
            foundBoxes.append(m.box);
        }
        QCOMPARE(texts, passages);
        QCOMPARE(foundBoxes, boxes);
    }
}

void TstPoesiaLogic::poemChecks_data()
{
    QTest::addColumn<QStringList>("solutions");
    QTest::addColumn<QByteArray>("rtf"); // null: no file
    QTest::addColumn<int>("kind");       // -1: no problem
    QTest::addColumn<QString>("message"); // its start

    const QStringList devices{"Rima", "Metafora", "Verso", "Similitudine"};
    auto with = [](QString from, const QString &before, const QString &after) {
        return rtfOf(from.replace(before, after));
    };
    QTest::newRow("good") << devices << rtfOf(GoodPoem) << -1 << QString();
    QTest::newRow("missing") << devices << QByteArray() << int(CheckProblem::Missing) << "il file manca";
    QTest::newRow("damaged") << devices << QByteArray("{\\rtf1 {{{") << int(CheckProblem::Unreadable)
                             << "il file non si legge";
    QTest::newRow("empty") << devices << QByteArray("{\\rtf1\\ansi \\par}") << int(CheckProblem::Content)
                           << "la poesia è vuota";
    QTest::newRow("a box without its passage")
        << devices << with(GoodPoem, "<h #80FF80>tu sei la mano</h>", "tu sei la mano") << int(CheckProblem::Content)
        << "manca il passo del riquadro 2 (Metafora): nessun testo è evidenziato nel colore 128,255,128";
    QTest::newRow("colour of a box not in use")
        << QStringList{"Rima", "Metafora", "Verso"} << rtfOf(GoodPoem) << int(CheckProblem::Content)
        << "un passo è evidenziato nel colore 192,192,192 del riquadro 4, ma questa poesia usa solo 3 riquadri";
    QTest::newRow("colour of no box") << devices.mid(0, 3) << with(GoodPoem, "#C0C0C0", "#FF0000")
                                      << int(CheckProblem::Content)
                                      << "un passo è evidenziato nel colore 255,0,0, che non è di nessun riquadro";
    QTest::newRow("verse cut short")
        << devices
        << with(GoodPoem, "<h #FFFF80>e sotto il fiume scorre lento e piano</h>",
                "e sotto <h #FFFF80>il fiume scorre lento e piano</h>")
        << int(CheckProblem::Content) << "il passo del riquadro 3 (Verso) deve essere un verso intero";
    QTest::newRow("verse over two lines")
        << devices
        << with(GoodPoem, "<h #FFFF80>e sotto il fiume scorre lento e piano</h>\nfino alla luce dell'ultimo",
                "<h #FFFF80>e sotto il fiume scorre lento e piano\nfino alla luce dell'ultimo</h>")
        << int(CheckProblem::Content) << "il passo del riquadro 3 (Verso) deve essere un verso intero";
    QTest::newRow("rhyme inside a line")
        << devices << with(GoodPoem, "<h #80FFFF>monte</h>.", "<h #80FFFF>monte</h> lontano.")
        << int(CheckProblem::Content) << "il passo del riquadro 1 (Rima) deve segnare almeno due parole";
    QTest::newRow("passages out of the boxes' order")
        << QStringList{"Metafora", "Rima", "Verso", "Similitudine"}
        << rtfOf(QString(GoodPoem).replace("#80FFFF", "#000001").replace("#80FF80", "#80FFFF").replace("#000001", "#80FF80"))
        << int(CheckProblem::Content)
        << "il passo del riquadro 2 (Rima) comincia prima di quello del riquadro precedente";
    QTest::newRow("simile without come") << devices << with(GoodPoem, "come una barca", "quasi una barca")
                                         << int(CheckProblem::Content)
                                         << "il passo del riquadro 4 (Similitudine) non contiene «come»";
}

void TstPoesiaLogic::poemChecks()
{
    QFETCH(QStringList, solutions);
    QFETCH(QByteArray, rtf);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.path() + "/permorvello"));
    if (!rtf.isNull())
        QVERIFY(test::writeBytes(dir.path() + "/permorvello/prova.rtf", rtf));
    poesia::Poem p;
    p.file = QStringLiteral("permorvello\\prova.rtf");
    p.solutions = solutions;

    CheckReport report(dir.path());
    checkPoem(report, p);
    if (kind < 0) {
        QVERIFY2(report.clean(), qPrintable(test::allLines(report.problems())));
        return;
    }
    QVERIFY2(report.problems().size() == 1, qPrintable(test::allLines(report.problems())));
    QCOMPARE(int(report.problems().first().kind), kind);
    QCOMPARE(report.problems().first().file, p.file);
    QVERIFY2(report.problems().first().message.startsWith(message), qPrintable(report.problems().first().message));
}

void TstPoesiaLogic::shippedPoemsPass()
{
    ContentCheckRegistry registry;
    addPoemChecks(registry);
    CheckReport report(QStringLiteral(MORVELLO_SOURCE_DIR));
    registry.run(report);
    QVERIFY2(report.clean(), qPrintable(test::allLines(report.problems())));
    QCOMPARE(report.filesChecked(), poesia::PoemCount);
}

QTEST_MAIN(TstPoesiaLogic)
#include "tst_poesialogic.moc"
