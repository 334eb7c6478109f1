// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/contentsource.h"
#include "core/clock.h"
#include "text/contentcheck.h"
#include "poetry/metaforechecks.h"
#include "poetry/metaforequiz.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace morvello;

namespace {

// Hands out the numbers it is given (as draws 1..30), then repeats the last.
class ScriptedRandom : public RandomSource
{
public:
    explicit ScriptedRandom(QList<int> draws) : m_draws(std::move(draws)) {}
    int bounded(int bound) override
    {
        ++calls;
        const int n = m_draws.size() > 1 ? m_draws.takeFirst() : m_draws.first();
        return qBound(0, n - 1, bound - 1);
    }
    int calls = 0;

private:
    QList<int> m_draws;
};

int optionOf(const QString &figure)
{
    return int(figureCaptions().indexOf(figure));
}

QByteArray rtfOf(const QString &source)
{
    content::Source s;
    QString error;
    if (!content::parseSource(source.toUtf8(), &s, &error))
        qFatal("%s", qPrintable(error));
    return content::writeRtf(s, content::Output::Plain);
}

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

QList<CheckProblem> runChecks(const QString &base)
{
    return test::runChecks(base, {addFigureChecks});
}

const QString TwoSentences = QStringLiteral("Il gatto dorme sul divano del salotto.\nLa nonna legge il giornale.");

} // namespace

class TstMetaforeQuiz : public QObject
{
    Q_OBJECT
private slots:
    void drawTable_data();
    void drawTable();
    void captions_data();
    void captions();

    void percent_data();
    void percent();
    void firstFigureRight();
    void definitionsOverThreeExamples();
    void nextNeedsBothAnswers_data();
    void nextNeedsBothAnswers();

    void drawsNeverRepeat_data();
    void drawsNeverRepeat();
    void stuckSourceStillMovesOn();

    void shippedExamplesAreClean();
    void damage_data();
    void damage();
};

void TstMetaforeQuiz::drawTable_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("figure");
    QTest::addColumn<int>("definition");

    const QString P = QStringLiteral("Personificazione (Prosopopea)");
    const struct {
        int n;
        const char *file;
        QString figure;
        int def;
    } rows[] = {
        {1, "enja1", "Enjambement", 1},   {2, "Anafo1", "Anafora", 2},     {3, "simil1", "Similitudine", 3},
        {4, "metaf1", "Metafora", 4},     {5, "ossim1", "Ossimoro", 5},    {6, "alleg1", "Allegoria", 6},
        {7, "Meton1", "Metonimia", 7},    {8, "sined1", "Sineddoche", 8},  {9, "sines1", "Sinestesia", 9},
        {10, "perso1", P, 0},             {11, "enja2", "Enjambement", 1}, {12, "perso2", P, 0},
        {13, "simil2", "Similitudine", 3}, {14, "metaf2", "Metafora", 4},  {15, "ossim2", "Ossimoro", 5},
        {16, "alleg2", "Allegoria", 6},   {17, "Meton2", "Metonimia", 7},  {18, "sined2", "Sineddoche", 8},
        {19, "sines2", "Sinestesia", 9},  {20, "Anafo3", "Anafora", 2},    {21, "simil3", "Similitudine", 3},
        {22, "metaf3", "Metafora", 4},    {23, "ossim3", "Ossimoro", 5},   {24, "alleg3", "Allegoria", 6},
        {25, "Meton3", "Metonimia", 7},   {26, "sined3", "Sineddoche", 8}, {27, "sines3", "Sinestesia", 9},
        {28, "Anafo2", "Anafora", 2},     {29, "enja3", "Enjambement", 1}, {30, "perso3", P, 0},
    };
    for (const auto &r : rows)
        QTest::addRow("%d %s", r.n, r.file)
            << r.n << QStringLiteral("permorvello\\%1.rtf").arg(QLatin1String(r.file)) << r.figure << r.def;
}

