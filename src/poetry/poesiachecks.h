// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QRgb>
#include <QString>

class QTextDocument;

namespace morvello {

class CheckReport;
class ContentCheckRegistry;

namespace poesia {
struct Poem;
}

// A highlighted stretch of a poem: the passage of one answer box. Positions
// count as the poem screen's view counts them; a stretch may run across line
// ends when the lines on both sides carry the same highlight.
struct MarkedPassage
{
    int box = -1;     // the box whose resting colour the highlight is; -1 for none
    QRgb colour = 0;
    int start = 0;
    int length = 0;
    QString text;
    bool wholeLine = false; // exactly the text of one line, nothing more or less
    bool endsLine = false;  // only punctuation and blanks follow it on its line
};

// The highlighted stretches of a document, in reading order.
QList<MarkedPassage> markedPassages(const QTextDocument &doc);

// What the poem screen needs of a poem's file: readable and not empty; the
// passage of every box in use highlighted in that box's colour; no highlight
// in the colour of a box the poem does not use, nor in a colour no box has;
// the passages begin in the order of the boxes.
// And what the devices promise the pupil: a "Verso" is one whole line, a
// "Rima" marks at least two line endings, a "Similitudine" says "come".
void checkPoem(CheckReport &report, const poesia::Poem &poem);

// The checks of all nine poems.
void addPoemChecks(ContentCheckRegistry &registry);

} // namespace morvello
