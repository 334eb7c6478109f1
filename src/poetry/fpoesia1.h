// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kit/activityscreen.h"
#include "kit/passageview.h"
#include "poetry/poetryscreens.h"
#include "kit/dropboard.h"
#include "poetry/poesiaexercise.h"
#include "poetry/poesiapair.h"
#include "poetry/poesiawidgets.h"

#include <QPointer>
#include <array>
#include <memory>

class QComboBox;
class QPushButton;

namespace morvello {

class FPoesia2;

class Ticker;

// The poem screen of the poetry pair: the chosen poem with its passages
// marked in the colours of the answer boxes, the device tiles to drag onto
// the boxes, the check, and the button that opens the questions screen.
class FPoesia1 : public ActivityScreen
{
    Q_OBJECT
public:
    explicit FPoesia1(const ScreenEnv &env, QWidget *parent = nullptr);
    ~FPoesia1() override;

    static QString name() { return poetryscreens::Poesia1; }
    static QString captionText()
    {
        return QStringLiteral("TESTO POETICO: trascina le caselle brune su quelle colorate. Passa poi alle altre "
                              "domande su questo testo");
    }
    static constexpr int BlinkMs = 2000;
    // The left indent every paragraph of a poem is given, in twips.
    static constexpr int PoemIndent = 100;

    void formLoad() override;

    // The handlers.
    void Combo1_Click(const QString &entry);
    void Label1_DragDrop(int index, QObject *source, const QString &caption = QString());
    void cmdrisult_Click();
    void cmdapprof_Click();
    void Timer1_Timer();

    // The questions screen's counters changed.
    void showCounters();

    // The pair's logic, shared with the questions screen.
    PoesiaExercise &pair() { return m_pair.exercise; }

    // The controls, for tests.
    QComboBox *chooser() const { return m_combo; }
    PassageView *view() const { return m_view; }
    DropBoard *board() const { return m_board; }
    DropLabel *box(int i) const { return m_board->box(i); }
    StyledLabel *solutionLabel(int i) const { return m_label9[size_t(i)]; }
    StyledLabel *sourceLabel() const { return m_labedizione; }
    StyledLabel *counter(int n) const; // 4, 5, 7 or 8
    QPushButton *checkButton() const { return m_cmdrisult; }
    QPushButton *questionsButton() const { return m_cmdapprof; }
    Ticker *blinkTimer() const { return m_timer1; }
    // How much larger than the file says the poem is shown.
    double poemZoom() const { return m_view->zoom(); }

protected:
    void beforeExit(Exit exit) override;

private:
    void build();
    void buildPoem();
    void buildBoard();
    void buildCountersAndCommands();
    void buildTabOrder();
    void archivitesti();
    void showBoard();

    void showState() override { showBoard(); }

    PoesiaPair &m_pair;
    // The caption the blink shows now, kept here rather than read back from
    // the button.
    QString m_blink = PoesiaExercise::blinkFirst();
    DropBoard *m_board = nullptr;
    std::array<StyledLabel *, poesia::BoxCount> m_label9{};
    QComboBox *m_combo = nullptr;
    PassageView *m_view = nullptr;
    StyledLabel *m_labedizione = nullptr;
    poesiawidgets::CounterRow m_attuale;
    poesiawidgets::CounterRow m_totale;
    QPushButton *m_cmdrisult = nullptr;
    QPushButton *m_cmdapprof = nullptr;
    Ticker *m_timer1 = nullptr;
};

} // namespace morvello
