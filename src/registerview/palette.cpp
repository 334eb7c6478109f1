// SPDX-License-Identifier: GPL-3.0-or-later
#include "palette.h"

#include <QtMath>
#include <algorithm>

namespace morvello {

namespace {

// Viridis at nine even steps, from 0 to 100.
const QRgb kViridis[] = {0x440154, 0x472d7b, 0x3b528b, 0x2c728e, 0x21918c, 0x28ae80, 0x5ec962, 0xaddc30, 0xfde725};

} // namespace

QColor scaleColour(double percent)
{
    const double p = std::clamp(percent, 0.0, 100.0) / 100.0 * 8.0;
    const int i = std::min(int(p), 7);
    const double f = p - i;
    const QColor a(kViridis[i]);
    const QColor b(kViridis[i + 1]);
    return QColor(qRound(a.red() + (b.red() - a.red()) * f), qRound(a.green() + (b.green() - a.green()) * f),
                  qRound(a.blue() + (b.blue() - a.blue()) * f));
}

QColor textOn(const QColor &background)
{
    return contrastRatio(background, Qt::black) >= contrastRatio(background, Qt::white) ? QColor(Qt::black)
                                                                                         : QColor(Qt::white);
}

} // namespace morvello
