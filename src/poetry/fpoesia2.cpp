// SPDX-License-Identifier: GPL-3.0-or-later
#include "fpoesia2.h"

#include "poesiawidgets.h"
#include "poetryscreens.h"

#include "kit/reader.h"
#include "kit/controls.h"
#include "kit/passageview.h"
#include "text/richtextview.h"

#include <QGroupBox>
#include <QPushButton>

namespace morvello {

using poesia::Question;

namespace {
const QString kFont = QStringLiteral("MS Sans Serif");
const QSize kDesign(12000, 8400);
const QColor kBackground(0x30, 0x20, 0x48);

// The questions lie in rows: the heading on the left, the options beside it.
constexpr int kHeadingLeft = 240;
constexpr int kHeadingWidth = 2280;
constexpr int kOptionsLeft = 2640;
constexpr int kOptionsRight = 11760;
constexpr int kRowTop = 720;
constexpr int kRowHeight = 720;
constexpr int kRowGap = 120;
constexpr int kOptionGap = 90;

constexpr double kOptionPoints = 9.0;

QRect rowRect(int row)
{
    return QRect(0, kRowTop + row * (kRowHeight + kRowGap), 0, kRowHeight);
}

QString arrayName(Question q, int index)
{
    return QStringLiteral("Label%1(%2)").arg(int(q) + 1).arg(index);
}

const QRect kLabel12(240, 4260, 11520, 420);
const QRect kFrame1(240, 4740, 9960, 2280);
const QRect kImage1(10440, 4860, 1200, 1200);
const QRect kView(kOptionsLeft, kRowTop, kOptionsRight - kOptionsLeft, 7020 - kRowTop);
} // namespace

FPoesia2::FPoesia2(const ScreenEnv &env, QWidget *parent)
    : ActivityScreen(env, name(), kDesign, kBackground, captionText(), OnMenu::Hide, parent),
      m_pair(sharedModel<PoesiaPair>(*env.host))
{
    build();
    connect(&m_pair, &PoesiaPair::poemChanged, this, &FPoesia2::poemLoaded);
    connect(&m_pair, &PoesiaPair::countersChanged, this, &FPoesia2::showCounters);
    connect(&m_pair, &PoesiaPair::questionsOpened, this, &FPoesia2::showQuestions);
}

FPoesia2::~FPoesia2() = default;

void FPoesia2::build()
{
    buildQuestions();
    buildMeaning();
    buildCountersAndCommands();
    // Below the exits, where the screen has nothing: the poem while it is
    // shown, the question and its options otherwise.
    addReadButton(QRect(9840, 7980, 1920, 360), [this] {
        if (m_view->isVisible())
            return reading::of(m_view);
        Reading r = reading::of(m_label12);
        for (OptionBox *o : m_options)
            if (o && o->isVisible())
                r += reading::ofChoice(o);
        return r;
    });
    buildTabOrder();
}

void FPoesia2::buildQuestions()
{
    m_label13 = controls::label(this, QStringLiteral("Label13"), QStringLiteral("In questa poesia..."),
                                QRect(240, 180, 6000, 420), DesignFont{kFont, 13.5, true}, QColor(255, 255, 192));

    for (int qi = 0; qi < poesia::QuestionCount; ++qi) {
        const Question q = Question(qi);
        const poesia::QuestionInfo &info = poesia::question(q);
        const QRect row = rowRect(qi);
        const int count = poesia::optionCount(q);
        const int width = (kOptionsRight - kOptionsLeft - (count - 1) * kOptionGap) / count;
        for (int i = 0; i < poesia::OptionSlots; ++i) {
            const bool heading = i == 0;
            const bool placeholder = i > count;
            QRect g = heading ? QRect(kHeadingLeft, row.y(), kHeadingWidth, row.height())
                              : QRect(kOptionsLeft + (i - 1) * (width + kOptionGap), row.y(), width, row.height());
            if (placeholder)
                g = QRect(kOptionsRight - width, row.y(), width, row.height());
            const QString text = heading ? info.heading : placeholder ? QString() : info.options.at(i - 1);
            ClickLabel *l = controls::clickable(this, arrayName(q, i), text, g,
                                                DesignFont{kFont, heading ? 9.75 : kOptionPoints, heading},
                                                heading ? info.headingText : info.optionText,
                                                heading ? info.headingBack : info.optionBack);
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(true);
            l->setAlignment(heading ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::AlignCenter);
            l->setContentsMargins(6, 2, 6, 2);
            setFittedFont(l, DesignFont{kFont, heading ? 9.75 : kOptionPoints, heading}, TextFit{true, 0.75, false});
            if (heading) {
                l->setFocusPolicy(Qt::NoFocus);
                l->setAccessibleName(info.heading.simplified());
            } else {
                // A click does not take the focus: the ring stays where the
                // keyboard left it, not on whatever follows a closed option.
                l->setFocusPolicy(Qt::TabFocus);
                l->setCursor(Qt::PointingHandCursor);
                l->setAccessibleName(info.heading.simplified() + QLatin1Char(' ') + text);
            }
            l->setVisible(!placeholder);
            connect(l, &ClickLabel::clicked, this, [this, q, i] { Label_Click(q, i); });
            m_labels[size_t(qi)][size_t(i)] = l;
        }
    }
}

void FPoesia2::buildMeaning()
{
    m_labSeguente = controls::label(this, QStringLiteral("LabSeguente"), QString(), kLabel12, DesignFont{kFont, 8.25},
                                    Qt::white, QColor(0x80, 0x40, 0x00));
    m_label12 = controls::label(this, QStringLiteral("Label12"), QStringLiteral(" Il poeta vuol far capire che..."),
                                kLabel12, DesignFont{kFont, 12, true}, QColor(255, 255, 192));
    m_label12->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_frame1 = new QGroupBox(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setAccessibleName(m_label12->text().trimmed());
    m_frame1->setFlat(true);
    m_frame1->setStyleSheet(QStringLiteral("QGroupBox#Frame1 { border: none; background: transparent; }"));
    setDesignGeometry(m_frame1, kFrame1);
    m_optionGroup.setExclusive(true);
    for (int i = 0; i < poesia::SentenceCount; ++i) {
        auto *o = new OptionBox(this);
        o->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        o->setGround(palette().color(QPalette::Button));
        const QRect g(kFrame1.x() + 120, kFrame1.y() + i * (kFrame1.height() / 4) + 60, kFrame1.width() - 240,
                      kFrame1.height() / 4 - 120);
        setDesignGeometry(o, g);
        setDesignFont(o, DesignFont{kFont, 9.75});
        o->setCaptionFit(TextFit{false, 0.7, true});
        m_optionGroup.addButton(o, i);
        connect(o, &OptionBox::clicked, this, [this, i] { Option1_Click(i); });
        m_options[size_t(i)] = o;
    }
}

void FPoesia2::buildCountersAndCommands()
{
    m_view = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Testo della poesia"), kView,
                             PassageView::Lines::Keep);
    setDesignFont(m_view, kFont, 8.25);

    m_image1 = addPicture(QStringLiteral("Image1"), kImage1);
    m_image1->setShrinkAway(ShrinkAway{TickMs, 400, HideAtTick, pair().contaTick()});

    const DesignFont counterFont{kFont, 9.75, true};
    const QColor counterText(255, 255, 255);
    const poesiawidgets::CounterRow attuale = poesiawidgets::addCounterRow(
        this, QStringLiteral("Label5"), poesiawidgets::attualeCaption(), QStringLiteral("Label7"),
        QStringLiteral("Label8"), QRect(240, 7260, 2640, 300), counterFont, counterText);
    const poesiawidgets::CounterRow totale = poesiawidgets::addCounterRow(
        this, QStringLiteral("Label6"), poesiawidgets::totaleCaption(), QStringLiteral("Label9"),
        QStringLiteral("Label10"), QRect(240, 7620, 2640, 300), counterFont, counterText);
    m_label5 = attuale.frame;
    m_label6 = totale.frame;
    m_numbers = {attuale.right, attuale.total, totale.right, totale.total};

    const DesignFont buttonFont{kFont, 9.75, true};
    m_cmdrivedo = controls::button(this, QStringLiteral("cmdrivedo"), reviewText(), QRect(3360, 7260, 2640, 600),
                                   buttonFont);
    connect(m_cmdrivedo, &QPushButton::clicked, this, &FPoesia2::cmdrivedo_Click);
    setBackTarget(poetryscreens::Poesia1);
    addExit(Exit::Back, QStringLiteral("cmdtorno"), QStringLiteral("Torno alla pagina precedente"),
            QRect(6240, 7260, 3360, 600), buttonFont);
    addExit(Exit::Quit, QStringLiteral("cmdfine"), QStringLiteral("Esco"), QRect(9840, 7260, 1920, 600), buttonFont);
}

void FPoesia2::buildTabOrder()
{
    // Keyboard road: the options row by row, the sentences, then the buttons.
    QVector<QWidget *> chain;
    for (const auto &row : m_labels)
        for (int i = 1; i < poesia::OptionSlots; ++i)
            chain << row[size_t(i)];
    for (OptionBox *o : m_options)
        chain << o;
    chain << m_cmdrivedo << exitButton(Exit::Back) << exitButton(Exit::Quit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void FPoesia2::formLoad()
{
    // Placeholders, the poem and the picture start hidden; the picture's
    // timer is not running.
    m_view->hide();
    m_image1->hide();
    setReviewing(false);
    poemLoaded();
    showQuestions();
}

StyledLabel *FPoesia2::counter(int n) const
{
    return n >= 7 && n <= 10 ? m_numbers[size_t(n - 7)] : nullptr;
}

void FPoesia2::poemLoaded()
{
    for (int i = 0; i < poesia::SentenceCount; ++i) {
        m_options[size_t(i)]->setText(pair().frasiMessaggio(i));
        m_options[size_t(i)]->setAccessibleName(pair().frasiMessaggio(i));
        refit(m_options[size_t(i)]);
    }
}

void FPoesia2::showCounters()
{
    const CounterRows &c = pair().questionCounters();
    poesiawidgets::showRow({m_label5, m_numbers[0], m_numbers[1]}, c.right, c.total, QStringLiteral("Questa poesia"));
    poesiawidgets::showRow({m_label6, m_numbers[2], m_numbers[3]}, c.runningRight, c.runningTotal,
                           QStringLiteral("In tutto"));
}

void FPoesia2::showQuestions()
{
    using State = PoesiaExercise::OptionState;
    for (int qi = 0; qi < poesia::QuestionCount; ++qi) {
        const Question q = Question(qi);
        const poesia::QuestionInfo &info = poesia::question(q);
        for (int i = 1; i <= poesia::optionCount(q); ++i) {
            ClickLabel *l = m_labels[size_t(qi)][size_t(i)];
            const State s = pair().optionState(q, i);
            l->setEnabled(s == State::Open);
            // A tried option keeps its colours; the frame says it was tried.
            markAnswer(l, s == State::Wrong ? AnswerMark::Wrong : s == State::Right ? AnswerMark::Chosen : AnswerMark::Open,
                       info.optionBack, info.optionText);
        }
    }
    m_frame1->setEnabled(pair().meaningOpen());
    m_optionGroup.setExclusive(false);
    for (int i = 0; i < poesia::SentenceCount; ++i) {
        OptionBox *o = m_options[size_t(i)];
        const State s = pair().meaningState(i);
        o->setMark(s == State::Wrong   ? AnswerMark::Wrong
                   : s == State::Right ? AnswerMark::Chosen
                   : pair().meaningOpen() ? AnswerMark::Open
                                          : AnswerMark::Closed);
        o->setChecked(pair().meaningChosen() == i);
        o->setEnabled(pair().meaningOpen());
    }
    m_optionGroup.setExclusive(true);
    showCounters();
}

void FPoesia2::Label_Click(Question q, int index)
{
    if (m_reviewing)
        return;
    answered(pair().answerOption(q, index));
}

void FPoesia2::Option1_Click(int index)
{
    if (m_reviewing)
        return;
    answered(pair().answerMeaning(index));
}

void FPoesia2::answered(const Judgement &judgement)
{
    if (!judgement.isJudged()) {
        showQuestions(); // a stray click on a closed option button leaves no mark
        return;
    }
    m_pair.announceCounters();
    // Saved at once, so that leaving from here loses nothing.
    present(judgement, m_image1);
}

void FPoesia2::setReviewing(bool on)
{
    m_reviewing = on;
    for (int qi = 0; qi < poesia::QuestionCount; ++qi) {
        const Question q = Question(qi);
        for (int i = 1; i <= poesia::optionCount(q); ++i)
            m_labels[size_t(qi)][size_t(i)]->setVisible(!on);
    }
    m_frame1->setVisible(!on);
    for (OptionBox *o : m_options)
        o->setVisible(!on);
    m_label12->setVisible(!on);
    m_labSeguente->setVisible(!on);
    m_view->setVisible(on);
    if (QPushButton *back = exitButton(Exit::Back))
        back->setEnabled(!on);
    m_cmdrivedo->setText(on ? questionsText() : reviewText());
    m_cmdrivedo->setAccessibleName(m_cmdrivedo->text());
    m_image1->raise();
}

void FPoesia2::cmdrivedo_Click()
{
    if (!m_reviewing) {
        // The poem as the poem screen shows it, formatting and colours included.
        m_view->showContentOf(m_pair.poem, m_pair.poemZoom);
        setReviewing(true);
        m_view->fit();
    } else {
        setReviewing(false);
    }
}

void FPoesia2::titleBarClose()
{
    if (m_reviewing)
        setReviewing(false);
    exitBack();
}

Screen *poetryscreens::createPoesia2(const ScreenEnv &env)
{
    return new FPoesia2(env);
}

} // namespace morvello
