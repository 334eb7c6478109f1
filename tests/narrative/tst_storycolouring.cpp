// SPDX-License-Identifier: GPL-3.0-or-later
#include "narrative/storycatalogue.h"
#include "narrative/storycolouring.h"
#include "text/contentcheck.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <memory>

using namespace morvello;

namespace {

// The story's two saved groups as numbers: sequences first, then helps.
struct Saved {
    double sequenze, sequenzeTot, sequenzePerc, aiuti;
    qint16 aiutiTot;
    double aiutiPerc;
};

Saved saved(const StoryColouring &logic)
{
    const QVector<GroupValues> g = logic.saves();
    Q_ASSERT(g.size() == 2 && g[0].group == FieldGroup::Sequenze && g[1].group == FieldGroup::Aiuti);
    return Saved{g[0].count.toDouble(), g[0].total.toDouble(), g[0].percent.toDouble(),
                 g[1].count.toDouble(), qint16(g[1].total.toInt()), g[1].percent.toDouble()};
}

// A correction's points; a correction that judged nothing gives -1.
int pointsOf(StoryColouring &logic)
{
    return logic.correct().isJudged() ? logic.lastMarking().points : -1;
}


QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

// A data folder holding the shipped stories, solutions and hints.
bool copyShippedStories(const QString &base)
{
    const QString from = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/");
    const QString to = base + QStringLiteral("/permorvello/");
    QDir().mkpath(to);
    for (const StoryEntry &e : storyCatalogue()) {
        for (const QString &f : {e.storyFile, e.solutionFile, e.helpFile}) {
            if (!QFile::copy(from + fileName(f), to + fileName(f)))
                return false;
        }
    }
    return true;
}

// The activity on real documents over a copy of the shipped files.
struct Fixture {
    QTemporaryDir dir;
    QTextDocument story, solution, help;
    std::unique_ptr<StoryColouring> logic;

    Fixture()
    {
        if (!copyShippedStories(dir.path()))
            qFatal("cannot copy the shipped stories");
        logic = std::make_unique<StoryColouring>(&story, &solution, &help, dir.path());
    }
    QString path(const QString &dataName) const { return dir.path() + "/permorvello/" + fileName(dataName); }

    QString text() const { return checks::plainText(story); }

    // Colours the story exactly as its solution, stretch by stretch, the way a
    // pupil does with the squares.
    void colourAsSolution()
    {
        const QVector<QRgb> sol = StoryColouring::colours(solution);
        int start = 0;
        for (int p = 1; p <= sol.size(); ++p) {
            if (p == sol.size() || sol.at(p) != sol.at(start)) {
                logic->colour(paletteIndexOf(sol.at(start)), start, p);
                start = p;
            }
        }
    }

    // Gives `positions` a palette colour other than the solution's.
    void spoil(const QList<int> &positions)
    {
        const QVector<QRgb> sol = StoryColouring::colours(solution);
        for (int p : positions) {
            const int right = paletteIndexOf(sol.at(p));
            logic->colour(right == 0 ? 1 : 0, p, p + 1);
        }
    }

    // The first n positions whose wrong colour no paragraph end repeats.
    QList<int> innerPositions(int n) const
    {
        const QString t = text();
        QList<int> out;
        for (int p = 0; p + 1 < t.size() && out.size() < n; ++p) {
            if (t.at(p) != QLatin1Char('\n') && t.at(p + 1) != QLatin1Char('\n'))
                out.append(p);
        }
        return out;
    }

    // Wrong positions enough for h to reach `share`.
    int errorsFor(int share) const
    {
        const int length = int(text().size());
        int e = 0;
        while (differingShare(length, e) < share)
            ++e;
        return e;
    }
};

} // namespace

class TstStoryColouring : public QObject
{
    Q_OBJECT
private slots:
    void bands_data();
    void bands();
    void share_data();
    void share();

    void everyStoryLoadsAndGradesPerfect_data();
    void everyStoryLoadsAndGradesPerfect();
    void mismatches_data();
    void mismatches();
    void redMarksOnWrongCharactersOnly();
    void workedExample();
    void helpThenTwoCorrections();
    void chooseKeepsCountersAndReloads();
    void nothingColouredChangesNothing();
    void partlyColouredRunsFullComparison_data();
    void partlyColouredRunsFullComparison();
    void emptySelectionColoursNothing();
    void squareBeyondTheStoryIsIgnored();
    void damagedFiles_data();
    void damagedFiles();
};

