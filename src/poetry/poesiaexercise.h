// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/judgement.h"
#include "poesiacatalogue.h"

#include <QString>
#include <array>
#include <optional>

#include "core/resultgroups.h"

namespace morvello {

// One counter as a screen shows it: a number, or nothing at all until one is
// written (an empty counter reads 0).
class Counter
{
public:
    Counter() = default;
    explicit Counter(double v) : m_value(v) {}
    bool isEmpty() const { return !m_value.has_value(); }
    double value() const { return m_value.value_or(0.0); }
    void set(double v) { m_value = v; }
    void add(double v) { m_value = value() + v; }
    void clear() { m_value.reset(); }
    bool operator==(const Counter &o) const { return m_value == o.m_value; }

private:
    std::optional<double> m_value;
};

// The two counter rows of a poetry screen: the current poem ("Attuale … su")
// and the running totals ("Totale … su").
struct CounterRows
{
    Counter right;        // Attuale
    Counter total;        // … su
    Counter runningRight; // Totale
    Counter runningTotal; // … su
};

// The poetry pair: the poem screen (a poem, its answer boxes, the check) and
// the questions screen (four label questions and the meaning question) share
// the poem, its right answers and their counters. Each screen keeps its own
// counter rows; both grow together with every answer, but only the poem
// screen's rows start again when that screen is unloaded, and the questions
// screen's rows are written over by the next check. No widgets: the screens
// show what this holds.
class PoesiaExercise
{
public:
    // An option label of a question, or an option button of the meaning question.
    enum class OptionState { Open, Right, Wrong };

    PoesiaExercise();

    // --- the poem screen ---
    // Form_Load: poem 1 on empty boxes, the counters empty. Also what the
    // next visit starts with after the screen was unloaded; the questions
    // screen's counters start again at 0 with it.
    void loadIntro();
    // Combo1_Click: the entry matching `entry` exactly becomes the poem (any
    // other text keeps the one there); either way the poem starts afresh:
    // boxes emptied, check enabled, the current-poem counters emptied.
    // Returns whether an entry matched.
    bool pickPoem(const QString &entry);
    // The poem's file could not be shown: nothing is answered on it until
    // another poem is picked.
    void poemMissing();
    bool poemIsMissing() const { return m_poemMissing; }
    // A device dropped on box `box`; boxes not in use take nothing.
    bool drop(int box, const QString &caption);
    // cmdrisult_Click: refused while a box in use is empty, ignored once this
    // poem is checked; judged, colours, solutions and counters change and the
    // poetry group is to be saved.
    Judgement check();
    static QString incompleteMessage() { return QStringLiteral("Devi completare la risposta..."); }

    int poesiaScelta() const { return m_poesiaScelta; }
    const poesia::Poem &currentPoem() const { return poesia::poem(m_poesiaScelta); }
    int numDomande() const { return m_numDomande; }
    QString soluzione(int slot) const;
    QString boxText(int box) const;
    bool boxInUse(int box) const { return box >= 0 && box < m_numDomande; }
    bool boxWrong(int box) const;
    // The solution label beside a box: shown after a check.
    bool solutionShown(int box) const;
    QString solutionText(int box) const;
    bool checkEnabled() const { return m_checkEnabled; }
    // The score of the last check.
    int lastScore() const { return m_lastScore; }
    const CounterRows &introCounters() const { return m_intro; }

    // Timer1: the caption of the button that opens the questions blinks
    // between these two.
    static QString blinkFirst() { return QStringLiteral("Quando hai finito, clicca qui"); }
    static QString blinkSecond() { return QStringLiteral("per vedere le altre domande"); }
    static QString nextBlink(const QString &caption);

    // --- the values the questions screen reads, set whenever a poem loads ---
    int rispLessico() const { return m_rispLessico; }
    int rispVersi() const { return m_rispVersi; }
    int rispRime() const { return m_rispRime; }
    int rispMusicalita() const { return m_rispMusicalita; }
    int rispMessaggio() const { return m_rispMessaggio; }
    QString frasiMessaggio(int slot) const;
    int rightOption(poesia::Question q) const;

    // --- the questions screen ---
    // cmdapprof_Click: every option open again, the meaning question cleared;
    // the counters stay.
    void openQuestions();
    // Label1_Click ... Label4_Click with the label's index (0 is the heading):
    // right or wrong, saving the poetry group; ignored on the heading, a
    // placeholder or an option already closed.
    Judgement answerOption(poesia::Question q, int index);
    // Option1_Click, the same way.
    Judgement answerMeaning(int index);

    OptionState optionState(poesia::Question q, int index) const;
    bool optionOpen(poesia::Question q, int index) const;
    OptionState meaningState(int index) const;
    // The option chosen for the meaning question; -1 while none.
    int meaningChosen() const { return m_meaningChosen; }
    bool meaningOpen() const { return m_meaningChosen < 0; }
    const CounterRows &questionCounters() const { return m_questions; }

    // ContaTick: ticks of the right/wrong picture's timer, across answers.
    int *contaTick() { return &m_contaTick; }

    // --- the save ---
    // The poetry group as the poem screen's running totals give it: right
    // answers, questions and the exact whole percentage. Both a check and
    // every answer on the questions screen save it.
    Score score() const;

private:
    void archivitesti();
    void emptyBoxes();
    void addToBoth(bool right);

    int m_poesiaScelta = 1;
    int m_numDomande = 0;
    std::array<QString, poesia::SolutionSlots> m_soluzioni;
    std::array<QString, poesia::BoxCount> m_boxText;
    std::array<bool, poesia::BoxCount> m_boxWrong{};
    std::array<bool, poesia::BoxCount> m_solutionShown{};
    std::array<QString, poesia::BoxCount> m_solutionText;
    bool m_checkEnabled = true;
    bool m_poemMissing = false;
    int m_lastScore = 0;
    CounterRows m_intro;

    int m_rispLessico = 0;
    int m_rispVersi = 0;
    int m_rispRime = 0;
    int m_rispMusicalita = 0;
    int m_rispMessaggio = 0;
    std::array<QString, 5> m_frasiMessaggio;

    std::array<std::array<OptionState, poesia::OptionSlots>, poesia::QuestionCount> m_options{};
    std::array<OptionState, poesia::SentenceCount> m_meaning{};
    int m_meaningChosen = -1;
    CounterRows m_questions{Counter(0), Counter(0), Counter(0), Counter(0)};
    int m_contaTick = 0;
};

} // namespace morvello
