#include "text/rtfreader.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <tuple>

using namespace morvello;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// What a reader sees: paragraphs and line breaks as "\n", NBSP kept.
QString seenText(const QTextDocument &doc)
{
    QString t = doc.toRawText();
    t.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    t.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
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

QString colourName(const QTextCharFormat &f)
{
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("auto");
}

QString backgroundName(const QTextCharFormat &f)
{
    return f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QStringLiteral("none");
}

QString alignName(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (a & Qt::AlignRight)
        return QStringLiteral("end");
    if (a & Qt::AlignJustify)
        return QStringLiteral("justify");
    return QStringLiteral("start");
}

QString unescapeTsv(const QString &s)
{
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s.at(i + 1);
            if (n == QLatin1Char('t')) { out += QLatin1Char('\t'); ++i; continue; }
            if (n == QLatin1Char('n')) { out += QLatin1Char('\n'); ++i; continue; }
            if (s.mid(i, 6) == QLatin1String("\\u00a0")) { out += QChar(0xA0); i += 5; continue; }
        }
        out += s.at(i);
    }
    return out;
}

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
           "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue255;}"
           + body + "}";
}

} // namespace

class TstRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void corpusPlainText_data();
    void corpusPlainText();
    void corpusRuns_data();
    void corpusRuns();
    void corpusColouredWords_data();
    void corpusColouredWords();

    void text_data();
    void text();
    void characterFormat_data();
    void characterFormat();
    void alignment_data();
    void alignment();
    void indents();

    void malformed_data();
    void malformed();
    void deepNestingIsRefused();
    void nestingWithinBoundIsRead();
    void tooManyParagraphsIsRefused();
    void tooManyRunsIsRefused();
    void randomGarbageNeverCrashes();
    void truncatedCorpusFilesNeverCrash();

    void fileMissing();
    void fileIsFolder();
    void fileTooLarge();
    void failureEmptiesPreviousContent();
};

// One row per file of the repository's corpus that has the expected file
// (".txt" or ".runs.tsv"), then the same for the extra corpus, or one row
// that skips when it is not given. The row holds the path without extension.
static void addCorpusRows(const QString &expected)
{
    QTest::addColumn<QString>("stem");
    const QDir own(test::dataPath(QStringLiteral("rtf")));
    const QStringList files = own.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    int rows = 0;
    for (const QString &f : files) {
        const QString stem = own.filePath(QFileInfo(f).completeBaseName());
        if (QFileInfo::exists(stem + expected)) {
            QTest::newRow(qPrintable(QFileInfo(f).completeBaseName())) << stem;
            ++rows;
        }
    }
    // The corpus is part of the repository: an empty table means it is lost.
    if (rows < 8)
        qFatal("the RTF corpus under tests/data/rtf has %d files with %s", rows, qPrintable(expected));

    const QString shared = test::sharedCorpus();
    if (shared.isEmpty()) {
        QTest::newRow("extra corpus") << QString();
        return;
    }
    const QDir dir(shared);
    for (const QString &f : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        const QString stem = dir.filePath(QFileInfo(f).completeBaseName());
        if (QFileInfo::exists(stem + expected))
            QTest::newRow(qPrintable(QStringLiteral("extra/") + QFileInfo(f).completeBaseName())) << stem;
    }
}

void TstRtfReader::corpusPlainText_data() { addCorpusRows(QStringLiteral(".txt")); }

void TstRtfReader::corpusPlainText()
{
    QFETCH(QString, stem);
    if (stem.isEmpty())
        QSKIP(test::sharedCorpusAbsent);
    QTextDocument doc;
    const RtfResult r = readRtfFile(stem + QStringLiteral(".rtf"), &doc);
    QVERIFY2(r.ok, qPrintable(r.error));

    QString expected = QString::fromUtf8(readAll(stem + QStringLiteral(".txt")));
    QVERIFY(expected.endsWith(QLatin1Char('\n')));
    expected.chop(1);
    QCOMPARE(seenText(doc), expected);
    expected.replace(QChar(0xA0), QLatin1Char(' '));
    QCOMPARE(doc.toPlainText(), expected);
}

void TstRtfReader::corpusRuns_data() { addCorpusRows(QStringLiteral(".runs.tsv")); }

