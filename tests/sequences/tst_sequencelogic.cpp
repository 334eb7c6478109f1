// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numeric.h"
#include "sequences/catalogue.h"
#include "sequences/sequenceexercise.h"
#include "sequences/sequencescreen.h"

#include <QtTest>

using namespace morvello;

namespace {

const Catalogue &catalogueNamed(const QString &name)
{
    return name == QLatin1String("narrativo") ? narrativeCatalogue() : expositoryCatalogue();
}

// The counters as the screen shows them: Label2 and Label3 the last check
// (blank when there is none), Label6 and Label8 the visit.
QString label2(const SequenceExercise &ex) { return ex.lastCheck() ? numberText(ex.lastCheck()->right) : QString(); }
QString label3(const SequenceExercise &ex) { return ex.lastCheck() ? numberText(ex.lastCheck()->total) : QString(); }
QString label6(const SequenceExercise &ex) { return numberText(ex.visit().right); }
QString label8(const SequenceExercise &ex) { return numberText(ex.visit().total); }

// A type of the vocabulary that is not the answer of sequence k.
QString wrongTypeFor(const SequenceExercise &ex, int k)
{
    for (const QString &t : ex.types())
        if (t != ex.soluzione(k))
            return t;
    return QStringLiteral("?");
}

// Fills the board of the passage on display: right answers everywhere except
// the given rows.
void fillBoard(SequenceExercise &ex, const QList<int> &wrongRows = {})
{
    for (int i = 0; i < ex.numSequenze(); ++i)
        ex.drop(i, wrongRows.contains(i) ? wrongTypeFor(ex, i + 1) : ex.soluzione(i + 1));
}

// Everything a pupil can see of the board, to tell "nothing changed".
QStringList snapshot(const SequenceExercise &ex)
{
    QStringList s;
    s << QString::number(ex.testoScelto()) << QString::number(ex.numSequenze())
      << QString::number(ex.punteggio()) << QString::number(ex.checkEnabled()) << ex.sourceLine()
      << label2(ex) << label3(ex) << label6(ex) << label8(ex);
    for (int i = 0; i < SequenceExercise::MaxRows; ++i)
        s << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                 .arg(ex.rowShown(i))
                 .arg(ex.rowDivisor(i))
                 .arg(ex.dropCaption(i))
                 .arg(ex.dropWrong(i))
                 .arg(ex.answerCaption(i))
                 .arg(ex.answerShown(i))
                 .arg(ex.rowText(i));
    return s;
}

SequenceItem item(int length, int divisor, const QString &type)
{
    return SequenceItem{QString(length, QLatin1Char('a')), divisor, type};
}

// A small catalogue whose rows have known heights.
Catalogue smallCatalogue()
{
    Catalogue c;
    c.types = {QStringLiteral("Uno"), QStringLiteral("Due"), QStringLiteral("Tre")};
    // Heights 640, 640, 960, 640.
    c.texts.append({QStringLiteral("Primo.."), QStringLiteral("Fonte uno"),
                    {item(136, 70, QStringLiteral("Uno")), item(70, 70, QStringLiteral("Due")),
                     item(150, 70, QStringLiteral("Tre")), item(139, 70, QStringLiteral("Uno"))}});
    // Six rows, no source line.
    c.texts.append({QStringLiteral("Secondo.."), std::nullopt,
                    {item(30, 60, QStringLiteral("Due")), item(61, 60, QStringLiteral("Due")),
                     item(65, 65, QStringLiteral("Tre")), item(200, 73, QStringLiteral("Uno")),
                     item(59, 60, QStringLiteral("Tre")), item(131, 65, QStringLiteral("Uno"))}});
    // Five rows and a source line of its own.
    c.texts.append({QStringLiteral("Terzo.."), QStringLiteral("Fonte tre"),
                    {item(80, 70, QStringLiteral("Uno")), item(80, 70, QStringLiteral("Due")),
                     item(80, 70, QStringLiteral("Tre")), item(80, 70, QStringLiteral("Uno")),
                     item(80, 70, QStringLiteral("Due"))}});
    return c;
}

} // namespace

