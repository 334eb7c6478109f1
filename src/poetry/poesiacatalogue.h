// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace morvello {

// The nine poems of the poetry screens and the fixed parts of both screens:
// box colours, device tiles and the four label questions.
namespace poesia {

constexpr int PoemCount = 9;
// Answer boxes on the poem screen; a poem uses the first 3 to 6.
constexpr int BoxCount = 6;
// Solutions kept per poem: one slot more than the boxes, as the screen keeps them.
constexpr int SolutionSlots = 7;
// Sentences of the meaning question.
constexpr int SentenceCount = 4;

struct Poem
{
    int number = 0;            // 1 to 9, the place in the chooser
    QString file;              // data name, "permorvello\tuono.rtf"
    QString title;             // "Il tuono"
    QString source;            // the line under the poem
    QStringList solutions;     // right device of box 0, 1, ...; as many as boxes in use
    int rispLessico = 0;       // right option of each label question (1-based)
    int rispVersi = 0;
    int rispRime = 0;
    int rispMusicalita = 0;
    int rispMessaggio = 0;     // right sentence, 0 to 3
    std::array<QString, SentenceCount> sentences;

    int numDomande() const { return int(solutions.size()); }
    // The chooser's entry: the poet's name, a hyphen and the title.
    QString entry() const { return QStringLiteral("Testo proprio - ") + title; }
};

// Poem k is entry k - 1; written at build time from content/poesie/catalogo.dati.
const QVector<Poem> &poems();
const Poem &poem(int number);
QStringList chooserEntries();
// What the chooser shows before a poem is picked.
QString chooserPrompt();

// Resting colour of box i, also the highlight of its passage in the poem.
QColor boxColour(int box);
// The box whose resting colour this is; -1 when none.
int boxOfColour(QRgb rgb);

// The seven device tiles: their index in the tile array and caption, from
// top to bottom as the screen stacks them.
struct Tile
{
    int index;
    QString caption;
};
const QVector<Tile> &tiles();
// Tiles are dark red with white text.
QColor tileColour();

// The four label questions of the questions screen, in the order of their
// arrays (Label1 ... Label4).
enum class Question { Lessico = 0, Versi = 1, Rime = 2, Musicalita = 3 };
constexpr int QuestionCount = 4;
// Option labels of each array: index 0 is the heading, 1 to 5 the options or
// hidden placeholders.
constexpr int OptionSlots = 6;

struct QuestionInfo
{
    QString heading;
    QStringList options; // option 1 first
    QColor headingBack, headingText;
    QColor optionBack, optionText;
};
const QuestionInfo &question(Question q);
int optionCount(Question q);
// The poem's right option of a question.
int rightOption(const Poem &p, Question q);

} // namespace poesia
} // namespace morvello
