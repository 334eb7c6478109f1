// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QtGlobal>

namespace morvello {

// A number as plain decimal text: 8 -> "8", 2.5 -> "2.5", never exponent form
// for the magnitudes the program handles.
QString numberText(double value);

// Nearest 16-bit integer, halves to the even neighbour; clamped to the range.
qint16 toInt16(double value);

// Whole percentage of right answers over a total, floor(100 * right / total),
// computed exactly in integers so that 97 of 97 gives 100. A total of zero or
// less gives 0.
int percentuale(qint64 right, qint64 total);

} // namespace morvello