class TestSequenceLogic : public QObject
{
    Q_OBJECT

private slots:
    void emptyBoxBlocksCheck_data();
    void emptyBoxBlocksCheck();
    void lastDropReplacesEarlier();
    void dropsOutsideThePassageAreIgnored_data();
    void dropsOutsideThePassageAreIgnored();
    void checkJudgesEveryRow_data();
    void checkJudgesEveryRow();
    void checkCannotBeRepeatedButDropsStillLand();
    void twoChecksInOneVisit();
    void newChoiceBlanksLastCheck_data();
    void newChoiceBlanksLastCheck();
    void unknownChoiceKeepsTextOnDisplay();
    void fourRowTextLeavesRowsOut();
    void rowHeights_data();
    void rowHeights();
    void rowTopsStackFromHeights();
    void sourceLineKeptWhenEntryHasNone();
    void percentageIsExact_data();
    void percentageIsExact();
    void visitCountersRestartAtLoad();
    void malformedCataloguesDoNotBreak();
};

void TestSequenceLogic::emptyBoxBlocksCheck_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("text");
    QTest::addColumn<int>("emptyRow");
    QTest::addColumn<bool>("afterACheck");

    QTest::newRow("esp first row") << "espositivo" << 1 << 0 << false;
    QTest::newRow("esp last of four") << "espositivo" << 3 << 3 << false;
    QTest::newRow("esp middle of six") << "espositivo" << 7 << 2 << true;
    QTest::newRow("nar last of six") << "narrativo" << 8 << 5 << false;
    QTest::newRow("nar fourth of five") << "narrativo" << 1 << 3 << true;
}

void TestSequenceLogic::emptyBoxBlocksCheck()
{
    QFETCH(QString, catalogue);
    QFETCH(int, text);
    QFETCH(int, emptyRow);
    QFETCH(bool, afterACheck);

    const Catalogue &cat = catalogueNamed(catalogue);
    SequenceExercise ex(cat);
    ex.load();
    if (afterACheck) {
        // Visit counters and red boxes of an earlier check must survive too.
        fillBoard(ex, {0});
        QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    }
    ex.choose(cat.texts[text - 1].choice);
    fillBoard(ex, {1});
    ex.drop(emptyRow, QString());
    const QStringList before = snapshot(ex);

    QCOMPARE(ex.check().kind, Judgement::Kind::Refused);
    QCOMPARE(SequenceExercise::incompleteMessage(), QStringLiteral("Devi completare la risposta..."));
    QCOMPARE(snapshot(ex), before);
    QVERIFY(ex.checkEnabled());
}

void TestSequenceLogic::lastDropReplacesEarlier()
{
    SequenceExercise ex(expositoryCatalogue());
    ex.load();
    fillBoard(ex);
    const QString wrong = wrongTypeFor(ex, 2);
    ex.drop(1, wrong);
    QCOMPARE(ex.dropCaption(1), wrong);
    ex.drop(1, ex.soluzione(2));
    QCOMPARE(ex.dropCaption(1), ex.soluzione(2));

    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    QCOMPARE(ex.punteggio(), ex.numSequenze());
    QVERIFY(!ex.dropWrong(1));
}

void TestSequenceLogic::dropsOutsideThePassageAreIgnored_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("text");
    QTest::addColumn<int>("row");

    QTest::newRow("esp 4 rows, row 4") << "espositivo" << 1 << 4;
    QTest::newRow("esp 4 rows, row 5") << "espositivo" << 4 << 5;
    QTest::newRow("esp 5 rows, row 5") << "espositivo" << 5 << 5;
    QTest::newRow("nar 4 rows, row 4") << "narrativo" << 3 << 4;
    QTest::newRow("nar 6 rows, row 6") << "narrativo" << 8 << 6;
    QTest::newRow("negative row") << "narrativo" << 8 << -1;
}

void TestSequenceLogic::dropsOutsideThePassageAreIgnored()
{
    QFETCH(QString, catalogue);
    QFETCH(int, text);
    QFETCH(int, row);
    const Catalogue &cat = catalogueNamed(catalogue);
    SequenceExercise ex(cat);
    ex.load();
    ex.choose(cat.texts[text - 1].choice);
    const QStringList before = snapshot(ex);
    QVERIFY(!ex.drop(row, cat.types.first()));
    QCOMPARE(snapshot(ex), before);
}

