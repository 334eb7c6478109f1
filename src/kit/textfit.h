#pragma once
#include <QFont>
#include <QSize>
#include <QStringList>

namespace morvello {

// The one rule for texts that the fonts of this computer make wider than the
// design's: keep the designed size where it fits, otherwise the largest size
// (never below a floor) with which the whole text shows. Nothing is cut.
struct TextFit
{
    // The text wraps onto as many lines as its box holds.
    bool wrap = false;
    // Smallest size allowed, as a fraction of the designed size.
    double smallest = 0.8;
    // Letters are first narrowed (to four fifths at most), then made smaller:
    // for one-line texts whose height must not change.
    bool narrowFirst = false;

    bool operator==(const TextFit &o) const
    {
        return wrap == o.wrap && smallest == o.smallest && narrowFirst == o.narrowFirst;
    }
};

// Whether every text fits `room` (pixels) in font f.
bool textsFit(const QFont &f, const QStringList &texts, const QSize &room, bool wrap);

// The font, from `designed` (pixel sized) down, with which every text fits
// `room`; `designed` itself when it fits or the room is empty.
QFont fittedFont(const QFont &designed, const QStringList &texts, const QSize &room, const TextFit &how);

} // namespace morvello
