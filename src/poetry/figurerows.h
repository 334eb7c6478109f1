// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "poetry/metaforequiz.h"

#include <array>

namespace morvello {

// Each figure's three examples: the file prefix (its capitals are those of
// the file names), the definition that belongs to it, and the draw that
// selects example 1, 2 and 3. Written at build time from
// content/figure/catalogo.dati, with figureCaptions() and definitionTexts().
struct FigureRow
{
    const char *figure;
    const char *prefix;
    int definition;
    std::array<int, 3> draws;
};

const std::array<FigureRow, FigureCount> &figureRows();

} // namespace morvello