void TestSequenceLogic::checkJudgesEveryRow_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("text");
    QTest::addColumn<QList<int>>("wrongRows");

    QTest::newRow("esp 1 all right") << "espositivo" << 1 << QList<int>{};
    QTest::newRow("esp 2 all wrong") << "espositivo" << 2 << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("esp 5 two wrong") << "espositivo" << 5 << QList<int>{1, 4};
    QTest::newRow("esp 6 last wrong") << "espositivo" << 6 << QList<int>{5};
    QTest::newRow("nar 3 all right") << "narrativo" << 3 << QList<int>{};
    QTest::newRow("nar 7 first wrong") << "narrativo" << 7 << QList<int>{0};
    QTest::newRow("nar 8 three wrong") << "narrativo" << 8 << QList<int>{1, 3, 5};
}

void TestSequenceLogic::checkJudgesEveryRow()
{
    QFETCH(QString, catalogue);
    QFETCH(int, text);
    QFETCH(QList<int>, wrongRows);

    const Catalogue &cat = catalogueNamed(catalogue);
    SequenceExercise ex(cat);
    ex.load();
    ex.choose(cat.texts[text - 1].choice);
    fillBoard(ex, wrongRows);
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);

    const int n = int(cat.texts[text - 1].sequences.size());
    const int right = n - int(wrongRows.size());
    QCOMPARE(ex.punteggio(), right);
    QCOMPARE(label2(ex), QString::number(right));
    QCOMPARE(label3(ex), QString::number(n));
    QCOMPARE(label6(ex), QString::number(right));
    QCOMPARE(label8(ex), QString::number(n));
    QCOMPARE(ex.percent(), percentuale(right, n));
    QVERIFY(!ex.checkEnabled());
    for (int i = 0; i < n; ++i) {
        QCOMPARE(ex.dropWrong(i), wrongRows.contains(i));
        QVERIFY(ex.answerShown(i));
        QCOMPARE(ex.answerCaption(i), cat.texts[text - 1].sequences[i].type);
        if (!wrongRows.contains(i))
            QCOMPARE(ex.answerCaption(i), ex.dropCaption(i));
    }
    for (int i = n; i < SequenceExercise::MaxRows; ++i) {
        QVERIFY(!ex.answerShown(i));
        QVERIFY(!ex.dropWrong(i));
    }
}

void TestSequenceLogic::checkCannotBeRepeatedButDropsStillLand()
{
    SequenceExercise ex(narrativeCatalogue());
    ex.load();
    fillBoard(ex, {2});
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    const QString label6Before = label6(ex);

    // The pupil may still move labels around, but the same board is not
    // judged again and the red box stays red.
    QVERIFY(ex.drop(2, ex.soluzione(3)));
    QCOMPARE(ex.dropCaption(2), ex.soluzione(3));
    QVERIFY(ex.dropWrong(2));
    QCOMPARE(ex.check().kind, Judgement::Kind::Ignored);
    QCOMPARE(label6(ex), label6Before);
}

void TestSequenceLogic::twoChecksInOneVisit()
{
    // 3 right of 4, then 5 right of 6.
    SequenceExercise ex(expositoryCatalogue());
    ex.load();
    QCOMPARE(ex.numSequenze(), 4);
    fillBoard(ex, {3});
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    QCOMPARE(ex.percent(), 75);

    ex.choose(QStringLiteral("La terra è ricoperta.."));
    QCOMPARE(ex.numSequenze(), 6);
    fillBoard(ex, {0});
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    QCOMPARE(label2(ex), QStringLiteral("5"));
    QCOMPARE(label3(ex), QStringLiteral("6"));
    QCOMPARE(label6(ex), QStringLiteral("8"));
    QCOMPARE(label8(ex), QStringLiteral("10"));
    QCOMPARE(ex.savedRight(), 8.0);
    QCOMPARE(ex.savedTotal(), 10.0);
    QCOMPARE(ex.percent(), 80);
}

void TestSequenceLogic::newChoiceBlanksLastCheck_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<int>("firstText");
    QTest::addColumn<int>("nextText");

    QTest::newRow("esp same text again") << "espositivo" << 1 << 1;
    QTest::newRow("esp another text") << "espositivo" << 2 << 3;
    QTest::newRow("nar same text again") << "narrativo" << 8 << 8;
    QTest::newRow("nar another text") << "narrativo" << 3 << 8;
}

