// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace morvello {

// How a saved result reads on the results screen and on paper. The same rules
// serve the grid and the printout, so a teacher never sees two versions of one
// value.

// Dates are written the Italian way whatever the system's language:
// "14/03/2026 10:30:00"; a value with no time of day shows its date alone.
QString italianGeneralDate(const QDateTime &dt);

// The cell text of a group's value; `kind` is 0 count, 1 total,
// 2 percentage, 3 date and time. A value never saved reads "0" for the three
// numbers and nothing for the date; text stored in a date column ("(...)")
// is shown as stored.
QString resultCellText(const QVariant &value, int kind);

// True for a value the engine handed back as a number of any width.
bool isNumericValue(const QVariant &value);

} // namespace morvello
