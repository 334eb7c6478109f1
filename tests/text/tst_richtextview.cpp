#include "text/richtextview.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace morvello;

namespace {

QString corpus(const QString &name)
{
    return test::dataPath(QStringLiteral("rtf/") + name);
}

// The expected text of a corpus file, by name or by path without extension.
QString expectedText(const QString &name)
{
    QFile f((name.contains(QLatin1Char('/')) ? name : corpus(name)) + QStringLiteral(".txt"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString t = QString::fromUtf8(f.readAll());
    t.chop(1);
    return t;
}

// Block by block and fragment by fragment: same text, same character and
// paragraph formats.
bool sameDocument(const QTextDocument &a, const QTextDocument &b, QString *why)
{
    if (a.blockCount() != b.blockCount()) {
        *why = QStringLiteral("block count %1 vs %2").arg(a.blockCount()).arg(b.blockCount());
        return false;
    }
    for (QTextBlock x = a.begin(), y = b.begin(); x.isValid(); x = x.next(), y = y.next()) {
        if (x.text() != y.text() || x.blockFormat() != y.blockFormat()) {
            *why = QStringLiteral("block %1 differs").arg(x.blockNumber());
            return false;
        }
        auto i = x.begin();
        auto j = y.begin();
        for (; !i.atEnd() && !j.atEnd(); ++i, ++j) {
            if (i.fragment().text() != j.fragment().text() || i.fragment().charFormat() != j.fragment().charFormat()) {
                *why = QStringLiteral("fragment \"%1\" differs").arg(i.fragment().text());
                return false;
            }
        }
        if (!i.atEnd() || !j.atEnd()) {
            *why = QStringLiteral("fragment count differs in block %1").arg(x.blockNumber());
            return false;
        }
    }
    return true;
}

SelColor colourOf(RichTextView &v, int start, int length)
{
    v.setSelStart(start);
    v.setSelLength(length);
    return v.selColor();
}

} // namespace

class TstRichTextView : public QObject
{
    Q_OBJECT
private slots:
    void loadFileResolvesWindowsPath();
    void loadFileFailures_data();
    void loadFileFailures();
    void plainTextAndLength_data();
    void plainTextAndLength();
    void clearText();

    void selection_data();
    void selection();
    void settingStartClearsLength();
    void selColorRead_data();
    void selColorRead();
    void selColorAutoAndExplicitBlack();
    void selColorValue();
    void selColorWrite();
    void emptySelectionPaintsNothing();
    void correctionLoopBetweenTwoViews();
    void selBackColorRead_data();
    void selBackColorRead();
    void noBackgroundReadsAsThePaper();
    void selBackColorWrite();
    void rangeReadersLeaveTheSelection();

    void contentCopy_data();
    void contentCopy();
    void contentCopyKeepsPaint();
    void selIndent();
    void hiddenViewKeepsContent();
    void pupilCannotType();
    void pupilSelectsWithMouse();
};

void TstRichTextView::loadFileResolvesWindowsPath()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("permorvello/Genette")));
    QVERIFY(QFile::copy(corpus(QStringLiteral("it-libreoffice.rtf")),
                        dir.filePath(QStringLiteral("permorvello/Genette/Voce1.RTF"))));
    RichTextView v;
    const RtfResult r = v.loadFile(QStringLiteral("permorvello\\genette\\voce1.rtf"), dir.path());
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(v.plainText(), expectedText(QStringLiteral("it-libreoffice")));
    QCOMPARE(v.selStart(), 0);
    QCOMPARE(v.selLength(), 0);
}

void TstRichTextView::loadFileFailures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("number");

    QTest::newRow("missing") << "manca.rtf" << QByteArray() << RtfErrorCode::FileNotFound;
    QTest::newRow("not rtf") << "testo.rtf" << QByteArray("solo testo") << RtfErrorCode::InvalidFormat;
    QTest::newRow("truncated") << "tronco.rtf" << QByteArray("{\\rtf1 {\\b a") << RtfErrorCode::InvalidFormat;
}

