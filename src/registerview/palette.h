// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>

namespace morvello {

// The colour of a percentage on the class view: viridis, a scale that
// people with the common colour blindnesses read in the same order; and the
// text colour (black or white) with the higher contrast on it, at least 4.5.
QColor scaleColour(double percent);
QColor textOn(const QColor &background);
// WCAG contrast ratio of two colours (1 to 21).
double contrastRatio(const QColor &a, const QColor &b);

} // namespace morvello
