// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/judgement.h"
#include <QString>
#include <QStringList>
#include <optional>

namespace morvello {

class RandomSource;

// The ten figures, as the captions of the option buttons Option1(0..9), and
// their definitions: written at build time from content/figure/catalogo.dati.
constexpr int FigureCount = 10;
const QStringList &figureCaptions();
// The ten definitions, as the captions of the labels Label1(0..9). They are
// not in the order of the figures: definitionFigure() says which is which.
const QStringList &definitionTexts();
// The figure caption a definition defines.
QString definitionFigure(int definition);

// One of the thirty examples: the draw that selects it (1..30), the data
// name of its RTF file (capitals as the file is named), the figure it
// illustrates (an option caption) and the index of its definition.
struct FigureExample
{
    int number = 0;
    QString file;
    QString figure;
    int definition = -1;
};

constexpr int ExampleCount = 30;
// Example `number` (1..30); nullopt outside that range.
std::optional<FigureExample> figureExample(int number);

// The two running counts of one question, and what is saved of them: the
// right answers, the answers given, and the exact whole percentage.
struct QuestionTally
{
    int right = 0;
    int wrong = 0;
    int total() const { return right + wrong; }
    int percent() const;
    Score score() const { return Score{double(right), double(total()), double(percent())}; }
};

// The state and the rules of the rhetorical-figures exercise, with no
// widgets. One example at a time: question 1 (which figure) and question 2
// (which definition) are each answered once, in either order; only then can
// the next example be drawn, never the one just shown.
class MetaforeQuiz
{
public:
    // The source must outlive the quiz. It is seeded once by its owner: the
    // draw never reseeds it, so a fast machine cannot draw the same number
    // again and again within one tick of the clock.
    explicit MetaforeQuiz(RandomSource &random);

    // Form_Load: draws the first example. Counters start at 0.
    void load();

    // PerCaso: draws a number from 1 to 30 different from the last one
    // drawn, and makes it the current example.
    int perCaso();

    // Option1_Click: judges figure `index` for the current example, right or
    // wrong, saving the "Figure" row; ignored when question 1 is already
    // closed for this example or the index is not an option.
    Judgement answerFigure(int index);
    // Label1_Click: the same for definition `index` and the "Definizioni" row.
    Judgement answerDefinition(int index);

    // The current example's file could not be shown: both questions close
    // without counting anything, and the next example can be drawn at once.
    void markUnavailable();
    bool unavailable() const { return m_unavailable; }

    enum class NextOutcome {
        Drawn,      // a new example is current, both questions open again
        Incomplete, // a question is still unanswered; nothing changed (an
                    // example that could not be shown needs no answers)
    };
    // CmdSeguente_Click, without what the screen shows.
    NextOutcome next();
    static QString incompleteMessage() { return QStringLiteral("Non hai completato la risposta"); }

    // The screen members.
    int numeroEsempio() const { return m_numeroEsempio; }
    int ultimoEsempio() const { return m_ultimoEsempio; } // 0 before the first draw
    QString figuraGiusta() const { return m_example.figure; }
    int definizioneGiusta() const { return m_example.definition; }
    QString exampleFile() const { return m_example.file; }
    bool figuraFatta() const { return m_figuraFatta; }
    bool definizioneFatta() const { return m_definizioneFatta; }

    // The wrong choice of each question for the current example (shown red
    // until the next one); -1 when there is none.
    int wrongFigure() const { return m_wrongFigure; }
    int wrongDefinition() const { return m_wrongDefinition; }
    // The answer given to each question for the current example; -1 before.
    int chosenFigure() const { return m_chosenFigure; }
    int chosenDefinition() const { return m_chosenDefinition; }

    // Counts since the screen was loaded: the "Figure" and "Definizioni" rows.
    const QuestionTally &figures() const { return m_figures; }
    const QuestionTally &definitions() const { return m_definitions; }

    // Draws made so far (how many examples were shown).
    int draws() const { return m_draws; }

private:
    void setExample(int number);

    RandomSource &m_random;
    int m_numeroEsempio = 0;
    int m_ultimoEsempio = 0;
    FigureExample m_example;
    bool m_figuraFatta = false;
    bool m_definizioneFatta = false;
    bool m_unavailable = false;
    int m_wrongFigure = -1;
    int m_wrongDefinition = -1;
    int m_chosenFigure = -1;
    int m_chosenDefinition = -1;
    QuestionTally m_figures;
    QuestionTally m_definitions;
    int m_draws = 0;
};

} // namespace morvello