// A failed load leaves the view empty, whatever it showed before.
void TstRichTextView::loadFileFailures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, number);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("permorvello")));
    if (!content.isEmpty()) {
        QFile f(dir.filePath(QStringLiteral("permorvello/") + file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-pandoc-html.rtf"))).ok);
    QVERIFY(v.textLength() > 0);

    const RtfResult r = v.loadFile(QStringLiteral("permorvello\\") + file, dir.path());
    QVERIFY(!r.ok);
    QCOMPARE(r.number, number);
    QVERIFY(r.error.contains(file));
    QCOMPARE(v.textLength(), 0);
    QCOMPARE(v.plainText(), QString());
}

void TstRichTextView::plainTextAndLength_data()
{
    QTest::addColumn<QString>("stem"); // path without extension; empty: the extra corpus is absent
    for (const char *n : {"it-libreoffice", "it-abiword", "it-pandoc-html", "highlight-abiword",
                          "mend-charsets", "large-colours-libreoffice"})
        QTest::newRow(n) << corpus(QString::fromLatin1(n));
    const QString extra = test::sharedCorpus();
    if (extra.isEmpty()) {
        QTest::newRow("extra corpus") << QString();
        return;
    }
    const QDir dir(extra);
    for (const QString &f : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        const QString stem = dir.filePath(QFileInfo(f).completeBaseName());
        if (QFileInfo::exists(stem + QStringLiteral(".txt")))
            QTest::newRow(qPrintable(QStringLiteral("extra/") + QFileInfo(f).completeBaseName())) << stem;
    }
}

void TstRichTextView::plainTextAndLength()
{
    QFETCH(QString, stem);
    if (stem.isEmpty())
        QSKIP(test::sharedCorpusAbsent);
    RichTextView v;
    QVERIFY(v.loadFile(stem + QStringLiteral(".rtf")).ok);
    const QString expected = expectedText(stem);
    QCOMPARE(v.plainText(), expected);
    QCOMPARE(v.textLength(), expected.size());
}

void TstRichTextView::clearText()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    v.setSelStart(10);
    v.setSelLength(5);
    v.clearText();
    QCOMPARE(v.plainText(), QString());
    QCOMPARE(v.textLength(), 0);
    QCOMPARE(v.selStart(), 0);
    QCOMPARE(v.selLength(), 0);
}

// Values from L/2 up stand for the text length minus (L - value).
static constexpr int L = 1 << 20;

void TstRichTextView::selection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expectedStart");
    QTest::addColumn<int>("expectedLength");

    QTest::newRow("plain") << 3 << 5 << 3 << 5;
    QTest::newRow("from zero") << 0 << 1 << 0 << 1;
    QTest::newRow("at the end, length 1") << L << 1 << L << 0;
    QTest::newRow("past the end") << 100000 << 1 << L << 0;
    QTest::newRow("runs over the end") << L - 2 << 10 << L - 2 << 2;
    QTest::newRow("negative start") << -5 << 2 << 0 << 2;
    QTest::newRow("negative length") << 5 << -3 << 5 << 0;
    QTest::newRow("huge length") << 5 << INT_MAX << 5 << L - 5;
}

void TstRichTextView::selection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, expectedStart);
    QFETCH(int, expectedLength);
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int len = v.textLength();
    auto resolve = [len](int x) { return x >= L / 2 ? len - (L - x) : x; };
    v.setSelStart(start == INT_MAX ? start : resolve(start));
    v.setSelLength(length == INT_MAX ? length : resolve(length));
    QCOMPARE(v.selStart(), resolve(expectedStart));
    QCOMPARE(v.selLength(), resolve(expectedLength));
    QCOMPARE(v.selText(), v.plainText().mid(v.selStart(), v.selLength()));
}

void TstRichTextView::settingStartClearsLength()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    v.setSelStart(4);
    v.setSelLength(6);
    v.setSelStart(2);
    QCOMPARE(v.selStart(), 2);
    QCOMPARE(v.selLength(), 0);
}

