// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/catalogues.h"
#include "content/contentsource.h"
#include "content/contenttree.h"
#include "text/rtfreader.h"
#include "testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace morvello;
using namespace morvello::content;

namespace {

QString seenText(const QTextDocument &doc)
{
    QString t = doc.toRawText();
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    return t;
}

QTextCharFormat formatAt(const QTextDocument &doc, int pos)
{
    const QTextBlock b = doc.findBlock(pos);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (pos >= f.position() && pos < f.position() + f.length())
            return f.charFormat();
    }
    return QTextCharFormat();
}

// "colour highlight flags": auto or #rrggbb, none or #rrggbb, any of b i u or -.
QString describe(const QTextCharFormat &f)
{
    const QString colour =
        f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("auto");
    const QString highlight =
        f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QStringLiteral("none");
    QString flags;
    if (f.fontWeight() > QFont::Normal)
        flags += QLatin1Char('b');
    if (f.fontItalic())
        flags += QLatin1Char('i');
    if (f.fontUnderline())
        flags += QLatin1Char('u');
    return colour + QLatin1Char(' ') + highlight + QLatin1Char(' ') + (flags.isEmpty() ? QStringLiteral("-") : flags);
}

bool writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return test::writeBytes(path, text.toUtf8());
}

const QStringList Catalogues{"figure/catalogo.dati", "genette/catalogo.dati", "poesie/catalogo.dati",
                             "sequenze/espositivo.dati", "sequenze/narrativo.dati", "storie/catalogo.dati"};

// The shipped catalogues, which every content folder needs.
bool copyCatalogues(const QString &dir)
{
    for (const QString &rel : Catalogues) {
        QFile f(QStringLiteral(MORVELLO_SOURCE_DIR "/content/") + rel);
        if (!f.open(QIODevice::ReadOnly) || !writeText(QDir(dir).filePath(rel), QString::fromUtf8(f.readAll())))
            return false;
    }
    return true;
}

} // namespace

class TstContentTool : public QObject
{
    Q_OBJECT
private slots:
    void committedContentIsWhatTheToolWrites();

    void roundTrip_data();
    void roundTrip();
    void headerDefaults_data();
    void headerDefaults();
    void sourceErrors_data();
    void sourceErrors();

    void layout();
    void folderErrors_data();
    void folderErrors();
    void checkNamesEveryDifference();
    void catalogueErrors_data();
    void catalogueErrors();
};

void TstContentTool::committedContentIsWhatTheToolWrites()
{
    const QString root = QStringLiteral(MORVELLO_SOURCE_DIR);
    const Generation g = generateAll(root + QStringLiteral("/content"));
    QVERIFY2(g.errors.isEmpty(), qPrintable(g.errors.join(QLatin1Char('\n'))));
    const QStringList differences = compareAll(g, root + QStringLiteral("/permorvello")) + compareNotes(g);
    QVERIFY2(differences.isEmpty(),
             qPrintable(QStringLiteral("run tools/morvello-content content permorvello:\n") + differences.join('\n')));

    // And the same bytes from a second run into a fresh folder.
    QTemporaryDir tmp;
    QVERIFY(writeAll(g, tmp.path()).isEmpty());
    QVERIFY(compareAll(generateAll(root + QStringLiteral("/content")), tmp.path()).isEmpty());
}

