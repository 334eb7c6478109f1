// SPDX-License-Identifier: GPL-3.0-or-later
#include "fpoesia1.h"

#include "fpoesia2.h"
#include "poetryscreens.h"

#include "kit/reader.h"
#include "kit/controls.h"
#include "kit/passageview.h"
#include "text/richtextview.h"
#include "core/ticker.h"

#include <QComboBox>
#include <QPushButton>

namespace morvello {

namespace {
const QString kFont = QStringLiteral("MS Sans Serif");
const QSize kDesign(12000, 8400);
const QColor kBackground(0x20, 0x3C, 0x5A);

const QRect kCombo(240, 180, 4440, 360);
const QRect kView(240, 660, 6720, 6780);
const QRect kSource(240, 7500, 6720, 300);

// Three columns beside the poem: boxes, solutions, tiles.
constexpr int kBoxLeft = 7200;
constexpr int kBoxWidth = 1560;
constexpr int kSolutionLeft = 8880;
constexpr int kSolutionWidth = 1440;
constexpr int kTileLeft = 10440;
constexpr int kTileWidth = 1320;
constexpr int kFirstTop = 660;
constexpr int kBoxHeight = 480;
constexpr int kBoxStep = 600;
constexpr int kTileHeight = 420;
constexpr int kTileStep = 540;

QRect boxRect(int left, int width, int i)
{
    return QRect(left, kFirstTop + i * kBoxStep, width, kBoxHeight);
}
} // namespace

FPoesia1::FPoesia1(const ScreenEnv &env, QWidget *parent)
    : ActivityScreen(env, name(), kDesign, kBackground, captionText(), OnMenu::Unload, parent),
      m_pair(sharedModel<PoesiaPair>(*env.host))
{
    build();
    connect(&m_pair, &PoesiaPair::countersChanged, this, &FPoesia1::showCounters);
}

FPoesia1::~FPoesia1() = default;

void FPoesia1::build()
{
    buildPoem();
    buildBoard();
    buildCountersAndCommands();
    // Below the exits, where the screen has nothing.
    addReadButton(QRect(kBoxLeft, 7560, 2160, 420), [this] { return reading::of(m_view); });
    buildTabOrder();
}

void FPoesia1::buildPoem()
{
    // Its prompt is drawn as the text of a chooser ready to be used, not as
    // the grey of a disabled one.
    m_combo = controls::chooser(this, QStringLiteral("Combo1"), poesia::chooserEntries(), poesia::chooserPrompt(),
                                kCombo, DesignFont{kFont, 9.75, true}, Qt::white, Qt::black);
    connect(m_combo, &QComboBox::activated, this, [this](int index) { Combo1_Click(m_combo->itemText(index)); });

    m_view = new PassageView(this, QStringLiteral("RichTextBox1"), QStringLiteral("Testo della poesia"), kView,
                             PassageView::Lines::Keep);
    setDesignFont(m_view, kFont, 8.25);

    m_labedizione = controls::label(this, QStringLiteral("labedizione"), QString(), kSource,
                                    DesignFont{kFont, 8.25, false, true}, QColor(255, 255, 224));
    m_labedizione->setTextFormat(Qt::PlainText);
    m_labedizione->setAccessibleName(QStringLiteral("Fonte della poesia"));
}

void FPoesia1::buildBoard()
{
    m_board = new DropBoard(this);
    for (int i = 0; i < poesia::BoxCount; ++i) {
        DropLabel *box = m_board->addBox(QStringLiteral("Label1(%1)").arg(i), boxRect(kBoxLeft, kBoxWidth, i),
                                         DesignFont{kFont, 9.75, true}, poesia::boxColour(i));
        box->hide();
        StyledLabel *solution = controls::label(this, QStringLiteral("Label9(%1)").arg(i), QString(),
                                                boxRect(kSolutionLeft, kSolutionWidth, i), DesignFont{kFont, 9.75},
                                                Qt::black, poesia::boxColour(i));
        solution->setTextFormat(Qt::PlainText);
        solution->setAlignment(Qt::AlignCenter);
        solution->setBordered(true);
        solution->hide();
        m_label9[size_t(i)] = solution;
    }
    const QVector<poesia::Tile> &tiles = poesia::tiles();
    for (int k = 0; k < tiles.size(); ++k)
        m_board->addTile(QStringLiteral("Label2(%1)").arg(tiles.at(k).index), tiles.at(k).caption,
                         QRect(kTileLeft, kFirstTop + k * kTileStep, kTileWidth, kTileHeight),
                         DesignFont{kFont, 9, true}, poesia::tileColour(), Qt::white);
    connect(m_board, &DropBoard::placed, this,
            [this](int index, const QString &caption) { Label1_DragDrop(index, nullptr, caption); });
}

void FPoesia1::buildCountersAndCommands()
{
    const DesignFont counterFont{kFont, 9.75, true};
    const QColor counterText(255, 255, 255);
    m_attuale = poesiawidgets::addCounterRow(this, QStringLiteral("Label3"), poesiawidgets::attualeCaption(),
                                             QStringLiteral("Label4"), QStringLiteral("Label5"),
                                             QRect(kBoxLeft, 4440, 2760, 300), counterFont, counterText);
    m_totale = poesiawidgets::addCounterRow(this, QStringLiteral("Label6"), poesiawidgets::totaleCaption(),
                                            QStringLiteral("Label7"), QStringLiteral("Label8"),
                                            QRect(kBoxLeft, 4800, 2760, 300), counterFont, counterText);

    const DesignFont buttonFont{kFont, 9.75, true};
    m_cmdrisult = controls::button(this, QStringLiteral("cmdrisult"), QStringLiteral("RISULTATO"),
                                   QRect(kBoxLeft, 5340, 4560, 600), buttonFont);
    connect(m_cmdrisult, &QPushButton::clicked, this, &FPoesia1::cmdrisult_Click);
    m_cmdapprof = controls::button(this, QStringLiteral("cmdapprof"), PoesiaExercise::blinkFirst(),
                                   QRect(kBoxLeft, 6060, 4560, 600), buttonFont);
    m_cmdapprof->setAccessibleName(QStringLiteral("Altre domande su questa poesia"));
    connect(m_cmdapprof, &QPushButton::clicked, this, &FPoesia1::cmdapprof_Click);

    const DesignFont exitFont{kFont, 8.25, true};
    addExit(Exit::Menu, QStringLiteral("CMDMENU"), QStringLiteral("MENU'"), QRect(kBoxLeft, 6840, 1440, 540),
            exitFont);
    addExit(Exit::Archive, QStringLiteral("CmdArchivio"), QStringLiteral("Archivio"),
            QRect(kBoxLeft + 1560, 6840, 1440, 540), exitFont);
    addExit(Exit::Quit, QStringLiteral("cmdfine"), QStringLiteral("Esco"), QRect(kBoxLeft + 3120, 6840, 1440, 540),
            exitFont);

    m_timer1 = services().newTicker(this);
    connect(m_timer1, &Ticker::timeout, this, &FPoesia1::Timer1_Timer);
}

void FPoesia1::buildTabOrder()
{
    // Keyboard road: the chooser, the poem, a tile, then a box to place it
    // in, then the commands.
    QVector<QWidget *> chain;
    chain << m_combo << m_view << m_board->tabChain() << m_cmdrisult << m_cmdapprof << exitButton(Exit::Menu)
          << exitButton(Exit::Archive) << exitButton(Exit::Quit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void FPoesia1::formLoad()
{
    // The questions screen is loaded, hidden, with the first poem, and stays
    // loaded to the end of the run.
    host().loadScreen(poetryscreens::Poesia2);
    pair().loadIntro();
    m_pair.announceCounters();
    archivitesti();
    showBoard();
    m_timer1->start(BlinkMs);
}

StyledLabel *FPoesia1::counter(int n) const
{
    switch (n) {
    case 4: return m_attuale.right;
    case 5: return m_attuale.total;
    case 7: return m_totale.right;
    case 8: return m_totale.total;
    default: return nullptr;
    }
}

void FPoesia1::archivitesti()
{
    const poesia::Poem &poem = pair().currentPoem();
    m_labedizione->setText(poem.source);
    m_labedizione->setAccessibleDescription(poem.source);
    const RtfResult r = m_view->loadFile(poem.file, services().baseDir);
    if (!r.ok) {
        pair().poemMissing();
        services().tell(QStringLiteral("Non riesco a mostrare la poesia «%1» (file %2): %3\n"
                                       "Puoi scegliere un'altra poesia.")
                            .arg(poem.title, poem.file, r.error));
    }
    // A small uniform indent keeps the verses off the view's edge.
    m_view->setSelStart(0);
    m_view->setSelLength(m_view->textLength());
    m_view->setSelIndent(PoemIndent);
    m_view->setSelStart(0);
    m_view->contentLoaded();
    m_view->setAccessibleDescription(poem.title);
    m_pair.poem = m_view->content();
    m_pair.poemZoom = m_view->zoom();
    m_pair.announcePoem();
}

void FPoesia1::showBoard()
{
    PoesiaExercise &e = pair();
    for (int i = 0; i < poesia::BoxCount; ++i) {
        const QString text = e.boxText(i);
        QString spoken = QStringLiteral("Casella %1: %2").arg(i + 1).arg(text.isEmpty() ? QStringLiteral("vuota") : text);
        if (e.boxWrong(i))
            spoken += QStringLiteral(" (sbagliata)");
        m_board->setBox(i, text, e.boxWrong(i) ? red() : poesia::boxColour(i), spoken);
        m_board->box(i)->setVisible(e.boxInUse(i));
        StyledLabel *solution = m_label9[size_t(i)];
        solution->setText(e.solutionText(i));
        solution->setAccessibleName(QStringLiteral("Soluzione %1: %2").arg(i + 1).arg(e.solutionText(i)));
        solution->setVisible(e.solutionShown(i));
    }
    m_cmdrisult->setEnabled(e.checkEnabled());
    showCounters();
}

void FPoesia1::showCounters()
{
    const CounterRows &c = pair().introCounters();
    poesiawidgets::showRow(m_attuale, c.right, c.total, QStringLiteral("Questa poesia"));
    poesiawidgets::showRow(m_totale, c.runningRight, c.runningTotal, QStringLiteral("In tutto"));
}

void FPoesia1::Combo1_Click(const QString &entry)
{
    m_board->clearPick();
    pair().pickPoem(entry);
    archivitesti();
    showBoard();
}

void FPoesia1::Label1_DragDrop(int index, QObject *source, const QString &caption)
{
    const QString dropped = DropBoard::droppedCaption(source, caption);
    if (dropped.isEmpty())
        return;
    if (pair().drop(index, dropped))
        showBoard();
}

void FPoesia1::cmdrisult_Click()
{
    const Judgement judgement = pair().check();
    if (judgement.isJudged())
        m_pair.announceCounters();
    present(judgement);
}

void FPoesia1::cmdapprof_Click()
{
    m_board->clearPick();
    m_pair.openQuestions();
    host().showScreen(poetryscreens::Poesia2);
}

void FPoesia1::Timer1_Timer()
{
    m_blink = PoesiaExercise::nextBlink(m_blink);
    m_cmdapprof->setText(m_blink);
}

void FPoesia1::beforeExit(Exit)
{
    m_board->clearPick();
}

Screen *poetryscreens::createPoesia1(const ScreenEnv &env)
{
    return new FPoesia1(env);
}

} // namespace morvello
