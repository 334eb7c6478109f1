// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/contentsource.h"
#include "narrative/genetteconcepts.h"
#include "narrative/storycatalogue.h"
#include "narrative/storychecks.h"
#include "sequences/catalogue.h"
#include "text/contentcheck.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "storage/database.h"
#include "storage/schema.h"

#include <sys/stat.h>

using namespace morvello;
using namespace morvello::content;

namespace {

// The sequences of a made-up story, each one line.
QStringList sequenceLines(int sequences, int repeat)
{
    QStringList lines;
    for (int k = 1; k <= sequences; ++k)
        lines.append(QStringLiteral("Sequenza %1: ").arg(k)
                     + QStringLiteral("il gatto cammina piano sul muro del cortile. ").repeated(repeat).trimmed());
    return lines;
}

QString storySource(int sequences, int repeat = 3)
{
    return sequenceLines(sequences, repeat).join(QStringLiteral("\n<seq>"));
}

QString plainOf(int sequences, int repeat = 3)
{
    return sequenceLines(sequences, repeat).join(QLatin1Char('\n'));
}

// The solution as a teacher might leave it: sequence k in colours[k].
QString colouredSource(const QStringList &colours)
{
    const QStringList lines = sequenceLines(int(colours.size()), 3);
    QStringList out;
    for (int k = 0; k < lines.size(); ++k)
        out.append(QStringLiteral("<c %1>%2</c>").arg(colours.at(k), lines.at(k)));
    return out.join(QLatin1Char('\n'));
}

QByteArray rtfOf(const QString &source, Output output)
{
    Source s;
    QString error;
    if (!parseSource(source.toUtf8(), &s, &error))
        qFatal("%s", qPrintable(error));
    return writeRtf(s, output);
}

QString fileName(const QString &dataName)
{
    return dataName.section(QLatin1Char('\\'), -1);
}

const QString P1 = QStringLiteral("#ff99cc"), P2 = QStringLiteral("#ffff99"), P3 = QStringLiteral("#ffcc99"),
              P4 = QStringLiteral("#99ccff"), P5 = QStringLiteral("#ccffcc");

// A data folder with all six stories, their hints and the two pictures.
bool makeGoodFolder(const QString &base)
{
    const QString data = base + QStringLiteral("/permorvello/");
    QDir().mkpath(data);
    for (const StoryEntry &e : storyCatalogue()) {
        const QString src = storySource(e.sequences);
        if (!test::writeBytes(data + fileName(e.storyFile), rtfOf(src, Output::Story))
            || !test::writeBytes(data + fileName(e.solutionFile), rtfOf(src, Output::Solution))
            || !test::writeBytes(data + fileName(e.helpFile),
                                 rtfOf(QStringLiteral("Cerca dove cambia il luogo."), Output::Plain)))
            return false;
    }
    const QString pictures = QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello/");
    // The checker program looks at every activity's files: the shipped
    // narrative-concept passages complete the folder.
    QDir().mkpath(data + "genette");
    for (const QString &file : genetteExerciseFiles()) {
        if (!QFile::copy(pictures + "genette/" + fileName(file), data + "genette/" + fileName(file)))
            return false;
    }
    return QFile::copy(pictures + "giusto.jpg", data + "giusto.jpg")
        && QFile::copy(pictures + "sbagliato.jpg", data + "sbagliato.jpg");
}

// The program checks every activity's files: the shipped ones stand in for
// those of the activities other than the stories.
bool copyShippedContent(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &f : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + f.fileName();
        if (f.isDir()) {
            if (!copyShippedContent(f.filePath(), target))
                return false;
        } else if (!f.fileName().endsWith(QLatin1String(".mdb")) && !QFile::exists(target)
                   && !QFile::copy(f.filePath(), target)) {
            return false;
        }
    }
    return true;
}

QList<CheckProblem> runChecks(const QString &base)
{
    return test::runChecks(base, {addPictureChecks, addStoryChecks});
}

// A shipped data file of the repository, read as the program reads it.
bool readShipped(const QString &dataName, QTextDocument *doc)
{
    CheckReport r{QStringLiteral(MORVELLO_SOURCE_DIR)};
    return checks::readRtf(r, dataName, doc) && r.clean();
}