void TstContentTool::roundTrip_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("text");      // what the program's reader sees, "\n" between paragraphs
    QTest::addColumn<QStringList>("probes"); // "word=colour highlight flags", for every character of the word's first occurrence

    const int plain = int(Output::Plain), story = int(Output::Story), solution = int(Output::Solution);

    QTest::newRow("one paragraph") << "Una riga." << plain << "Una riga." << QStringList{"riga=auto none -"};
    QTest::newRow("paragraphs and an empty one") << "uno\n\ndue\ntre" << plain << "uno\n\ndue\ntre" << QStringList{};
    QTest::newRow("trailing spaces and final empty lines dropped")
        << "uno   \ndue\t\n\n\n" << plain << "uno\ndue" << QStringList{};
    QTest::newRow("windows line ends") << "uno\r\ndue\r\n" << plain << "uno\ndue" << QStringList{};
    QTest::newRow("comments produce nothing") << "%% nota\nuno\n%% altra\ndue" << plain << "uno\ndue" << QStringList{};
    QTest::newRow("blank lines after the header") << "@size 12\n\n\nuno" << plain << "uno" << QStringList{};
    QTest::newRow("byte order mark") << QStringLiteral("\uFEFFuno") << plain << "uno" << QStringList{};
    QTest::newRow("bold italic underline")
        << "<b>forte</b> <i>piano</i> <u>sotto</u> <b><i><u>tutto</u></i></b> nulla" << plain
        << "forte piano sotto tutto nulla"
        << QStringList{"forte=auto none b", "piano=auto none i", "sotto=auto none u", "tutto=auto none biu",
                       "nulla=auto none -"};
    QTest::newRow("text colour") << "il <c #1a2B3c>cielo</c> e il mare" << plain << "il cielo e il mare"
                                 << QStringList{"cielo=#1a2b3c none -", "mare=auto none -"};
    QTest::newRow("innermost colour wins") << "<c #ff0000>a <c #0000ff>blu</c> rosso</c>" << plain << "a blu rosso"
                                           << QStringList{"blu=#0000ff none -", "rosso=#ff0000 none -"};
    QTest::newRow("highlight") << "il <h #ffcc00>tuono</h> rimbomba" << plain << "il tuono rimbomba"
                               << QStringList{"tuono=auto #ffcc00 -", "rimbomba=auto none -"};
    QTest::newRow("highlight with colour and bold")
        << "<h #c0ffc0><c #800000><b>bum</b></c></h>" << plain << "bum" << QStringList{"bum=#800000 #c0ffc0 b"};
    QTest::newRow("two highlights") << "<h #ff0000>uno</h> e <h #00ff00>due</h>" << plain << "uno e due"
                                    << QStringList{"uno=auto #ff0000 -", "due=auto #00ff00 -", "e=auto none -"};
    QTest::newRow("marks span lines") << "<i>prima\nseconda</i>\nterza" << plain << "prima\nseconda\nterza"
                                      << QStringList{"seconda=auto none i", "terza=auto none -"};
    QTest::newRow("header colour is the default")
        << "@color #336699\ntesto <c #000000>nero</c>" << plain << "testo nero"
        << QStringList{"testo=#336699 none -", "nero=#000000 none -"};
    QTest::newRow("accents quotes and dashes")
        << "«Perché?» — chiese. È già l’una… 5 €" << plain << "«Perché?» — chiese. È già l’una… 5 €"
        << QStringList{"Perché=auto none -"};
    QTest::newRow("beyond the basic plane") << QStringLiteral("sole \U0001F31E!") << plain
                                            << QStringLiteral("sole \U0001F31E!") << QStringList{};
    QTest::newRow("rtf specials are text") << "a {b} \\c\\par <<d> e>f" << plain << "a {b} \\c\\par <d> e>f"
                                           << QStringList{};
    QTest::newRow("tab") << "a\tb" << plain << "a\tb" << QStringList{};

    const QString tale = QStringLiteral("C'era una <b>volta</b> un re.\n<seq>Poi venne la guerra.\n\n"
                                        "Fu <seq>lunga; <i>infine</i> la pace.");
    const QString taleText = QStringLiteral("C'era una volta un re.\nPoi venne la guerra.\n\nFu lunga; infine la pace.");
    QTest::newRow("story is white") << tale << story << taleText
                                    << QStringList{"C'era=#ffffff none -", "volta=#ffffff none b", "guerra=#ffffff none -",
                                                   "lunga=#ffffff none -", "infine=#ffffff none i"};
    QTest::newRow("solution in sequence colours")
        << tale << solution << taleText
        << QStringList{"C'era=#ff99cc none -", "volta=#ff99cc none b", "Poi=#ffff99 none -", "Fu =#ffff99 none -",
                       "lunga=#ffcc99 none -", "infine=#ffcc99 none i"};
    QTest::newRow("five sequences")
        << "uno\n<seq>due\n<seq>tre\n<seq>quattro\n<seq>cinque" << solution << "uno\ndue\ntre\nquattro\ncinque"
        << QStringList{"uno=#ff99cc none -", "due=#ffff99 none -", "tre=#ffcc99 none -", "quattro=#99ccff none -",
                       "cinque=#ccffcc none -"};
}