void TstRichTextView::selColorRead_data()
{
    QTest::addColumn<QString>("word");   // found in the plain text
    QTest::addColumn<int>("offset");     // from the word's start
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected"); // #rrggbb, "auto" or "mixed"

    QTest::newRow("uniform red") << "mele" << 0 << 4 << "#ff0000";
    QTest::newRow("inside red") << "mele" << 1 << 2 << "#ff0000";
    QTest::newRow("uniform white") << "nebbia" << 0 << 6 << "#ffffff";
    QTest::newRow("auto text") << QStringLiteral("domandò") << 0 << 7 << "auto";
    QTest::newRow("red and auto") << "le mele" << 0 << 7 << "mixed";
    QTest::newRow("red then auto") << QStringLiteral("mele st") << 0 << 6 << "mixed";
    QTest::newRow("two colours") << "bancone, c'era un cesto di lim" << 0 << 30 << "mixed";
    QTest::newRow("empty inside red") << "mele" << 2 << 0 << "#ff0000";
    QTest::newRow("empty after red") << "mele" << 4 << 0 << "#ff0000";
    QTest::newRow("empty at start of red") << "mele" << 0 << 0 << "auto";
    QTest::newRow("empty at paragraph start") << "Quarta riga" << -1 << 0 << "auto";
    QTest::newRow("explicit black") << "nero deciso" << 0 << 11 << "#000000";
    QTest::newRow("paragraph end alone reads the character before")
        << QStringLiteral("rise.") << 5 << 1 << "auto";
    QTest::newRow("bold red across a line break") << "Quarta riga" << -1 << 6 << "mixed";
}

void TstRichTextView::selColorRead()
{
    QFETCH(QString, word);
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(QString, expected);
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int at = v.plainText().indexOf(word);
    QVERIFY(at >= 0);
    const SelColor c = colourOf(v, at + offset, length);
    if (expected == QLatin1String("mixed")) {
        QVERIFY(c.isMixed());
        QVERIFY(!c.color().isValid());
        QCOMPARE(c.value(), qint64(-1));
    } else if (expected == QLatin1String("auto")) {
        QVERIFY(!c.isMixed());
        QVERIFY(c.isAutomatic());
        QCOMPARE(c.color(), QColor(0, 0, 0));
    } else {
        QVERIFY(!c.isMixed());
        QVERIFY(!c.isAutomatic());
        QCOMPARE(c.color().name(), expected);
    }
}

// Auto colour reads as black and equals explicit black, yet stays
// distinguishable; a stretch of both is one colour.
void TstRichTextView::selColorAutoAndExplicitBlack()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const QString text = v.plainText();
    const int black = text.indexOf(QStringLiteral("nero deciso"));
    const SelColor explicitBlack = colourOf(v, black, 4);
    const SelColor automatic = colourOf(v, black - 3, 2);
    QVERIFY(automatic.isAutomatic());
    QVERIFY(!explicitBlack.isAutomatic());
    QVERIFY(automatic == explicitBlack);
    QCOMPARE(automatic.value(), qint64(0));

    const SelColor both = colourOf(v, black - 3, 8);
    QVERIFY(!both.isMixed());
    QVERIFY(!both.isAutomatic());
    QCOMPARE(both.color(), QColor(0, 0, 0));
}

void TstRichTextView::selColorValue()
{
    QCOMPARE(SelColor::of(QColor(255, 255, 255)).value(), qint64(16777215));
    QCOMPARE(SelColor::of(QColor(255, 0, 0)).value(), qint64(255));
    QCOMPARE(SelColor::of(QColor(0, 0, 255)).value(), qint64(65536 * 255));
    QVERIFY(SelColor::mixed() == SelColor::mixed());
    QVERIFY(SelColor::mixed() != SelColor::automatic());
    QVERIFY(SelColor::of(QColor(255, 255, 255)) != SelColor::automatic());
}

void TstRichTextView::selColorWrite()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int len = v.textLength();
    // A stretch across paragraphs and runs of several colours.
    const int from = v.plainText().indexOf(QStringLiteral("rispose"));
    const int to = v.plainText().indexOf(QStringLiteral("seconda riga"));
    const SelColor before = colourOf(v, from - 1, 1);
    const SelColor after = colourOf(v, to, 1);
    v.setSelStart(from);
    v.setSelLength(to - from);
    v.setSelColor(QColor(255, 153, 204));
    QCOMPARE(v.selColor().color(), QColor(255, 153, 204));
    for (int p = from; p < to; ++p) {
        if (v.plainText().at(p) == QLatin1Char('\n'))
            continue;
        QCOMPARE(colourOf(v, p, 1).color(), QColor(255, 153, 204));
    }
    QVERIFY(colourOf(v, from - 1, 1) == before);
    QVERIFY(colourOf(v, to, 1) == after);
    QCOMPARE(v.textLength(), len);

    // Painting the whole text makes it uniform.
    v.setSelStart(0);
    v.setSelLength(len);
    v.setSelColor(Qt::white);
    QCOMPARE(colourOf(v, 0, len).value(), qint64(16777215));
}

