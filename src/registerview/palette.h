// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/contrast.h"

#include <QColor>

namespace morvello {

// The colour of a percentage on the class view: viridis, a scale that
// people with the common colour blindnesses read in the same order; and the
// text colour (black or white) with the higher contrast on it, at least 4.5.
QColor scaleColour(double percent);
QColor textOn(const QColor &background);

} // namespace morvello
