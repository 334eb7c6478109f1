// SPDX-License-Identifier: GPL-3.0-or-later
#include "metaforescreen.h"

#include "poetryscreens.h"

#include "core/clock.h"
#include "kit/accessibility.h"
#include "kit/reader.h"
#include "kit/controls.h"
#include "kit/passageview.h"
#include "text/richtextview.h"

#include <QButtonGroup>
#include <QFrame>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QDateTime>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace morvello {

namespace {

const QString kFont = QStringLiteral("Arial");

// The layout is drawn in pixels of an 800 x 640 surface; the design keeps
// twips, fifteen to a pixel.
QRect tw(int x, int y, int w, int h)
{
    return QRect(x * 15, y * 15, w * 15, h * 15);
}

const QColor kBackground(0x1d, 0x35, 0x57);
const QColor kPanel(0x2b, 0x4a, 0x72);
const QColor kQuestionText(0xff, 0xf3, 0xc4);

// Column of the figures, column of the definitions.
constexpr int kLeftX = 12, kLeftW = 230;
constexpr int kRightX = 256, kRightW = 532;
constexpr int kQuestionTop = 202;
constexpr int kListTop = 250;
constexpr int kOptionStep = 26, kOptionH = 24;
constexpr int kDefinitionStep = 34, kDefinitionH = 32;

constexpr double kOptionPoints = 9.75;
constexpr double kDefinitionPoints = 9.0;
// The example's own sizes are those of its file at the design size.

QString arrayName(const QString &array, int i)
{
    return QStringLiteral("%1(%2)").arg(array).arg(i);
}

// Image1: the screen's own picture, an open book with a quill and the
// activity's name, drawn so that it stays sharp at every size.
class FigureEmblem : public QWidget
{
public:
    explicit FigureEmblem(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Image1"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAccessibleName(QStringLiteral("Le figure retoriche"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
        const double u = r.width() / 112.0; // one unit of the drawing

        QLinearGradient card(r.topLeft(), r.bottomLeft());
        card.setColorAt(0, QColor(0xff, 0xf6, 0xdc));
        card.setColorAt(1, QColor(0xf3, 0xd9, 0x9b));
        p.setPen(QPen(QColor(0x8a, 0x5a, 0x1c), 1.5 * u));
        p.setBrush(card);
        p.drawRoundedRect(r, 10 * u, 10 * u);

        // The name of the activity, in two lines at the top.
        QFont f(QStringLiteral("Liberation Serif"));
        f.setItalic(true);
        f.setBold(true);
        f.setPixelSize(qMax(6, int(std::lround(17 * u))));
        p.setFont(f);
        p.setPen(QColor(0x6b, 0x23, 0x1a));
        p.drawText(QRectF(r.x(), r.y() + 8 * u, r.width(), 20 * u), Qt::AlignCenter, QStringLiteral("Le figure"));
        p.drawText(QRectF(r.x(), r.y() + 27 * u, r.width(), 20 * u), Qt::AlignCenter, QStringLiteral("retoriche"));

        // An open book.
        const double bx = r.x() + 10 * u, by = r.y() + 104 * u, bw = 92 * u, bh = 52 * u;
        auto page = [&](bool left) {
            QPainterPath path;
            const double mid = bx + bw / 2;
            const double outer = left ? bx : bx + bw;
            path.moveTo(mid, by + 8 * u);
            path.cubicTo(mid - (left ? 1 : -1) * bw * 0.2, by - 2 * u, outer + (left ? 1 : -1) * bw * 0.1, by,
                         outer, by + 4 * u);
            path.lineTo(outer, by + bh);
            path.cubicTo(outer + (left ? 1 : -1) * bw * 0.15, by + bh - 5 * u, mid - (left ? 1 : -1) * bw * 0.2,
                         by + bh - 4 * u, mid, by + bh + 4 * u);
            path.closeSubpath();
            return path;
        };
        p.setPen(QPen(QColor(0x5a, 0x3a, 0x12), 1.4 * u));
        p.setBrush(QColor(0xff, 0xfe, 0xf8));
        p.drawPath(page(true));
        p.drawPath(page(false));
        // Lines of writing on the pages, one of them underlined in colour:
        // the figure found in the text.
        p.setPen(QPen(QColor(0x9a, 0x8a, 0x70), 1.2 * u, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            const double y = by + (14 + 9 * i) * u;
            p.drawLine(QPointF(bx + 8 * u, y + 0.5 * i * u), QPointF(bx + bw / 2 - 6 * u, y + 1.5 * u));
            p.drawLine(QPointF(bx + bw / 2 + 6 * u, y + 1.5 * u), QPointF(bx + bw - 8 * u, y + 0.5 * i * u));
        }
        p.setPen(QPen(QColor(0xd0, 0x3a, 0x2a), 2.2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(bx + bw / 2 + 10 * u, by + 34 * u), QPointF(bx + bw - 14 * u, by + 33 * u));

        // A quill above the book.
        QPainterPath quill;
        const QPointF tip(r.x() + 70 * u, r.y() + 98 * u);
        quill.moveTo(tip);
        quill.cubicTo(tip + QPointF(2 * u, -22 * u), tip + QPointF(16 * u, -40 * u), tip + QPointF(30 * u, -48 * u));
        quill.cubicTo(tip + QPointF(22 * u, -30 * u), tip + QPointF(14 * u, -14 * u), tip);
        p.setPen(QPen(QColor(0x2e, 0x5e, 0x8a), 1.2 * u));
        p.setBrush(QColor(0x7f, 0xb2, 0xe0));
        p.drawPath(quill);
        p.setPen(QPen(QColor(0x2e, 0x5e, 0x8a), 1.0 * u));
        p.drawLine(tip, tip + QPointF(24 * u, -40 * u));

        // Three sparks: the figures that light up a text.
        const QColor sparks[] = {QColor(0xe5, 0x6b, 0x1f), QColor(0x2a, 0x9d, 0x5c), QColor(0x8e, 0x44, 0xad)};
        const QPointF at[] = {QPointF(24, 68), QPointF(40, 56), QPointF(30, 86)};
        for (int i = 0; i < 3; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(sparks[i]);
            const QPointF c = r.topLeft() + at[i] * u;
            QPainterPath star;
            for (int k = 0; k < 8; ++k) {
                const double a = k * M_PI / 4;
                const double rad = (k % 2 ? 2.0 : 5.5) * u;
                const QPointF pt = c + QPointF(std::cos(a) * rad, std::sin(a) * rad);
                if (k == 0)
                    star.moveTo(pt);
                else
                    star.lineTo(pt);
            }
            star.closeSubpath();
            p.drawPath(star);
        }
    }
};

} // namespace

QColor MetaforeScreen::restingColor()
{
    // The system's button face, as a pupil's other programs show it.
    return QColor(0xf0, 0xf0, 0xf0);
}

MetaforeScreen::MetaforeScreen(const ScreenEnv &env, QWidget *parent)
    : ActivityScreen(env, name(), designSize(), kBackground, QStringLiteral("Form1"), OnMenu::Hide, parent),
      m_quiz(env.services->randomSource())
{
    build();
}

MetaforeScreen::~MetaforeScreen() = default;

void MetaforeScreen::build()
{
    buildExample();
    buildLists();
    buildCommands();
}

void MetaforeScreen::buildExample()
{
    m_image1 = new FigureEmblem(this);
    setDesignGeometry(m_image1, tw(12, 12, 112, 184));

    m_view = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Esempio"), tw(136, 12, 652, 184));
    m_view->setFrameShape(QFrame::Box);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Nothing is typed here: a blinking caret would only distract.
    m_view->setCursorWidth(0);
    {
        QPalette pal = m_view->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::black);
        m_view->setPalette(pal);
    }