void TstContentTool::roundTrip()
{
    QFETCH(QString, source);
    QFETCH(int, output);
    QFETCH(QString, text);
    QFETCH(QStringList, probes);

    Source s;
    QString error;
    QVERIFY2(parseSource(source.toUtf8(), &s, &error), qPrintable(error));
    const QByteArray rtf = writeRtf(s, Output(output));
    for (const char c : rtf)
        QVERIFY2(uchar(c) < 0x80, "the RTF must be plain ASCII");
    QVERIFY(rtf.contains("\\ansicpg1252"));

    QTextDocument doc;
    const RtfResult r = readRtf(rtf, &doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(seenText(doc), text);
    for (const QString &probe : probes) {
        const QString word = probe.section(QLatin1Char('='), 0, 0);
        const QString expected = probe.section(QLatin1Char('='), 1);
        const int at = int(text.indexOf(word));
        QVERIFY2(at >= 0, qPrintable(word));
        for (int i = at; i < at + word.size(); ++i)
            QCOMPARE(describe(formatAt(doc, i)), expected);
    }
}

void TstContentTool::headerDefaults_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("font");
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("align");
    QTest::addColumn<double>("indent"); // pixels at 96 dpi: twips / 15
    QTest::addColumn<double>("spacing");

    QTest::newRow("defaults") << "" << "Arial" << 12.0 << int(Qt::AlignLeft) << 0.0 << 0.0;
    QTest::newRow("font and half points") << "@font Times New Roman\n@size 13.5\n" << "Times New Roman" << 13.5
                                          << int(Qt::AlignLeft) << 0.0 << 0.0;
    QTest::newRow("poem indent") << "@indent 100\n@align center\n" << "Arial" << 12.0 << int(Qt::AlignHCenter)
                                 << 100 / 15.0 << 0.0;
    QTest::newRow("justified prose with spacing") << "%% prosa\n@align justify\n@spacing 120\n" << "Arial" << 12.0
                                                  << int(Qt::AlignJustify) << 0.0 << 8.0;
}

void TstContentTool::headerDefaults()
{
    QFETCH(QString, header);
    QFETCH(QString, font);
    QFETCH(double, points);
    QFETCH(int, align);
    QFETCH(double, indent);
    QFETCH(double, spacing);

    Source s;
    QString error;
    QVERIFY2(parseSource((header + QStringLiteral("primo\n<b>secondo</b>")).toUtf8(), &s, &error), qPrintable(error));
    QTextDocument doc;
    QVERIFY(readRtf(writeRtf(s, Output::Plain), &doc).ok);
    QCOMPARE(doc.blockCount(), 2);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QCOMPARE(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask), align);
        QCOMPARE(b.blockFormat().leftMargin(), indent);
        QCOMPARE(b.blockFormat().bottomMargin(), spacing);
        const QTextCharFormat f = formatAt(doc, b.position());
        QCOMPARE(f.fontFamilies().toStringList().value(0), font);
        QCOMPARE(f.fontPointSize(), points);
    }
}

void TstContentTool::sourceErrors_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("error"); // the start of the message

    QTest::newRow("unknown mark") << QByteArray("uno\ndue <x> tre") << "riga 2: segno sconosciuto <x>";
    QTest::newRow("lone less-than") << QByteArray("3 < 4") << "riga 1: segno aperto con <";
    QTest::newRow("mark never closed") << QByteArray("a\n<b>uno\ndue") << "riga 2: il segno <b> non è mai chiuso";
    QTest::newRow("crossed marks") << QByteArray("<b><i>x</b></i>") << "riga 1: </b> arriva prima della chiusura di <i>";
    QTest::newRow("close never opened") << QByteArray("x</i>") << "riga 1: </i> chiude un segno mai aperto";
    QTest::newRow("bad colour") << QByteArray("<c red>x</c>") << "riga 1: <c red>: scrivi il colore come #RRGGBB";
    QTest::newRow("short colour") << QByteArray("<h #fff>x</h>") << "riga 1: <h #fff>: scrivi il colore";
    QTest::newRow("unknown header") << QByteArray("@colour #ffffff\nx") << "riga 1: intestazione sconosciuta @colour";
    QTest::newRow("size not in half points") << QByteArray("@size 12.3\nx") << "riga 1: @size:";
    QTest::newRow("size missing") << QByteArray("@size\nx") << "riga 1: @size: manca il valore";
    QTest::newRow("bad alignment") << QByteArray("@align right\nx") << "riga 1: @align:";
    QTest::newRow("negative indent") << QByteArray("@indent -5\nx") << "riga 1: @indent:";
    QTest::newRow("sequence mark first") << QByteArray("<seq>uno\n<seq>due") << "riga 1: la sequenza 1 è vuota";
    QTest::newRow("two marks in a row") << QByteArray("uno\n<seq>\n <seq>due") << "riga 3: la sequenza 2 è vuota";
    QTest::newRow("mark at the end") << QByteArray("uno\n<seq>\n") << "riga 3: l'ultima sequenza è vuota";
    QTest::newRow("six sequences") << QByteArray("1<seq>2<seq>3<seq>4<seq>5<seq>6") << "riga 1: troppe sequenze";
    QTest::newRow("not utf-8") << QByteArray("citt\xe0") << "il file non è in UTF-8";
    QTest::newRow("control character") << QByteArray("a\x01" "b") << "riga 1: carattere di controllo 1";
    QTest::newRow("only comments") << QByteArray("%% niente\n\n") << "riga 3: il file non contiene testo";
}

