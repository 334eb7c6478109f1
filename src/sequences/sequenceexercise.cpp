// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequenceexercise.h"

#include "core/numeric.h"

#include <cmath>

namespace morvello {

SequenceExercise::SequenceExercise(const Catalogue &catalogue, FieldGroup group)
    : m_catalogue(catalogue), m_group(group)
{
}

QStringList SequenceExercise::choices() const
{
    QStringList out;
    for (const CatalogueText &t : m_catalogue.texts)
        out << t.choice;
    return out;
}

const CatalogueText *SequenceExercise::entry() const
{
    const int n = m_testoScelto;
    if (n < 1 || n > m_catalogue.texts.size())
        return nullptr;
    return &m_catalogue.texts[n - 1];
}

void SequenceExercise::load()
{
    m_testoScelto = 1;
    m_numSequenze = 0;
    m_punteggio = 0;
    m_rows = {};
    m_checkEnabled = true;
    m_sourceLine.clear();
    m_lastCheck = Score{};
    m_visitRight = 0;
    m_visitTotal = 0;
    archivitesti();
    display();
}

void SequenceExercise::choose(const QString &choice)
{
    for (int n = 1; n <= m_catalogue.texts.size(); ++n) {
        if (m_catalogue.texts[n - 1].choice == choice) {
            m_testoScelto = n;
            break;
        }
    }
    m_checkEnabled = true;
    m_lastCheck.reset();
    for (Row &r : m_rows) {
        r.wrong = false;
        r.shown = false;
        r.drop.clear();
        r.answer.clear();
        r.answerShown = false;
    }
    archivitesti();
    display();
}

void SequenceExercise::archivitesti()
{
    const CatalogueText *t = entry();
    if (!t) {
        m_numSequenze = 0;
        return;
    }
    m_numSequenze = qMin(int(t->sequences.size()), MaxRows);
    if (t->source)
        m_sourceLine = *t->source;
    for (int k = 1; k <= m_numSequenze; ++k) {
        const SequenceItem &s = t->sequences[k - 1];
        m_testiSequenze[k - 1] = s.text;
        m_soluzioni[k - 1] = s.type;
        m_rows[k - 1].divisor = s.divisor;
    }
}

void SequenceExercise::display()
{
    for (int k = 1; k <= m_numSequenze; ++k) {
        Row &r = m_rows[k - 1];
        r.shown = true;
        r.text = m_testiSequenze[k - 1];
    }
}

bool SequenceExercise::drop(int row, const QString &caption)
{
    if (row < 0 || row >= m_numSequenze)
        return false;
    m_rows[row].drop = caption;
    return true;
}

Judgement SequenceExercise::check()
{
    if (!m_checkEnabled)
        return Judgement::ignored();
    for (int i = 0; i < m_numSequenze; ++i)
        if (m_rows[i].drop.isEmpty())
            return Judgement::refused(incompleteMessage());

    m_checkEnabled = false;
    m_punteggio = 0;
    for (int k = 1; k <= m_numSequenze; ++k) {
        Row &r = m_rows[k - 1];
        if (r.drop == m_soluzioni[k - 1])
            ++m_punteggio;
        else
            r.wrong = true;
        r.answerShown = true;
        r.answer = m_soluzioni[k - 1];
    }
    m_lastCheck = Score{double(m_punteggio), double(m_numSequenze), double(percentuale(m_punteggio, m_numSequenze))};
    m_visitRight += m_punteggio;
    m_visitTotal += m_numSequenze;
    return Judgement::judged(m_group, visit());
}

QString SequenceExercise::testoSequenza(int k) const
{
    return k >= 1 && k <= MaxRows ? m_testiSequenze[k - 1] : QString();
}

QString SequenceExercise::soluzione(int k) const
{
    return k >= 1 && k <= MaxRows ? m_soluzioni[k - 1] : QString();
}

static bool validRow(int row)
{
    return row >= 0 && row < SequenceExercise::MaxRows;
}

bool SequenceExercise::rowShown(int row) const { return validRow(row) && m_rows[row].shown; }
QString SequenceExercise::rowText(int row) const { return validRow(row) ? m_rows[row].text : QString(); }
int SequenceExercise::rowDivisor(int row) const { return validRow(row) ? m_rows[row].divisor : 70; }
QString SequenceExercise::dropCaption(int row) const { return validRow(row) ? m_rows[row].drop : QString(); }
bool SequenceExercise::dropWrong(int row) const { return validRow(row) && m_rows[row].wrong; }
QString SequenceExercise::answerCaption(int row) const { return validRow(row) ? m_rows[row].answer : QString(); }
bool SequenceExercise::answerShown(int row) const { return validRow(row) && m_rows[row].answerShown; }

Score SequenceExercise::visit() const
{
    return Score{double(m_visitRight), double(m_visitTotal), double(percent())};
}

int SequenceExercise::percent() const
{
    // Computed exactly in integers: the floating-point order 100 / T * R can
    // land just under a whole number and lose a point to the floor.
    return percentuale(m_visitRight, toInt16(m_visitTotal));
}

} // namespace morvello