// Every character's colour, background, weight, slant, underline, size and
// its paragraph's alignment, against what LibreOffice reads from the same
// file (or, for the hand-written files, what their author meant). Files
// without a background column say nothing of backgrounds.
void TstRtfReader::corpusRuns()
{
    QFETCH(QString, stem);
    if (stem.isEmpty())
        QSKIP(test::sharedCorpusAbsent);
    QTextDocument doc;
    const RtfResult r = readRtfFile(stem + QStringLiteral(".rtf"), &doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    const QString text = seenText(doc);
    const QString name = QFileInfo(stem).fileName();

    const QStringList lines = QString::fromUtf8(readAll(stem + QStringLiteral(".runs.tsv")))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 1);
    const QStringList header = lines.at(0).split(QLatin1Char('\t'));
    const int cPara = int(header.indexOf(QStringLiteral("para")));
    const int cText = int(header.indexOf(QStringLiteral("text")));
    const int cColour = int(header.indexOf(QStringLiteral("colour")));
    const int cBack = int(header.indexOf(QStringLiteral("background"))); // may be missing
    const int cBold = int(header.indexOf(QStringLiteral("bold")));
    const int cItalic = int(header.indexOf(QStringLiteral("italic")));
    const int cUnder = int(header.indexOf(QStringLiteral("underline")));
    const int cSize = int(header.indexOf(QStringLiteral("size_pt")));
    const int cAlign = int(header.indexOf(QStringLiteral("align")));
    QVERIFY(cPara >= 0 && cText >= 0 && cColour >= 0 && cBold >= 0 && cItalic >= 0 && cUnder >= 0
            && cSize >= 0 && cAlign >= 0);
    int pos = 0;
    QString para;
    int checked = 0;
    for (int l = 1; l < lines.size(); ++l) {
        const QStringList f = lines.at(l).split(QLatin1Char('\t'));
        QCOMPARE(f.size(), header.size());
        if (!para.isEmpty() && f.at(cPara) != para)
            ++pos; // the paragraph end
        para = f.at(cPara);
        const QString runText = unescapeTsv(f.at(cText));
        QCOMPARE(text.mid(pos, runText.size()), runText);
        if (!runText.isEmpty())
            QCOMPARE(alignName(doc.findBlock(pos).blockFormat().alignment()), f.at(cAlign));
        for (int i = 0; i < runText.size(); ++i, ++pos) {
            const QTextCharFormat cf = formatAt(doc, pos);
            const QString where = QStringLiteral("%1 at %2 in \"%3\"").arg(name).arg(pos).arg(runText);
            QVERIFY2(colourName(cf) == f.at(cColour), qPrintable(where + QStringLiteral(": colour ") + colourName(cf)));
            if (cBack >= 0)
                QVERIFY2(backgroundName(cf) == f.at(cBack),
                         qPrintable(where + QStringLiteral(": background ") + backgroundName(cf)));
            QVERIFY2((cf.fontWeight() > QFont::Normal) == (f.at(cBold) == QLatin1String("1")), qPrintable(where));
            QVERIFY2(cf.fontItalic() == (f.at(cItalic) == QLatin1String("1")), qPrintable(where));
            QVERIFY2(cf.fontUnderline() == (f.at(cUnder) == QLatin1String("1")), qPrintable(where));
            QVERIFY2(qFuzzyCompare(cf.fontPointSize(), f.at(cSize).toDouble()), qPrintable(where));
            ++checked;
        }
    }
    QCOMPARE(pos, text.size());
    QVERIFY(checked > 50);
}

void TstRtfReader::corpusColouredWords_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("layer");  // "text" or "background"
    QTest::addColumn<QString>("colour"); // "auto" / "none" or #rrggbb

    for (const char *n : {"it-libreoffice", "it-libreoffice-html", "it-abiword"}) {
        const QByteArray file(n);
        const QString name = QString::fromLatin1(n);
        QTest::newRow(file + " mele") << name << "mele" << "text" << "#ff0000";
        QTest::newRow(file + " bancone") << name << "bancone" << "text" << "#0000ff";
        QTest::newRow(file + " limoni") << name << "limoni" << "text" << "#008000";
        QTest::newRow(file + " nebbia (white)") << name << "nebbia" << "text" << "#ffffff";
        QTest::newRow(file + " rise") << name << "rise" << "text" << "#800080";
        QTest::newRow(file + " Quarta riga") << name << "Quarta riga" << "text" << "#ff0000";
        QTest::newRow(file + " nero deciso") << name << "nero deciso" << "text" << "#000000";
        QTest::newRow(file + " no background") << name << "mele" << "background" << "none";
    }
    // \cf0 over a table that starts with an empty entry is no colour at all.
    QTest::newRow("libreoffice plain text is auto") << "it-libreoffice" << QStringLiteral("Chi porta") << "text" << "auto";
    QTest::newRow("libreoffice bold word is auto") << "it-libreoffice" << QStringLiteral("Tommaso") << "text" << "auto";
    // AbiWord's table has no automatic entry: its plain text is explicit black.
    QTest::newRow("abiword plain text is black") << "it-abiword" << QStringLiteral("Chi porta") << "text" << "#000000";
    QTest::newRow("pandoc drops colours") << "it-pandoc-html" << "mele" << "text" << "auto";

    // Backgrounds: LibreOffice writes \chcbpat, AbiWord \highlight and \cb.
    for (const char *n : {"highlight-libreoffice", "highlight-abiword"}) {
        const QByteArray file(n);
        const QString name = QString::fromLatin1(n);
        QTest::newRow(file + " yellow") << name << "il faro veglia" << "background" << "#ffff00";
        QTest::newRow(file + " cyan") << name << "come un braccio" << "background" << "#00ffff";
        QTest::newRow(file + " green under blue") << name << "un mare di velluto" << "background" << "#00ff00";
        QTest::newRow(file + " blue over green") << name << "un mare di velluto" << "text" << "#0000ff";
        QTest::newRow(file + " magenta") << name << "sussurra" << "background" << "#ff00ff";
        QTest::newRow(file + " silver") << name << "stanco" << "background" << "#c0c0c0";
        QTest::newRow(file + " title has none") << name << "Il faro" << "background" << "none";
    }
    QTest::newRow("highlight beats shading") << "mend-highlight" << "sopra" << "background" << "#ffff00";
    QTest::newRow("shading after a highlight stays under it") << "mend-highlight" << "sotto" << "background" << "#ffff00";
    QTest::newRow("highlight0 inside a highlight") << "mend-highlight" << "niente" << "background" << "none";
    QTest::newRow("highlight past the table") << "mend-highlight" << "fuori" << "background" << "none";
    QTest::newRow("character style highlight") << "mend-highlight" << "stile" << "background" << "#00ffff";
}