void TstMetaforeQuiz::drawTable()
{
    QFETCH(int, number);
    QFETCH(QString, file);
    QFETCH(QString, figure);
    QFETCH(int, definition);

    const std::optional<FigureExample> e = figureExample(number);
    QVERIFY(e);
    QCOMPARE(e->number, number);
    QCOMPARE(e->file, file);
    QCOMPARE(e->figure, figure);
    QCOMPARE(e->definition, definition);
    QVERIFY(figureCaptions().contains(figure));
    QCOMPARE(definitionFigure(definition), figure);

    // The shipped file is there under exactly this name: no help from a
    // file system that ignores letter case.
    const QString shipped = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/") + fileName(file);
    QVERIFY2(QDir(QFileInfo(shipped).absolutePath()).entryList(QDir::Files).contains(fileName(file)),
             qPrintable(shipped));

    // Drawn, the example is judged right for its own figure and definition.
    ScriptedRandom random({number});
    MetaforeQuiz q(random);
    q.load();
    QCOMPARE(q.numeroEsempio(), number);
    QCOMPARE(q.exampleFile(), file);
    QCOMPARE(test::verdictOf(q.answerFigure(optionOf(figure))), QStringLiteral("right"));
    QCOMPARE(test::verdictOf(q.answerDefinition(definition)), QStringLiteral("right"));
}

void TstMetaforeQuiz::captions_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("definedFigure");

    const QString P = QStringLiteral("Personificazione (Prosopopea)");
    const QStringList options = {"Similitudine", "Metafora", "Metonimia",  "Ossimoro",    "Allegoria",
                                 "Sinestesia",   "Sineddoche", P,          "Enjambement", "Anafora"};
    const QStringList defined = {P,           "Enjambement", "Anafora",   "Similitudine", "Metafora",
                                 "Ossimoro",  "Allegoria",   "Metonimia", "Sineddoche",   "Sinestesia"};
    for (int i = 0; i < 10; ++i)
        QTest::addRow("%d", i) << i << options.at(i) << defined.at(i);
    QTest::newRow("none") << 10 << QString() << QString();
    QTest::newRow("negative") << -1 << QString() << QString();
}

void TstMetaforeQuiz::captions()
{
    QFETCH(int, index);
    QFETCH(QString, option);
    QFETCH(QString, definedFigure);
    QCOMPARE(figureCaptions().size(), FigureCount);
    QCOMPARE(definitionTexts().size(), FigureCount);
    QCOMPARE(figureCaptions().value(index), option);
    QCOMPARE(definitionFigure(index), definedFigure);
    // The two definitions whose wording is given.
    QCOMPARE(definitionTexts().at(2), QStringLiteral("Ripetizione di parole all'inizio di frasi o versi"));
    QCOMPARE(definitionTexts().at(9),
             QStringLiteral("Accostamento di parole che si riferiscono a sfere sensoriali diverse (Es: giallo-aspro)."));
}

void TstMetaforeQuiz::percent_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("percent");

    QTest::newRow("one of one") << 1 << 0 << 100;
    QTest::newRow("two of three") << 2 << 1 << 66;
    QTest::newRow("six of six") << 6 << 0 << 100; // not 96
    QTest::newRow("one of three") << 1 << 2 << 33;
    QTest::newRow("ninety-seven of ninety-seven") << 97 << 0 << 100;
    QTest::newRow("none right") << 0 << 4 << 0;
    QTest::newRow("nothing answered") << 0 << 0 << 0;
}

void TstMetaforeQuiz::percent()
{
    QFETCH(int, right);
    QFETCH(int, wrong);
    QFETCH(int, percent);
    QuestionTally t{right, wrong};
    QCOMPARE(t.total(), right + wrong);
    QCOMPARE(t.percent(), percent);
}

void TstMetaforeQuiz::firstFigureRight()
{
    ScriptedRandom random({20});
    MetaforeQuiz q(random);
    q.load();
    QCOMPARE(q.figuraGiusta(), QStringLiteral("Anafora"));
    QCOMPARE(test::verdictOf(q.answerFigure(9)), QStringLiteral("right"));
    QCOMPARE(q.figures().right, 1);
    QCOMPARE(q.figures().total(), 1);
    QCOMPARE(q.figures().percent(), 100);
    QCOMPARE(q.definitions().total(), 0);
}

void TstMetaforeQuiz::definitionsOverThreeExamples()
{
    SeededRandom random(7);
    MetaforeQuiz q(random);
    q.load();
    const bool plan[] = {true, false, true};
    for (bool right : plan) {
        const int def = right ? q.definizioneGiusta() : (q.definizioneGiusta() + 3) % FigureCount;
        QCOMPARE(test::verdictOf(q.answerDefinition(def)), right ? QStringLiteral("right") : QStringLiteral("wrong"));
        QCOMPARE(test::verdictOf(q.answerFigure(optionOf(q.figuraGiusta()))), QStringLiteral("right"));
        QCOMPARE(q.next(), MetaforeQuiz::NextOutcome::Drawn);
    }
    QCOMPARE(q.definitions().wrong, 1);
    QCOMPARE(q.definitions().right, 2);
    QCOMPARE(q.definitions().total(), 3);
    QCOMPARE(q.definitions().percent(), 66);
    QCOMPARE(q.figures().percent(), 100);
    QCOMPARE(q.draws(), 4);
}

