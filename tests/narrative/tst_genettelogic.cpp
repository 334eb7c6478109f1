// SPDX-License-Identifier: GPL-3.0-or-later
#include "narrative/genettechecks.h"
#include "narrative/genetteconcepts.h"
#include "narrative/genetteexercise.h"
#include "core/clock.h"
#include "text/contentcheck.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace morvello;

namespace {

// A random source that always gives the same value and remembers the bound
// it was asked for.
class FixedDraw : public RandomSource
{
public:
    explicit FixedDraw(int value) : m_value(value) {}
    int bounded(int bound) override
    {
        lastBound = bound;
        return m_value;
    }
    int lastBound = 0;

private:
    int m_value;
};

// Loaded, then moved to the given concept and exercise the way a pupil gets
// there: drawn first exercise, concept button, "Esercizio successivo".
void openAt(GenetteExercise &ex, int concept, int exercise)
{
    FixedDraw draw(0); // exercise 1
    ex.load(draw);
    ex.choose(concept);
    while (ex.nrEsercizio() < exercise) {
        ex.answer(0);
        QCOMPARE(ex.next(), GenetteExercise::NextOutcome::Moved);
    }
    QCOMPARE(ex.nrEsercizio(), exercise);
}

int wrongOption(const GenetteExercise &ex)
{
    return ex.opzioniGiuste(ex.nrEsercizio()) == 0 ? 1 : 0;
}

QString keyText(const QVector<int> &key)
{
    QStringList parts;
    for (int k : key)
        parts.append(QString::number(k));
    return parts.join(QLatin1Char(','));
}

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

// The shipped passages copied into dir's data folder.
bool copyPassages(const QString &base)
{
    const QString to = base + QStringLiteral("/permorvello/genette/");
    QDir().mkpath(to);
    for (const QString &file : genetteExerciseFiles()) {
        if (!QFile::copy(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/genette/") + fileName(file),
                         to + fileName(file)))
            return false;
    }
    return true;
}

QList<CheckProblem> runChecks(const QString &base)
{
    return test::runChecks(base, {addGenetteChecks});
}

} // namespace

class TstGenetteLogic : public QObject
{
    Q_OBJECT
private slots:
    void key_data();
    void key();
    void keyOfThePassages();
    void firstExercise_data();
    void firstExercise();
    void score_data();
    void score();
    void conceptSwitch_data();
    void conceptSwitch();
    void wrap_data();
    void wrap();
    void wrongStaysRed();
    void secondClickIgnored_data();
    void secondClickIgnored();
    void nextWithoutAnswer_data();
    void nextWithoutAnswer();
    void pictureState();

    void shippedPassagesClean();
    void damage_data();
    void damage();
};

void TstGenetteLogic::key_data()
{
    QTest::addColumn<int>("concept");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("concetto");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("lastFile");

    QTest::newRow("Ordine") << int(Ordine) << "CmdOrdine" << "Ordine" << "ORDINE" << 3 << "1,2,1,0,2,0,1,0,2"
                            << "permorvello\\genette\\ordine9.rtf";
    QTest::newRow("Durata") << int(Durata) << "CmdDurata" << "Durata" << "DURATA" << 4
                            << "0,0,2,1,3,1,1,2,3,0,2,3" << "permorvello\\genette\\durata12.rtf";
    QTest::newRow("Frequenza") << int(Frequenza) << "CmdFrequenza" << "Frequenza" << "FREQUENZA" << 2
                               << "0,1,1,0,1,0,1,0,1" << "permorvello\\genette\\frequenza9.rtf";
    QTest::newRow("Distanza") << int(Distanza) << "CmdDistanza" << "Distanza" << "DISTANZA" << 4
                              << "3,0,1,1,2,2,3,2,0,1,3,0,1,2" << "permorvello\\genette\\distanza14.rtf";
    QTest::newRow("Prospettiva") << int(Prospettiva) << "CmdProspettiva" << "Prospettiva" << "PROSPETTIVA" << 2
                                 << "1,1,0,1,0,0,1,0" << "permorvello\\genette\\prospettiva8.rtf";
    QTest::newRow("Voce") << int(Voce) << "CmdVoce" << "Voce" << "VOCE" << 3 << "0,2,1,0,2,1,0,2,1"
                          << "permorvello\\genette\\voce9.rtf";
}

