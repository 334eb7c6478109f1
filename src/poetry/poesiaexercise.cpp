// SPDX-License-Identifier: GPL-3.0-or-later
#include "poesiaexercise.h"

#include "core/numeric.h"

namespace morvello {

using poesia::Question;

PoesiaExercise::PoesiaExercise()
{
    loadIntro();
}

void PoesiaExercise::loadIntro()
{
    m_poesiaScelta = 1;
    emptyBoxes();
    m_checkEnabled = true;
    m_poemMissing = false;
    m_lastScore = 0;
    archivitesti();
    m_intro = CounterRows{};
    // The questions screen's totals start again with the poem screen's: each
    // answer saves the running totals at once, and what the pupil reads must
    // be what was saved.
    m_questions = CounterRows{Counter(0), Counter(0), Counter(0), Counter(0)};
}

bool PoesiaExercise::pickPoem(const QString &entry)
{
    const int k = int(poesia::chooserEntries().indexOf(entry));
    if (k >= 0)
        m_poesiaScelta = k + 1;
    m_checkEnabled = true;
    m_poemMissing = false;
    m_intro.right.clear();
    m_intro.total.clear();
    emptyBoxes();
    archivitesti();
    return k >= 0;
}

void PoesiaExercise::emptyBoxes()
{
    for (int i = 0; i < poesia::BoxCount; ++i) {
        m_boxText[size_t(i)].clear();
        m_boxWrong[size_t(i)] = false;
        m_solutionShown[size_t(i)] = false;
        m_solutionText[size_t(i)].clear();
    }
}

void PoesiaExercise::archivitesti()
{
    const poesia::Poem &p = currentPoem();
    m_numDomande = p.numDomande();
    // Slots past the boxes in use keep what an earlier poem left there;
    // nothing reads them.
    for (int i = 0; i < m_numDomande; ++i)
        m_soluzioni[size_t(i)] = p.solutions.at(i);
    for (int i = 0; i < poesia::SentenceCount; ++i)
        m_frasiMessaggio[size_t(i)] = p.sentences[size_t(i)];
    m_rispLessico = p.rispLessico;
    m_rispVersi = p.rispVersi;
    m_rispRime = p.rispRime;
    m_rispMusicalita = p.rispMusicalita;
    m_rispMessaggio = p.rispMessaggio;
}

void PoesiaExercise::poemMissing()
{
    // Nothing on screen to read: no box takes a device and no question an
    // answer until another poem is picked.
    m_poemMissing = true;
    m_checkEnabled = false;
}

bool PoesiaExercise::drop(int box, const QString &caption)
{
    if (!boxInUse(box) || m_poemMissing)
        return false;
    m_boxText[size_t(box)] = caption;
    return true;
}

Judgement PoesiaExercise::check()
{
    if (!m_checkEnabled)
        return Judgement::ignored();
    for (int i = 0; i < m_numDomande; ++i)
        if (m_boxText[size_t(i)].isEmpty())
            return Judgement::refused(incompleteMessage());

    m_checkEnabled = false;
    int score = 0;
    for (int i = 0; i < m_numDomande; ++i) {
        const QString &solution = m_soluzioni[size_t(i)];
        if (m_boxText[size_t(i)] != solution)
            m_boxWrong[size_t(i)] = true;
        else
            ++score;
        m_solutionText[size_t(i)] = solution;
        m_solutionShown[size_t(i)] = true;
    }
    m_lastScore = score;

    // The questions screen's rows take this poem's figures and the poem
    // screen's running totals, whatever they showed before.
    m_intro.right.set(score);
    m_questions.right.set(score);
    m_intro.total.set(m_numDomande);
    m_questions.total.set(m_numDomande);
    m_intro.runningRight.set(m_intro.runningRight.value() + score);
    m_questions.runningRight.set(m_intro.runningRight.value());
    m_intro.runningTotal.set(m_intro.total.value() + m_intro.runningTotal.value());
    m_questions.runningTotal.set(m_intro.runningTotal.value());
    return Judgement::judged(FieldGroup::Poesia, this->score());
}

QString PoesiaExercise::soluzione(int slot) const
{
    return slot >= 0 && slot < poesia::SolutionSlots ? m_soluzioni[size_t(slot)] : QString();
}

QString PoesiaExercise::boxText(int box) const
{
    return box >= 0 && box < poesia::BoxCount ? m_boxText[size_t(box)] : QString();
}

bool PoesiaExercise::boxWrong(int box) const
{
    return box >= 0 && box < poesia::BoxCount && m_boxWrong[size_t(box)];
}

bool PoesiaExercise::solutionShown(int box) const
{
    return box >= 0 && box < poesia::BoxCount && m_solutionShown[size_t(box)];
}

QString PoesiaExercise::solutionText(int box) const
{
    return box >= 0 && box < poesia::BoxCount ? m_solutionText[size_t(box)] : QString();
}

QString PoesiaExercise::nextBlink(const QString &caption)
{
    if (caption == blinkFirst())
        return blinkSecond();
    if (caption == blinkSecond())
        return blinkFirst();
    return caption;
}

QString PoesiaExercise::frasiMessaggio(int slot) const
{
    return slot >= 0 && slot < int(m_frasiMessaggio.size()) ? m_frasiMessaggio[size_t(slot)] : QString();
}

int PoesiaExercise::rightOption(Question q) const
{
    switch (q) {
    case Question::Lessico:
        return m_rispLessico;
    case Question::Versi:
        return m_rispVersi;
    case Question::Rime:
        return m_rispRime;
    case Question::Musicalita:
        return m_rispMusicalita;
    }
    return 0;
}

void PoesiaExercise::openQuestions()
{
    for (auto &row : m_options)
        row.fill(OptionState::Open);
    m_meaning.fill(OptionState::Open);
    m_meaningChosen = -1;
}

void PoesiaExercise::addToBoth(bool right)
{
    if (right) {
        m_questions.right.add(1);
        m_questions.runningRight.add(1);
        m_intro.right.add(1);
        m_intro.runningRight.add(1);
    }
    m_questions.total.add(1);
    m_questions.runningTotal.add(1);
    m_intro.total.add(1);
    m_intro.runningTotal.add(1);
}

Judgement PoesiaExercise::answerOption(Question q, int index)
{
    if (index < 1 || index > poesia::optionCount(q) || m_poemMissing)
        return Judgement::ignored(); // the heading, a hidden placeholder, or no poem
    OptionState &state = m_options[size_t(q)][size_t(index)];
    if (state != OptionState::Open)
        return Judgement::ignored(); // the label was closed by its own click
    const bool right = index == rightOption(q);
    state = right ? OptionState::Right : OptionState::Wrong;
    addToBoth(right);
    return Judgement::judged(FieldGroup::Poesia, score(), right);
}

Judgement PoesiaExercise::answerMeaning(int index)
{
    if (index < 0 || index >= poesia::SentenceCount || !meaningOpen() || m_poemMissing)
        return Judgement::ignored();
    const bool right = index == m_rispMessaggio;
    m_meaning[size_t(index)] = right ? OptionState::Right : OptionState::Wrong;
    m_meaningChosen = index;
    addToBoth(right);
    return Judgement::judged(FieldGroup::Poesia, score(), right)
        .withRightAnswer(right ? QString() : frasiMessaggio(m_rispMessaggio));
}

PoesiaExercise::OptionState PoesiaExercise::optionState(Question q, int index) const
{
    if (index < 0 || index >= poesia::OptionSlots)
        return OptionState::Open;
    return m_options[size_t(q)][size_t(index)];
}

bool PoesiaExercise::optionOpen(Question q, int index) const
{
    return index >= 1 && index <= poesia::optionCount(q) && optionState(q, index) == OptionState::Open;
}

PoesiaExercise::OptionState PoesiaExercise::meaningState(int index) const
{
    return index >= 0 && index < poesia::SentenceCount ? m_meaning[size_t(index)] : OptionState::Open;
}

Score PoesiaExercise::score() const
{
    const double right = m_intro.runningRight.value();
    const double total = m_intro.runningTotal.value();
    Score s;
    s.right = right;
    s.total = total;
    s.percent = percentuale(qint64(right), qint64(toInt16(total)));
    return s;
}

} // namespace morvello
