// SPDX-License-Identifier: GPL-3.0-or-later
#include "metaforequiz.h"

#include "figurerows.h"

#include "core/clock.h"
#include "core/numeric.h"

#include <array>

namespace morvello {

namespace {

// Beyond this many draws equal to the last one the source is taken to be
// stuck, and the next number along is used instead of spinning for ever.
constexpr int MaxRedraws = 64;

} // namespace

QString definitionFigure(int definition)
{
    for (const FigureRow &row : figureRows())
        if (row.definition == definition)
            return QString::fromUtf8(row.figure);
    return QString();
}

std::optional<FigureExample> figureExample(int number)
{
    for (const FigureRow &row : figureRows()) {
        for (int k = 0; k < 3; ++k) {
            if (row.draws[k] != number)
                continue;
            FigureExample e;
            e.number = number;
            e.file = QStringLiteral("permorvello\\%1%2.rtf").arg(QString::fromUtf8(row.prefix)).arg(k + 1);
            e.figure = QString::fromUtf8(row.figure);
            e.definition = row.definition;
            return e;
        }
    }
    return std::nullopt;
}

int QuestionTally::percent() const
{
    return percentuale(right, total());
}

MetaforeQuiz::MetaforeQuiz(RandomSource &random) : m_random(random) {}

void MetaforeQuiz::load()
{
    perCaso();
}

int MetaforeQuiz::perCaso()
{
    int n = m_random.bounded(ExampleCount) + 1;
    for (int tries = 0; n == m_ultimoEsempio; ++tries)
        n = tries < MaxRedraws ? m_random.bounded(ExampleCount) + 1 : m_ultimoEsempio % ExampleCount + 1;
    m_ultimoEsempio = n;
    setExample(n);
    ++m_draws;
    return n;
}

void MetaforeQuiz::setExample(int number)
{
    m_numeroEsempio = number;
    m_example = figureExample(number).value_or(FigureExample());
}

Judgement MetaforeQuiz::answerFigure(int index)
{
    if (m_figuraFatta || m_unavailable || index < 0 || index >= FigureCount)
        return Judgement::ignored();
    m_figuraFatta = true;
    m_chosenFigure = index;
    // Compared with the caption, exactly, as the pupil reads it.
    const bool right = figureCaptions().at(index) == m_example.figure;
    if (right) {
        ++m_figures.right;
    } else {
        ++m_figures.wrong;
        m_wrongFigure = index;
    }
    return Judgement::judged(FieldGroup::Figure, m_figures.score(), right)
        .withRightAnswer(right ? QString() : m_example.figure);
}

Judgement MetaforeQuiz::answerDefinition(int index)
{
    if (m_definizioneFatta || m_unavailable || index < 0 || index >= FigureCount)
        return Judgement::ignored();
    m_definizioneFatta = true;
    m_chosenDefinition = index;
    const bool right = index == m_example.definition;
    if (right) {
        ++m_definitions.right;
    } else {
        ++m_definitions.wrong;
        m_wrongDefinition = index;
    }
    const QStringList &texts = definitionTexts();
    const bool known = m_example.definition >= 0 && m_example.definition < texts.size();
    return Judgement::judged(FieldGroup::Definizioni, m_definitions.score(), right)
        .withRightAnswer(right || !known ? QString() : texts.at(m_example.definition));
}

void MetaforeQuiz::markUnavailable()
{
    m_unavailable = true;
}

MetaforeQuiz::NextOutcome MetaforeQuiz::next()
{
    if (!m_unavailable && (!m_figuraFatta || !m_definizioneFatta))
        return NextOutcome::Incomplete;
    m_unavailable = false;
    m_figuraFatta = false;
    m_definizioneFatta = false;
    m_wrongFigure = m_wrongDefinition = -1;
    m_chosenFigure = m_chosenDefinition = -1;
    perCaso();
    return NextOutcome::Drawn;
}

} // namespace morvello