void TstStoryColouring::bands_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("points");
    const QList<QPair<int, int>> rows{{0, 10},  {1, 10}, {2, 9},  {3, 9},  {4, 8},  {8, 8},  {9, 6},
                                      {15, 6}, {16, 4}, {22, 4}, {23, 3}, {29, 3}, {30, 2}, {39, 2},
                                      {40, 1}, {49, 1}, {50, 1}, {51, 0}, {100, 0}};
    for (const auto &r : rows)
        QTest::newRow(qPrintable(QStringLiteral("h=%1").arg(r.first))) << r.first << r.second;
}

void TstStoryColouring::bands()
{
    QFETCH(int, h);
    QFETCH(int, points);
    QCOMPARE(correctionPoints(h), points);
}

void TstStoryColouring::share_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("h");
    QTest::newRow("none") << 2222 << 0 << 0;
    QTest::newRow("all") << 2222 << 2222 << 100;
    QTest::newRow("half down to even") << 200 << 1 << 0;
    QTest::newRow("half up to even") << 200 << 3 << 2;
    QTest::newRow("2.5 to 2") << 400 << 10 << 2;
    QTest::newRow("49.6 to 50") << 1000 << 496 << 50;
    QTest::newRow("empty text") << 0 << 0 << 0;
}

void TstStoryColouring::share()
{
    QFETCH(int, length);
    QFETCH(int, errors);
    QFETCH(int, h);
    QCOMPARE(differingShare(length, errors), h);
}

void TstStoryColouring::everyStoryLoadsAndGradesPerfect_data()
{
    QTest::addColumn<QString>("title");
    for (const StoryEntry &e : storyCatalogue())
        QTest::newRow(qPrintable(e.title)) << e.title;
}

void TstStoryColouring::everyStoryLoadsAndGradesPerfect()
{
    QFETCH(QString, title);
    Fixture f;
    QVERIFY(f.logic->load().isEmpty());
    QCOMPARE(f.logic->story()->title, storyCatalogue().constFirst().title);
    QVERIFY(f.logic->choose(title).isEmpty());
    QCOMPARE(f.logic->nrSequenze(), findStory(title)->sequences);
    QCOMPARE(f.logic->fileAiuto(), findStory(title)->helpFile);
    QCOMPARE(f.logic->source(), QStringLiteral("Testo proprio"));
    QVERIFY(f.logic->gradable());

    f.colourAsSolution();
    QCOMPARE(test::verdictOf(f.logic->correct()), QStringLiteral("judged"));
    const StoryColouring::Marking c = f.logic->lastMarking();
    QCOMPARE(c.length, int(f.text().size()));
    QCOMPARE(c.errors, 0);
    QCOMPARE(f.logic->erroriShown(), 0);
    QCOMPARE(c.points, 10);
    QCOMPARE(f.logic->punti(), 10.0);
    QCOMPARE(f.logic->tot(), 10.0);
    QVERIFY(!f.logic->canCorrect());
    // Once per choice.
    QCOMPARE(test::verdictOf(f.logic->correct()), QStringLiteral("ignored"));
    QCOMPARE(f.logic->tot(), 10.0);
}

void TstStoryColouring::mismatches_data()
{
    QTest::addColumn<QString>("which"); // "inner", "first", "last"
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("shown");

    QTest::newRow("nine: counted, shown as 0") << "inner" << 9 << 9 << 0;
    QTest::newRow("ten: shown") << "inner" << 10 << 10 << 10;
    // Every character is judged, the first and the last included, and
    // nothing past the end.
    QTest::newRow("first character") << "first" << 1 << 1 << 0;
    QTest::newRow("last character") << "last" << 1 << 1 << 0;
}

void TstStoryColouring::mismatches()
{
    QFETCH(QString, which);
    QFETCH(int, count);
    QFETCH(int, errors);
    QFETCH(int, shown);
    Fixture f;
    f.logic->load();
    f.colourAsSolution();
    const int length = int(f.text().size());
    QList<int> positions;
    if (which == QLatin1String("first"))
        positions = {0};
    else if (which == QLatin1String("last"))
        positions = {length - 1};
    else
        positions = f.innerPositions(count);
    f.spoil(positions);

    f.logic->correct();
    const StoryColouring::Marking c = f.logic->lastMarking();
    QCOMPARE(c.errors, errors);
    QCOMPARE(f.logic->nrErrori(), errors);
    QCOMPARE(f.logic->erroriShown(), shown);
    QCOMPARE(c.share, differingShare(length, errors));
}

void TstStoryColouring::redMarksOnWrongCharactersOnly()
{
    Fixture f;
    f.logic->load();
    f.colourAsSolution();
    const QList<int> wrong = f.innerPositions(40).mid(20, 12);
    f.spoil(wrong);
    f.logic->correct();
    const QVector<QRgb> after = StoryColouring::colours(f.story);
    const QVector<QRgb> sol = StoryColouring::colours(f.solution);
    QCOMPARE(after.size(), sol.size());
    for (int p = 0; p < after.size(); ++p) {
        if (wrong.contains(p))
            QCOMPARE(after.at(p), WrongMark);
        else
            QCOMPARE(after.at(p), sol.at(p));
    }
}