// First names a reader would notice coming back from one text to the next:
// those of the shipped texts and some common ones. ("Nello" is left out: it
// is also a preposition at the start of a sentence.)
const QStringList FirstNames = {
    "Ada", "Adele", "Agata", "Agostino", "Aldo", "Alessandro", "Alice", "Amedeo", "Amina", "Andrea", "Anna",
    "Antonio", "Armando", "Aurora", "Baccio", "Bartolo", "Bea", "Beatrice", "Bepi", "Bernardo", "Berto", "Bice",
    "Bruno", "Carlo", "Chiara", "Ciro", "Clelia", "Dalila", "Dario", "Davide", "Diego", "Elena", "Elia", "Elio",
    "Elisa", "Elvira", "Emilio", "Emma", "Enea", "Ernesta", "Ernesto", "Ettore", "Fausto", "Federico", "Filippo",
    "Fosca", "Francesca", "Francesco", "Franco", "Gabriele", "Giacomo", "Giada", "Gino", "Giorgia", "Giovanni",
    "Giulia", "Giulio", "Giuseppe", "Greta", "Guido", "Gustavo", "Ines", "Irene", "Irma", "Ivan", "Ivo", "Jacopo",
    "Kevin", "Kukiaq", "Lapo", "Leonardo", "Licia", "Lorenzo", "Luca", "Lucia", "Ludovica", "Luigi", "Marco",
    "Maria", "Marta", "Martina", "Massimo", "Matilde", "Matteo", "Nadia", "Nando", "Nanni", "Nico", "Nicola",
    "Nina", "Nives", "Noemi", "Nora", "Olga", "Oreste", "Osvaldo", "Ottavio", "Paolo", "Pietro", "Pina", "Renzo",
    "Rosa", "Rosaria", "Salvatore", "Samuele", "Sandro", "Sara", "Sofia", "Taqqiq", "Teo", "Teresa", "Tobia",
    "Tommasino", "Tommaso", "Tonino", "Viola", "Yuri", "Zeno"};

// Every narrative text the pupil reads: the stories, the narrative-concept
// passages and the passages of the narrative sequence-type exercise, by name.
QList<QPair<QString, QString>> narrativeTexts()
{
    QList<QPair<QString, QString>> texts;
    QStringList files;
    for (const StoryEntry &e : storyCatalogue())
        files << e.storyFile;
    files << genetteExerciseFiles();
    for (const QString &file : files) {
        QTextDocument doc;
        if (!readShipped(file, &doc))
            qFatal("%s does not read", qPrintable(file));
        texts.append({file, checks::plainText(doc)});
    }
    const Catalogue &c = narrativeCatalogue();
    for (int t = 0; t < c.texts.size(); ++t) {
        QString passage;
        for (const SequenceItem &s : c.texts.at(t).sequences)
            passage += s.text + QLatin1Char('\n');
        texts.append({QStringLiteral("Testo NARRATIVO %1 (%2)").arg(t + 1).arg(c.texts.at(t).choice), passage});
    }
    return texts;
}

} // namespace

class TstStoryChecks : public QObject
{
    Q_OBJECT
private slots:
    void catalogue_data();
    void catalogue();
    void sequenceStarts_data();
    void sequenceStarts();
    void storiesBreakParagraphs();
    void namesIn_data();
    void namesIn();
    void firstNamesAcrossNarrativeTexts();
    void palette_data();
    void palette();

    void goodFolderIsClean();
    void damage_data();
    void damage();
    void shippedFolder();
    void program_data();
    void program();
};

void TstStoryChecks::catalogue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("sequences");
    QTest::addColumn<QString>("story");
    QTest::addColumn<QString>("solution");
    QTest::addColumn<QString>("help");
    // The shipped story: its paragraphs, and how many of its sequences begin
    // inside a paragraph rather than at the start of one (pupils must read,
    // not count paragraphs).
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<int>("startsInside");

    QTest::newRow("gatto nero") << 0 << "Il gatto nero" << 5 << "permorvello\\ilgattonero.rtf"
                                << "permorvello\\ilgattonerocol.rtf" << "permorvello\\icgattonero.rtf" << 9 << 2;
    QTest::newRow("affittacamere") << 1 << "L'affittacamere" << 4 << "permorvello\\affittacamere.rtf"
                                   << "permorvello\\affittacamerecol.rtf" << "permorvello\\icaffittacamere.rtf" << 9
                                   << 0;
    QTest::newRow("sciamano") << 2 << "Lo sciamano" << 5 << "permorvello\\kukiaq.rtf" << "permorvello\\kukiaqcol.rtf"
                              << "permorvello\\ickukiaq.rtf" << 5 << 1;
    QTest::newRow("fondamenti") << 3 << "I fondamenti" << 5 << "permorvello\\fondamenti.rtf"
                                << "permorvello\\fondamenticol.rtf" << "permorvello\\icfondamenti.rtf" << 6 << 1;
    QTest::newRow("sentinella") << 4 << "La sentinella" << 5 << "permorvello\\sentinella.rtf"
                                << "permorvello\\sentinellacol.rtf" << "permorvello\\icsentinella.rtf" << 6 << 1;
    QTest::newRow("gobba zoppa") << 5 << "Gobba, zoppa..." << 4 << "permorvello\\gobba-zoppa.rtf"
                                 << "permorvello\\gobba-zoppacol.rtf" << "permorvello\\gobba-zoppa-ic.rtf" << 5 << 1;
}