// The concept table and the answer key, and what choosing the concept puts
// into the screen's tables.
void TstGenetteLogic::key()
{
    QFETCH(int, concept);
    QFETCH(QString, button);
    QFETCH(QString, concetto);
    QFETCH(QString, caption);
    QFETCH(int, options);
    QFETCH(QString, key);
    QFETCH(QString, lastFile);

    QCOMPARE(genetteConcepts().size(), 6);
    const GenetteConcept &c = genetteConcepts().at(concept);
    QCOMPARE(c.button, button);
    QCOMPARE(c.buttonCaption, concetto);
    QCOMPARE(c.concetto, concetto);
    QCOMPARE(c.caption, caption);
    QCOMPARE(c.optionCount(), options);
    QCOMPARE(keyText(c.key), key);
    QCOMPARE(c.exerciseFile(c.exercises()), lastFile);
    QCOMPARE(genetteConceptIndex(concetto), concept);

    GenetteExercise ex;
    FixedDraw draw(0);
    ex.load(draw);
    ex.choose(concept);
    QCOMPARE(ex.concetto(), concetto);
    QCOMPARE(ex.labConcetto(), caption);
    QStringList filled;
    for (int i = 1; i <= c.exercises(); ++i) {
        filled.append(QString::number(ex.opzioniGiuste(i)));
        QCOMPARE(ex.fileEsercizi(i), c.exerciseFile(i));
    }
    QCOMPARE(filled.join(QLatin1Char(',')), key);
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i) {
        QCOMPARE(ex.optionShown(i), i < options);
        QCOMPARE(ex.optionCaption(i).isEmpty(), i >= options);
        QCOMPARE(ex.optionRed(i), false);
        QCOMPARE(ex.optionChecked(i), false);
    }
    for (int i = 0; i < GenetteConceptCount; ++i)
        QCOMPARE(ex.conceptEnabled(i), i != concept);
    QCOMPARE(ex.problem(), c.problem);
}

// The writers' notes beside the passages name the option each passage was
// written for; they must agree with the key the screen judges by.
void TstGenetteLogic::keyOfThePassages()
{
    QMap<QString, QPair<int, QString>> written; // "ordine1" -> option, caption
    const QRegularExpression row(QStringLiteral("^\\|\\s*`([a-z]+\\d+)\\.txt`\\s*\\|\\s*(\\d+)\\s*\\|\\s*(\\d)\\s*\\|"
                                                "\\s*`?([^|`]*)`?\\s*\\|"));
    for (const QString &name : {QStringLiteral("KEYS.md")}) {
        QFile f(QStringLiteral(MORVELLO_SOURCE_DIR "/content/genette/") + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = row.match(line);
            if (m.hasMatch())
                written.insert(m.captured(1), {m.captured(3).toInt(), m.captured(4).trimmed()});
        }
    }
    QCOMPARE(written.size(), genetteExerciseFiles().size());
    for (const GenetteConcept &c : genetteConcepts()) {
        for (int i = 1; i <= c.exercises(); ++i) {
            const QString name = c.filePrefix + QString::number(i);
            QVERIFY2(written.contains(name), qPrintable(name));
            QCOMPARE(written.value(name).first, c.key.at(i - 1));
            QCOMPARE(written.value(name).second, c.options.at(c.key.at(i - 1)));
        }
    }
}

void TstGenetteLogic::firstExercise_data()
{
    QTest::addColumn<int>("value"); // what the random source gives, 0..14
    QTest::addColumn<int>("exercise");
    for (int v = 0; v < 15; ++v) {
        const int draw = v + 1;
        QTest::addRow("draw %d", draw) << v << (draw > 9 ? 4 : draw);
    }
}

void TstGenetteLogic::firstExercise()
{
    QFETCH(int, value);
    QFETCH(int, exercise);
    GenetteExercise ex;
    FixedDraw draw(value);
    ex.load(draw);
    QCOMPARE(draw.lastBound, 15);
    QCOMPARE(ex.nrEsercizio(), exercise);
    QCOMPARE(ex.labNrEser(), QString::number(exercise));
    QCOMPARE(ex.concetto(), QStringLiteral("Ordine"));
    QCOMPARE(ex.currentFile(), QStringLiteral("permorvello\\genette\\ordine%1.rtf").arg(exercise));
    QCOMPARE(ex.nextEnabled(), false);
    QCOMPARE(ex.timerEnabled(), false);
    QCOMPARE(ex.optionsEnabled(), true);
    QCOMPARE(ex.conceptEnabled(Ordine), false);
    QCOMPARE(ex.right(), 0);
    QCOMPARE(ex.total(), 0);
}

