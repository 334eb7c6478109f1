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

private:
    void rescaleTo(double zoom);
    QSizeF measure();

    Screen *m_screen;
    Lines m_lines;
    double m_zoom = 1.0;
};

} // namespace morvello