void TstContentTool::sourceErrors()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, error);
    Source s;
    QString message;
    QVERIFY(!parseSource(source, &s, &message));
    QVERIFY2(message.startsWith(error), qPrintable(message));
}

void TstContentTool::layout()
{
    QTemporaryDir src;
    QVERIFY(copyCatalogues(src.path()));
    QVERIFY(writeText(src.filePath("storie/ilgattonero.txt"), "a\n<seq>b\n<seq>c\n<seq>d\n<seq>e"));
    QVERIFY(writeText(src.filePath("storie/icgattonero.txt"), "Un aiuto."));
    QVERIFY(writeText(src.filePath("storie/KEYS.md"), "note"));
    QVERIFY(writeText(src.filePath("genette/ordine1.txt"), "Un passo."));
    QVERIFY(writeText(src.filePath("poesie/Autunno.txt"), "Foglie."));
    QVERIFY(writeText(src.filePath("figure/Anafo3.txt"), "Ancora."));

    const Generation g = generateAll(src.path());
    QVERIFY2(g.errors.isEmpty(), qPrintable(g.errors.join('\n')));
    QStringList paths;
    for (const GeneratedFile &f : g.files)
        paths.append(f.path);
    QCOMPARE(paths, (QStringList{"Anafo3.rtf", "Autunno.rtf", "genette/ordine1.rtf", "icgattonero.rtf",
                                 "ilgattonero.rtf", "ilgattonerocol.rtf"}));

    QTemporaryDir out;
    QVERIFY(writeAll(g, out.path()).isEmpty());
    QTextDocument story, solution;
    QVERIFY(readRtfFile(out.filePath("ilgattonero.rtf"), &story).ok);
    QVERIFY(readRtfFile(out.filePath("ilgattonerocol.rtf"), &solution).ok);
    QCOMPARE(seenText(story), seenText(solution));
    QCOMPARE(seenText(story), QStringLiteral("a\nb\nc\nd\ne"));

    // Folders named from the working directory, as on the command line.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFileInfo(src.path()).absolutePath()));
    const QString srcName = QFileInfo(src.path()).fileName();
    const QString outName = QDir::current().relativeFilePath(out.path());
    const Generation relative = generateAll(srcName);
    const QStringList differences = compareAll(relative, outName);
    QDir::setCurrent(before);
    QVERIFY2(relative.errors.isEmpty(), qPrintable(relative.errors.join('\n')));
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join('\n')));
}