    const DesignFont questionFont{kFont, 9.75, true};
    m_label2 = controls::label(this, QStringLiteral("Label2"), QStringLiteral("1) Quale figura retorica è illustrata?"),
                               tw(kLeftX, kQuestionTop, 184, 42), questionFont, kQuestionText);
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setDesignFont(m_label2, questionFont);
    m_image2 = addPicture(QStringLiteral("Image2"), tw(kLeftX + kLeftW - 42, kQuestionTop - 1, 42, 42));

    m_label3 = controls::label(this, QStringLiteral("Label3"),
                               QStringLiteral("2) Clicca sulla definizione che corrisponde alla figura retorica."),
                               tw(kRightX, kQuestionTop, kRightW - 50, 42), questionFont, kQuestionText);
    m_label3->setWordWrap(true);
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setDesignFont(m_label3, questionFont);
    m_image3 = addPicture(QStringLiteral("Image3"), tw(kRightX + kRightW - 42, kQuestionTop - 1, 42, 42));
}

void MetaforeScreen::buildLists()
{
    // The frames lie under their controls, which belong to the screen itself
    // so that each keeps its own place on the design.
    m_frame1 = controls::panel(this, QStringLiteral("Frame1"), tw(kLeftX, kListTop - 6, kLeftW, 10 * kOptionStep + 10), kPanel);
    m_frame1->setAccessibleName(QStringLiteral("Domanda 1: le figure"));
    m_optionGroup = new QButtonGroup(this);
    for (int i = 0; i < FigureCount; ++i) {
        auto *o = new OptionBox(figureCaptions().at(i), this);
        o->setObjectName(arrayName(QStringLiteral("Option1"), i));
        o->setGround(restingColor());
        setDesignGeometry(o, tw(kLeftX + 6, kListTop + i * kOptionStep, kLeftW - 12, kOptionH));
        setDesignFont(o, DesignFont{kFont, kOptionPoints});
        m_optionGroup->addButton(o, i);
        connect(o, &OptionBox::clicked, this, [this, i] { Option1_Click(i); });
        m_options[i] = o;
    }

    m_frame2 = controls::panel(this, QStringLiteral("Frame2"), tw(kRightX, kListTop - 6, kRightW, 10 * kDefinitionStep + 8), kPanel);
    m_frame2->setAccessibleName(QStringLiteral("Domanda 2: le definizioni"));
    for (int i = 0; i < FigureCount; ++i) {
        const QRect g = tw(kRightX + 6, kListTop + i * kDefinitionStep, kRightW - 12, kDefinitionH);
        ClickLabel *l = controls::clickable(this, arrayName(QStringLiteral("Label1"), i), definitionTexts().at(i), g,
                                            DesignFont{kFont, kDefinitionPoints}, Qt::black, restingColor());
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setIndent(6);
        // A click does not take the focus: the ring stays where the keyboard
        // left it, not on whatever follows a closed definition.
        l->setFocusPolicy(Qt::TabFocus);
        l->setAccessibleName(QStringLiteral("Definizione %1").arg(i + 1));
        l->setAccessibleDescription(definitionTexts().at(i));
        setFittedFont(l, DesignFont{kFont, kDefinitionPoints}, TextFit{true, 0.8, false});
        connect(l, &ClickLabel::clicked, this, [this, i] { Label1_Click(i); });
        m_definitions[i] = l;
    }
}

void MetaforeScreen::buildCommands()
{
    buildCounters();

    const DesignFont buttonFont{kFont, 9.75, true};
    m_next = controls::button(this, QStringLiteral("CmdSeguente"), QStringLiteral("Figura successiva"),
                              tw(kLeftX, 602, kLeftW, 32), buttonFont);
    connect(m_next, &QPushButton::clicked, this, &MetaforeScreen::CmdSeguente_Click);

    const DesignFont exitFont{kFont, 9.75};
    addExit(Exit::Menu, QStringLiteral("CmdMenù"), QStringLiteral("Menù"), tw(kRightX, 602, 164, 32), exitFont);
    addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"), tw(kRightX + 184, 602, 164, 32),
            exitFont);
    addExit(Exit::Quit, QStringLiteral("CmdEsco"), QStringLiteral("Esco"), tw(kRightX + kRightW - 164, 602, 164, 32),
            exitFont);

