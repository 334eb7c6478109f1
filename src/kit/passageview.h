// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "text/richtextview.h"

namespace morvello {

class Screen;

// The view of every passage, story, poem and example, sized by one rule on
// every screen: the RTF is written at the design's type sizes; on the screen
// the type grows with the window, never below its design size, as far as the
// whole passage still shows without scrolling. A poem never wraps a verse. A
// few pixels of inner margin keep the text off the frame.
class PassageView : public RichTextView
{
    Q_OBJECT
public:
    enum class Lines { Wrap, Keep };

    PassageView(Screen *screen, const QString &name, const QString &accessibleName, const QRect &twips,
                Lines lines = Lines::Wrap);

    // Reads the RTF file and fits it; an unreadable file leaves the view
    // empty and returns why.
    RtfResult load(const QString &windowsPath, const QString &baseDir);
    // The document was filled otherwise (read by the activity's logic, or
    // indented after reading): it is at its design sizes now; fits it.
    void contentLoaded();
    // Shows what another passage view shows, at that view's zoom.
    void showContentOf(const QTextDocumentFragment &content, double zoom);

    // The rule, again: after the window or the content changed.
    void fit();
    // How much larger than its design sizes the passage is shown.
    double zoom() const { return m_zoom; }

    // The high-legibility look: a typeface drawn for readers with dyslexia,
    // type 1.4 times larger (the passage scrolls rather than shrink), lines
    // 1.5 apart, letters wider apart, ragged right edges. The text, its
    // colours and the selection stay as they are; off gives back the look
    // the passage had.
    void setLegible(bool on);
    bool legible() const { return m_legible; }
    static QString legibleFamily() { return QStringLiteral("OpenDyslexic"); }
    static constexpr double LegibleSize = 1.4;
    // Lines this many type sizes apart; letters at this percentage of their
    // own spacing.
    static constexpr double LegibleLineSpacing = 1.5;
    static constexpr int LegibleLetterSpacing = 112;

    // The sentence being read aloud, [start, end) in the plain text: drawn
    // over the text and scrolled into sight, the text and the pupil's
    // selection untouched.
    void markReading(int start, int end);
    void clearReadingMark();
    // Where the mark lies; (-1, -1) when there is none.
    QPair<int, int> readingMark() const { return m_mark; }

signals:
    // Another passage took the place of the one shown.
    void contentReplaced();

private:
    void rescaleTo(double zoom);
    void spaceLegibleLines();
    QSizeF measure();

    Screen *m_screen;
    Lines m_lines;
    double m_zoom = 1.0;
    bool m_legible = false;
    QPair<int, int> m_mark{-1, -1};
};

// Gives a document the high-legibility look, or takes it away, keeping what
// each stretch had before in the formats themselves: a document copied from
// another view (the poem on the questions screen) comes back right too.
void setLegibleLook(QTextDocument *doc, bool on);

} // namespace morvello