void TstRichTextView::emptySelectionPaintsNothing()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const QTextDocumentFragment before = v.content();
    const int at = v.plainText().indexOf(QStringLiteral("mele"));
    v.setSelStart(at + 2);
    v.setSelColor(QColor(0, 255, 0));
    QCOMPARE(colourOf(v, at + 1, 2).color().name(), QStringLiteral("#ff0000"));
    QCOMPARE(colourOf(v, at + 2, 0).color().name(), QStringLiteral("#ff0000"));
    QCOMPARE(v.content().toHtml(), before.toHtml());
}

// The comparison the story screen makes: one character at a time in two
// views, the first painted by the pupil, the second a hidden solution.
void TstRichTextView::correctionLoopBetweenTwoViews()
{
    const QByteArray story = "{\\rtf1{\\colortbl;\\red255\\green255\\blue255;}\\cf1 Uno due. Tre quattro.\\par Cinque.}";
    const QByteArray solution = "{\\rtf1{\\colortbl;\\red255\\green153\\blue204;\\red255\\green255\\blue153;}"
                                "{\\cf1 Uno due. }{\\cf2 Tre quattro.\\par Cinque.}}";
    RichTextView pupil;
    RichTextView key;
    key.hide();
    QVERIFY(pupil.loadRtf(story).ok);
    QVERIFY(key.loadRtf(solution).ok);
    QCOMPARE(pupil.plainText(), key.plainText());
    QCOMPARE(colourOf(pupil, 2, 5).value(), qint64(16777215));

    pupil.setSelStart(0);
    pupil.setSelLength(9);
    pupil.setSelColor(QColor(255, 153, 204));
    pupil.setSelStart(9);
    pupil.setSelLength(10); // two characters short of the paragraph end
    pupil.setSelColor(QColor(255, 255, 153));

    int differing = 0;
    const int len = pupil.textLength();
    for (int p = 1; p <= len; ++p) {
        if (colourOf(pupil, p, 1) != colourOf(key, p, 1)) {
            pupil.setSelColor(QColor(255, 0, 0));
            ++differing;
        }
    }
    // "o." of "quattro."; its paragraph end, which reads as the "." before
    // it, painted red a step earlier; "Cinque."; and the end of the text,
    // which reads as the last character.
    QCOMPARE(differing, 2 + 1 + 7 + 1);
    QCOMPARE(colourOf(pupil, 19, 2).color(), QColor(255, 0, 0));
    QCOMPARE(colourOf(pupil, 18, 1).color(), QColor(255, 255, 153));
}

void TstRichTextView::selBackColorRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected"); // #rrggbb, "none" or "mixed"

    for (const char *n : {"highlight-libreoffice", "highlight-abiword"}) {
        const QByteArray f(n);
        const QString file = QString::fromLatin1(n);
        QTest::newRow(f + " uniform yellow") << file << "il faro veglia" << 0 << 14 << "#ffff00";
        QTest::newRow(f + " inside cyan") << file << "come un braccio" << 3 << 4 << "#00ffff";
        QTest::newRow(f + " under blue text") << file << "un mare di velluto" << 0 << 18 << "#00ff00";
        QTest::newRow(f + " none") << file << "Sulla scogliera" << 0 << 15 << "none";
        QTest::newRow(f + " yellow then none") << file << "veglia e" << 0 << 8 << "mixed";
        QTest::newRow(f + " two backgrounds") << file << "velluto, il vento sussurra" << 0 << 26 << "mixed";
        QTest::newRow(f + " empty inside") << file << "stanco" << 3 << 0 << "#c0c0c0";
        QTest::newRow(f + " empty after") << file << "stanco" << 6 << 0 << "#c0c0c0";
        QTest::newRow(f + " empty before") << file << "stanco" << 0 << 0 << "none";
    }
    // White paper and a white highlight look the same: one colour.
    QTest::newRow("white highlight and none") << "mend-highlight" << "bianco " << 0 << 7 << "#ffffff";
    QTest::newRow("highlight over shading") << "mend-highlight" << "sopra" << 0 << 5 << "#ffff00";
    QTest::newRow("shading alone") << "mend-highlight" << "Ombra" << 0 << 5 << "#ccffcc";
}