void TstContentTool::folderErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("error");

    QTest::newRow("sequences outside the stories") << "poesie/tuono.txt" << "a<seq>b"
                                                   << "poesie/tuono.txt: <seq> vale solo per le storie";
    QTest::newRow("story with a colour") << "storie/kukiaq.txt" << "a<seq><c #ff0000>b</c><seq>c<seq>d<seq>e"
                                         << "storie/kukiaq.txt: una storia non ha colori propri";
    QTest::newRow("story with a default colour") << "storie/kukiaq.txt" << "@color #000000\na<seq>b<seq>c<seq>d<seq>e"
                                                 << "storie/kukiaq.txt: una storia non ha colori propri";
    QTest::newRow("story not in the catalogue") << "storie/cappuccetto.txt" << "a<seq>b"
                                                << "storie/cappuccetto.txt: cappuccetto non è una storia del catalogo";
    QTest::newRow("sequences against the catalogue") << "storie/affittacamere.txt" << "a<seq>b<seq>c<seq>d<seq>e"
                                                     << "storie/affittacamere.txt: 5 sequenze, il catalogo ne prevede 4";
    QTest::newRow("two sources for one file") << "figure/ilgattonero.txt" << "x"
                                              << "storie/ilgattonero.txt: anche figure/ilgattonero.txt produce ilgattonero.rtf";
    QTest::newRow("nested folder") << "poesie/vecchie/tuono.txt" << "x"
                                   << "poesie/vecchie/tuono.txt: le sorgenti stanno in una sola cartella";
    QTest::newRow("error names the source") << "genette/voce1.txt" << "\n\n<b>x" << "genette/voce1.txt, riga 3:";
}

void TstContentTool::folderErrors()
{
    QFETCH(QString, file);
    QFETCH(QString, source);
    QFETCH(QString, error);
    QTemporaryDir src;
    QVERIFY(copyCatalogues(src.path()));
    QVERIFY(writeText(src.filePath("storie/ilgattonero.txt"), "a\n<seq>b\n<seq>c\n<seq>d\n<seq>e"));
    QVERIFY(writeText(src.filePath(file), source));
    const Generation g = generateAll(src.path());
    QCOMPARE(g.errors.size(), 1);
    QVERIFY2(g.errors.first().startsWith(error), qPrintable(g.errors.first()));
}

void TstContentTool::checkNamesEveryDifference()
{
    QTemporaryDir src, out;
    QVERIFY(copyCatalogues(src.path()));
    QVERIFY(writeText(src.filePath("genette/ordine1.txt"), "uno"));
    QVERIFY(writeText(src.filePath("genette/ordine2.txt"), "due"));
    QVERIFY(writeText(src.filePath("poesie/tuono.txt"), "tre"));
    Generation g = generateAll(src.path());
    QVERIFY(writeAll(g, out.path()).isEmpty());
    QVERIFY(compareAll(g, out.path()).isEmpty());

    QVERIFY(writeText(out.filePath("genette/ordine1.rtf"), "{\\rtf1 uno a mano}"));
    QVERIFY(QFile::remove(out.filePath("tuono.rtf")));
    QVERIFY(writeText(out.filePath("orfano.rtf"), "{\\rtf1 x}"));
    QVERIFY(writeText(out.filePath("LEGGIMI.txt"), "non è contenuto"));
    QCOMPARE(compareAll(g, out.path()),
             (QStringList{"genette/ordine1.rtf: è diverso da quello che scrive lo strumento", "tuono.rtf: manca",
                          "orfano.rtf: nessuna sorgente lo produce"}));

    // Writing again mends all but the orphan, which is not the tool's to remove.
    QVERIFY(writeAll(g, out.path()).isEmpty());
    QCOMPARE(compareAll(g, out.path()), QStringList{"orfano.rtf: nessuna sorgente lo produce"});
}