void TstRtfReader::corpusColouredWords()
{
    QFETCH(QString, name);
    QFETCH(QString, word);
    QFETCH(QString, layer);
    QFETCH(QString, colour);
    QTextDocument doc;
    QVERIFY(readRtfFile(test::dataPath(QStringLiteral("rtf/%1.rtf").arg(name)), &doc).ok);
    const bool text = layer == QLatin1String("text");
    auto nameOf = [text](const QTextCharFormat &f) { return text ? colourName(f) : backgroundName(f); };
    const int at = seenText(doc).indexOf(word);
    QVERIFY(at >= 0);
    for (int i = 0; i < word.size(); ++i)
        QCOMPARE(nameOf(formatAt(doc, at + i)), colour);
    // The neighbours of a painted word are not painted with it.
    if (colour != QLatin1String("auto") && colour != QLatin1String("none") && !name.contains(QLatin1String("abiword")))
        QCOMPARE(nameOf(formatAt(doc, at - 1)), text ? QStringLiteral("auto") : QStringLiteral("none"));
}

void TstRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected"); // seenText: "\n" between paragraphs and for \line

    // Code pages and hex escapes
    QTest::newRow("hex 1252") << QByteArray("caff\\'e8 \\'80 \\'93x\\'94") << QStringLiteral("caffè € “x”");
    QTest::newRow("hex upper case") << QByteArray("\\'C8 vero") << QStringLiteral("È vero");
    QTest::newRow("raw high byte") << QByteArray("t\xe8") << QStringLiteral("tè");
    QTest::newRow("ansicpg1250") << QByteArray("\\ansicpg1250 \\'9aa") << QStringLiteral("ša");
    QTest::newRow("font charset 204") << QByteArray("{\\fonttbl{\\f5\\fcharset204 Cyr;}}{\\f5 \\'e0}")
                                      << QStringLiteral("а");
    QTest::newRow("unknown code page reads as western") << QByteArray("\\ansicpg99999 \\'e8") << QStringLiteral("è");
    // A font's charset beats the document's code page; a font without one,
    // or with the "default" charset 1, follows the document.
    const QByteArray fonts = "{\\fonttbl{\\f2\\fcharset0 W;}{\\f3\\fcharset161 G;}{\\f4 N;}{\\f5\\fcharset1 D;}"
                             "{\\f6\\fcharset238 C;}{\\f7\\fcharset77 M;}{\\f8\\fcharset85 MG;}"
                             "{\\f9\\fcharset999 X;}{\\f10\\fcharset204\\cpg1250 P;}}";
    QTest::newRow("western font in a greek document")
        << QByteArray("\\ansicpg1253" + fonts + "{\\f2 tre \\'e8 cos\\'ec}") << QStringLiteral("tre è così");
    QTest::newRow("greek font in a western document") << QByteArray(fonts + "{\\f3 \\'e1\\'e2}") << QStringLiteral("αβ");
    QTest::newRow("font without charset follows the document")
        << QByteArray("\\ansicpg1253" + fonts + "{\\f4 \\'e1}") << QStringLiteral("α");
    QTest::newRow("default charset follows the document")
        << QByteArray("\\ansicpg1251" + fonts + "{\\f5 \\'e0}") << QStringLiteral("а");
    QTest::newRow("central european font") << QByteArray(fonts + "{\\f6 \\'9a\\'e8\\'f8}") << QStringLiteral("ščř");
    QTest::newRow("mac roman font") << QByteArray(fonts + "{\\f7 \\'8e}") << QStringLiteral("é");
    QTest::newRow("mac greek font") << QByteArray(fonts + "{\\f8 \\'e1}") << QStringLiteral("α");
    for (const auto &[charset, byte, text] : {std::tuple{89, "80", u"А"}, std::tuple{88, "81", u"Ā"},
                                              std::tuple{86, "da", u"Ğ"}, std::tuple{162, "f0", u"ğ"},
                                              std::tuple{186, "e0", u"ą"}, std::tuple{177, "e0", u"א"},
                                              std::tuple{178, "c7", u"ا"}, std::tuple{222, "a1", u"ก"},
                                              std::tuple{163, "e0", u"à"}, std::tuple{255, "82", u"é"},
                                              std::tuple{254, "82", u"é"}, std::tuple{128, "b1", u"ｱ"}})
        QTest::newRow(qPrintable(QStringLiteral("charset %1").arg(charset)))
            << QByteArray("{\\fonttbl{\\f2\\fcharset" + QByteArray::number(charset) + " F;}}{\\f2\\'" + byte + "}")
            << QString::fromUtf16(text);
    QTest::newRow("unknown charset follows the document")
        << QByteArray("\\ansicpg1250" + fonts + "{\\f9 \\'9a}") << QStringLiteral("š");
    QTest::newRow("font code page beats its charset") << QByteArray(fonts + "{\\f10 \\'9a}") << QStringLiteral("š");
    QTest::newRow("charset switches with the font")
        << QByteArray(fonts + "\\f3\\'e1\\f2\\'e8{\\f6\\'e8}\\'e8") << QStringLiteral("αèčè");
    QTest::newRow("half hex escape") << QByteArray("a\\'e") << QStringLiteral("a");
    QTest::newRow("hex without digits") << QByteArray("a\\'zz") << QStringLiteral("azz");

    // Unicode and fallback skipping
    QTest::newRow("u with hex fallback") << QByteArray("citt\\u224\\'e0!") << QStringLiteral("città!");
    QTest::newRow("u with ascii fallback") << QByteArray("Per\\u242?") << QStringLiteral("Però");
    QTest::newRow("u fallback is a quote") << QByteArray("L\\u8217'ultimo") << QStringLiteral("L’ultimo");
    QTest::newRow("uc0 skips nothing") << QByteArray("\\uc0\\u8594  x") << QStringLiteral("→ x");
    QTest::newRow("uc2 skips two") << QByteArray("\\uc2\\u233 ab c") << QStringLiteral("é c");
    QTest::newRow("uc2 counts hex escapes") << QByteArray("\\uc2\\u8364\\'80\\'80x") << QStringLiteral("€x");
    QTest::newRow("uc is scoped to the group") << QByteArray("{\\uc0 \\u233 a}\\u233 ab") << QStringLiteral("éaéb");
    QTest::newRow("skipping stops at a group end") << QByteArray("{\\uc3\\u233}ab") << QStringLiteral("éab");
    QTest::newRow("control word counts as one") << QByteArray("\\u233\\emdash x") << QStringLiteral("éx");
    QTest::newRow("negative u") << QByteArray("\\u-4064?") << QString(QChar(0xF020));
    QTest::newRow("surrogate pair") << QByteArray("\\u-10179?\\u-8694?") << QString::fromUtf8("\xF0\x9F\x98\x8A");
    QTest::newRow("lone surrogate") << QByteArray("\\u-10179?x") << QStringLiteral("\uFFFDx");
    QTest::newRow("huge u ignored") << QByteArray("a\\u99999999999?b") << QStringLiteral("ab");
    QTest::newRow("u control character dropped") << QByteArray("a\\u10?b\\u8233?c") << QStringLiteral("ab\nc");

    // Symbols
    QTest::newRow("escaped braces and backslash") << QByteArray("a\\\\b\\{c\\}") << QStringLiteral("a\\b{c}");
    QTest::newRow("nbsp") << QByteArray("n.\\~1") << QStringLiteral("n.\u00a01");
    QTest::newRow("soft and hard hyphen") << QByteArray("a\\-b\\_c") << QStringLiteral("a\u00adb\u2011c");
    QTest::newRow("dashes and quotes")
        << QByteArray("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet")
        << QStringLiteral("—–‘’“”•");
    QTest::newRow("spaces") << QByteArray("\\emspace\\enspace\\qmspace") << QStringLiteral("\u2003\u2002\u2005");
    QTest::newRow("unknown symbol") << QByteArray("a\\:b\\|c") << QStringLiteral("abc");

    // Paragraphs, lines, tabs
    QTest::newRow("tab") << QByteArray("a\\tab b") << QStringLiteral("a\tb");
    QTest::newRow("literal tab") << QByteArray("a\tb") << QStringLiteral("a\tb");
    QTest::newRow("line") << QByteArray("a\\line b") << QStringLiteral("a\nb");
    QTest::newRow("par") << QByteArray("a\\par b") << QStringLiteral("a\nb");
    QTest::newRow("final par adds no paragraph") << QByteArray("a\\par ") << QStringLiteral("a");
    QTest::newRow("empty paragraph") << QByteArray("a\\par\\par b\\par") << QStringLiteral("a\n\nb");
    QTest::newRow("two final pars") << QByteArray("a\\par\\par") << QStringLiteral("a\n");
    QTest::newRow("backslash newline is par") << QByteArray("a\\\nb") << QStringLiteral("a\nb");
    QTest::newRow("source line breaks ignored") << QByteArray("a\r\nb\nc") << QStringLiteral("abc");
    QTest::newRow("cell ends a paragraph") << QByteArray("\\intbl a\\cell b\\cell\\row c") << QStringLiteral("a\nb\nc");
    QTest::newRow("page after par adds nothing") << QByteArray("a\\par\\page b") << QStringLiteral("a\nb");
    QTest::newRow("page ends a paragraph") << QByteArray("a\\page b") << QStringLiteral("a\nb");
    QTest::newRow("column ends a paragraph") << QByteArray("a\\column b") << QStringLiteral("a\nb");
    QTest::newRow("column after par adds nothing") << QByteArray("a\\par\\column b") << QStringLiteral("a\nb");
    QTest::newRow("nonesttables skipped")
        << QByteArray("\\intbl\\itap2 x\\nestcell{\\*\\nesttableprops\\nestrow}{\\nonesttables\\par}\\itap1 y\\cell\\row")
        << QStringLiteral("x\ny");
    QTest::newRow("pandoc paragraph groups") << QByteArray("{\\pard \\qc T\\par}{\\pard \\par}{\\pard x\\par}")
                                             << QStringLiteral("T\n\nx");

    // Groups and destinations
    QTest::newRow("nested groups") << QByteArray("a{b{c}d}e") << QStringLiteral("abcde");
    QTest::newRow("ignorable unknown") << QByteArray("a{\\*\\mystery b{c}d}e") << QStringLiteral("ae");
    QTest::newRow("ignorable known") << QByteArray("a{\\*\\generator LibreOffice;}b") << QStringLiteral("ab");
    QTest::newRow("info") << QByteArray("{\\info{\\title Verona}{\\author Io}}x") << QStringLiteral("x");
    QTest::newRow("header footer") << QByteArray("{\\header H}{\\footerr F}x") << QStringLiteral("x");
    QTest::newRow("pict hex") << QByteArray("{\\pict\\pngblip 89504e47}x") << QStringLiteral("x");
    QTest::newRow("pict bin with braces") << QByteArray("{\\pict\\bin4 }}{{}x") << QStringLiteral("x");
    QTest::newRow("bin in ignorable") << QByteArray("{\\*\\data\\bin3 }}{}a") << QStringLiteral("a");
    QTest::newRow("stylesheet") << QByteArray("{\\stylesheet{\\s0 Normal;}{\\*\\cs1 Strong;}}x") << QStringLiteral("x");
    QTest::newRow("listtable") << QByteArray("{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'01\\u-3913 ?;}}}}x")
                               << QStringLiteral("x");
    QTest::newRow("list text shown") << QByteArray("{\\listtext\\'95\\tab}voce") << QStringLiteral("•\tvoce");
    QTest::newRow("symbol bullet") << QByteArray("{\\fonttbl{\\f9\\fcharset2 Symbol;}}{\\pntext\\f9\\'b7\\tab}voce")
                                   << QStringLiteral("•\tvoce");
    // The Symbol font draws Greek and mathematics in the places of letters.
    const QByteArray symbol = "{\\fonttbl{\\f0 Times;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset0 SYMBOL;}"
                              "{\\f3\\fcharset2 Wingdings;}{\\f4\\fcharset2;}}";
    QTest::newRow("symbol letters") << QByteArray(symbol + "{\\f1 abgp W}") << QStringLiteral("αβγπ Ω");
    QTest::newRow("symbol hex") << QByteArray(symbol + "{\\f1\\'a3\\'b3\\'b4\\'ae\\'b9}") << QStringLiteral("≤≥×→≠");
    QTest::newRow("symbol by name alone") << QByteArray(symbol + "{\\f2\\'ac}") << QStringLiteral("←");
    QTest::newRow("symbol private use") << QByteArray(symbol + "{\\f1\\u-3999?\\u61619?}") << QStringLiteral("α≥");
    QTest::newRow("private use outside symbol kept") << QByteArray(symbol + "\\u-3999?") << QString(QChar(0xF061));
    QTest::newRow("symbol gaps draw nothing") << QByteArray(symbol + "{\\f1 a\\'80\\'f0\\'ff\\'7f b}") << QStringLiteral("α β");
    QTest::newRow("picture font keeps its bytes") << QByteArray(symbol + "{\\f3\\'e8}") << QStringLiteral("è");
    QTest::newRow("unnamed symbol charset") << QByteArray(symbol + "{\\f4 p}") << QStringLiteral("π");
    QTest::newRow("field result shown")
        << QByteArray("{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul collegamento}}}.")
        << QStringLiteral("collegamento.");
    QTest::newRow("field instruction unstarred")
        << QByteArray("{\\field{\\fldinst PAGE}{\\fldrslt 3}}") << QStringLiteral("3");
    QTest::newRow("upr shows the unicode text")
        << QByteArray("{\\upr{\\'e8 ansi}{\\*\\ud{\\u232? unicode}}}") << QStringLiteral("è unicode");
    QTest::newRow("hidden text") << QByteArray("a{\\v nascosto}b") << QStringLiteral("ab");
    QTest::newRow("v0 shows again") << QByteArray("\\v a\\v0 b") << QStringLiteral("b");
    QTest::newRow("deleted text") << QByteArray("a{\\deleted\\revauthdel1 x}b") << QStringLiteral("ab");
    QTest::newRow("inserted text stays") << QByteArray("a{\\revised\\revauth1 x}b") << QStringLiteral("axb");
    QTest::newRow("deleted0 shows again") << QByteArray("\\deleted a\\deleted0 b") << QStringLiteral("b");
    QTest::newRow("plain ends a deletion") << QByteArray("\\deleted a\\plain b") << QStringLiteral("b");
    QTest::newRow("deleted paragraph mark joins") << QByteArray("a{\\deleted\\par}b\\par c") << QStringLiteral("ab\nc");
    QTest::newRow("deleted tabs, breaks and escapes") << QByteArray("a{\\deleted\\tab\\line\\u233?\\'e8\\emdash}b") << QStringLiteral("ab");
    QTest::newRow("deleted and hidden are apart") << QByteArray("{\\deleted a\\v0 b}c") << QStringLiteral("c");
    QTest::newRow("font table without inner groups") << QByteArray("{\\fonttbl\\f3 Arial;\\f4 Times;}x")
                                                     << QStringLiteral("x");
    QTest::newRow("font name not shown") << QByteArray("{\\fonttbl{\\f3{\\*\\panose 02}Ar\\'e8al;}}x")
                                         << QStringLiteral("x");
    QTest::newRow("long unknown control word") << QByteArray("a\\") + QByteArray(5000, 'x') + " b"
                                               << QStringLiteral("ab");
    QTest::newRow("sign without digits is text") << QByteArray("\\b-x") << QStringLiteral("-x");
}

