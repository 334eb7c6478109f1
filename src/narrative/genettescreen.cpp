// SPDX-License-Identifier: GPL-3.0-or-later
#include "genettescreen.h"

#include "narrativescreens.h"

#include "kit/controls.h"
#include "kit/accessibility.h"
#include "kit/countercaption.h"
#include "kit/passageview.h"
#include "kit/reader.h"
#include "text/richtextview.h"
#include "kit/textfit.h"

#include <QDateTime>
#include <QFrame>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace morvello {

namespace {
const QString kFont = QStringLiteral("MS Sans Serif");
const QColor kCream(255, 224, 192);
const QColor kSage(188, 202, 172);
// The window lies under a dark picture so that the cream captions on it read well.
const QColor kBackground(28, 44, 58);

// Concept buttons in Frame1, left to right: left and width inside the frame.
constexpr int kFrame1Left = 6480, kFrame1Top = 1200;
constexpr int kConceptLefts[GenetteConceptCount] = {120, 960, 1800, 2760, 3600, 4575};
constexpr int kConceptWidths[GenetteConceptCount] = {855, 855, 975, 855, 975, 855};
// Options in Frame2, top to bottom.
constexpr int kFrame2Left = 6480, kFrame2Top = 2880;
constexpr int kOptionLeft = 120, kOptionTop = 120, kOptionStep = 720, kOptionWidth = 5295, kOptionHeight = 615;

} // namespace

// ---------------------------------------------------------------------------

GenetteScreen::GenetteScreen(const ScreenEnv &env, QWidget *parent)
    : ActivityScreen(env, narrativescreens::Genette, QSize(12195, 8595), kBackground, QStringLiteral("Form1"),
                     OnMenu::Hide, parent)
{
    build();
}

GenetteScreen::~GenetteScreen() = default;

StyledLabel *GenetteScreen::addLabel(const QString &name, const QString &text, const QRect &twips, double points,
                                     bool bold, const QColor &textColor, const QColor &background)
{
    StyledLabel *l = controls::label(this, name, text, twips, DesignFont{kFont, points, bold}, textColor, background);
    l->setTextFormat(Qt::PlainText);
    return l;
}

void GenetteScreen::build()
{
    buildPassage();
    buildConcepts();
    buildOptions();
    buildScoreAndExits();
    // Below the exits, where the screen has nothing: the passage, the
    // question, then the options shown.
    addReadButton(QRect(9840, 8100, 2055, 375), [this] {
        Reading r = reading::of(m_rich) + reading::of(m_label3);
        for (OptionBox *o : m_options)
            if (o && o->isVisible())
                r += reading::ofChoice(o);
        return r;
    });
    buildTabOrder();
}

void GenetteScreen::buildPassage()
{
    addLabel(QStringLiteral("Label7"), QString(), QRect(240, 240, 6135, 5655), 8.25, false, Qt::black, kSage);
    m_rich = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Testo da analizzare"),
                             QRect(360, 360, 5895, 5415));
    // In the Tab order for a screen reader, but with no blinking cursor:
    // one would make the passage look like a box to type in.
    m_rich->setCursorWidth(0);

    addLabel(QStringLiteral("Label8"), QString(), QRect(240, 6000, 6135, 2055), 8.25, false, Qt::black,
             QColor(240, 224, 192));
    addLabel(QStringLiteral("Label6"), QString(), QRect(360, 6120, 5895, 1815), 8.25, false, Qt::black, kCream);
    m_label3 = addLabel(QStringLiteral("Label3"), QString(), QRect(480, 6240, 5655, 1575), 9.75, true,
                        QColor(128, 0, 0), kCream);
    m_label3->setWordWrap(true);
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Read by its whole text ("PROBLEMA: ..."), which changes with the text.
}