void TstGenetteLogic::score_data()
{
    QTest::addColumn<int>("concept");
    QTest::addColumn<int>("exercise");
    QTest::addColumn<QString>("answers"); // R right, W wrong, one per exercise
    QTest::addColumn<int>("punti");
    QTest::addColumn<int>("tot");
    QTest::addColumn<int>("percent");

    QTest::newRow("first answer right") << int(Ordine) << 4 << "R" << 1 << 1 << 100;
    QTest::newRow("first answer wrong") << int(Ordine) << 4 << "W" << 0 << 1 << 0;
    QTest::newRow("two right of three, truncated") << int(Durata) << 1 << "RWR" << 2 << 3 << 66;
    QTest::newRow("one right of three") << int(Voce) << 7 << "WRW" << 1 << 3 << 33;
    QTest::newRow("across the wrap") << int(Prospettiva) << 7 << "RRRR" << 4 << 4 << 100;
    QTest::newRow("six of seven") << int(Distanza) << 8 << "RRRWRRR" << 6 << 7 << 85;
    QTest::newRow("none of four") << int(Frequenza) << 6 << "WWWW" << 0 << 4 << 0;
}

void TstGenetteLogic::score()
{
    QFETCH(int, concept);
    QFETCH(int, exercise);
    QFETCH(QString, answers);
    QFETCH(int, punti);
    QFETCH(int, tot);
    QFETCH(int, percent);

    GenetteExercise ex;
    FixedDraw draw(exercise - 1);
    ex.load(draw);
    ex.choose(concept);
    QCOMPARE(ex.nrEsercizio(), exercise);
    for (int i = 0; i < answers.size(); ++i) {
        if (i > 0)
            QCOMPARE(ex.next(), GenetteExercise::NextOutcome::Moved);
        const bool right = answers.at(i) == QLatin1Char('R');
        const int option = right ? ex.opzioniGiuste(ex.nrEsercizio()) : wrongOption(ex);
        QCOMPARE(test::verdictOf(ex.answer(option)),
                 right ? QStringLiteral("right") : QStringLiteral("wrong"));
        QCOMPARE(ex.picture(), right ? GenetteExercise::Picture::Right : GenetteExercise::Picture::Wrong);
    }
    QCOMPARE(ex.right(), punti);
    QCOMPARE(ex.total(), tot);
    QCOMPARE(ex.percent(), percent);
}

void TstGenetteLogic::conceptSwitch_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("exercise");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("expected");

    QTest::newRow("Ordine 9 to Prospettiva opens 1") << int(Ordine) << 9 << int(Prospettiva) << 1;
    QTest::newRow("Ordine 9 to Distanza keeps 9") << int(Ordine) << 9 << int(Distanza) << 9;
    QTest::newRow("Prospettiva 8 to Voce keeps 8") << int(Prospettiva) << 8 << int(Voce) << 8;
    QTest::newRow("Durata 12 to Frequenza opens 1") << int(Durata) << 12 << int(Frequenza) << 1;
    QTest::newRow("Distanza 14 to Durata opens 1") << int(Distanza) << 14 << int(Durata) << 1;
    QTest::newRow("Distanza 12 to Durata keeps 12") << int(Distanza) << 12 << int(Durata) << 12;
    QTest::newRow("same concept again") << int(Voce) << 5 << int(Voce) << 5;
}

void TstGenetteLogic::conceptSwitch()
{
    QFETCH(int, from);
    QFETCH(int, exercise);
    QFETCH(int, to);
    QFETCH(int, expected);

    GenetteExercise ex;
    openAt(ex, from, exercise);
    const int punti = ex.right();
    const int tot = ex.total();
    ex.choose(to);
    QCOMPARE(ex.nrEsercizio(), expected);
    QCOMPARE(ex.labNrEser(), QString::number(expected));
    QCOMPARE(ex.currentFile(), genetteConcepts().at(to).exerciseFile(expected));
    QCOMPARE(ex.concetto(), genetteConcepts().at(to).concetto);
    QCOMPARE(ex.right(), punti);
    QCOMPARE(ex.total(), tot);
}

