#include "sequenceexercise.h"

#include "platform/numeric.h"

#include <cmath>

namespace morvello {

SequenceExercise::SequenceExercise(const Catalogue &catalogue) : m_catalogue(catalogue) {}

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
    m_label2 = m_label3 = m_label6 = m_label8 = QStringLiteral("0");
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
    m_label2.clear();
    m_label3.clear();
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
        m_rows[k - 1].height = rowHeight(s.text, s.divisor);
    }
}

void SequenceExercise::display()
{
    QVector<int> heights;
    for (int k = 1; k <= m_numSequenze; ++k) {
        Row &r = m_rows[k - 1];
        r.shown = true;
        r.text = m_testiSequenze[k - 1];
        heights << r.height;
    }
    const QVector<int> tops = stackedTops(heights, m_rows[0].top);
    for (int i = 0; i < tops.size(); ++i)
        m_rows[i].top = tops[i];
}

bool SequenceExercise::drop(int row, const QString &caption)
{
    if (row < 0 || row >= m_numSequenze)
        return false;
    m_rows[row].drop = caption;
    return true;
}

SequenceExercise::CheckOutcome SequenceExercise::check()
{
    if (!m_checkEnabled)
        return CheckOutcome::NotEnabled;
    for (int i = 0; i < m_numSequenze; ++i)
        if (m_rows[i].drop.isEmpty())
            return CheckOutcome::Incomplete;

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
    m_label2 = numberText(m_punteggio);
    m_label3 = numberText(m_numSequenze);
    m_label6 = numberText(captionNumber(m_label6) + m_punteggio);
    m_label8 = numberText(captionNumber(m_label8) + m_numSequenze);
    return CheckOutcome::Scored;
}

int SequenceExercise::rowHeight(const QString &text, int divisor)
{
    const int d = qMax(1, divisor);
    return LineHeight * (1 + int(text.size()) / d);
}

QVector<int> SequenceExercise::stackedTops(const QVector<int> &heights, int firstTop)
{
    QVector<int> tops;
    int top = firstTop;
    for (int h : heights) {
        tops << top;
        top += h;
    }
    return tops;
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
int SequenceExercise::rowTop(int row) const { return validRow(row) ? m_rows[row].top : 0; }
int SequenceExercise::rowHeightAt(int row) const { return validRow(row) ? m_rows[row].height : 0; }
QString SequenceExercise::dropCaption(int row) const { return validRow(row) ? m_rows[row].drop : QString(); }
bool SequenceExercise::dropWrong(int row) const { return validRow(row) && m_rows[row].wrong; }
QString SequenceExercise::answerCaption(int row) const { return validRow(row) ? m_rows[row].answer : QString(); }
bool SequenceExercise::answerShown(int row) const { return validRow(row) && m_rows[row].answerShown; }

double SequenceExercise::savedRight() const
{
    return captionNumber(m_label6);
}

double SequenceExercise::savedTotal() const
{
    return captionNumber(m_label8);
}

int SequenceExercise::percent() const
{
    // Computed exactly in integers: the floating-point order 100 / T * R can
    // land just under a whole number and lose a point to the floor.
    return percentuale(qint64(std::llround(savedRight())), toInt16(savedTotal()));
}

} // namespace morvello