    // Between the figures' panel and the counters, left of their headings:
    // free on every display, and beside the lists it reads. It reads the
    // example, the figures, then the definitions.
    addReadButton(tw(kLeftX, kListTop - 6 + 10 * kOptionStep + 10 + 2, 90, 24), [this] {
        Reading r = reading::of(m_view);
        for (OptionBox *o : m_options)
            r += reading::ofChoice(o);
        for (ClickLabel *d : m_definitions)
            r += reading::ofChoice(d);
        return r;
    });
    buildTabOrder();
}

void MetaforeScreen::buildCounters()
{
    const DesignFont rowFont{kFont, 9.75, true};
    const DesignFont headFont{kFont, 8.25};
    const int top = kListTop - 6 + 10 * kOptionStep + 10 + 8;
    const int nameW = 92, numberX = kLeftX + 100, numberW = 56;

    auto head = [&](const QString &name, const QString &text, int x, const QColor &colour) {
        StyledLabel *l = controls::label(this, name, text, tw(x, top, numberW, 18), headFont, colour);
        l->setAlignment(Qt::AlignCenter);
    };
    head(QStringLiteral("LabTitoloSba"), QStringLiteral("sbagliate"), numberX, QColor(255, 140, 140));
    head(QStringLiteral("LabTitoloGiu"), QStringLiteral("giuste"), numberX + numberW + 10, Qt::white);

    auto row = [&](const QString &rowName, const QString &caption, int y, StyledLabel **wrong, StyledLabel **right,
                   const QString &wrongName, const QString &rightName) {
        StyledLabel *l = controls::label(this, rowName, caption, tw(kLeftX, y, nameW, 24), rowFont, kQuestionText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        *wrong = controls::label(this, wrongName, QStringLiteral("0"), tw(numberX, y, numberW, 24), rowFont, red(),
                                 kPanel);
        *right = controls::label(this, rightName, QStringLiteral("0"), tw(numberX + numberW + 10, y, numberW, 24),
                                 rowFont, Qt::white, kPanel);
        (*wrong)->setAlignment(Qt::AlignCenter);
        (*right)->setAlignment(Qt::AlignCenter);
        a11y::nameCounter(*wrong, caption + QStringLiteral(" sbagliate"));
        a11y::nameCounter(*right, caption + QStringLiteral(" giuste"));
    };
    row(QStringLiteral("Label4"), QStringLiteral("Figure"), top + 20, &m_figSba, &m_figGiu, QStringLiteral("LabFigSba"),
        QStringLiteral("LabFigGiu"));
    row(QStringLiteral("Label5"), QStringLiteral("Definizioni"), top + 48, &m_defSba, &m_defGiu,
        QStringLiteral("LabDefSba"), QStringLiteral("LabDefGiu"));
    // Pure red reads badly on the dark panel: the wrong counts sit on a
    // light tile instead.
    m_figSba->setBackgroundColor(QColor(0xff, 0xe8, 0xe8));
    m_defSba->setBackgroundColor(QColor(0xff, 0xe8, 0xe8));
}

void MetaforeScreen::buildTabOrder()
{
    QVector<QWidget *> chain;
    chain << m_view;
    for (OptionBox *o : m_options)
        chain << o;
    for (ClickLabel *l : m_definitions)
        chain << l;
    chain << m_next << exitButton(Exit::Menu) << exitButton(Exit::Archive) << exitButton(Exit::Quit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MetaforeScreen::formLoad()
{
    m_quiz.load();
    showExample();
    showQuestions();
    showCounters();
}

void MetaforeScreen::showExample()
{
    const QString file = m_quiz.exampleFile();
    const RtfResult r = m_view->load(file, services().baseDir);
    if (!r.ok) {
        // The pupil cannot answer about a text that is not there; the next
        // example can be drawn straight away.
        m_quiz.markUnavailable();
        services().tell(QStringLiteral("Non riesco a mostrare l'esempio %1.\n%2\n\n"
                                       "Premi «Figura successiva» per vederne un altro.")
                            .arg(file, r.error));
    }
    m_view->setAccessibleDescription(m_view->plainText());
}

void MetaforeScreen::showCounters()
{
    m_figGiu->setText(counterText(m_quiz.figures().right));
    m_figSba->setText(counterText(m_quiz.figures().wrong));
    m_defGiu->setText(counterText(m_quiz.definitions().right));
    m_defSba->setText(counterText(m_quiz.definitions().wrong));
}

void MetaforeScreen::showQuestions()
{
    const bool figureOpen = !m_quiz.figuraFatta() && !m_quiz.unavailable();
    const bool definitionOpen = !m_quiz.definizioneFatta() && !m_quiz.unavailable();
    m_frame1->setEnabled(figureOpen);
    m_frame2->setEnabled(definitionOpen);
    for (int i = 0; i < FigureCount; ++i) {
        // An answered question looks answered, the figures and the
        // definitions alike: the choice framed (on red when wrong), the
        // others grey.
        auto markOf = [i](bool open, int chosen, int wrong) {
            return open ? AnswerMark::Open
                   : i == wrong ? AnswerMark::Wrong
                   : i == chosen ? AnswerMark::Chosen
                                 : AnswerMark::Closed;
        };
        OptionBox *o = m_options[i];
        o->setEnabled(figureOpen);
        o->setMark(markOf(figureOpen, m_quiz.chosenFigure(), m_quiz.wrongFigure()));

        ClickLabel *l = m_definitions[i];
        l->setEnabled(definitionOpen);
        markAnswer(l, markOf(definitionOpen, m_quiz.chosenDefinition(), m_quiz.wrongDefinition()), restingColor());
        QString name = QStringLiteral("Definizione %1").arg(i + 1);
        if (i == m_quiz.chosenDefinition())
            name += i == m_quiz.wrongDefinition() ? QStringLiteral(" (scelta, sbagliata)") : QStringLiteral(" (scelta, giusta)");
        l->setAccessibleName(name);
    }
    if (m_quiz.chosenFigure() >= 0) {
        // However the answer came (a click, the keyboard), its circle is
        // the one filled.
        m_options[m_quiz.chosenFigure()]->setChecked(true);
    } else {
        // Clearing an exclusive group needs it non-exclusive for a moment.
        m_optionGroup->setExclusive(false);
        for (OptionBox *o : m_options)
            o->setChecked(false);
        m_optionGroup->setExclusive(true);
    }
}

void MetaforeScreen::showState()
{
    showQuestions();
    showCounters();
}

void MetaforeScreen::Option1_Click(int index)
{
    present(m_quiz.answerFigure(index), m_image2);
}

void MetaforeScreen::Label1_Click(int index)
{
    present(m_quiz.answerDefinition(index), m_image3);
}

void MetaforeScreen::CmdSeguente_Click()
{
    if (m_quiz.next() == MetaforeQuiz::NextOutcome::Incomplete) {
        services().tell(MetaforeQuiz::incompleteMessage());
        return;
    }
    m_image2->clear();
    m_image3->clear();
    m_image2->show();
    m_image3->show();
    showExample();
    showQuestions();
}

namespace poetryscreens {
Screen *createMetafore(const ScreenEnv &env)
{
    return new MetaforeScreen(env);
}
} // namespace poetryscreens

} // namespace morvello