void TstGenetteLogic::wrap_data()
{
    QTest::addColumn<int>("concept");
    QTest::addColumn<int>("exercise");
    QTest::addColumn<int>("expected");

    QTest::newRow("Distanza 14 wraps") << int(Distanza) << 14 << 1;
    QTest::newRow("Ordine 9 wraps") << int(Ordine) << 9 << 1;
    QTest::newRow("Durata 12 wraps") << int(Durata) << 12 << 1;
    QTest::newRow("Frequenza 9 wraps") << int(Frequenza) << 9 << 1;
    QTest::newRow("Prospettiva 8 wraps") << int(Prospettiva) << 8 << 1;
    QTest::newRow("Voce 9 wraps") << int(Voce) << 9 << 1;
    QTest::newRow("Distanza 13 goes on") << int(Distanza) << 13 << 14;
    QTest::newRow("Prospettiva 7 goes on") << int(Prospettiva) << 7 << 8;
}

void TstGenetteLogic::wrap()
{
    QFETCH(int, concept);
    QFETCH(int, exercise);
    QFETCH(int, expected);

    GenetteExercise ex;
    openAt(ex, concept, exercise);
    QCOMPARE(test::verdictOf(ex.answer(wrongOption(ex))), QStringLiteral("wrong"));
    QCOMPARE(ex.nextEnabled(), true);
    QCOMPARE(ex.optionsEnabled(), false);
    QCOMPARE(ex.next(), GenetteExercise::NextOutcome::Moved);
    QCOMPARE(ex.nrEsercizio(), expected);
    QCOMPARE(ex.concetto(), genetteConcepts().at(concept).concetto);
    QCOMPARE(ex.currentFile(), genetteConcepts().at(concept).exerciseFile(expected));
    QCOMPARE(ex.nextEnabled(), false);
    QCOMPARE(ex.optionsEnabled(), true);
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i) {
        QCOMPARE(ex.optionRed(i), false);
        QCOMPARE(ex.optionChecked(i), false);
    }
}

void TstGenetteLogic::wrongStaysRed()
{
    GenetteExercise ex;
    openAt(ex, Durata, 3); // key 2
    QCOMPARE(test::verdictOf(ex.answer(0)), QStringLiteral("wrong"));
    QVERIFY(ex.optionRed(0));
    QVERIFY(!ex.optionRed(2)); // the right one is never marked
    ex.pictureTimerDone();
    QVERIFY(ex.optionRed(0)); // the picture going leaves the colour
    QCOMPARE(test::verdictOf(ex.answer(1)), QStringLiteral("ignored"));
    QVERIFY(ex.optionRed(0));
    ex.choose(Distanza);
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i)
        QVERIFY(!ex.optionRed(i));

    openAt(ex, Ordine, 4); // key 0
    QCOMPARE(test::verdictOf(ex.answer(0)), QStringLiteral("right"));
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i)
        QVERIFY(!ex.optionRed(i));
}

void TstGenetteLogic::secondClickIgnored_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("same option") << 1 << 1;
    QTest::newRow("another option") << 0 << 2;
    QTest::newRow("hidden option") << -1 << 3; // Ordine has three
    QTest::newRow("out of range") << -1 << 7;
}

// Once answered (or on an option that is not there) a click counts nothing.
void TstGenetteLogic::secondClickIgnored()
{
    QFETCH(int, first);
    QFETCH(int, second);
    GenetteExercise ex;
    openAt(ex, Ordine, 2);
    if (first >= 0)
        QVERIFY(test::verdictOf(ex.answer(first)) != QStringLiteral("ignored"));
    const int punti = ex.right();
    const int tot = ex.total();
    QCOMPARE(test::verdictOf(ex.answer(second)), QStringLiteral("ignored"));
    QCOMPARE(ex.right(), punti);
    QCOMPARE(ex.total(), tot);
    if (first >= 0)
        QVERIFY(ex.optionChecked(first));
}

void TstGenetteLogic::nextWithoutAnswer_data()
{
    QTest::addColumn<bool>("answerFirst");
    QTest::addColumn<int>("thenConcept"); // -1: none
    QTest::newRow("just loaded") << false << -1;
    QTest::newRow("concept chosen after an answer") << true << int(Voce);
    QTest::newRow("same concept again after an answer") << true << int(Ordine);
}