void TstStoryChecks::catalogue()
{
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(int, sequences);
    QFETCH(QString, story);
    QFETCH(QString, solution);
    QFETCH(QString, help);
    QCOMPARE(storyCatalogue().size(), 6);
    const StoryEntry &e = storyCatalogue().at(index);
    QCOMPARE(e.title, title);
    QCOMPARE(e.sequences, sequences);
    QCOMPARE(e.storyFile, story);
    QCOMPARE(e.solutionFile, solution);
    QCOMPARE(e.helpFile, help);
    QCOMPARE(findStory(title), &e);

    QFETCH(int, paragraphs);
    QFETCH(int, startsInside);
    QTextDocument shipped;
    QVERIFY(readShipped(e.solutionFile, &shipped));
    QCOMPARE(shipped.blockCount(), paragraphs);
    QCOMPARE(laterSequenceStarts(shipped).size(), sequences - 1);
    QCOMPARE(sequenceStartsInsideParagraphs(shipped).size(), startsInside);
    // Paragraph breaks that open no sequence: a new paragraph is no sign.
    QVERIFY(paragraphs - (sequences - startsInside) > 0);
}

void TstStoryChecks::sequenceStarts_data()
{
    QTest::addColumn<QString>("source");     // a story source, <seq> marks and all
    QTest::addColumn<QList<int>>("starts");  // where sequences 2.. begin in the plain text
    QTest::addColumn<QList<int>>("inside");  // those that do not open a paragraph

    QTest::newRow("each sequence opens a paragraph") << "Uno uno.\n<seq>Due due.\n<seq>Tre."
                                                     << QList<int>{9, 18} << QList<int>{};
    QTest::newRow("one begins after a full stop in a paragraph") << "Uno uno. <seq>Due due.\nAncora due."
                                                                 << QList<int>{9} << QList<int>{9};
    QTest::newRow("paragraphs that open no sequence") << "Uno.\nAncora uno.\n<seq>Due.\nAncora due."
                                                      << QList<int>{17} << QList<int>{};
    QTest::newRow("after an empty paragraph") << "Uno.\n\n<seq>Due." << QList<int>{6} << QList<int>{};
    QTest::newRow("inside and at the start") << "Uno. <seq>Due.\n<seq>Tre. <seq>Quattro."
                                             << QList<int>{5, 10, 15} << QList<int>{5, 15};
    QTest::newRow("a bold word at the start") << "Uno.\n<seq><b>Due</b> e basta." << QList<int>{5} << QList<int>{};
}

void TstStoryChecks::sequenceStarts()
{
    QFETCH(QString, source);
    QFETCH(QList<int>, starts);
    QFETCH(QList<int>, inside);
    QTextDocument solution;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("permorvello/provacol.rtf"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("permorvello"))));
    QVERIFY(test::writeBytes(file, rtfOf(source, Output::Solution)));
    CheckReport r(dir.path());
    QVERIFY(checks::readRtf(r, QStringLiteral("permorvello\\provacol.rtf"), &solution));
    QCOMPARE(laterSequenceStarts(solution), starts);
    QCOMPARE(sequenceStartsInsideParagraphs(solution), inside);
}

// The stories do not let a pupil find the sequences by their paragraphs.
void TstStoryChecks::storiesBreakParagraphs()
{
    QStringList withOne;
    for (const StoryEntry &e : storyCatalogue()) {
        QTextDocument solution;
        QVERIFY(readShipped(e.solutionFile, &solution));
        if (!sequenceStartsInsideParagraphs(solution).isEmpty())
            withOne << e.title;
    }
    QVERIFY2(withOne.size() >= 3, qPrintable(withOne.join(QStringLiteral(", "))));
}

