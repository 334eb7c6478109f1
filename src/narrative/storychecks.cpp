// SPDX-License-Identifier: GPL-3.0-or-later
#include "storychecks.h"

#include "text/contentcheck.h"
#include "storycatalogue.h"

#include <QTextDocument>

namespace morvello {

namespace {

QString paletteName(int index)
{
    static const char *const names[] = {"PRIMA", "SECONDA", "TERZA", "QUARTA", "QUINTA"};
    return QString::fromLatin1(names[index]);
}

// The solution's colours, walked in reading order, must be palette colours
// that appear as one stretch each, in the order of the squares, and no more
// of them than the story has sequences: the pupil colours sequence k with
// square k, and the correction compares colour for colour.
void checkSolutionColours(CheckReport &r, const StoryEntry &story, const QTextDocument &solution)
{
    const QList<QRgb> colours = checks::colourAtEachPosition(solution);
    const QString text = checks::plainText(solution);
    int expected = 0; // palette index of the sequence being read
    for (int pos = 0; pos < colours.size(); ++pos) {
        if (text.at(pos) == QLatin1Char('\n'))
            continue; // a paragraph end takes no colour of its own
        const QRgb c = colours.at(pos);
        const int index = paletteIndexOf(c);
        if (index < 0) {
            r.add(story.solutionFile,
                  QStringLiteral("il colore %1 non è un colore delle sequenze").arg(checks::colourText(c)), pos);
            return;
        }
        if (index == expected)
            continue;
        if (index == expected + 1 && pos > 0) {
            expected = index;
            if (expected >= story.sequences) {
                r.add(story.solutionFile,
                      QStringLiteral("la storia ha %1 sequenze, ma qui comincia la %2 (colore %3)")
                          .arg(story.sequences)
                          .arg(expected + 1)
                          .arg(checks::colourText(c)),
                      pos);
                return;
            }
            continue;
        }
        r.add(story.solutionFile,
              QStringLiteral("qui dovrebbe esserci il colore della %1 sequenza (%2) o della successiva, "
                             "invece c'è quello della %3 (%4)")
                  .arg(paletteName(expected), checks::colourText(storyPalette().at(expected).square),
                       paletteName(index), checks::colourText(c)),
              pos);
        return;
    }
}

} // namespace

QList<int> laterSequenceStarts(const QTextDocument &solution)
{
    const QList<QRgb> colours = checks::colourAtEachPosition(solution);
    const QString text = checks::plainText(solution);
    QList<int> starts;
    int current = -1;
    for (int pos = 0; pos < colours.size(); ++pos) {
        if (text.at(pos) == QLatin1Char('\n'))
            continue; // a paragraph end takes the colour before it
        const int index = paletteIndexOf(colours.at(pos));
        if (index > current) {
            if (current >= 0)
                starts.append(pos);
            current = index;
        }
    }
    return starts;
}

QList<int> sequenceStartsInsideParagraphs(const QTextDocument &solution)
{
    const QString text = checks::plainText(solution);
    QList<int> inside;
    for (const int pos : laterSequenceStarts(solution)) {
        if (pos > 0 && text.at(pos - 1) != QLatin1Char('\n'))
            inside.append(pos);
    }
    return inside;
}

void checkStory(CheckReport &r, const StoryEntry &story)
{
    QTextDocument text;
    QTextDocument solution;
    const bool textRead = checks::readRtf(r, story.storyFile, &text);
    const bool solutionRead = checks::readRtf(r, story.solutionFile, &solution);

    if (textRead) {
        checks::lengthWithin(r, story.storyFile, text, MinStoryLength, MaxStoryLength);
        checks::allOneColour(r, story.storyFile, text, UncolouredText);
    }
    if (solutionRead)
        checkSolutionColours(r, story, solution);
    if (textRead && solutionRead)
        checks::sameText(r, story.storyFile, text, story.solutionFile, solution);

    QTextDocument help;
    if (checks::readRtf(r, story.helpFile, &help) && checks::plainText(help).trimmed().isEmpty())
        r.add(story.helpFile, QStringLiteral("il suggerimento è vuoto"));
}

void addStoryChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Storie da dividere in sequenze"), [](CheckReport &r) {
        for (const StoryEntry &story : storyCatalogue())
            checkStory(r, story);
    });
}

} // namespace morvello