void TstRichTextView::selBackColorRead()
{
    QFETCH(QString, file);
    QFETCH(QString, word);
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(QString, expected);
    RichTextView v;
    QVERIFY(v.loadFile(corpus(file + QStringLiteral(".rtf"))).ok);
    const int at = v.plainText().indexOf(word);
    QVERIFY(at >= 0);
    v.setSelStart(at + offset);
    v.setSelLength(length);
    const SelColor c = v.selBackColor();
    if (expected == QLatin1String("mixed")) {
        QVERIFY(c.isMixed());
        QCOMPARE(c.value(), qint64(-1));
    } else if (expected == QLatin1String("none")) {
        QVERIFY(c.isAutomatic());
        QCOMPARE(c.color(), v.palette().color(QPalette::Base));
    } else {
        QVERIFY(!c.isMixed());
        QVERIFY(!c.isAutomatic());
        QCOMPARE(c.color().name(), expected);
    }
}

// No background reads as whatever paper the screen gives the view.
void TstRichTextView::noBackgroundReadsAsThePaper()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("highlight-libreoffice.rtf"))).ok);
    QCOMPARE(v.backColorOf(0, 5).color(), QColor(255, 255, 255));
    QPalette dark = v.palette();
    dark.setColor(QPalette::Base, QColor(0, 0, 64));
    v.setPalette(dark);
    const SelColor none = v.backColorOf(0, 5);
    QVERIFY(none.isAutomatic());
    QCOMPARE(none.color(), QColor(0, 0, 64));
    QCOMPARE(none.value(), qint64(64 * 65536));
    QVERIFY(none == SelColor::of(QColor(0, 0, 64)));
    QVERIFY(none != SelColor::of(QColor(255, 255, 255)));
}

void TstRichTextView::selBackColorWrite()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("highlight-libreoffice.rtf"))).ok);
    const QString text = v.plainText();
    const int len = v.textLength();
    // From plain text across a cyan stretch and a paragraph end.
    const int from = text.indexOf(QStringLiteral("gira"));
    const int to = text.indexOf(QStringLiteral("notte"));
    const int blue = text.indexOf(QStringLiteral("un mare"));
    const SelColor textBefore = v.colorOf(from, to - from);
    v.setSelStart(from);
    v.setSelLength(to - from);
    v.setSelBackColor(QColor(255, 204, 153));
    QCOMPARE(v.selBackColor().color(), QColor(255, 204, 153));
    QVERIFY(v.backColorOf(from - 1, 1).isAutomatic());
    QVERIFY(v.backColorOf(to, 1).isAutomatic());
    QVERIFY(v.colorOf(from, to - from) == textBefore);
    QCOMPARE(v.textLength(), len);

    // Taking the background away leaves the text colour alone.
    v.setSelStart(blue);
    v.setSelLength(7);
    v.setSelBackColor(QColor());
    QVERIFY(v.selBackColor().isAutomatic());
    QCOMPARE(v.selColor().color().name(), QStringLiteral("#0000ff"));
    QCOMPARE(v.backColorOf(blue + 7, 4).color().name(), QStringLiteral("#00ff00"));

    // Across the whole text, painted and cleared, nothing is left.
    v.setSelStart(0);
    v.setSelLength(len);
    v.setSelBackColor(QColor());
    QVERIFY(v.selBackColor().isAutomatic());
    for (QTextBlock b = v.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            QVERIFY(!it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush));
    QCOMPARE(v.plainText(), text);

    // An empty selection changes nothing.
    v.setSelStart(3);
    v.setSelBackColor(Qt::yellow);
    QVERIFY(v.backColorOf(0, len).isAutomatic());
}

void TstRichTextView::rangeReadersLeaveTheSelection()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int mele = v.plainText().indexOf(QStringLiteral("mele"));
    v.setSelStart(2);
    v.setSelLength(3);
    QCOMPARE(v.colorOf(mele, 4).color().name(), QStringLiteral("#ff0000"));
    QVERIFY(v.colorOf(mele - 3, 7).isMixed());
    QCOMPARE(v.colorOf(mele + 4, 0).color().name(), QStringLiteral("#ff0000"));
    QVERIFY(v.backColorOf(mele, 4).isAutomatic());
    // Out-of-range stretches are brought into range.
    QVERIFY(!v.colorOf(-5, 3).isMixed());
    QVERIFY(!v.colorOf(v.textLength() + 10, INT_MAX).isMixed());
    QCOMPARE(v.selStart(), 2);
    QCOMPARE(v.selLength(), 3);
}

