// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QRgb>
#include <QString>

namespace morvello {

// The six stories of the story-colouring screen, in the chooser's order,
// written at build time from content/storie/catalogo.dati.
struct StoryEntry {
    QString title;        // as listed in the chooser
    int sequences;        // NrSequenze: 4 or 5
    QString storyFile;    // the text the pupil colours, all white
    QString solutionFile; // the same text, sequence k in palette colour k
    QString helpFile;     // the hint shown by "Aiutami!"
    QString source;       // the source line under the title
};

const QList<StoryEntry> &storyCatalogue();

// The entry with that chooser title, or nullptr.
const StoryEntry *findStory(const QString &title);

// Sequence k (from 1) is painted with the colour of square k; its caption is
// written in a lighter tint of the same colour.
struct PaletteEntry {
    QRgb square;
    QString caption;
    QRgb captionColour;
};

constexpr int PaletteSize = 5;
const QList<PaletteEntry> &storyPalette();

// The palette index (0 to 4) of a colour, or -1 when it is not a palette colour.
int paletteIndexOf(QRgb colour);

// Text not coloured yet, and the mark of a wrongly coloured character.
constexpr QRgb UncolouredText = 0xffffffffu; // 255,255,255
constexpr QRgb WrongMark = 0xffff0000u;      // 255,0,0

// The story text's length must fit the screen's 16-bit positions.
constexpr int MaxStoryLength = 32766;
constexpr int MinStoryLength = 300;

} // namespace morvello