void TstRtfReader::text()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QTextDocument doc;
    const RtfResult r = readRtf(rtf(body), &doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(seenText(doc), expected);
}

void TstRtfReader::characterFormat_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("colour"); // auto, or #rrggbb
    QTest::addColumn<QString>("flags");  // b i u s, "-" for none
    QTest::addColumn<double>("points");

    const QByteArray autoTable = "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue255;}";
    const QByteArray blackFirst = "{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}";
    auto doc = [](const QByteArray &tables, const QByteArray &body) {
        return "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}" + tables + body + "}";
    };

    QTest::newRow("no cf is auto") << doc(autoTable, "x y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("cf0 auto entry") << doc(autoTable, "\\cf0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("cf1 explicit black") << doc(autoTable, "\\cf1 y") << "y" << "#000000" << "-" << 12.0;
    QTest::newRow("cf3 white") << doc(autoTable, "\\cf3 y") << "y" << "#ffffff" << "-" << 12.0;
    QTest::newRow("cf0 without auto entry is black") << doc(blackFirst, "\\cf0 y") << "y" << "#000000" << "-" << 12.0;
    QTest::newRow("cf out of range is auto") << doc(autoTable, "\\cf99 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("cf huge is auto") << doc(autoTable, "\\cf99999999999999 y") << "y" << "auto" << "-" << 12.0;
    QByteArray longTable = "{\\colortbl;";
    for (int i = 1; i < RtfLimits::MaxTableEntries + 10; ++i)
        longTable += "\\red" + QByteArray::number(i % 256) + ";";
    longTable += "}";
    QTest::newRow("last colour kept by the cap") << doc(longTable, "\\cf4095 y") << "y" << "#ff0000" << "-" << 12.0;
    QTest::newRow("colour beyond the cap is auto") << doc(longTable, "\\cf4096 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("cf without table") << doc("", "\\cf2 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("last colour without semicolon")
        << doc("{\\colortbl;\\red0\\green0\\blue255}", "\\cf1 y") << "y" << "#0000ff" << "-" << 12.0;
    QTest::newRow("colour components clamped")
        << doc("{\\colortbl;\\red999\\green-5\\blue128;}", "\\cf1 y") << "y" << "#ff0080" << "-" << 12.0;
    QTest::newRow("group restores colour") << doc(autoTable, "{\\cf2 x}y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("plain resets colour") << doc(autoTable, "\\cf2\\b x\\plain y") << "y" << "auto" << "-" << 12.0;

    QTest::newRow("bold") << doc(autoTable, "\\b y") << "y" << "auto" << "b" << 12.0;
    QTest::newRow("b0") << doc(autoTable, "\\b x\\b0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("italic") << doc(autoTable, "\\i y") << "y" << "auto" << "i" << 12.0;
    QTest::newRow("i0") << doc(autoTable, "\\i x\\i0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("underline") << doc(autoTable, "\\ul y") << "y" << "auto" << "u" << 12.0;
    QTest::newRow("double underline") << doc(autoTable, "\\uldb y") << "y" << "auto" << "u" << 12.0;
    QTest::newRow("ulnone") << doc(autoTable, "\\ul x\\ulnone y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("ul0") << doc(autoTable, "\\ul x\\ul0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("strike") << doc(autoTable, "\\strike y") << "y" << "auto" << "s" << 12.0;
    QTest::newRow("nested formats add up") << doc(autoTable, "{\\b{\\i{\\ul\\cf2 y}}}") << "y" << "#ff0000" << "biu" << 12.0;
    QTest::newRow("group ends restore") << doc(autoTable, "{\\b{\\i{\\ul x}}}y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("fs") << doc(autoTable, "\\fs32 y") << "y" << "auto" << "-" << 16.0;
    QTest::newRow("odd fs") << doc(autoTable, "\\fs21 y") << "y" << "auto" << "-" << 10.5;
    QTest::newRow("fs0 is default") << doc(autoTable, "\\fs0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("fs huge is clamped") << doc(autoTable, "\\fs9999999 y") << "y" << "auto" << "-" << 500.0;

    // Paragraph styles lend their character formatting, following based-on
    // chains (a style based on itself included).
    const QByteArray styles = "{\\stylesheet{\\s1\\cf2\\b Rosso;}{\\s2\\sbasedon1\\i Figlio;}"
                              "{\\s3\\sbasedon3\\ul Ciclo;}{\\*\\cs4\\i\\cf3 Enfasi;}}";
    QTest::newRow("style colour") << doc(autoTable + styles, "\\s1 y") << "y" << "#ff0000" << "b" << 12.0;
    QTest::newRow("style based on") << doc(autoTable + styles, "\\s2 y") << "y" << "#ff0000" << "bi" << 12.0;
    QTest::newRow("style based on itself") << doc(autoTable + styles, "\\s3 y") << "y" << "auto" << "u" << 12.0;
    QTest::newRow("explicit beats style") << doc(autoTable + styles, "\\s1\\cf0\\b0 y") << "y" << "auto" << "-" << 12.0;
    QTest::newRow("character style") << doc(autoTable + styles, "\\cs4 y") << "y" << "#ffffff" << "i" << 12.0;
    QTest::newRow("unknown style") << doc(autoTable + styles, "\\s77 y") << "y" << "auto" << "-" << 12.0;
}

void TstRtfReader::characterFormat()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, word);
    QFETCH(QString, colour);
    QFETCH(QString, flags);
    QFETCH(double, points);
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    const int at = seenText(doc).lastIndexOf(word);
    QVERIFY(at >= 0);
    const QTextCharFormat f = formatAt(doc, at);
    QCOMPARE(colourName(f), colour);
    QCOMPARE(f.fontWeight() > QFont::Normal, flags.contains(QLatin1Char('b')));
    QCOMPARE(f.fontItalic(), flags.contains(QLatin1Char('i')));
    QCOMPARE(f.fontUnderline(), flags.contains(QLatin1Char('u')));
    QCOMPARE(f.fontStrikeOut(), flags.contains(QLatin1Char('s')));
    QCOMPARE(f.fontPointSize(), points);
}

void TstRtfReader::alignment_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("align");

    QTest::newRow("default") << QByteArray("a") << 0 << "start";
    QTest::newRow("qc") << QByteArray("\\qc a") << 0 << "center";
    QTest::newRow("qr") << QByteArray("\\qr a\\par") << 0 << "end";
    QTest::newRow("qj") << QByteArray("\\qj a\\par") << 0 << "justify";
    QTest::newRow("qc then ql") << QByteArray("\\qc a\\ql\\par") << 0 << "start";
    QTest::newRow("pard resets") << QByteArray("\\qc a\\par\\pard b\\par") << 1 << "start";
    QTest::newRow("kept without pard") << QByteArray("\\qc a\\par b\\par") << 1 << "center";
    QTest::newRow("set at par time") << QByteArray("a\\par\\pard\\qr b\\par") << 0 << "start";
    QTest::newRow("last paragraph without par") << QByteArray("a\\par\\qc b") << 1 << "center";
    QTest::newRow("empty paragraph") << QByteArray("a\\par\\pard\\qr\\par b") << 1 << "end";
    QTest::newRow("group restores") << QByteArray("{\\pard\\qc a\\par}b\\par") << 1 << "start";
}

void TstRtfReader::alignment()
{
    QFETCH(QByteArray, body);
    QFETCH(int, block);
    QFETCH(QString, align);
    QTextDocument doc;
    QVERIFY(readRtf(rtf(body), &doc).ok);
    QVERIFY(block < doc.blockCount());
    QCOMPARE(alignName(doc.findBlockByNumber(block).blockFormat().alignment()), align);
}

void TstRtfReader::indents()
{
    QTextDocument doc;
    QVERIFY(readRtf(rtf("\\li1440\\ri720\\fi-360\\sb300\\sa150 a\\par\\pard b"), &doc).ok);
    const QTextBlockFormat a = doc.firstBlock().blockFormat();
    QCOMPARE(a.leftMargin(), 96.0);
    QCOMPARE(a.rightMargin(), 48.0);
    QCOMPARE(a.textIndent(), -24.0);
    QCOMPARE(a.topMargin(), 20.0);
    QCOMPARE(a.bottomMargin(), 10.0);
    QCOMPARE(doc.lastBlock().blockFormat().leftMargin(), 0.0);
}

void TstRtfReader::malformed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text"); // when ok

    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("blank") << QByteArray(" \r\n ") << false << QString();
    QTest::newRow("plain text") << QByteArray("Ciao a tutti") << false << QString();
    QTest::newRow("html") << QByteArray("<html><body>x</body></html>") << false << QString();
    QTest::newRow("brace but not rtf") << QByteArray("{\\pard x}") << false << QString();
    QTest::newRow("header only") << QByteArray("{\\rtf") << false << QString();
    QTest::newRow("truncated") << QByteArray("{\\rtf1 abc") << false << QString();
    QTest::newRow("truncated in group") << QByteArray("{\\rtf1 a{\\b b}{c") << false << QString();
    QTest::newRow("truncated in skipped group") << QByteArray("{\\rtf1 a{\\*\\x {b}") << false << QString();
    QTest::newRow("lone backslash at end") << QByteArray("{\\rtf1 a\\") << false << QString();
    QTest::newRow("hex at end") << QByteArray("{\\rtf1 a\\'") << false << QString();
    QTest::newRow("bin past the end") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << false << QString();
    QTest::newRow("closed, then garbage") << QByteArray("{\\rtf1 a}}}\x01{\\b") << true << QStringLiteral("a");
    QTest::newRow("trailing nul bytes") << QByteArray("{\\rtf1 a}\0\0\0", 12) << true << QStringLiteral("a");
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF{\\rtf1 a}") << true << QStringLiteral("a");
    QTest::newRow("nul inside") << QByteArray("{\\rtf1 a\0b}", 11) << true << QStringLiteral("ab");
    QTest::newRow("control bytes dropped") << QByteArray("{\\rtf1 a\x01\x02\x7f b}") << true << QStringLiteral("a b");
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999999\\uc99999999 a\\b99999999999999 b}")
                                  << true << QStringLiteral("ab");
    QTest::newRow("huge uc skips to group end") << QByteArray("{\\rtf1{\\uc2000000000\\u233 abc}d}") << true
                                                << QStringLiteral("éd");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << true << QStringLiteral("ab");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << true << QString();
    QTest::newRow("destination at top level") << QByteArray("{\\rtf1 a\\info b}") << true << QStringLiteral("a");
    QTest::newRow("table entries without tables") << QByteArray("{\\rtf1\\red5\\fcharset204\\sbasedon3 a}") << true
                                                  << QStringLiteral("a");
    QTest::newRow("ud outside upr") << QByteArray("{\\rtf1{\\*\\ud x}}") << true << QStringLiteral("x");
    QTest::newRow("star alone") << QByteArray("{\\rtf1 a{\\*}b}") << true << QStringLiteral("ab");
}

void TstRtfReader::malformed()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QCOMPARE(r.ok, ok);
    if (ok) {
        QCOMPARE(seenText(doc), text);
    } else {
        QCOMPARE(r.number, RtfErrorCode::InvalidFormat);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(doc.isEmpty());
    }
}

void TstRtfReader::deepNestingIsRefused()
{
    QByteArray data = "{\\rtf1 ";
    data += QByteArray(200000, '{');
    data += "x";
    data += QByteArray(200000, '}');
    data += "}";
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::InvalidFormat);
    QVERIFY(r.error.contains(QStringLiteral("gruppi")));
    QVERIFY(doc.isEmpty());
}

void TstRtfReader::nestingWithinBoundIsRead()
{
    const int depth = RtfLimits::MaxGroupDepth - 2;
    QByteArray data = "{\\rtf1 ";
    for (int i = 0; i < depth; ++i)
        data += i % 2 ? "{\\b " : "{\\i ";
    data += "x" + QByteArray(depth, '}') + "y}";
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(seenText(doc), QStringLiteral("xy"));
    QVERIFY(formatAt(doc, 0).fontItalic());
    QVERIFY(!formatAt(doc, 1).fontItalic());
}

void TstRtfReader::tooManyParagraphsIsRefused()
{
    QByteArray data = "{\\rtf1 ";
    for (int i = 0; i <= RtfLimits::MaxParagraphs; ++i)
        data += "\\par a";
    data += "}";
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::TooLarge);
    QVERIFY(doc.isEmpty());
}

