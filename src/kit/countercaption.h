// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QPointer>
#include <QVector>

namespace morvello {

class Screen;
class StyledLabel;

// A caption with counters in it ("Attuale   3   su   5"). The numbers stay
// labels of their own, under their own names, so that the screen writes them
// and a test or a screen reader reads them one by one; this object lays them on
// the caption's baseline, in the caption's type, wherever this computer's font
// puts the caption's blanks, and again every time the screen is laid out.
class CounterCaption : public QObject
{
    Q_OBJECT
public:
    enum class Place {
        InBlanks,      // centred in a run of blanks between two words
        AfterCaption,  // a space after the caption's last letter
        BeforeCaption, // ending a space before the caption's first letter
        OwnPlace,      // where the design puts it across; only the baseline is shared
    };

    static constexpr int Widest = -1;

    CounterCaption(Screen *screen, StyledLabel *caption);

    // `blankRun` counts the runs of blanks between words, 0 the first; the
    // default, Widest, is the run left for the number.
    // `leftmost` (twips) keeps a number after the caption from moving left of
    // its designed place when the font draws the caption narrower.
    CounterCaption &number(StyledLabel *label, Place where, int blankRun = Widest, int leftmost = -1);
    // Widens or narrows the blanks so that the caption's closing word is
    // centred on this design x: rows above one another keep their closing
    // words in one column, whatever the words before them measure.
    CounterCaption &closingWordCentredOn(int designX);
    // The caption's last letter never passes this design x: its blanks give
    // way first, so that a closing bracket never runs under the next control.
    CounterCaption &endsBefore(int designX);

    StyledLabel *caption() const { return m_caption; }
    // Lays the numbers out again; the screen calls this itself after each new
    // scale, a screen whose caption changed calls it by hand.
    void place();

private:
    struct Slot
    {
        QPointer<StyledLabel> label;
        Place where = Place::InBlanks;
        int run = 0;
        int leftmost = -1;
    };
    Screen *m_screen;
    QPointer<StyledLabel> m_caption;
    QVector<Slot> m_slots;
    int m_closingCentre = -1;
    int m_endsBefore = -1;
};

} // namespace morvello
