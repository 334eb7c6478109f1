// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequencescreen.h"

#include "kit/controls.h"
#include "kit/accessibility.h"
#include "kit/countercaption.h"
#include "kit/reader.h"

#include <QComboBox>
#include <QPainter>
#include <QFontMetricsF>
#include <QFrame>
#include <QPushButton>
#include <cmath>

namespace morvello {

namespace {
const QString kFont = QStringLiteral("MS Sans Serif");
constexpr int kTextLeft = 240;
constexpr int kTextWidth = 7095;
// A box holds a type name on two lines at its full size.
constexpr int kBoxHeight = 480;
// What shows of the background between the boxes of two rows.
constexpr int kBoxGap = 75;
// Passage text keeps off the edges of its coloured block.
const QMargins kTextPadding(60, 45, 60, 45);
static_assert(sequencerows::MinHeight == kBoxHeight + kBoxGap, "a row holds its box and the gap below it");
constexpr int kCounterWidth = 375;
constexpr int kCounterHeight = 255;
constexpr double kDropPoints = 9.75;
constexpr double kAnswerPoints = kDropPoints;

QString rowName(const QString &array, int row)
{
    return QStringLiteral("%1(%2)").arg(array).arg(row);
}
} // namespace

int sequencerows::height(const QString &text, int divisor)
{
    const int d = qMax(1, divisor);
    return LineHeight * (1 + int(text.size()) / d);
}

int sequencerows::heightWithBox(const QString &text, int divisor)
{
    return qMax(height(text, divisor), MinHeight);
}

QVector<int> sequencerows::stackedTops(const QVector<int> &heights, int firstTop)
{
    QVector<int> tops;
    int top = firstTop;
    for (int h : heights) {
        tops << top;
        top += h;
    }
    return tops;
}

QColor sequenceRowColor(int row)
{
    static const QColor colours[SequenceExercise::MaxRows] = {
        QColor(0xFF, 0xFF, 0xC0), QColor(0xFF, 0xFF, 0x80), QColor(0xFF, 0xC0, 0xC0),
        QColor(0xFF, 0xE0, 0xC0), QColor(0xFF, 0xC0, 0x80), QColor(0xFF, 0xC0, 0xFF),
    };
    return row >= 0 && row < SequenceExercise::MaxRows ? colours[row] : QColor(Qt::white);
}

static const Catalogue &emptyCatalogue()
{
    static const Catalogue none;
    return none;
}

SequenceScreen::SequenceScreen(const ScreenEnv &env, const SequenceScreenConfig &config, QWidget *parent)
    : ActivityScreen(env, config.name, config.design, config.background, config.caption, OnMenu::Unload, parent),
      m_config(config),
      m_exercise(config.catalogue ? *config.catalogue : emptyCatalogue(), config.group)
{
    m_tops.fill(sequencerows::FirstTop);
    m_heights.fill(sequencerows::LineHeight);
    build();
}

SequenceScreen::~SequenceScreen() = default;

StyledLabel *SequenceScreen::addLabel(const QString &name, const QString &text, const QRect &geometry)
{
    StyledLabel *l = controls::label(this, name, text, geometry, DesignFont{kFont, 8.25});
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

void SequenceScreen::build()
{
    m_board = new DropBoard(this);
    buildRows();
    connect(this, &Screen::laidOut, this, &SequenceScreen::layRows);
    for (const TypeLabelDef &def : m_config.typeLabels)
        m_board->addTile(def.name, def.caption, def.geometry, DesignFont{kFont, 9.75, true}, m_config.typeBackground,
                         Qt::white);
    connect(m_board, &DropBoard::placed, this,
            [this](int index, const QString &caption) { Label7_DragDrop(index, nullptr, caption); });

    m_instructions = addLabel(m_config.instructionsName, m_config.instructionsText, m_config.instructionsGeometry);
    m_instructions->setTextColor(QColor(0x80, 0x00, 0x80));
    m_instructions->setWordWrap(true);
    m_instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_instructions->setAccessibleName(QStringLiteral("Istruzioni"));
    m_instructions->setAccessibleDescription(m_config.instructionsText);
    setDesignFont(m_instructions, kFont, 12);

    m_labedizione = addLabel(QStringLiteral("labedizione"), QString(), m_config.sourceGeometry);
    m_labedizione->setTextColor(m_config.sourceColor);
    m_labedizione->setAlignment(Qt::AlignCenter);
    m_labedizione->setAccessibleName(QStringLiteral("Fonte del testo"));

    m_combo = controls::chooser(this, QStringLiteral("Combo1"), m_exercise.choices(), m_config.comboPrompt,
                                m_config.comboGeometry, DesignFont{kFont, 8.25, true}, QColor(0x40, 0x00, 0x40),
                                m_config.comboText);
    m_combo->setToolTip(QStringLiteral("Apri l'elenco e scegli un testo"));
    connect(m_combo, &QComboBox::activated, this,
            [this](int index) { Combo1_Click(m_combo->itemText(index)); });

    m_cmdrisult = controls::button(this, QStringLiteral("cmdrisult"), QStringLiteral("RISULTATO"),
                                   m_config.checkGeometry, DesignFont{kFont, 8.25, true});
    m_column->keepClear(m_cmdrisult);
    connect(m_cmdrisult, &QPushButton::clicked, this, &SequenceScreen::cmdrisult_Click);

    buildCounters();

    const DesignFont commandFont{kFont, 8.25};
    if (m_config.hasRegister) {
        m_registro = controls::button(this, m_config.registro.name, m_config.registro.caption,
                                      m_config.registro.geometry, commandFont);
        connect(m_registro, &QPushButton::clicked, this, &SequenceScreen::CMDREGISTRO_Click);
    }
    addExit(Exit::Menu, m_config.menu.name, m_config.menu.caption, m_config.menu.geometry, commandFont);
    addExit(Exit::Archive, m_config.archive.name, m_config.archive.caption, m_config.archive.geometry, commandFont);
    addExit(Exit::Quit, m_config.fine.name, m_config.fine.caption, m_config.fine.geometry, commandFont);

    // Below the exits, where both screens have nothing.
    addReadButton(QRect(9720, 7920, 1935, 420), [this] {
        Reading r;
        for (int i = 0; i < SequenceExercise::MaxRows && m_exercise.rowShown(i); ++i)
            r += reading::of(m_label1[i]);
        return r;
    });
    buildTabOrder();
}

void SequenceScreen::buildRows()
{
    // The rows scroll, with their boxes and answers, only when the legible
    // type makes them higher than the room the design gives them; the bar
    // stands in the margin left of them. The column reaches a little beyond
    // the rows so that a focus ring around a box shows whole, and stops a
    // strip of background short of the controls below.
    const int margin = 60;
    const int bottom = m_config.rowsBottom - kBoxGap;
    m_column = new ScrollColumn(this, QStringLiteral("ColonnaSequenze"),
                                QRect(kTextLeft - margin, sequencerows::FirstTop - margin,
                                      m_config.design.width() - (kTextLeft - margin),
                                      bottom - (sequencerows::FirstTop - margin)),
                                QRect(15, sequencerows::FirstTop, kTextLeft - margin - 30,
                                      bottom - sequencerows::FirstTop));
    m_column->setAccessibleName(QStringLiteral("Sequenze del testo"));
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const QColor colour = sequenceRowColor(i);

        auto *text = new PassageLabel(this);
        text->setObjectName(rowName(QStringLiteral("Label1"), i));
        setDesignGeometry(text, QRect(kTextLeft, sequencerows::FirstTop, kTextWidth, sequencerows::LineHeight));
        text->setBackgroundColor(colour);
        // A row is at least as high as its box: a short passage sits in the
        // middle of its block rather than on top of an empty band.
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setDesignFont(text, kFont, 12);
        setDesignPadding(text, kTextPadding);
        text->hide();
        addPassageLabel(text);
        m_column->adopt(text);
        m_label1[i] = text;

        DropLabel *box = m_board->addBox(
            rowName(QStringLiteral("Label7"), i),
            QRect(m_config.dropLeft, sequencerows::FirstTop, m_config.dropWidth, kBoxHeight),
            DesignFont{kFont, kDropPoints, m_config.dropBold, m_config.dropItalic}, colour);
        box->hide();

        auto *answer = addLabel(rowName(m_config.answerArray, i), QString(),
                                QRect(m_config.answerLeft, sequencerows::FirstTop, m_config.answerWidth, kBoxHeight));
        answer->setBackgroundColor(colour);
        answer->setBordered(m_config.answerBordered);
        answer->setAlignment(m_config.answerAlignment);
        answer->setWordWrap(true);
        // A caption set against the left edge keeps off it, as the passage does.
        if (m_config.answerAlignment & Qt::AlignLeft)
            setDesignPadding(answer, QMargins(kTextPadding.left(), 0, kTextPadding.right(), 0));
        const DesignFont answerFont{kFont, kAnswerPoints};
        setFittedFont(answer, answerFont, DropBoard::captionFit(answerFont));
        answer->hide();
        m_answers[i] = answer;
        m_column->adopt(box);
        m_column->adopt(answer);
    }
}

void SequenceScreen::buildCounters()
{
    auto frame = [this](const QString &name, const QString &text, const QRect &g) {
        StyledLabel *l = addLabel(name, text, g);
        l->setTextColor(Qt::white);
        setDesignFont(l, kFont, 8.25, true);
        return l;
    };
    auto number = [this](const QString &name, int left, int top) {
        StyledLabel *l = addLabel(name, QStringLiteral("0"), QRect(left, top, kCounterWidth, kCounterHeight));
        l->setTextColor(Qt::white);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    // The frames first, so that the numbers lie over their blank stretches.
    m_label4 = frame(QStringLiteral("Label4"), m_config.label4Text, m_config.label4Geometry);
    m_label4->setAccessibleName(QStringLiteral("Ultima verifica"));
    m_label5 = frame(QStringLiteral("Label5"), m_config.label5Text, m_config.label5Geometry);
    m_label5->setAccessibleName(QStringLiteral("Totale della visita"));
    m_label2 = number(QStringLiteral("Label2"), m_config.rightLeft, m_config.lastTop);
    m_label3 = number(QStringLiteral("Label3"), m_config.totalLeft, m_config.lastTop);
    m_label6 = number(QStringLiteral("Label6"), m_config.rightLeft, m_config.visitTop);
    m_label8 = number(QStringLiteral("Label8"), m_config.totalLeft, m_config.visitTop);
    // "su" of both rows stands halfway between the two columns of numbers,
    // which keep their places.
    const int suCentre = (m_config.rightLeft + kCounterWidth + m_config.totalLeft) / 2;
    a11y::nameCounter(m_label2, QStringLiteral("Giuste nell'ultima verifica"));
    a11y::nameCounter(m_label3, QStringLiteral("Sequenze dell'ultima verifica"));
    a11y::nameCounter(m_label6, QStringLiteral("Giuste in tutto"));
    a11y::nameCounter(m_label8, QStringLiteral("Sequenze in tutto"));
    (new CounterCaption(this, m_label4))
        ->number(m_label2, CounterCaption::Place::OwnPlace)
        .number(m_label3, CounterCaption::Place::OwnPlace)
        .closingWordCentredOn(suCentre);
    (new CounterCaption(this, m_label5))
        ->number(m_label6, CounterCaption::Place::OwnPlace)
        .number(m_label8, CounterCaption::Place::OwnPlace)
        .closingWordCentredOn(suCentre);
}

void SequenceScreen::buildTabOrder()
{
    // Keyboard road: a type label, then a box to place it in, then the commands.
    QVector<QWidget *> chain;
    chain << m_combo;
    chain << m_board->tabChain();
    chain << m_cmdrisult;
    if (m_registro)
        chain << m_registro;
    chain << exitButton(Exit::Menu) << exitButton(Exit::Archive) << exitButton(Exit::Quit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

StyledLabel *SequenceScreen::counter(int n) const
{
    switch (n) {
    case 2: return m_label2;
    case 3: return m_label3;
    case 6: return m_label6;
    case 8: return m_label8;
    default: return nullptr;
    }
}

void SequenceScreen::formLoad()
{
    m_exercise.load();
    showBoard();
}

int SequenceScreen::rowTop(int row) const
{
    return row >= 0 && row < SequenceExercise::MaxRows ? m_tops[row] : 0;
}

int SequenceScreen::rowHeight(int row) const
{
    return row >= 0 && row < SequenceExercise::MaxRows ? m_heights[row] : 0;
}

void SequenceScreen::layRows()
{
    // The rows of the passage on display stack from the top; rows beyond it
    // keep where they were, hidden.
    QVector<int> heights;
    const int width = toPixels(QRect(kTextLeft, 0, kTextWidth, 0)).width();
    for (int i = 0; i < SequenceExercise::MaxRows && m_exercise.rowShown(i); ++i) {
        if (legible()) {
            // The legible type keeps its size and spacing: the row grows to
            // hold it (a pixel more for the rounding of its edges).
            const int need = m_label1[i]->heightForWidth(width) + 1;
            m_heights[i] = qMax(sequencerows::MinHeight, int(std::ceil(need * kTwipsPerPixel / scale())));
        } else {
            m_heights[i] = sequencerows::heightWithBox(m_exercise.rowText(i), m_exercise.rowDivisor(i));
        }
        heights << m_heights[i];
    }
    const QVector<int> tops = sequencerows::stackedTops(heights);
    for (int i = 0; i < tops.size(); ++i)
        m_tops[i] = tops[i];

    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const int top = m_tops[i];
        setDesignGeometry(m_label1[i], QRect(kTextLeft, top, kTextWidth, m_heights[i]));
        // The box keeps to its row and leaves a strip of background before
        // the next row's box, so that the boxes do not read as one stack.
        const int boxHeight = qMin(kBoxHeight, m_heights[i] - kBoxGap);
        m_board->setBoxGeometry(i, QRect(m_config.dropLeft, top, m_config.dropWidth, boxHeight));
        setDesignGeometry(m_answers[i], QRect(m_config.answerLeft, top, m_config.answerWidth, boxHeight));
        refit(m_answers[i]);
    }
    evenRowFonts();
    m_column->fitContent();
}

void SequenceScreen::showBoard()
{
    for (int i = 0; i < SequenceExercise::MaxRows; ++i) {
        const bool shown = m_exercise.rowShown(i);
        const int k = i + 1;

        PassageLabel *text = m_label1[i];
        text->setText(m_exercise.rowText(i));
        text->setVisible(shown);

        const QString caption = m_exercise.dropCaption(i);
        QString name = QStringLiteral("Sequenza %1: %2").arg(k).arg(caption.isEmpty() ? QStringLiteral("vuota") : caption);
        if (m_exercise.dropWrong(i))
            name += QStringLiteral(" (sbagliata)");
        m_board->setBox(i, caption, m_exercise.dropWrong(i) ? red() : sequenceRowColor(i), name);
        m_board->box(i)->setVisible(shown);
        // The texts cannot be reached by Tab: each box tells its own text
        // after its name, so the pupil hears what to classify.
        m_board->box(i)->setAccessibleDescription(m_exercise.rowText(i));

        StyledLabel *answer = m_answers[i];
        answer->setText(m_exercise.answerCaption(i));
        answer->setAccessibleName(QStringLiteral("Risposta giusta %1: %2").arg(k).arg(m_exercise.answerCaption(i)));
        answer->setVisible(m_exercise.answerShown(i));
    }

    const std::optional<Score> last = m_exercise.lastCheck();
    const Score visit = m_exercise.visit();
    m_label2->setText(last ? counterText(last->right) : QString());
    m_label3->setText(last ? counterText(last->total) : QString());
    m_label6->setText(counterText(visit.right));
    m_label8->setText(counterText(visit.total));

    layRows();

    m_labedizione->setText(m_exercise.sourceLine());
    m_labedizione->setAccessibleDescription(m_exercise.sourceLine());
    m_cmdrisult->setEnabled(m_exercise.checkEnabled());
}

void SequenceScreen::evenRowFonts()
{
    // Each row is fitted on its own; the passage then reads in one size, the
    // smallest that any of its rows needs.
    int smallest = 0;
    for (int i = 0; i < SequenceExercise::MaxRows && m_exercise.rowShown(i); ++i) {
        refit(m_label1[i]);
        const int px = m_label1[i]->font().pixelSize();
        smallest = smallest == 0 ? px : qMin(smallest, px);
    }
    for (int i = 0; i < SequenceExercise::MaxRows && m_exercise.rowShown(i); ++i) {
        if (m_label1[i]->font().pixelSize() != smallest) {
            QFont f = m_label1[i]->font();
            f.setPixelSize(smallest);
            m_label1[i]->setFont(f);
        }
    }
}

void SequenceScreen::Combo1_Click(const QString &choice)
{
    m_board->clearPick();
    m_exercise.choose(choice);
    showBoard();
}

void SequenceScreen::Label7_DragDrop(int index, QObject *source, const QString &caption)
{
    // The dragged label's own caption counts; the dragged data is the fallback
    // for a drag whose source is not at hand.
    const QString dropped = DropBoard::droppedCaption(source, caption);
    if (dropped.isEmpty())
        return;
    if (m_exercise.drop(index, dropped))
        showBoard();
}

void SequenceScreen::cmdrisult_Click()
{
    present(m_exercise.check());
}

void SequenceScreen::CmdMenu_Click()
{
    exitToMenu();
}

void SequenceScreen::CmdArchivio_Click()
{
    exitToArchive();
}

void SequenceScreen::CMDREGISTRO_Click()
{
    if (!m_registro || !m_registro->isEnabled())
        return;
    // Once a visit: only a new load enables it again.
    m_registro->setEnabled(false);
    host().askName();
    if (session().nomeStudente.isEmpty())
        return;
    const DbError err = host().appendStudentRow(QStringLiteral("Testi narrativi"), m_exercise.savedRight(),
                                                m_exercise.savedTotal());
    if (err.isError())
        services().tell(saveFailedText(err));
}

void SequenceScreen::beforeExit(Exit)
{
    m_board->clearPick();
}

void SequenceScreen::paintDecoration(QPainter &p, const QRect &area)
{
    Screen::paintDecoration(p, area);
    // On a dark screen the purple instructions would sink into the
    // background: they sit on a light card, as on a sheet of paper.
    if (!m_instructions || backgroundColor().lightness() >= 96)
        return;
    const QRect r = m_instructions->geometry();
    const int textHeight = qMin(r.height(), m_instructions->heightForWidth(r.width()));
    const int pad = px(90);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 238, 250));
    double bottom = r.y() + textHeight + pad;
    // The source line below keeps its own dark ground.
    if (m_labedizione && m_labedizione->y() > r.y())
        bottom = qMin(bottom, double(m_labedizione->y() - px(15)));
    p.drawRoundedRect(QRectF(r.x() - pad, r.y() - pad, r.width() + 2 * pad, bottom - (r.y() - pad)), pad, pad);
    p.restore();
}

} // namespace morvello