void TstMetaforeQuiz::nextNeedsBothAnswers_data()
{
    QTest::addColumn<bool>("figure");
    QTest::addColumn<bool>("definition");
    QTest::addColumn<bool>("unavailable"); // the example's file could not be shown
    QTest::addColumn<bool>("drawn");

    QTest::newRow("nothing answered") << false << false << false << false;
    QTest::newRow("only the definition") << false << true << false << false;
    QTest::newRow("only the figure") << true << false << false << false;
    QTest::newRow("both") << true << true << false << true;
    QTest::newRow("example not shown") << false << false << true << true;
    QTest::newRow("not shown after a figure") << true << false << true << true;
}

void TstMetaforeQuiz::nextNeedsBothAnswers()
{
    QFETCH(bool, figure);
    QFETCH(bool, definition);
    QFETCH(bool, unavailable);
    QFETCH(bool, drawn);

    ScriptedRandom random({17, 8});
    MetaforeQuiz q(random);
    q.load();
    if (figure)
        q.answerFigure(4); // wrong: Allegoria for a Metonimia
    if (unavailable) {
        q.markUnavailable();
        // Nothing is judged or counted for an example the pupil cannot read.
        QCOMPARE(test::verdictOf(q.answerFigure(2)), QStringLiteral("ignored"));
        QCOMPARE(test::verdictOf(q.answerDefinition(7)), QStringLiteral("ignored"));
    }
    if (definition)
        q.answerDefinition(7);
    // An answered question takes no second answer until the next example;
    // nothing takes an index that is not an option's.
    if (figure)
        QCOMPARE(test::verdictOf(q.answerFigure(2)), QStringLiteral("ignored"));
    if (definition)
        QCOMPARE(test::verdictOf(q.answerDefinition(3)), QStringLiteral("ignored"));
    QCOMPARE(test::verdictOf(q.answerFigure(FigureCount)), QStringLiteral("ignored"));
    QCOMPARE(test::verdictOf(q.answerDefinition(-1)), QStringLiteral("ignored"));
    const auto outcome = q.next();
    QCOMPARE(outcome, drawn ? MetaforeQuiz::NextOutcome::Drawn : MetaforeQuiz::NextOutcome::Incomplete);
    QCOMPARE(q.numeroEsempio(), drawn ? 8 : 17);
    QCOMPARE(q.exampleFile(), drawn ? QStringLiteral("permorvello\\sined1.rtf") : QStringLiteral("permorvello\\Meton2.rtf"));
    QCOMPARE(q.figuraFatta(), figure && !drawn);
    QCOMPARE(q.definizioneFatta(), definition && !drawn);
    // A wrong choice stays marked until the next example.
    QCOMPARE(q.wrongFigure(), figure && !drawn ? 4 : -1);
    QCOMPARE(q.unavailable(), unavailable && !drawn);
    QCOMPARE(q.figures().total() + q.definitions().total(), int(figure) + int(definition));
    if (drawn) { // both open again
        QCOMPARE(test::verdictOf(q.answerFigure(6)), QStringLiteral("right"));
        QCOMPARE(test::verdictOf(q.answerDefinition(8)), QStringLiteral("right"));
    }
    QCOMPARE(MetaforeQuiz::incompleteMessage(), QStringLiteral("Non hai completato la risposta"));
}

void TstMetaforeQuiz::drawsNeverRepeat_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << quint32(1);
    QTest::newRow("seed 12345") << quint32(12345);
    QTest::newRow("seed 0xdeadbeef") << quint32(0xdeadbeef);
}