void TstGenetteLogic::nextWithoutAnswer()
{
    QFETCH(bool, answerFirst);
    QFETCH(int, thenConcept);
    GenetteExercise ex;
    openAt(ex, Ordine, 5);
    if (answerFirst)
        ex.answer(0);
    if (thenConcept >= 0)
        ex.choose(thenConcept);
    const bool nextWasEnabled = ex.nextEnabled();
    QCOMPARE(nextWasEnabled, answerFirst); // it stays enabled across a concept change
    const int nr = ex.nrEsercizio();
    const QString file = ex.currentFile();
    const int tot = ex.total();
    const auto picture = ex.picture();
    QCOMPARE(ex.next(), GenetteExercise::NextOutcome::NeedAnswer);
    QCOMPARE(GenetteExercise::needAnswerMessage(), QStringLiteral("Devi fornire una risposta..."));
    QCOMPARE(ex.nrEsercizio(), nr);
    QCOMPARE(ex.currentFile(), file);
    QCOMPARE(ex.total(), tot);
    QCOMPARE(ex.picture(), picture);
    QCOMPARE(ex.nextEnabled(), nextWasEnabled);
    QCOMPARE(ex.optionsEnabled(), true);
}

void TstGenetteLogic::pictureState()
{
    GenetteExercise ex;
    openAt(ex, Frequenza, 1);
    ex.answer(0);
    ex.next(); // the way there leaves the picture's place shown
    ex.pictureTimerDone();
    QCOMPARE(ex.pictureShown(), false);
    QCOMPARE(ex.picture(), GenetteExercise::Picture::None);

    QCOMPARE(test::verdictOf(ex.answer(1)), QStringLiteral("right")); // exercise 2, key 1
    QCOMPARE(ex.picture(), GenetteExercise::Picture::Right);
    QVERIFY(ex.pictureShown());
    QVERIFY(ex.timerEnabled());

    ex.choose(Ordine); // a concept change leaves picture and timer alone
    QCOMPARE(ex.picture(), GenetteExercise::Picture::Right);
    QVERIFY(ex.pictureShown());
    QVERIFY(ex.timerEnabled());

    QCOMPARE(test::verdictOf(ex.answer(0)), QStringLiteral("wrong")); // Ordine 2, key 2
    QCOMPARE(ex.picture(), GenetteExercise::Picture::Wrong);

    QCOMPARE(ex.next(), GenetteExercise::NextOutcome::Moved);
    QCOMPARE(ex.picture(), GenetteExercise::Picture::None);
    QVERIFY(ex.pictureShown()); // empty, until the timer hides it
    QVERIFY(ex.timerEnabled());
    ex.pictureTimerDone();
    QVERIFY(!ex.pictureShown());
    QVERIFY(!ex.timerEnabled());
}

void TstGenetteLogic::shippedPassagesClean()
{
    ContentCheckRegistry registry;
    addGenetteChecks(registry);
    CheckReport report(QStringLiteral(MORVELLO_SOURCE_DIR));
    registry.run(report);
    QVERIFY2(report.clean(), qPrintable(test::allLines(report.problems())));
    QCOMPARE(report.filesChecked(), 61);
}

void TstGenetteLogic::damage_data()
{
    QTest::addColumn<QString>("file"); // under permorvello/genette/
    QTest::addColumn<QByteArray>("content"); // null: deleted
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "voce9.rtf" << QByteArray() << int(CheckProblem::Missing) << "il file manca";
    QTest::newRow("not RTF") << "ordine1.rtf" << QByteArray("un brano senza formato") << int(CheckProblem::Unreadable)
                             << "il file non si legge: ";
    QTest::newRow("cut short") << "durata12.rtf" << QByteArray("{\\rtf1\\ansi Il treno") << int(CheckProblem::Unreadable)
                               << "il file non si legge: ";
    QTest::newRow("empty passage") << "distanza14.rtf" << QByteArray("{\\rtf1\\ansi \\par \\par}")
                                   << int(CheckProblem::Content) << "il brano è vuoto";
    QTest::newRow("only spaces") << "prospettiva1.rtf" << QByteArray("{\\rtf1\\ansi    \\par}")
                                 << int(CheckProblem::Content) << "il brano è vuoto";
}

void TstGenetteLogic::damage()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(copyPassages(dir.path()));
    QVERIFY(runChecks(dir.path()).isEmpty());
    const QString path = dir.path() + QStringLiteral("/permorvello/genette/") + file;
    if (content.isNull())
        QVERIFY(QFile::remove(path));
    else
        QVERIFY(test::writeBytes(path, content));

    const QList<CheckProblem> problems = runChecks(dir.path());
    QVERIFY2(problems.size() == 1, qPrintable(test::allLines(problems)));
    QCOMPARE(int(problems.first().kind), kind);
    QCOMPARE(problems.first().file, QStringLiteral("permorvello\\genette\\") + file);
    QVERIFY2(problems.first().message.startsWith(message), qPrintable(problems.first().message));
}

QTEST_MAIN(TstGenetteLogic)
#include "tst_genettelogic.moc"