void TstRtfReader::tooManyRunsIsRefused()
{
    QByteArray data = "{\\rtf1 ";
    for (int i = 0; i <= RtfLimits::MaxRuns / 2; ++i)
        data += "\\b a\\b0 a";
    data += "}";
    QTextDocument doc;
    const RtfResult r = readRtf(data, &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::TooLarge);
    QVERIFY(doc.isEmpty());
}

// Random bytes behind a valid header: whatever comes out, it comes out.
void TstRtfReader::randomGarbageNeverCrashes()
{
    QRandomGenerator rng(20260314);
    const QByteArray alphabet = "{}\\'*abcdefghijklmnopqrstuvwxyz0123456789- ;\r\n\xe8\x80";
    for (int round = 0; round < 300; ++round) {
        QByteArray data = "{\\rtf1";
        const int n = int(rng.bounded(2000));
        for (int i = 0; i < n; ++i)
            data += round % 2 ? char(rng.bounded(256)) : alphabet.at(int(rng.bounded(alphabet.size())));
        QTextDocument doc;
        const RtfResult r = readRtf(data, &doc);
        if (!r.ok)
            QVERIFY(doc.isEmpty());
    }
}

void TstRtfReader::truncatedCorpusFilesNeverCrash()
{
    const QByteArray whole = readAll(test::dataPath(QStringLiteral("rtf/it-libreoffice.rtf")));
    QVERIFY(!whole.isEmpty());
    const int closing = int(whole.lastIndexOf('}'));
    for (int len = 0; len <= closing; len += 7) {
        QTextDocument doc;
        const RtfResult r = readRtf(whole.left(len), &doc);
        QVERIFY(!r.ok);
        QVERIFY(doc.isEmpty());
    }
}