void TstMetaforeQuiz::drawsNeverRepeat()
{
    QFETCH(quint32, seed);
    SeededRandom random(seed);
    MetaforeQuiz q(random);
    q.load();
    QCOMPARE(q.ultimoEsempio(), q.numeroEsempio());
    QSet<int> seen{q.numeroEsempio()};
    for (int i = 0; i < 3000; ++i) {
        const int before = q.numeroEsempio();
        q.answerFigure(0);
        q.answerDefinition(0);
        QCOMPARE(q.next(), MetaforeQuiz::NextOutcome::Drawn);
        QVERIFY(q.numeroEsempio() >= 1 && q.numeroEsempio() <= ExampleCount);
        if (q.numeroEsempio() == before)
            QFAIL(qPrintable(QStringLiteral("draw %1 repeats example %2").arg(i + 2).arg(before)));
        QCOMPARE(q.ultimoEsempio(), q.numeroEsempio());
        seen.insert(q.numeroEsempio());
    }
    QCOMPARE(seen.size(), ExampleCount); // every example can come up
}

// A source that keeps giving the same number must not hang the screen.
void TstMetaforeQuiz::stuckSourceStillMovesOn()
{
    ScriptedRandom random({30});
    MetaforeQuiz q(random);
    q.load();
    QCOMPARE(q.numeroEsempio(), 30);
    q.answerFigure(0);
    q.answerDefinition(0);
    q.next();
    QCOMPARE(q.numeroEsempio(), 1);
    QVERIFY(random.calls < 100);
    q.answerFigure(0);
    q.answerDefinition(0);
    q.next();
    QCOMPARE(q.numeroEsempio(), 30);
}

void TstMetaforeQuiz::shippedExamplesAreClean()
{
    const QList<CheckProblem> problems = runChecks(QStringLiteral(MORVELLO_SOURCE_DIR));
    QVERIFY2(problems.isEmpty(), qPrintable(test::allLines(problems)));
}

void TstMetaforeQuiz::damage_data()
{
    QTest::addColumn<QString>("file");   // under permorvello/
    QTest::addColumn<QByteArray>("bytes"); // null: the file is removed
    QTest::addColumn<int>("kind");       // -1: no problem
    QTest::addColumn<QString>("message"); // the start of it

    QTest::newRow("good") << "Anafo3.rtf" << rtfOf(TwoSentences) << -1 << QString();
    QTest::newRow("missing") << "Anafo3.rtf" << QByteArray() << int(CheckProblem::Missing) << "il file manca";
    QTest::newRow("not RTF") << "Meton1.rtf" << QByteArray("testo qualsiasi") << int(CheckProblem::Unreadable)
                             << "il file non si legge: ";
    QTest::newRow("one line") << "perso3.rtf" << rtfOf(QStringLiteral("Il vento bussava alle finestre della casa."))
                              << int(CheckProblem::Content) << "l'esempio ha una riga sola";
    QTest::newRow("seven lines") << "enja2.rtf"
                                 << rtfOf(QStringLiteral("Verso breve.\n").repeated(7).trimmed())
                                 << int(CheckProblem::Content) << "l'esempio ha 7 righe: al massimo 6";
    QTest::newRow("trailing empty lines do not count")
        << "enja2.rtf"
        << QByteArray("{\\rtf1\\ansi Il gatto dorme sul divano del salotto.\\par La nonna legge.\\par\\par\\par"
                      "\\par\\par\\par\\par}")
        << -1 << QString();
    QTest::newRow("too short") << "sines1.rtf" << rtfOf(QStringLiteral("Voce calda.\nNote.")) << int(CheckProblem::Content)
                               << "il testo è troppo corto";
    QTest::newRow("too long") << "alleg2.rtf" << rtfOf(QStringLiteral("Un vecchio contadino regalò un seme. ").repeated(13))
                              << int(CheckProblem::Content) << "il testo è troppo lungo";
}

void TstMetaforeQuiz::damage()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/permorvello/");
    QVERIFY(QDir().mkpath(data));
    for (int n = 1; n <= ExampleCount; ++n)
        QVERIFY(test::writeBytes(data + fileName(figureExample(n)->file), rtfOf(TwoSentences)));
    QFile::remove(data + file);
    if (!bytes.isNull())
        QVERIFY(test::writeBytes(data + file, bytes));

    const QList<CheckProblem> problems = runChecks(dir.path());
    if (kind < 0) {
        QVERIFY2(problems.isEmpty(), qPrintable(test::allLines(problems)));
        return;
    }
    QCOMPARE(problems.size(), 1);
    QCOMPARE(int(problems.first().kind), kind);
    QCOMPARE(problems.first().file, QStringLiteral("permorvello\\") + file);
    QVERIFY2(problems.first().message.startsWith(message), qPrintable(problems.first().message));
}

QTEST_GUILESS_MAIN(TstMetaforeQuiz)
#include "tst_metaforequiz.moc"
