// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>

namespace morvello {

// The contrast of two colours as the accessibility guidelines reckon it,
// from 1 (none) to 21 (black on white). Both programs choose their text
// colours by it, so there is one reckoning of it.
double contrastRatio(const QColor &a, const QColor &b);

} // namespace morvello