void TstStoryChecks::namesIn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("found");

    const QStringList some{"Marta", "Elia", "Rosa", "Ivo"};
    QTest::newRow("none") << "Il gatto dorme sul balcone." << some << QStringList{};
    QTest::newRow("at the start and after a comma") << "Marta rise. Poi, Ivo corse." << some
                                                    << QStringList{"Marta", "Ivo"};
    QTest::newRow("in the order of the list, once each") << "Ivo, Marta, Ivo e ancora Marta." << some
                                                         << QStringList{"Marta", "Ivo"};
    QTest::newRow("inside a longer name") << "Martina e Eliana giocano con Rosalia." << some << QStringList{};
    QTest::newRow("lower case is a word, not a name") << "Una rosa rosa e una marta nel bosco." << some
                                                      << QStringList{};
    QTest::newRow("quotes, apostrophes and accents around")
        << QStringLiteral("«Elia!» gridò. L'amica d'Ivo, Rosa, è qui. Rosà no.") << some
        << QStringList{"Elia", "Rosa", "Ivo"};
    QTest::newRow("before an accented letter") << QStringLiteral("Ivoè") << some << QStringList{};
}

void TstStoryChecks::namesIn()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, found);
    QCOMPARE(checks::namesIn(text, names), found);
}

// Over all the narrative texts, no first name comes back in more than two.
void TstStoryChecks::firstNamesAcrossNarrativeTexts()
{
    const QList<QPair<QString, QString>> texts = narrativeTexts();
    QCOMPARE(texts.size(), 6 + 61 + 8);
    QMap<QString, QStringList> textsOf;
    for (const auto &t : texts) {
        for (const QString &name : checks::namesIn(t.second, FirstNames))
            textsOf[name].append(t.first);
    }
    QStringList tooMany;
    for (auto it = textsOf.cbegin(); it != textsOf.cend(); ++it) {
        if (it.value().size() > 2)
            tooMany << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
    }
    QVERIFY2(tooMany.isEmpty(), qPrintable(tooMany.join(QLatin1Char('\n'))));
    // The list is not idle: the texts use many of its names.
    QVERIFY2(textsOf.size() > 60, qPrintable(QString::number(textsOf.size())));
}

void TstStoryChecks::palette_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("square");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("captionColour");

    QTest::newRow("1") << 0 << "#ff99cc" << "Colore della PRIMA sequenza" << "#ffc0c0";
    QTest::newRow("2") << 1 << "#ffff99" << "Colore della SECONDA sequenza" << "#ffffc0";
    QTest::newRow("3") << 2 << "#ffcc99" << "Colore della TERZA sequenza" << "#ffe0c0";
    QTest::newRow("4") << 3 << "#99ccff" << "Colore della QUARTA sequenza" << "#c0c0ff";
    QTest::newRow("5") << 4 << "#ccffcc" << "Colore della QUINTA sequenza" << "#c0ffc0";
}

void TstStoryChecks::palette()
{
    QFETCH(int, index);
    QFETCH(QString, square);
    QFETCH(QString, caption);
    QFETCH(QString, captionColour);
    const PaletteEntry &p = storyPalette().at(index);
    QCOMPARE(QColor(p.square).name(), square);
    QCOMPARE(p.caption, caption);
    QCOMPARE(QColor(p.captionColour).name(), captionColour);
    QCOMPARE(paletteIndexOf(p.square), index);
    // The content tool paints solutions with the same colours.
    QCOMPARE(sequenceColours().at(index), p.square);
}

void TstStoryChecks::goodFolderIsClean()
{
    QTemporaryDir dir;
    QVERIFY(makeGoodFolder(dir.path()));
    const QList<CheckProblem> problems = runChecks(dir.path());
    QVERIFY2(problems.isEmpty(), qPrintable(test::allLines(problems)));
}