void TestSequenceLogic::newChoiceBlanksLastCheck()
{
    QFETCH(QString, catalogue);
    QFETCH(int, firstText);
    QFETCH(int, nextText);
    const Catalogue &cat = catalogueNamed(catalogue);
    SequenceExercise ex(cat);
    ex.load();
    ex.choose(cat.texts[firstText - 1].choice);
    fillBoard(ex, {0, 1});
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    const QString label6Before = label6(ex);
    const QString label8Before = label8(ex);

    ex.choose(cat.texts[nextText - 1].choice);
    QCOMPARE(ex.testoScelto(), nextText);
    // Blank, not "0": the pupil sees that the new text is not judged yet.
    QCOMPARE(label2(ex), QString());
    QCOMPARE(label3(ex), QString());
    QCOMPARE(label6(ex), label6Before);
    QCOMPARE(label8(ex), label8Before);
    QVERIFY(ex.checkEnabled());
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        QVERIFY(ex.dropCaption(i).isEmpty());
        QVERIFY(!ex.dropWrong(i));
        QVERIFY(ex.answerCaption(i).isEmpty());
        QVERIFY(!ex.answerShown(i));
        QCOMPARE(ex.rowShown(i), i < ex.numSequenze());
    }
}

void TestSequenceLogic::unknownChoiceKeepsTextOnDisplay()
{
    const Catalogue &cat = expositoryCatalogue();
    SequenceExercise ex(cat);
    ex.load();
    ex.choose(cat.texts[6].choice);
    fillBoard(ex);
    // Case matters, and so does every character.
    for (const QString &typed : {cat.texts[1].choice.toUpper(), cat.texts[1].choice + QLatin1Char(' '),
                                 QStringLiteral("qualcosa"), QString()}) {
        ex.choose(typed);
        QCOMPARE(ex.testoScelto(), 7);
        QCOMPARE(ex.numSequenze(), 6);
        QVERIFY(ex.dropCaption(0).isEmpty());
        QCOMPARE(label2(ex), QString());
    }
}

void TestSequenceLogic::fourRowTextLeavesRowsOut()
{
    const Catalogue &cat = expositoryCatalogue();
    SequenceExercise ex(cat);
    ex.load();
    // A six-row text first, so that rows 4 and 5 held something before.
    ex.choose(cat.texts[1].choice);
    fillBoard(ex);
    ex.choose(cat.texts[3].choice);
    QCOMPARE(ex.numSequenze(), 4);
    QVERIFY(!ex.rowShown(4));
    QVERIFY(!ex.rowShown(5));

    fillBoard(ex, {2});
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    QCOMPARE(label3(ex), QStringLiteral("4"));
    QCOMPARE(ex.punteggio(), 3);
    QVERIFY(!ex.answerShown(4));
    QVERIFY(!ex.answerShown(5));
}

void TestSequenceLogic::rowHeights_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<int>("height");

    QTest::newRow("136 / 70") << 136 << 70 << 640;
    QTest::newRow("just under a line") << 69 << 70 << 320;
    QTest::newRow("exactly a line") << 70 << 70 << 640;
    QTest::newRow("empty") << 0 << 60 << 320;
    QTest::newRow("three lines at 73") << 219 << 73 << 1280;
    QTest::newRow("270 at 60") << 270 << 60 << 1600;
    QTest::newRow("divisor zero") << 50 << 0 << 320 * 51;
}

void TestSequenceLogic::rowHeights()
{
    QFETCH(int, length);
    QFETCH(int, divisor);
    QFETCH(int, height);
    QCOMPARE(sequencerows::height(QString(length, QLatin1Char('x')), divisor), height);
}

void TestSequenceLogic::rowTopsStackFromHeights()
{
    const Catalogue cat = smallCatalogue();
    SequenceExercise ex(cat);
    ex.load();
    QCOMPARE(ex.numSequenze(), 4);
    const QVector<int> heights{640, 640, 960, 640};
    const QVector<int> tops{120, 760, 1400, 2360};
    QVector<int> fromText;
    for (int i = 0; i < 4; ++i)
        fromText << sequencerows::height(ex.rowText(i), ex.rowDivisor(i));
    QCOMPARE(fromText, heights);
    QCOMPARE(sequencerows::stackedTops(heights), tops);
}