void GenetteScreen::buildConcepts()
{
    StyledLabel *label2 = addLabel(
        QStringLiteral("Label2"),
        QStringLiteral("Individua la caratteristica del testo. Prima leggi, in basso, quale aspetto si analizza, "
                       "poi scegli tra le opzioni."),
        QRect(6480, 240, 5535, 495), 8.25, true, QColor(204, 202, 172), QColor(0, 0, 64));
    label2->setWordWrap(true);
    label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_frame1 = controls::panel(this, QStringLiteral("Frame1"), QRect(kFrame1Left, kFrame1Top, 5535, 615), kSage);
    for (int i = 0; i < GenetteConceptCount; ++i) {
        const GenetteConcept &c = genetteConcepts().at(i);
        QPushButton *b = controls::button(
            this, c.button, c.buttonCaption,
            QRect(kFrame1Left + kConceptLefts[i], kFrame1Top + 120, kConceptWidths[i], 375), DesignFont{kFont, 8.25});
        connect(b, &QPushButton::clicked, this, [this, i] { CmdConcept_Click(i); });
        m_conceptButtons[size_t(i)] = b;
    }

    // The caption and the concept meet edge to edge: both narrow their
    // letters rather than run into each other, and a small gap parts them.
    // The caption reaches a little further left than it once did, where
    // nothing lies, so that bold letters wider than the old ones fit.
    const TextFit oneLine{false, 0.8, true};
    StyledLabel *label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("Concetto selezionato:"),
                                   QRect(7200, 2040, 2535, 375), 9.75, true, kCream);
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFittedFont(label1, DesignFont{kFont, 9.75, true}, oneLine);
    m_labConcetto = addLabel(QStringLiteral("LabConcetto"), QString(), QRect(9720, 2040, 1695, 375), 9.75, true, kCream);
    m_labConcetto->setContentsMargins(5, 0, 0, 0);
    m_labConcetto->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFittedFont(m_labConcetto, DesignFont{kFont, 9.75, true}, oneLine);
    a11y::nameCounter(m_labConcetto, QStringLiteral("Concetto selezionato"));
    addLabel(QStringLiteral("Label9"), QStringLiteral("Testo Nr. "), QRect(8640, 2400, 735, 255), 8.25, false, kCream);
    m_labNrEser = addLabel(QStringLiteral("LabNrEser"), QString(), QRect(9360, 2400, 375, 255), 8.25, false, kCream);
    a11y::nameCounter(m_labNrEser, QStringLiteral("Testo numero"));
}

void GenetteScreen::buildOptions()
{
    m_frame2 = controls::panel(this, QStringLiteral("Frame2"), QRect(kFrame2Left, kFrame2Top, 5535, 3015), kSage);
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i) {
        auto *o = new OptionBox(this);
        o->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        setDesignGeometry(o, QRect(kFrame2Left + kOptionLeft, kFrame2Top + kOptionTop + kOptionStep * i, kOptionWidth,
                                   kOptionHeight));
        setDesignFont(o, kFont, 8.25);
        connect(o, &QAbstractButton::clicked, this, [this, i] { Option1_Click(i); });
        o->hide();
        m_options[size_t(i)] = o;
    }

    m_cmdSeguente = controls::button(this, QStringLiteral("CmdSeguente"), QStringLiteral("Esercizio successivo"),
                                     QRect(6600, 6120, 5295, 735), DesignFont{kFont, 8.25});
    connect(m_cmdSeguente, &QPushButton::clicked, this, &GenetteScreen::CmdSeguente_Click);

    // The picture rests at the width it is given back after each shrink.
    m_image1 = addPicture(QStringLiteral("Image1"), QRect(6600, 6840, PictureRestWidth, 1215));
    m_image1->setShrinkAway(ShrinkAway{PictureDelayMs, PictureShrinkMs, 1, nullptr});
    m_image1->hide();
    connect(m_image1, &PictureSlot::finished, this, [this] { m_exercise.pictureTimerDone(); });
}

void GenetteScreen::buildScoreAndExits()
{
    addLabel(QStringLiteral("Label4"), QStringLiteral("Valutazione"), QRect(7920, 7200, 1695, 255), 8.25, true, kCream);
    m_labpunti = addLabel(QStringLiteral("Labpunti"), QStringLiteral("0"), QRect(7800, 7440, 615, 255), 8.25, true,
                          kCream);
    m_labpunti->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_labpunti->setAccessibleName(QStringLiteral("Risposte giuste"));
    StyledLabel *puntiSu = addLabel(QStringLiteral("Label5"), QStringLiteral(" punti su"), QRect(8400, 7440, 855, 375),
                                    8.25, true, kCream);
    puntiSu->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labtot = addLabel(QStringLiteral("Labtot"), QStringLiteral("0"), QRect(9300, 7440, 615, 255), 8.25, true, kCream);
    m_labtot->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labtot->setAccessibleName(QStringLiteral("Risposte date"));
    // "3 punti su 5" reads as one line, however wide this computer's font
    // draws "punti su".
    (new CounterCaption(this, puntiSu))
        ->number(m_labpunti, CounterCaption::Place::BeforeCaption)
        .number(m_labtot, CounterCaption::Place::AfterCaption);

    const DesignFont exitFont{kFont, 8.25};
    addExit(Exit::Menu, QStringLiteral("CmdMenù"), QStringLiteral("Menù"), QRect(9840, 6960, 2055, 255), exitFont);
    addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"), QRect(9840, 7320, 2055, 255),
            exitFont);
    addExit(Exit::Quit, QStringLiteral("CmdEsci"), QStringLiteral("Esco"), QRect(9840, 7680, 2055, 255), exitFont);
}

