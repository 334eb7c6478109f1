// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kit/activityscreen.h"
#include "poetry/poesiaexercise.h"

namespace morvello {

class Ticker;

// What the two poetry screens build alike.
namespace poesiawidgets {

// A counter row: its caption ("Attuale           su") with the right-answer
// number in the blanks before "su" and the question number after it.
struct CounterRow
{
    StyledLabel *frame = nullptr;
    StyledLabel *right = nullptr;
    StyledLabel *total = nullptr;
};

CounterRow addCounterRow(Screen *screen, const QString &frameName, const QString &caption, const QString &rightName,
                         const QString &totalName, const QRect &twips, const DesignFont &font, const QColor &text);
// Writes the two numbers of a row.
void showRow(const CounterRow &row, const Counter &right, const Counter &total, const QString &what);

// A counter as its label shows it: nothing when empty, else plain decimal.
QString counterCaption(const Counter &c);

// The captions of the two rows.
QString attualeCaption(); // "Attuale           su"
QString totaleCaption();  // "Totale            su"

} // namespace poesiawidgets
} // namespace morvello