void TestSequenceLogic::sourceLineKeptWhenEntryHasNone()
{
    const Catalogue cat = smallCatalogue();
    SequenceExercise ex(cat);
    ex.load();
    QCOMPARE(ex.sourceLine(), QStringLiteral("Fonte uno"));
    ex.choose(QStringLiteral("Secondo.."));
    QCOMPARE(ex.sourceLine(), QStringLiteral("Fonte uno"));
    ex.choose(QStringLiteral("Terzo.."));
    QCOMPARE(ex.sourceLine(), QStringLiteral("Fonte tre"));

    // The same on the real expository catalogue: texts 5 to 8 have none.
    SequenceExercise esp(expositoryCatalogue());
    esp.load();
    esp.choose(expositoryCatalogue().texts[3].choice);
    const QString shown = esp.sourceLine();
    QVERIFY(!shown.isEmpty());
    esp.choose(expositoryCatalogue().texts[4].choice);
    QCOMPARE(esp.sourceLine(), shown);
}

void TestSequenceLogic::percentageIsExact_data()
{
    // Checks of one visit: how many rows each passage has and how many the
    // pupil got right (on the small catalogue: 4, 6 or 5 rows).
    QTest::addColumn<QList<int>>("texts");
    QTest::addColumn<QList<int>>("rights");
    QTest::addColumn<int>("percent");

    QTest::newRow("2 of 4") << QList<int>{1} << QList<int>{2} << 50;
    QTest::newRow("3 of 4") << QList<int>{1} << QList<int>{3} << 75;
    QTest::newRow("1 of 6") << QList<int>{2} << QList<int>{1} << 16;
    QTest::newRow("none right") << QList<int>{3} << QList<int>{0} << 0;
    QTest::newRow("4 of 6 then 3 of 5") << QList<int>{2, 3} << QList<int>{4, 3} << 63;
    // 97 of 97: a floating-point 100 / 97 * 97 falls just short of 100.
    QList<int> texts, rights;
    for (int i = 0; i < 14; ++i) {
        texts << 2;
        rights << 6;
    }
    texts << 3 << 1 << 1;
    rights << 5 << 4 << 4;
    QTest::newRow("97 of 97") << texts << rights << 100;
}

void TestSequenceLogic::percentageIsExact()
{
    QFETCH(QList<int>, texts);
    QFETCH(QList<int>, rights);
    QFETCH(int, percent);

    const Catalogue cat = smallCatalogue();
    SequenceExercise ex(cat);
    ex.load();
    int totalRight = 0, total = 0;
    for (int c = 0; c < texts.size(); ++c) {
        ex.choose(cat.texts[texts[c] - 1].choice);
        QList<int> wrong;
        for (int i = rights[c]; i < ex.numSequenze(); ++i)
            wrong << i;
        fillBoard(ex, wrong);
        QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
        totalRight += rights[c];
        total += ex.numSequenze();
    }
    QCOMPARE(ex.savedRight(), double(totalRight));
    QCOMPARE(ex.savedTotal(), double(total));
    QCOMPARE(ex.percent(), percent);
}

void TestSequenceLogic::visitCountersRestartAtLoad()
{
    SequenceExercise ex(narrativeCatalogue());
    ex.load();
    fillBoard(ex, {0});
    ex.check();
    QVERIFY(label6(ex) != QLatin1String("0"));
    ex.load();
    QCOMPARE(label6(ex), QStringLiteral("0"));
    QCOMPARE(label8(ex), QStringLiteral("0"));
    QCOMPARE(ex.percent(), 0);
}

void TestSequenceLogic::malformedCataloguesDoNotBreak()
{
    Catalogue empty;
    SequenceExercise none(empty);
    none.load();
    QCOMPARE(none.numSequenze(), 0);
    QVERIFY(!none.drop(0, QStringLiteral("x")));
    none.choose(QStringLiteral("x"));
    QCOMPARE(none.numSequenze(), 0);

    // More than six sequences: the board stops at six.
    Catalogue big;
    big.types = {QStringLiteral("A")};
    CatalogueText t{QStringLiteral("Lungo"), std::nullopt, {}};
    for (int i = 0; i < 8; ++i)
        t.sequences << item(40, 60, QStringLiteral("A"));
    big.texts << t;
    SequenceExercise ex(big);
    ex.load();
    QCOMPARE(ex.numSequenze(), SequenceExercise::MaxRows);
    fillBoard(ex);
    QCOMPARE(ex.check().kind, Judgement::Kind::Judged);
    QCOMPARE(label3(ex), QStringLiteral("6"));
}

QTEST_MAIN(TestSequenceLogic)
#include "tst_sequencelogic.moc"
