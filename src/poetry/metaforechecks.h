// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace morvello {

class CheckReport;
class ContentCheckRegistry;
struct FigureExample;

// What the rhetorical-figures screen needs of an example file: readable
// RTF, between MinExampleLines and MaxExampleLines lines (two sentences or
// two verses at least) and no longer than the example view shows without
// scrolling.
constexpr int MinExampleLines = 2;
constexpr int MaxExampleLines = 6;
constexpr int MinExampleLength = 40;
constexpr int MaxExampleLength = 450;

void checkFigureExample(CheckReport &report, const FigureExample &example);

// Adds the checks of the thirty examples.
void addFigureChecks(ContentCheckRegistry &registry);

} // namespace morvello