// Each rule of the catalogues once: the shipped catalogues, one of them
// changed by replacing a line; the message names the file and the line.
void TstContentTool::catalogueErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("line");        // a line of the shipped file
    QTest::addColumn<QString>("replacement"); // what it becomes
    QTest::addColumn<QString>("error");       // the line number is that of the replaced line

    const QString seq = "sequenze/espositivo.dati", story = "storie/catalogo.dati", genette = "genette/catalogo.dati",
                  poems = "poesie/catalogo.dati", figures = "figure/catalogo.dati";
    QTest::newRow("not key and value") << seq << "scelta: Hai letto.." << "Hai letto.."
                                       << "riga @: scrivi «chiave: valore»";
    QTest::newRow("continued on an indented line")
        << story << "fonte: Testo proprio" << "fonte: Testo\n   proprio" << "riga @+1: scrivi «chiave: valore»";
    QTest::newRow("unknown heading") << story << "[storia]" << "[racconto]" << "riga @: [racconto] non è un titolo";
    QTest::newRow("unknown key") << story << "aiuto: icgattonero" << "suggerimento: icgattonero"
                                 << "riga @: chiave sconosciuta «suggerimento»";
    QTest::newRow("key twice") << story << "aiuto: icgattonero" << "aiuto: icgattonero\naiuto: altro"
                               << "riga @+1: «aiuto» c'è già";
    QTest::newRow("key missing") << story << "aiuto: icgattonero" << "%% senza aiuto" << "riga @-3: manca «aiuto»";
    QTest::newRow("not a number") << "sequenze/narrativo.dati" << "divisore: 73" << "divisore: settanta"
                                  << "riga @: «divisore» vuole un numero da 20 a 200";
    QTest::newRow("type not in the vocabulary")
        << seq << "tipo: Definisce\n" << "tipo: Definisce\n\n[testo]\nscelta: x\n[sequenza]\ntipo: Racconta\ndivisore: 70\ntesto: y\n"
        << "riga @+5: il tipo «Racconta» non è tra i tipi del catalogo";
    QTest::newRow("sequence before its passage")
        << seq << "tipo: Definisce\n" << "tipo: Definisce\n[sequenza]\n" << "riga @+1: una [sequenza] viene dopo";
    QTest::newRow("too few sequences") << seq << "scelta: Hai letto.." << "scelta: Hai letto..\n[testo]\nscelta: Vuoto"
                                       << "sequenze/espositivo.dati: il testo 8 ha 0 sequenze";
    QTest::newRow("story sequences against their notes")
        << story << "sequenze: 4" << "sequenze: 3" << "riga @-4: 4 righe «sequenza» per 3 sequenze";
    QTest::newRow("answer beyond the options") << genette << "risposta: 3" << "risposta: 4"
                                               << "riga @: «risposta» vuole un numero da 0 a 3";
    QTest::newRow("one option only") << genette << "opzione: RACCONTO ITERATIVO" << "nota: una sola"
                                     << "un concetto ha da 2 a 4 opzioni, non 1";
    QTest::newRow("meaning beyond the sentences") << poems << "giusta: 3" << "giusta: 4"
                                                  << "riga @: «giusta» vuole un numero da 0 a 3";
    QTest::newRow("three sentences") << poems << "significato: il nonno si vergogna" << "nota: nessuna"
                                     << "una poesia ha 4 frasi «significato», non 3";
    QTest::newRow("draw used twice") << figures << "estrazioni: 3 13 21" << "estrazioni: 3 13 3"
                                     << "riga @: «estrazioni» vuole tre numeri da 1 a 30";
    QTest::newRow("definition of two figures") << figures << "definizione: 2:" << "definizione: 4:"
                                               << "riga @: la definizione 4 è già di un'altra figura";
}

void TstContentTool::catalogueErrors()
{
    QFETCH(QString, file);
    QFETCH(QString, line);
    QFETCH(QString, replacement);
    QFETCH(QString, error);
    QTemporaryDir src;
    QVERIFY(copyCatalogues(src.path()));
    QFile f(src.filePath(file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    f.close();
    const int at = int(text.indexOf(line));
    QVERIFY2(at >= 0, qPrintable(line));
    const int lineNo = int(text.left(at).count(QLatin1Char('\n'))) + 1;
    const int end = int(text.indexOf(QLatin1Char('\n'), at));
    text.replace(at, (end < 0 ? int(text.size()) : end) - at, replacement.endsWith('\n') ? replacement.chopped(1) : replacement);
    QVERIFY(writeText(src.filePath(file), text));

    // "@" is the replaced line, "@+1" the one after it.
    static const QRegularExpression marker(QStringLiteral("@([+-]\\d+)?"));
    const QRegularExpressionMatch m = marker.match(error);
    if (m.hasMatch())
        error.replace(m.capturedStart(), m.capturedLength(), QString::number(lineNo + m.captured(1).toInt()));
    const morvello::content::Catalogues c = readCatalogues(src.path());
    QVERIFY(!c.errors.isEmpty());
    QVERIFY2(c.errors.first().startsWith(file), qPrintable(c.errors.first()));
    QVERIFY2(c.errors.first().contains(error), qPrintable(c.errors.join('\n') + "\nexpected: " + error));
}

QTEST_MAIN(TstContentTool)
#include "tst_contenttool.moc"
