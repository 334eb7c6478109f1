// SPDX-License-Identifier: GPL-3.0-or-later
#include "trovaseqscreen.h"

#include "narrativescreens.h"

#include "kit/controls.h"
#include "kit/accessibility.h"
#include "kit/countercaption.h"
#include "kit/passageview.h"
#include "kit/reader.h"
#include "text/richtextview.h"

#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace morvello {

namespace {
// Where the helps' number stands on the design, and the furthest left it goes.
constexpr int kAiutiLeft = 9000;
// The left edge of the column of exit buttons.
constexpr int kExitLeft = 9960;
const QString kFont = QStringLiteral("MS Sans Serif");

// The window behind the controls, and the ground of the story: dark enough
// that white text, the pastel colours and the red marks all read well.
const QColor kBackground(48, 32, 64);
const QColor kStoryGround(26, 26, 42);
// The hint documents are written in the automatic colour: a light page.
const QColor kHelpGround(255, 255, 240);

const QColor kScoreColour(192, 255, 192);

// The size the stories are written in.

QString indexed(const QString &array, int i)
{
    return QStringLiteral("%1(%2)").arg(array).arg(i);
}

void darkView(RichTextView *v, const QColor &ground, const QColor &text)
{
    QPalette pal = v->palette();
    pal.setColor(QPalette::Base, ground);
    pal.setColor(QPalette::Text, text);
    v->setPalette(pal);
    v->viewport()->setAutoFillBackground(true);
    v->setFrameShape(QFrame::Box);
}
} // namespace

Screen *narrativescreens::createTrovaSeq(const ScreenEnv &env)
{
    return new TrovaSeqScreen(env);
}

TrovaSeqScreen::TrovaSeqScreen(const ScreenEnv &env, QWidget *parent)
    : ActivityScreen(env, narrativescreens::TrovaSeq, QSize(12195, 8595), kBackground, QStringLiteral("Form1"), OnMenu::Hide,
                     parent)
{
    build();
    m_logic = std::make_unique<StoryColouring>(m_story->document(), m_solution->document(), m_help->document(),
                                               services().baseDir);
}

TrovaSeqScreen::~TrovaSeqScreen() = default;

StyledLabel *TrovaSeqScreen::addLabel(const QString &name, const QString &text, const QRect &twips, double points,
                                      bool bold, const QColor &textColor, const QColor &background)
{
    StyledLabel *l = controls::label(this, name, text, twips, DesignFont{kFont, points, bold}, textColor, background);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

void TrovaSeqScreen::build()
{
    buildViews();
    buildChooser();
    buildPalette();
    buildCommandsAndScore();
    // Below the exits, where the screen has nothing.
    addReadButton(QRect(9960, 8160, 2055, 375), [this] { return reading::of(m_story); });
    buildTabOrder();
}

void TrovaSeqScreen::buildViews()
{
    m_story = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Racconto da dividere in sequenze"),
                              QRect(240, 240, 7095, 7935));
    m_story->setAccessibleDescription(
        QStringLiteral("Seleziona una sequenza con il mouse o con Maiuscolo e le frecce, poi scegli il suo colore."));
    m_story->setTabChangesFocus(true);
    darkView(m_story, kStoryGround, Qt::white);

    m_help = new RichTextView(this);
    m_help->setObjectName(QStringLiteral("RichTextBox2"));
    m_help->setAccessibleName(QStringLiteral("Aiuto"));
    m_help->setTabChangesFocus(true);
    darkView(m_help, kHelpGround, Qt::black);
    setDesignGeometry(m_help, QRect(7440, 4920, 4575, 1695));

    m_solution = new RichTextView(this);
    m_solution->setObjectName(QStringLiteral("RichTextBox3"));
    setDesignGeometry(m_solution, QRect(240, 8400, 7095, 135));
    m_solution->hide();
}