void TstRichTextView::contentCopy_data()
{
    QTest::addColumn<QString>("name");
    for (const char *n : {"it-libreoffice", "it-libreoffice-html", "it-pandoc-html", "it-abiword",
                          "highlight-libreoffice", "mend-highlight", "large-colours-libreoffice"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TstRichTextView::contentCopy()
{
    QFETCH(QString, name);
    RichTextView a;
    RichTextView b;
    QVERIFY(a.loadFile(corpus(name + QStringLiteral(".rtf"))).ok);
    QVERIFY(b.loadFile(corpus(QStringLiteral("it-pandoc-docx.rtf"))).ok); // something to replace
    b.setContent(a.content());
    QString why;
    QVERIFY2(sameDocument(*a.document(), *b.document(), &why), qPrintable(why));
    QCOMPARE(b.plainText(), a.plainText());
}

void TstRichTextView::contentCopyKeepsPaint()
{
    RichTextView a;
    QVERIFY(a.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    a.setSelStart(5);
    a.setSelLength(30);
    a.setSelColor(QColor(204, 255, 204));
    const QTextDocumentFragment kept = a.content();
    a.clearText(); // the copy outlives its source's content

    RichTextView b;
    b.setContent(kept);
    QCOMPARE(colourOf(b, 5, 30).color(), QColor(204, 255, 204));
    QVERIFY(colourOf(b, 4, 1).isAutomatic());
    const int white = b.plainText().indexOf(QStringLiteral("nebbia"));
    QCOMPARE(colourOf(b, white, 6).value(), qint64(16777215));
}

void TstRichTextView::selIndent()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int blocks = v.document()->blockCount();
    v.setSelStart(0);
    v.setSelLength(v.textLength());
    v.setSelIndent(100);
    QCOMPARE(v.selIndent(), 100);
    for (QTextBlock b = v.document()->begin(); b.isValid(); b = b.next())
        QCOMPARE(qRound(b.blockFormat().leftMargin() * 15), 100);
    // Alignment and text stay.
    QCOMPARE(v.document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(v.document()->blockCount(), blocks);
    QCOMPARE(v.plainText(), expectedText(QStringLiteral("it-libreoffice")));
}

void TstRichTextView::hiddenViewKeepsContent()
{
    QWidget window;
    RichTextView *v = new RichTextView(&window);
    window.show();
    QVERIFY(v->loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    const int at = v->plainText().indexOf(QStringLiteral("bancone"));
    v->hide();
    QCOMPARE(colourOf(*v, at, 4).color().name(), QStringLiteral("#0000ff"));
    v->setSelColor(QColor(153, 204, 255));
    v->show();
    QCOMPARE(v->plainText(), expectedText(QStringLiteral("it-libreoffice")));
    QCOMPARE(colourOf(*v, at, 4).color(), QColor(153, 204, 255));
}

void TstRichTextView::pupilCannotType()
{
    RichTextView v;
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-pandoc-html.rtf"))).ok);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    const QString before = v.plainText();
    v.setFocus();
    QTest::keyClicks(&v, QStringLiteral("abc"));
    QTest::keyClick(&v, Qt::Key_Backspace);
    QTest::keyClick(&v, Qt::Key_Delete);
    QCOMPARE(v.plainText(), before);
    QVERIFY(v.isReadOnly());
}

void TstRichTextView::pupilSelectsWithMouse()
{
    RichTextView v;
    v.resize(600, 400);
    QVERIFY(v.loadFile(corpus(QStringLiteral("it-libreoffice.rtf"))).ok);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    const int at = v.plainText().indexOf(QStringLiteral("domandò"));

    QTextCursor c(v.document());
    c.setPosition(at);
    const QPoint from = v.cursorRect(c).center();
    c.setPosition(at + 7);
    const QPoint to = v.cursorRect(c).center();

    QWidget *port = v.viewport();
    QMouseEvent press(QEvent::MouseButtonPress, from, port->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(port, &press);
    QMouseEvent move(QEvent::MouseMove, to, port->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(port, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, port->mapToGlobal(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(port, &release);

    QCOMPARE(v.selStart(), at);
    QCOMPARE(v.selLength(), 7);
    QCOMPARE(v.selText(), QStringLiteral("domandò"));
    v.setSelColor(QColor(255, 204, 153));
    QCOMPARE(colourOf(v, at, 7).color(), QColor(255, 204, 153));
}

QTEST_MAIN(TstRichTextView)
#include "tst_richtextview.moc"