void GenetteScreen::buildTabOrder()
{
    // The passage is read first, as on paper; then the concepts above the
    // options, the options, and the commands.
    QWidget *previous = m_rich;
    auto chain = [&previous](QWidget *w) {
        setTabOrder(previous, w);
        previous = w;
    };
    for (int i = 0; i < GenetteConceptCount; ++i)
        chain(m_conceptButtons[size_t(i)]);
    for (OptionBox *o : m_options)
        chain(o);
    chain(m_cmdSeguente);
    chain(exitButton(Exit::Menu));
    chain(exitButton(Exit::Archive));
    chain(exitButton(Exit::Quit));
}

OptionBox *GenetteScreen::option(int index) const
{
    return index >= 0 && index < GenetteExercise::MaxOptions ? m_options[size_t(index)] : nullptr;
}

QPushButton *GenetteScreen::conceptButton(int concept) const
{
    return concept >= 0 && concept < GenetteConceptCount ? m_conceptButtons[size_t(concept)] : nullptr;
}

void GenetteScreen::formLoad()
{
    m_exercise.load(services().randomSource());
    display();
    loadPassage();
}

void GenetteScreen::CmdConcept_Click(int concept)
{
    m_exercise.choose(concept);
    display();
    loadPassage();
}

void GenetteScreen::Option1_Click(int index)
{
    if (!present(m_exercise.answer(index), m_image1))
        display(); // takes back the check mark of a click that did not count
}

void GenetteScreen::CmdSeguente_Click()
{
    if (m_exercise.next() == GenetteExercise::NextOutcome::NeedAnswer) {
        services().tell(GenetteExercise::needAnswerMessage());
        return;
    }
    m_image1->clear();
    display();
    loadPassage();
}

void GenetteScreen::display()
{
    for (int i = 0; i < GenetteConceptCount; ++i)
        m_conceptButtons[size_t(i)]->setEnabled(m_exercise.conceptEnabled(i));

    const bool open = m_exercise.optionsEnabled();
    m_frame2->setEnabled(open);
    for (int i = 0; i < GenetteExercise::MaxOptions; ++i) {
        OptionBox *o = m_options[size_t(i)];
        o->setText(m_exercise.optionCaption(i));
        o->setAccessibleName(m_exercise.optionCaption(i));
        o->setChecked(m_exercise.optionChecked(i));
        const bool chosen = m_exercise.optionChecked(i);
        o->setMark(open ? AnswerMark::Open
                        : m_exercise.optionRed(i) ? AnswerMark::Wrong
                        : chosen                  ? AnswerMark::Chosen
                                                  : AnswerMark::Closed);
        o->setEnabled(open);
        o->setVisible(m_exercise.optionShown(i));
    }

    if (m_label3->text() != m_exercise.problem()) {
        m_label3->setText(m_exercise.problem());
        refit(m_label3);
    }
    m_labConcetto->setText(m_exercise.labConcetto());
    m_labNrEser->setText(m_exercise.labNrEser());
    m_cmdSeguente->setEnabled(m_exercise.nextEnabled());
    m_labpunti->setText(counterText(m_exercise.score().right));
    m_labtot->setText(counterText(m_exercise.score().total));
}

void GenetteScreen::loadPassage()
{
    const QString file = m_exercise.currentFile();
    const RtfResult r = m_rich->load(file, services().baseDir);
    if (!r.ok) {
        m_exercise.passageMissing();
        display();
        services().tell(QStringLiteral("Il testo %1 non si può mostrare: %2\n\nPuoi scegliere un altro esercizio o un "
                                       "altro concetto.")
                            .arg(file, r.error));
    }
}

Screen *narrativescreens::createGenette(const ScreenEnv &env)
{
    return new GenetteScreen(env);
}

} // namespace morvello
