// SPDX-License-Identifier: GPL-3.0-or-later
// Reading aloud and the legible look, on a screen of the kit's own pieces
// with a scripted voice.
#include "kit/activityscreen.h"
#include "kit/passagelabel.h"
#include "kit/passageview.h"
#include "kit/reader.h"
#include "testsupport.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace morvello;

namespace {

const QString kPassage = QStringLiteral(
    "Il gatto dorme sul balcone. «Chi è?» chiese Giulia.\nNessuno rispose... Poi piovve!\n\n   \nFine");

class ReadingScreen : public ActivityScreen
{
public:
    explicit ReadingScreen(const ScreenEnv &env)
        : ActivityScreen(env, QStringLiteral("FProva"), QSize(12000, 9000), Qt::darkGray, QStringLiteral("Prova"),
                         OnMenu::Hide)
    {
        view = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Testo"), QRect(240, 240, 6000, 6000));
        view->setHtml(QStringLiteral("<p align=justify><span style='font-family:Liberation Serif; font-size:12pt; "
                                     "color:#ff0000'>%1</span></p>")
                          .arg(kPassage.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("</p><p>"))));
        view->contentLoaded();
        option = new QRadioButton(QStringLiteral("Una &scelta. Due frasi."), this);
        place(option, 6600, 240, 4000, 400);
        addReadButton(QRect(6600, 1000, 2000, 400), [this] { return reading::of(view) + reading::ofChoice(option); });
    }
    PassageView *view;
    QRadioButton *option;
};

QStringList sentencesOf(const QString &text)
{
    QStringList out;
    for (const auto &s : sentenceSpans(text))
        out << text.mid(s.first, s.second - s.first);
    return out;
}

} // namespace