void TrovaSeqScreen::buildChooser()
{
    m_autore = addLabel(QStringLiteral("LabAUTORE"), QString(), QRect(7440, 240, 4575, 495), 8.25, false, Qt::white,
                        QColor(64, 64, 64));
    m_autore->setAlignment(Qt::AlignCenter);
    m_autore->setWordWrap(true);

    m_label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("In questo brano devi trovare        sequenze"),
                        QRect(7440, 840, 4575, 375), 9.75, true, Qt::white);
    // Whole on one line, to the last letter of "sequenze": narrower letters
    // first, then a smaller size.
    setFittedFont(m_label1, DesignFont{kFont, 9.75, true}, TextFit{false, 0.8, true});
    m_nrSeq = addLabel(QStringLiteral("LabNrSeq"), QString(), QRect(10440, 840, 375, 495), 9.75, true, Qt::white);
    m_nrSeq->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    (new CounterCaption(this, m_label1))->number(m_nrSeq, CounterCaption::Place::InBlanks);

    StyledLabel *label2 = addLabel(
        QStringLiteral("Label2"),
        QStringLiteral("Tenendo premuto il tasto sinistro del mouse, seleziona la sequenza, poi clicca sul colore"),
        QRect(7440, 1320, 4575, 495), 8.25, true, QColor(255, 192, 255), QColor(128, 128, 128));
    label2->setWordWrap(true);
    label2->setAlignment(Qt::AlignCenter);
    setFittedFont(label2, DesignFont{kFont, 8.25, true}, TextFit{true, 0.8, false});

    QStringList titles;
    for (const StoryEntry &e : storyCatalogue())
        titles << e.title;
    m_combo = controls::chooser(this, QStringLiteral("Combo1"), titles, StoryColouring::chooserText(),
                                QRect(9960, 2040, 2055, 315), DesignFont{kFont, 8.25, true}, QColor(0x40, 0x00, 0x40),
                                Qt::white);
    // The pupil's name for it, beside the prompt the list shows.
    m_combo->setAccessibleName(QStringLiteral("Scegli il testo"));
    // Activated, not changed: choosing the title on display again reloads it.
    connect(m_combo, &QComboBox::activated, this, [this](int index) { Combo1_Click(m_combo->itemText(index)); });
}

void TrovaSeqScreen::buildPalette()
{
    static const int captionWidths[PaletteSize] = {1575, 1695, 1455, 1575, 1695};
    for (int i = 0; i < PaletteSize; ++i) {
        const PaletteEntry &p = storyPalette().at(i);
        const int top = 2040 + 480 * i;
        ClickLabel *square = controls::clickable(this, indexed(QStringLiteral("LabCOLORE"), i), QString(),
                                                 QRect(7440, top, 615, 375), DesignFont{kFont, 8.25}, Qt::white,
                                                 QColor::fromRgb(p.square));
        square->setBordered(true);
        square->setAccessibleName(p.caption);
        square->setAccessibleDescription(QStringLiteral("Colora il testo selezionato"));
        square->setToolTip(p.caption);
        connect(square, &ClickLabel::clicked, this, [this, i] { LabCOLORE_Click(i); });
        m_squares[i] = square;

        // Captions level with their squares, wrapped onto two lines.
        StyledLabel *caption = addLabel(indexed(QStringLiteral("Label3"), i), p.caption,
                                        QRect(8280, top, captionWidths[i], 375), 8.25, false,
                                        QColor::fromRgb(p.captionColour));
        caption->setWordWrap(true);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setFittedFont(caption, DesignFont{kFont, 8.25}, TextFit{true, 0.8, false});
        m_captions[i] = caption;
    }
}

void TrovaSeqScreen::buildCommandsAndScore()
{
    const DesignFont buttonFont{kFont, 8.25, true};
    m_aiuto = controls::button(this, QStringLiteral("CmdAiuto"), QStringLiteral("Aiutami!"),
                               QRect(7440, 4560, 4575, 375), buttonFont);
    connect(m_aiuto, &QPushButton::clicked, this, &TrovaSeqScreen::CmdAiuto_Click);
    m_correzione = controls::button(this, QStringLiteral("Cmdcorrezione"), QStringLiteral("CORREGGI"),
                                    QRect(7440, 6600, 4575, 375), buttonFont);
    connect(m_correzione, &QPushButton::clicked, this, &TrovaSeqScreen::Cmdcorrezione_Click);

    addLabel(QStringLiteral("Label4"), QStringLiteral("Valutazione"), QRect(7440, 7080, 2415, 255), 8.25, true,
             kScoreColour);
    m_punti = addLabel(QStringLiteral("Labpunti"), QStringLiteral("0"), QRect(7560, 7320, 615, 255), 8.25, true,
                       kScoreColour);
    m_punti->setAlignment(Qt::AlignRight | Qt::AlignTop);
    StyledLabel *puntiSu = addLabel(QStringLiteral("Label5"), QStringLiteral(" punti su"), QRect(8160, 7320, 855, 375),
                                    8.25, true, kScoreColour);
    m_tot = addLabel(QStringLiteral("Labtot"), QStringLiteral("0"), QRect(9000, 7320, 615, 255), 8.25, true,
                     kScoreColour);
    m_label7 = addLabel(QStringLiteral("Label7"), QStringLiteral("(Mancate coincidenze") + QString(18, QLatin1Char(' '))
                                                      + QStringLiteral(")"),
                        QRect(7440, 7560, 2535, 255), 8.25, false, Qt::white);
    setFittedFont(m_label7, DesignFont{kFont, 8.25}, TextFit{false, 0.8, true});
    m_label7->setAccessibleName(QStringLiteral("Mancate coincidenze"));
    m_errori = addLabel(QStringLiteral("LabErrori"), QStringLiteral("0"), QRect(9240, 7560, 735, 255), 8.25, false,
                        Qt::white);
    m_errori->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label6 = addLabel(QStringLiteral("Label6"), QStringLiteral("Aiuti ricevuti"), QRect(7920, 7920, 1215, 255), 8.25,
                        true, Qt::white);
    m_aiuti = addLabel(QStringLiteral("Labaiuti"), QStringLiteral("0"), QRect(kAiutiLeft, 7920, 615, 255), 8.25, true,
                       Qt::white);
    a11y::nameCounter(m_punti, QStringLiteral("Punti"));
    a11y::nameCounter(m_tot, QStringLiteral("Punti possibili"));
    a11y::nameCounter(m_errori, QStringLiteral("Mancate coincidenze"));
    a11y::nameCounter(m_aiuti, QStringLiteral("Aiuti ricevuti"));
    (new CounterCaption(this, puntiSu))
        ->number(m_punti, CounterCaption::Place::BeforeCaption)
        .number(m_tot, CounterCaption::Place::AfterCaption);
    // The closing bracket stays clear of the buttons beside it.
    (new CounterCaption(this, m_label7))
        ->number(m_errori, CounterCaption::Place::InBlanks)
        .endsBefore(kExitLeft - 60);
    // The helps' number follows its caption, however wide this computer's
    // font draws it, and never moves left of its place.
    (new CounterCaption(this, m_label6))->number(m_aiuti, CounterCaption::Place::AfterCaption, 0, kAiutiLeft);

    const DesignFont exitFont{kFont, 8.25};
    addExit(Exit::Menu, QStringLiteral("CmdMenù"), QStringLiteral("Menù"), QRect(kExitLeft, 7080, 2055, 255), exitFont);
    addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"), QRect(kExitLeft, 7440, 2055, 255),
            exitFont);
    addExit(Exit::Quit, QStringLiteral("CmdEsci"), QStringLiteral("Esco"), QRect(kExitLeft, 7800, 2055, 255), exitFont);
}

