// SPDX-License-Identifier: GPL-3.0-or-later
#include "genetteexercise.h"

#include "core/clock.h"
#include "core/numeric.h"

namespace morvello {

GenetteExercise::GenetteExercise()
{
    m_conceptEnabled.fill(true);
}

int GenetteExercise::firstExercise(int draw)
{
    return draw > 9 ? 4 : draw;
}

void GenetteExercise::load(RandomSource &random)
{
    m_nextEnabled = false;
    m_timerEnabled = false;
    m_nrEsercizio = firstExercise(random.bounded(15) + 1);
    choose(Ordine);
}

void GenetteExercise::choose(int concept)
{
    if (concept < 0 || concept >= GenetteConceptCount)
        return;
    const GenetteConcept &c = genetteConcepts().at(concept);
    for (int i = 0; i < GenetteConceptCount; ++i)
        m_conceptEnabled[size_t(i)] = i != concept;
    m_optionsEnabled = true;
    m_passageMissing = false;
    m_concept = concept;
    m_concetto = c.concetto;
    m_labConcetto = c.caption;
    for (int i = 0; i < MaxOptions; ++i) {
        Option &o = m_options[size_t(i)];
        o.shown = i < c.optionCount();
        o.red = false;
        o.checked = false;
        o.caption = i < c.optionCount() ? c.options.at(i) : QString();
    }
    m_problem = c.problem;
    for (int i = 1; i <= c.exercises(); ++i) {
        m_fileEsercizi[size_t(i)] = c.exerciseFile(i);
        m_opzioniGiuste[size_t(i)] = qint16(c.key.at(i - 1));
    }
    if (m_nrEsercizio > c.exercises() || m_nrEsercizio < 1)
        m_nrEsercizio = 1;
    m_labNrEser = QString::number(m_nrEsercizio);
}

Judgement GenetteExercise::answer(int index)
{
    // The screen disables the options once answered; a click that still
    // arrives (or one on a hidden option) must not count twice.
    if (!m_optionsEnabled || index < 0 || index >= MaxOptions || !m_options[size_t(index)].shown)
        return Judgement::ignored();

    for (int i = 0; i < MaxOptions; ++i)
        m_options[size_t(i)].checked = i == index;
    m_nextEnabled = true;
    m_optionsEnabled = false;

    const bool right = index == opzioniGiuste(m_nrEsercizio);
    if (right) {
        ++m_punti;
        m_picture = Picture::Right;
    } else {
        m_options[size_t(index)].red = true;
        m_picture = Picture::Wrong;
    }
    ++m_tot;
    m_pictureShown = true;
    m_timerEnabled = true;
    return Judgement::judged(FieldGroup::Genette, score(), right)
        .withRightAnswer(right ? QString() : optionCaption(opzioniGiuste(m_nrEsercizio)));
}

GenetteExercise::NextOutcome GenetteExercise::next()
{
    bool chosen = false;
    for (const Option &o : m_options)
        chosen = chosen || o.checked;
    if (!chosen && !m_passageMissing)
        return NextOutcome::NeedAnswer;

    m_nextEnabled = false;
    m_optionsEnabled = true;
    m_picture = Picture::None; // the picture goes, its place stays shown until the timer
    ++m_nrEsercizio;
    const int concept = genetteConceptIndex(m_concetto);
    if (concept >= 0)
        choose(concept); // wraps past the concept's last exercise
    return NextOutcome::Moved;
}

void GenetteExercise::passageMissing()
{
    // Nothing to read, nothing to judge: the options close, unanswered, and
    // the way on stays open.
    m_passageMissing = true;
    m_optionsEnabled = false;
    m_nextEnabled = true;
}

void GenetteExercise::pictureTimerDone()
{
    m_timerEnabled = false;
    m_pictureShown = false;
}

QString GenetteExercise::fileEsercizi(int slot) const
{
    return slot >= 0 && slot < Slots ? m_fileEsercizi[size_t(slot)] : QString();
}

int GenetteExercise::opzioniGiuste(int slot) const
{
    return slot >= 0 && slot < Slots ? m_opzioniGiuste[size_t(slot)] : 0;
}

bool GenetteExercise::conceptEnabled(int concept) const
{
    return concept >= 0 && concept < GenetteConceptCount && m_conceptEnabled[size_t(concept)];
}

bool GenetteExercise::optionShown(int index) const
{
    return index >= 0 && index < MaxOptions && m_options[size_t(index)].shown;
}

bool GenetteExercise::optionChecked(int index) const
{
    return index >= 0 && index < MaxOptions && m_options[size_t(index)].checked;
}

bool GenetteExercise::optionRed(int index) const
{
    return index >= 0 && index < MaxOptions && m_options[size_t(index)].red;
}

QString GenetteExercise::optionCaption(int index) const
{
    return index >= 0 && index < MaxOptions ? m_options[size_t(index)].caption : QString();
}

int GenetteExercise::percent() const
{
    // The total as the 16-bit number the percentage has always divided by.
    return percentuale(m_punti, toInt16(m_tot));
}

} // namespace morvello