void TstRtfReader::fileMissing()
{
    QTemporaryDir dir;
    QTextDocument doc;
    const RtfResult r = readRtfFile(dir.filePath(QStringLiteral("manca.rtf")), &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::FileNotFound);
    QVERIFY(r.error.contains(QStringLiteral("manca.rtf")));
    QVERIFY(r.error.contains(QStringLiteral("non è stato trovato")));
    QVERIFY(doc.isEmpty());
}

void TstRtfReader::fileIsFolder()
{
    QTemporaryDir dir;
    QTextDocument doc;
    const RtfResult r = readRtfFile(dir.path(), &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::FileUnreadable);
}

void TstRtfReader::fileTooLarge()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("grande.rtf")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1 ");
    QVERIFY(f.resize(RtfLimits::MaxFileSize + 1)); // sparse
    f.close();
    QTextDocument doc;
    const RtfResult r = readRtfFile(f.fileName(), &doc);
    QVERIFY(!r.ok);
    QCOMPARE(r.number, RtfErrorCode::TooLarge);
    QVERIFY(r.error.contains(QStringLiteral("grande.rtf")));
}

void TstRtfReader::failureEmptiesPreviousContent()
{
    QTextDocument doc;
    QVERIFY(readRtf(rtf("prima"), &doc).ok);
    QVERIFY(!doc.isEmpty());
    const RtfResult r = readRtf("{\\rtf1 tronco", &doc);
    QVERIFY(!r.ok);
    QVERIFY(doc.isEmpty());
    QVERIFY(readRtf(rtf("dopo"), &doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("dopo"));
}

QTEST_MAIN(TstRtfReader)
#include "tst_rtfreader.moc"