class TstReading : public QObject
{
    Q_OBJECT
private slots:
    void sentences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sentences");
        QTest::newRow("two sentences") << "Piove. Il gatto dorme!" << QStringList{"Piove.", "Il gatto dorme!"};
        QTest::newRow("closing quote stays with its sentence")
            << "«Chi è?» chiese. «Io.»" << QStringList{"«Chi è?» chiese.", "«Io.»"};
        QTest::newRow("dots inside a word or number do not end it")
            << "Nel 1.787 il re tornò... Poi basta" << QStringList{"Nel 1.787 il re tornò...", "Poi basta"};
        QTest::newRow("each verse on its own") << "Prima\ndel fragore,\n\nsolca" << QStringList{"Prima", "del fragore,", "solca"};
        QTest::newRow("blanks and bare punctuation are no sentence") << "  ... \n - \n" << QStringList{};
        QTest::newRow("paragraph separators") << QStringLiteral("Uno\u2029Due\u2028Tre") << QStringList{"Uno", "Due", "Tre"};
    }
    void sentences()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, sentences);
        QCOMPARE(sentencesOf(text), sentences);
    }

    // Sentence after sentence, each said once the one before was heard to
    // its end, each marked over the view while it is said; the pupil's
    // selection and the text's colours stay; a second press stops.
    void readsSentenceBySentence()
    {
        test::TestContext t;
        ReadingScreen s(t.env());
        s.resize(1280, 1024);
        s.show();
        QCOMPARE(t.speech.state(), Speech::State::Ready); // reached when the button first showed
        s.view->setSelStart(4);
        s.view->setSelLength(5);
        const QString text = s.view->document()->toPlainText();
        const QVector<QPair<int, int>> spans = sentenceSpans(text);
        const QStringList expected = sentencesOf(text) + QStringList{"Una scelta.", "Due frasi."};
        QCOMPARE(expected.size(), 7);

        QPushButton *b = s.readButton()->button();
        b->click();
        QCOMPARE(b->text(), ReadButton::stopCaption());
        for (int i = 0; i < spans.size(); ++i) {
            QCOMPARE(t.speech.said, expected.mid(0, i + 1));
            QCOMPARE(s.view->readingMark(), spans.at(i));
            QCOMPARE(s.view->extraSelections().size(), 1);
            QCOMPARE(s.view->extraSelections().at(0).cursor.selectedText(), expected.at(i));
            QCOMPARE(s.view->selStart(), 4);
            QCOMPARE(s.view->selLength(), 5);
            QCOMPARE(s.view->colorOf(0, 20).color(), QColor(255, 0, 0));
            t.speech.finish();
        }
        // The option is framed, the passage no longer marked.
        QCOMPARE(s.view->readingMark(), qMakePair(-1, -1));
        QVERIFY(s.view->extraSelections().isEmpty());
        QCOMPARE(s.findChildren<QWidget *>(QStringLiteral("CorniceLettura")).size(), 1);
        QCOMPARE(t.speech.said.size(), 6);

        b->click();
        QCOMPARE(b->text(), ReadButton::caption());
        QCOMPARE(t.speech.stops, 1);
        QVERIFY(s.findChildren<QWidget *>(QStringLiteral("CorniceLettura")).isEmpty());
        // Nothing more is said once stopped.
        t.speech.finishAll();
        QCOMPARE(t.speech.said.size(), 6);

        // Read to the end: the button is back by itself.
        t.speech.said.clear();
        b->click();
        QCOMPARE(t.speech.finishAll(), expected.size());
        QCOMPARE(t.speech.said, expected);
        QCOMPARE(b->text(), ReadButton::caption());

        // Another passage stops the reading of this one.
        b->click();
        s.view->contentLoaded();
        QVERIFY(!s.readButton()->reader()->reading());

        // Leaving the screen stops the voice.
        b->click();
        s.hide();
        QVERIFY(!s.readButton()->reader()->reading());
        QVERIFY(s.view->extraSelections().isEmpty());
    }

    // A passage row lays out its own lines; unmarked, in the normal look, it
    // shows to the pixel what a plain label would.
    void passageLabelDrawsAsALabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("alignment");
        const QString row = QStringLiteral("Calava la sera e la piccola piazza era deserta: le finestre accese "
                                           "disegnavano quadrati gialli sulle pietre della strada.");
        const int middle = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("row, in the middle") << row << "MS Sans Serif" << 21 << QSize(760, 110) << middle;
        QTest::newRow("at the top, another face")
            << row << "Liberation Serif" << 17 << QSize(500, 140) << int(Qt::AlignLeft | Qt::AlignTop);
        QTest::newRow("more text than room") << row + row << "MS Sans Serif" << 25 << QSize(400, 60) << middle;
        QTest::newRow("line ends and tabs") << "Uno\tdue\nTre." << "MS Sans Serif" << 19 << QSize(300, 90) << middle;
    }
    void passageLabelDrawsAsALabel()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(int, pixels);
        QFETCH(QSize, size);
        QFETCH(int, alignment);
        QFont f(family);
        f.setPixelSize(pixels);
        StyledLabel plain;
        PassageLabel row;
        for (StyledLabel *l : {&plain, static_cast<StyledLabel *>(&row)}) {
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(true);
            l->setAlignment(Qt::Alignment(alignment));
            l->setBackgroundColor(QColor(0xFF, 0xC0, 0xC0));
            l->setPadding(QMargins(6, 5, 6, 5));
            l->setFont(f);
            l->setText(text);
            l->resize(size);
        }
        const QImage want = plain.grab().toImage();
        QCOMPARE(row.grab().toImage(), want);
        // Marked, it is no longer the same picture.
        row.markReading(0, 5);
        QVERIFY(row.grab().toImage() != want);
    }

    void withoutAVoiceTheButtonSaysWhy()
    {
        test::TestContext t;
        t.speech.makeUnavailable(QStringLiteral("Manca la voce."));
        ReadingScreen s(t.env());
        s.show();
        QVERIFY(!s.readButton()->button()->isEnabled());
        QCOMPARE(s.readButton()->button()->toolTip(), QStringLiteral("Manca la voce."));
        s.readButton()->press();
        QVERIFY(t.speech.said.isEmpty());
    }

    // The legible look changes typeface, size, spacing and alignment only,
    // and gives back exactly what was there.
    void legibleLookComesAndGoes()
    {
        test::TestContext t;
        ReadingScreen s(t.env());
        s.resize(1280, 1024);
        s.show();
        QTextDocument *doc = s.view->document();
        auto formats = [doc] {
            QVector<QTextFormat> out;
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
                out << b.blockFormat();
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    // Sizes go through two scalings: the same to a hundredth.
                    QTextCharFormat f = it.fragment().charFormat();
                    f.setFontPointSize(std::round(f.fontPointSize() * 100) / 100);
                    out << f;
                }
            }
            return out;
        };
        s.view->fit();
        const QVector<QTextFormat> before = formats();
        const double zoom = s.view->zoom();
        s.view->markReading(0, 5);

        s.setLegible(true);
        // Never shrunk to fit: it scrolls instead.
        QVERIFY(s.view->zoom() >= zoom * PassageView::LegibleSize);
        QCOMPARE(doc->begin().blockFormat().alignment() & Qt::AlignJustify, Qt::Alignment());
        QTextCursor first(doc);
        first.setPosition(1);
        QCOMPARE(doc->begin().blockFormat().lineHeight(),
                 std::round(1.5 * first.charFormat().fontPointSize() * s.view->logicalDpiY() / 72.0));
        QTextCursor c(doc);
        c.setPosition(3);
        QCOMPARE(c.charFormat().fontFamilies().toStringList(), QStringList{PassageView::legibleFamily()});
        QVERIFY(c.charFormat().fontLetterSpacing() > 100);
        QCOMPARE(s.view->colorOf(0, 20).color(), QColor(255, 0, 0));
        QCOMPARE(s.view->readingMark(), qMakePair(0, 5));

        s.setLegible(false);
        QCOMPARE(s.view->zoom(), zoom);
        QCOMPARE(formats(), before);
    }
};

QTEST_MAIN(TstReading)
#include "tst_reading.moc"