void TrovaSeqScreen::buildTabOrder()
{
    // Keyboard road: choose a story, select in it, pick a square, then the commands.
    QVector<QWidget *> chain{m_combo, m_story};
    for (ClickLabel *s : m_squares)
        chain << s;
    chain << m_aiuto << m_help << m_correzione << exitButton(Exit::Menu) << exitButton(Exit::Archive)
          << exitButton(Exit::Quit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TrovaSeqScreen::formLoad()
{
    tellAll(m_logic->load());
    m_story->contentLoaded();
    m_story->setSelStart(0);
    showState();
}

void TrovaSeqScreen::tellAll(const QStringList &messages)
{
    for (const QString &m : messages)
        services().tell(m);
}

void TrovaSeqScreen::showState()
{
    const StoryColouring &l = *m_logic;
    m_autore->setText(l.source());
    m_autore->setAccessibleName(QStringLiteral("Fonte: %1").arg(l.source()));
    m_nrSeq->setText(counterText(l.nrSequenze()));
    m_label1->setAccessibleName(QStringLiteral("In questo brano devi trovare %1 sequenze").arg(l.nrSequenze()));
    for (int i = 0; i < PaletteSize; ++i) {
        m_squares[i]->setVisible(i < l.nrSequenze());
        m_captions[i]->setVisible(i < l.nrSequenze());
    }
    m_aiuto->setEnabled(l.canHelp());
    m_correzione->setEnabled(l.canCorrect());
    m_punti->setText(counterText(l.punti()));
    m_tot->setText(counterText(l.tot()));
    m_errori->setText(counterText(l.erroriShown()));
    m_aiuti->setText(counterText(l.nrAiuti()));
}

void TrovaSeqScreen::Combo1_Click(const QString &text)
{
    const QStringList messages = m_logic->choose(text);
    m_story->contentLoaded();
    m_story->setSelStart(0);
    showState();
    tellAll(messages);
}

void TrovaSeqScreen::LabCOLORE_Click(int index)
{
    const QTextCursor c = m_story->textCursor();
    const int painted = m_logic->colour(index, c.selectionStart(), c.selectionEnd());
    // The selection's highlight would hide the new colour: the cursor moves
    // to the end of the stretch, ready for the next one.
    if (painted > 0)
        m_story->setSelStart(c.selectionEnd());
}

void TrovaSeqScreen::CmdAiuto_Click()
{
    QString message;
    const bool shown = m_logic->help(&message);
    m_help->setSelStart(0);
    showState();
    if (!shown && !message.isEmpty())
        services().tell(message);
}

void TrovaSeqScreen::Cmdcorrezione_Click()
{
    const Judgement judgement = m_logic->correct();
    if (judgement.isJudged())
        m_story->setSelStart(0);
    present(judgement);
}

} // namespace morvello
