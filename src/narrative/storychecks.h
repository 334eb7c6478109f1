// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>

class QTextDocument;

namespace morvello {

class CheckReport;
class ContentCheckRegistry;
struct StoryEntry;

// What the story-colouring screen needs of a story's files: story and
// solution readable, the same text character by character, the story all
// white, the solution in palette colours only, sequence k in colour k, no
// more colours than sequences, a length the screen can handle; the hint
// file readable and not empty.
void checkStory(CheckReport &report, const StoryEntry &story);

// Where the sequences of a solution begin after the first: the positions, in
// its plain text, where the colour moves on to the next palette colour.
QList<int> laterSequenceStarts(const QTextDocument &solution);

// Those of laterSequenceStarts that fall inside a paragraph, after some of
// its text, rather than at a paragraph's first character.
QList<int> sequenceStartsInsideParagraphs(const QTextDocument &solution);

// Adds the checks of every story of the catalogue.
void addStoryChecks(ContentCheckRegistry &registry);

} // namespace morvello