void TstStoryChecks::damage_data()
{
    QTest::addColumn<QStringList>("files");            // under permorvello/
    QTest::addColumn<QList<QByteArray>>("contents");   // a null array deletes the file
    QTest::addColumn<int>("kind");                     // -1: no problem at all
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("message");              // the start of it

    const QString story = QStringLiteral("permorvello\\ilgattonero.rtf");
    const QString solution = QStringLiteral("permorvello\\ilgattonerocol.rtf");
    const QString text = plainOf(5);
    auto seqStart = [&](int k) { return int(text.indexOf(QStringLiteral("Sequenza %1").arg(k))); };
    const QByteArray goodStory = rtfOf(storySource(5), Output::Story);

    QTest::newRow("story missing") << QStringList{"ilgattonero.rtf"} << QList<QByteArray>{QByteArray()}
                                   << int(CheckProblem::Missing) << story << -1 << "il file manca";
    QTest::newRow("solution not RTF") << QStringList{"ilgattonerocol.rtf"}
                                      << QList<QByteArray>{"questo non è un file RTF"}
                                      << int(CheckProblem::Unreadable) << solution << -1 << "il file non si legge: ";
    QTest::newRow("help missing") << QStringList{"icgattonero.rtf"} << QList<QByteArray>{QByteArray()}
                                  << int(CheckProblem::Missing) << "permorvello\\icgattonero.rtf" << -1
                                  << "il file manca";
    QTest::newRow("help empty") << QStringList{"icgattonero.rtf"} << QList<QByteArray>{"{\\rtf1\\ansi \\par}"}
                                << int(CheckProblem::Content) << "permorvello\\icgattonero.rtf" << -1
                                << "il suggerimento è vuoto";

    QString changed = storySource(5);
    const int third = int(changed.indexOf(QLatin1String("gatto"), changed.indexOf(QLatin1String("Sequenza 3"))));
    changed.replace(third, 5, QStringLiteral("gatta"));
    QTest::newRow("one letter differs")
        << QStringList{"ilgattonerocol.rtf"} << QList<QByteArray>{rtfOf(changed, Output::Solution)}
        << int(CheckProblem::Content) << story << int(text.indexOf(QLatin1String("gatto"), seqStart(3))) + 4
        << "il testo è diverso da quello di permorvello\\ilgattonerocol.rtf: qui «";
    QTest::newRow("solution shorter")
        << QStringList{"ilgattonerocol.rtf"} << QList<QByteArray>{rtfOf(storySource(5).chopped(10), Output::Solution)}
        << int(CheckProblem::Content) << story << int(text.size()) - 10
        << "il testo continua dove quello di permorvello\\ilgattonerocol.rtf è già finito";
    QTest::newRow("story shorter than the solution")
        << QStringList{"ilgattonero.rtf"} << QList<QByteArray>{rtfOf(storySource(5).chopped(10), Output::Story)}
        << int(CheckProblem::Content) << story << int(text.size()) - 10
        << "il testo finisce prima di quello di permorvello\\ilgattonerocol.rtf";

    QString greenWord = QStringLiteral("@color #ffffff\n") + storySource(5);
    greenWord.replace(greenWord.indexOf(QLatin1String("cortile")), 7, QStringLiteral("<c #00ff00>cortile</c>"));
    QTest::newRow("a word of the story not white")
        << QStringList{"ilgattonero.rtf"} << QList<QByteArray>{rtfOf(greenWord, Output::Plain)}
        << int(CheckProblem::Content) << story << int(text.indexOf(QLatin1String("cortile")))
        << "il testo deve essere tutto del colore 255,255,255, ma qui è 0,255,0";
    QTest::newRow("story in the default colour")
        << QStringList{"ilgattonero.rtf"} << QList<QByteArray>{rtfOf(storySource(5), Output::Plain)}
        << int(CheckProblem::Content) << story << 0
        << "il testo deve essere tutto del colore 255,255,255, ma qui è automatico";

    QTest::newRow("solution with a foreign colour")
        << QStringList{"ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(colouredSource({P1, P2, "#ff0000", P4, P5}), Output::Plain)}
        << int(CheckProblem::Content) << solution << seqStart(3)
        << "il colore 255,0,0 non è un colore delle sequenze";
    QTest::newRow("sequences two and three swapped")
        << QStringList{"ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(colouredSource({P1, P3, P2, P4, P5}), Output::Plain)}
        << int(CheckProblem::Content) << solution << seqStart(2)
        << "qui dovrebbe esserci il colore della PRIMA sequenza (255,153,204) o della successiva, invece c'è quello "
           "della TERZA (255,204,153)";
    QTest::newRow("first sequence in the second colour")
        << QStringList{"ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(colouredSource({P2, P3, P4, P5, P5}), Output::Plain)}
        << int(CheckProblem::Content) << solution << 0
        << "qui dovrebbe esserci il colore della PRIMA sequenza";
    QTest::newRow("a colour comes back")
        << QStringList{"ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(colouredSource({P1, P2, P1, P3, P4}), Output::Plain)}
        << int(CheckProblem::Content) << solution << seqStart(3)
        << "qui dovrebbe esserci il colore della SECONDA sequenza (255,255,153) o della successiva, invece c'è "
           "quello della PRIMA";
    QTest::newRow("fewer colours than sequences is allowed")
        << QStringList{"ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(colouredSource({P1, P2, P3, P4, P4}), Output::Plain)} << -1 << QString() << -1
        << QString();
    QTest::newRow("five colours in a four-sequence story")
        << QStringList{"affittacamere.rtf", "affittacamerecol.rtf"}
        << QList<QByteArray>{goodStory, rtfOf(storySource(5), Output::Solution)} << int(CheckProblem::Content)
        << "permorvello\\affittacamerecol.rtf" << seqStart(5)
        << "la storia ha 4 sequenze, ma qui comincia la 5 (colore 204,255,204)";

    QTest::newRow("too short")
        << QStringList{"ilgattonero.rtf", "ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(storySource(5, 1), Output::Story), rtfOf(storySource(5, 1), Output::Solution)}
        << int(CheckProblem::Content) << story << -1
        << QStringLiteral("il testo è troppo corto: %1 caratteri, ne servono almeno 300").arg(plainOf(5, 1).size());
    QTest::newRow("too long")
        << QStringList{"ilgattonero.rtf", "ilgattonerocol.rtf"}
        << QList<QByteArray>{rtfOf(storySource(5, 150), Output::Story), rtfOf(storySource(5, 150), Output::Solution)}
        << int(CheckProblem::Content) << story << -1
        << QStringLiteral("il testo è troppo lungo: %1 caratteri, al massimo 32766").arg(plainOf(5, 150).size());

    QTest::newRow("picture not a picture") << QStringList{"giusto.jpg"} << QList<QByteArray>{"non è un'immagine"}
                                           << int(CheckProblem::Unreadable) << "permorvello\\giusto.jpg" << -1
                                           << "l'immagine non si legge";
    QTest::newRow("picture missing") << QStringList{"sbagliato.jpg"} << QList<QByteArray>{QByteArray()}
                                     << int(CheckProblem::Missing) << "permorvello\\sbagliato.jpg" << -1
                                     << "il file manca";
    QTest::newRow("names in other letter case")
        << QStringList{"ilgattonero.rtf", "IlGattoNero.RTF"} << QList<QByteArray>{QByteArray(), goodStory} << -1
        << QString() << -1 << QString();
}

void TstStoryChecks::damage()
{
    QFETCH(QStringList, files);
    QFETCH(QList<QByteArray>, contents);
    QFETCH(int, kind);
    QFETCH(QString, file);
    QFETCH(int, position);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(makeGoodFolder(dir.path()));
    for (int i = 0; i < files.size(); ++i) {
        const QString path = dir.path() + QStringLiteral("/permorvello/") + files.at(i);
        if (contents.at(i).isNull())
            QVERIFY(QFile::remove(path));
        else
            QVERIFY(test::writeBytes(path, contents.at(i)));
    }

    const QList<CheckProblem> problems = runChecks(dir.path());
    if (kind < 0) {
        QVERIFY2(problems.isEmpty(), qPrintable(test::allLines(problems)));
        return;
    }
    QVERIFY2(problems.size() == 1, qPrintable(test::allLines(problems)));
    const CheckProblem &p = problems.first();
    QCOMPARE(int(p.kind), kind);
    QCOMPARE(p.file, file);
    QCOMPARE(p.position, position);
    QVERIFY2(p.message.startsWith(message), qPrintable(p.message));
}

// Until the stories are written, the shipped folder may only lack them.
void TstStoryChecks::shippedFolder()
{
    QStringList storyFiles;
    for (const StoryEntry &e : storyCatalogue())
        storyFiles << e.storyFile << e.solutionFile << e.helpFile;
    for (const CheckProblem &p : runChecks(QStringLiteral(MORVELLO_SOURCE_DIR))) {
        QVERIFY2(p.kind == CheckProblem::Missing && storyFiles.contains(p.file), qPrintable(problemLine(p)));
    }
}

void TstStoryChecks::program_data()
{
    QTest::addColumn<QString>("damage"); // what to break first
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");

    // How many files are read depends on the activities of the build.
    QTest::newRow("clean") << "" << "" << 0 << QStringList{"Tutto a posto: ", " file controllati, nessun problema."};
    QTest::newRow("the data folder itself") << "" << "permorvello" << 0
                                            << QStringList{"Tutto a posto: ", " file controllati, nessun problema."};
    QTest::newRow("a missing file") << "missing" << "" << 1
                                    << QStringList{"permorvello\\kukiaq.rtf: il file manca",
                                                   "Trovato un problema in "};
    QTest::newRow("a problem at a character")
        << "swapped" << "" << 1
        << QStringList{QStringLiteral("permorvello\\ilgattonerocol.rtf, carattere %1: qui dovrebbe esserci il colore "
                                      "della PRIMA sequenza (255,153,204) o della successiva, invece c'è quello della "
                                      "TERZA (255,204,153)")
                           .arg(plainOf(5).indexOf(QLatin1String("Sequenza 2")) + 1),
                       "Trovato un problema in "};
    QTest::newRow("a pipe in place of a content file") << "fifo" << "" << 1
                                                       << QStringList{"permorvello\\kukiaq.rtf: il file non si legge: ",
                                                                      "non è un file normale",
                                                                      "Trovato un problema in "};
    QTest::newRow("a pipe in place of a picture") << "fifo-picture" << "" << 1
                                                  << QStringList{"permorvello\\giusto.jpg: non è un file normale"};
    QTest::newRow("a pipe in place of the archive") << "fifo-archive" << "" << 1
                                                    << QStringList{"Permorvello\\testi1.mdb: l'archivio non si legge: ",
                                                                   "pipe"};
    QTest::newRow("archive rows that need a teacher's look")
        << "lookalike" << "" << 1
        << QStringList{"Permorvello\\testi1.mdb: le righe \"VERDI LUCA\", \"VERDI\tLUCA\" hanno nomi che si leggono come "
                       "un solo alunno",
                       "Trovato un problema in "};
    QTest::newRow("no data folder") << "" << "vuota" << 1
                                    << QStringList{"non c'è la cartella permorvello: indica la cartella che la contiene."};
}

void TstStoryChecks::program()
{
    QFETCH(QString, damage);
    QFETCH(QString, argument);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);

    QTemporaryDir dir;
    QVERIFY(makeGoodFolder(dir.path()));
    QVERIFY(copyShippedContent(QStringLiteral(MORVELLO_SOURCE_DIR "/permorvello"), dir.filePath("permorvello")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("vuota")));
    if (damage == QLatin1String("missing"))
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("permorvello/kukiaq.rtf"))));
    if (damage == QLatin1String("swapped"))
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("permorvello/ilgattonerocol.rtf")),
                                 rtfOf(colouredSource({P1, P3, P2, P4, P5}), Output::Plain)));

    const QString data = dir.filePath(QStringLiteral("permorvello/"));
    if (damage.startsWith(QLatin1String("fifo"))) {
        const QString file = damage == QLatin1String("fifo")           ? QStringLiteral("kukiaq.rtf")
                             : damage == QLatin1String("fifo-picture") ? QStringLiteral("giusto.jpg")
                                                                        : QStringLiteral("testi1.mdb");
        QFile::remove(data + file);
        QCOMPARE(::mkfifo(QFile::encodeName(data + file).constData(), 0600), 0);
    }
    if (damage == QLatin1String("lookalike")) {
        QVERIFY(Database::create(data + QStringLiteral("testi1.mdb"), schema::resultsDatabaseStatements()));
        auto db = Database::open(data + QStringLiteral("testi1.mdb"));
        for (const QString &name : {QStringLiteral("VERDI LUCA"), QStringLiteral("ROSSI ANNA"), QStringLiteral("VERDI\tLUCA")})
            QVERIFY(db->exec(QStringLiteral("INSERT INTO tabtesti (nome) VALUES (?)"), {name}));
    }

    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(MORVELLO_CHECK_EXE), argument.isEmpty() ? QStringList() : QStringList{argument});
    QVERIFY(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    for (const QString &line : lines)
        QVERIFY2(out.contains(line), qPrintable(out));
}

QTEST_MAIN(TstStoryChecks)
#include "tst_storychecks.moc"