void TstStoryColouring::workedExample()
{
    Fixture f;
    f.logic->load();
    f.colourAsSolution();
    f.spoil(f.innerPositions(f.errorsFor(5)));
    QCOMPARE(pointsOf(*f.logic), 8);
    Saved v = saved(*f.logic);
    QCOMPARE(v.sequenze, 8.0);
    QCOMPARE(v.sequenzeTot, 10.0);
    QCOMPARE(v.sequenzePerc, 80.0);
    QCOMPARE(v.aiutiTot, qint16(1));

    f.logic->choose(QStringLiteral("Il gatto nero"));
    f.colourAsSolution();
    f.spoil(f.innerPositions(f.errorsFor(2)));
    QCOMPARE(pointsOf(*f.logic), 9);
    v = saved(*f.logic);
    QCOMPARE(v.sequenze, 17.0);
    QCOMPARE(v.sequenzeTot, 20.0);
    QCOMPARE(v.sequenzePerc, 85.0);
    QCOMPARE(v.aiutiTot, qint16(2));
}

void TstStoryColouring::helpThenTwoCorrections()
{
    Fixture f;
    f.logic->load();
    QVERIFY(f.logic->help());
    QVERIFY(!f.help.toPlainText().trimmed().isEmpty());
    QCOMPARE(f.logic->nrAiuti(), 1);
    QVERIFY(!f.logic->canHelp());
    QVERIFY(!f.logic->help()); // once per choice
    QCOMPARE(f.logic->nrAiuti(), 1);
    // Helps without a correction are only counted, not yet saved.
    QCOMPARE(saved(*f.logic).aiutiTot, qint16(0));
    QCOMPARE(saved(*f.logic).aiutiPerc, 0.0);

    f.colourAsSolution();
    f.logic->correct();
    f.logic->choose(QStringLiteral("L'affittacamere"));
    QVERIFY(f.help.isEmpty()); // a choice empties the help view
    f.colourAsSolution();
    f.logic->correct();
    const Saved v = saved(*f.logic);
    QCOMPARE(v.aiuti, 1.0);
    QCOMPARE(v.aiutiTot, qint16(2));
    QCOMPARE(v.aiutiPerc, 50.0);

    // Kept with its fraction: one help over three corrections.
    f.logic->choose(QStringLiteral("Lo sciamano"));
    f.colourAsSolution();
    f.logic->correct();
    QCOMPARE(saved(*f.logic).aiutiPerc, 100.0 / 3);
}

void TstStoryColouring::chooseKeepsCountersAndReloads()
{
    Fixture f;
    f.logic->load();
    f.logic->help();
    f.colourAsSolution();
    f.spoil(f.innerPositions(12));
    f.logic->correct();
    QCOMPARE(f.logic->erroriShown(), 12);
    QVERIFY(!f.logic->canCorrect());
    QVERIFY(!f.logic->canHelp());

    QVERIFY(f.logic->choose(QStringLiteral("Il gatto nero")).isEmpty());
    QVERIFY(f.logic->canCorrect());
    QVERIFY(f.logic->canHelp());
    QCOMPARE(f.logic->erroriShown(), 0);
    QCOMPARE(f.logic->punti(), 10.0);
    QCOMPARE(f.logic->tot(), 10.0);
    QCOMPARE(f.logic->nrAiuti(), 1);
    QCOMPARE(checks::firstCharacterNotIn(f.story, UncolouredText), -1); // uncoloured again

    // Text that names no story loads nothing but still resets the commands.
    f.logic->colour(0, 0, 30);
    f.logic->correct();
    f.logic->choose(QStringLiteral("Scegli il testo ---->"));
    QCOMPARE(f.logic->story()->title, QStringLiteral("Il gatto nero"));
    QVERIFY(f.logic->canCorrect());
}

void TstStoryColouring::nothingColouredChangesNothing()
{
    Fixture f;
    f.logic->load();
    QCOMPARE(test::verdictOf(f.logic->correct()), QStringLiteral("refused: ") + StoryColouring::nothingColouredMessage());
    QVERIFY(f.logic->canCorrect());
    QCOMPARE(f.logic->tot(), 0.0);
    QCOMPARE(f.logic->punti(), 0.0);
    QCOMPARE(f.logic->nrErrori(), 0);
    QCOMPARE(checks::firstCharacterNotIn(f.story, UncolouredText), -1);
}

void TstStoryColouring::partlyColouredRunsFullComparison_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    // Only the start of the story coloured, far from 200-299; only a stretch
    // inside that window; only the very last character.
    QTest::newRow("first 50") << 0 << 50;
    QTest::newRow("inside 200-299") << 220 << 260;
    QTest::newRow("last character") << -1 << 0;
}

void TstStoryColouring::partlyColouredRunsFullComparison()
{
    QFETCH(int, from);
    QFETCH(int, to);
    Fixture f;
    f.logic->load();
    const int length = int(f.text().size());
    if (from < 0) {
        from = length - 1;
        to = length;
    }
    f.logic->colour(0, from, to);
    const QVector<QRgb> pupil = StoryColouring::colours(f.story);
    const QVector<QRgb> sol = StoryColouring::colours(f.solution);
    const int expected = StoryColouring::countDifferences(pupil, sol);
    QVERIFY(expected > length / 2); // all the uncoloured rest counts

    QCOMPARE(test::verdictOf(f.logic->correct()), QStringLiteral("judged"));
    const StoryColouring::Marking c = f.logic->lastMarking();
    QCOMPARE(c.errors, expected);
    QCOMPARE(c.points, correctionPoints(differingShare(length, expected)));
}

void TstStoryColouring::emptySelectionColoursNothing()
{
    Fixture f;
    f.logic->load();
    const QVector<QRgb> before = StoryColouring::colours(f.story);
    QCOMPARE(f.logic->colour(2, 40, 40), 0);
    QCOMPARE(f.logic->coloreScelto(), storyPalette().at(2).square);
    QCOMPARE(StoryColouring::colours(f.story), before);
    // A backwards selection colours the same stretch as a forward one.
    QCOMPARE(f.logic->colour(1, 20, 10), 10);
    QCOMPARE(StoryColouring::colours(f.story).at(15), storyPalette().at(1).square);
}

void TstStoryColouring::squareBeyondTheStoryIsIgnored()
{
    Fixture f;
    f.logic->load();
    f.logic->choose(QStringLiteral("L'affittacamere")); // four sequences
    QCOMPARE(f.logic->colour(4, 0, 10), 0);
    QCOMPARE(f.logic->colour(-1, 0, 10), 0);
    QCOMPARE(f.logic->colour(3, 0, 10), 10);
}

void TstStoryColouring::damagedFiles_data()
{
    QTest::addColumn<QString>("file");       // the gatto nero file damaged
    QTest::addColumn<QByteArray>("content");  // empty: deleted
    QTest::addColumn<QString>("inMessage");
    QTest::addColumn<bool>("gradable");
    QTest::addColumn<bool>("helpCounts");

    // No hint, and none counted, on a story the pupil cannot see.
    QTest::newRow("story missing") << "ilgattonero.rtf" << QByteArray() << "ilgattonero.rtf" << false << false;
    QTest::newRow("solution damaged") << "ilgattonerocol.rtf" << QByteArray("{\\rtf1 {") << "ilgattonerocol.rtf"
                                      << false << true;
    QTest::newRow("solution of another story")
        << "ilgattonerocol.rtf" << QByteArray("@kukiaqcol.rtf") << "permorvello\\ilgattonerocol.rtf" << false << true;
    QTest::newRow("help missing") << "icgattonero.rtf" << QByteArray() << "icgattonero.rtf" << true << false;
}

void TstStoryColouring::damagedFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, inMessage);
    QFETCH(bool, gradable);
    QFETCH(bool, helpCounts);
    Fixture f;
    const QString path = f.path(file);
    QFile::remove(path);
    if (content.startsWith('@'))
        QVERIFY(QFile::copy(f.path(QString::fromLatin1(content.mid(1))), path));
    else if (!content.isEmpty())
        QVERIFY(test::writeBytes(path, content));

    const QStringList messages = f.logic->load();
    QCOMPARE(f.logic->gradable(), gradable);
    QCOMPARE(f.logic->canCorrect(), gradable);
    if (!gradable) {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(inMessage), qPrintable(messages.first()));
        f.logic->colour(0, 0, 100);
        QCOMPARE(test::verdictOf(f.logic->correct()), QStringLiteral("ignored"));
        QCOMPARE(f.logic->tot(), 0.0);
    }
    QString helpMessage;
    QCOMPARE(f.logic->help(&helpMessage), helpCounts);
    QCOMPARE(f.logic->nrAiuti(), helpCounts ? 1 : 0);
    if (!helpCounts && gradable) // the hint's own file is what failed
        QVERIFY2(helpMessage.contains(inMessage), qPrintable(helpMessage));

    // Another story still loads and grades.
    QVERIFY(f.logic->choose(QStringLiteral("La sentinella")).isEmpty());
    QVERIFY(f.logic->canCorrect());
    f.colourAsSolution();
    QCOMPARE(pointsOf(*f.logic), 10);
}

QTEST_MAIN(TstStoryColouring)
#include "tst_storycolouring.moc"
