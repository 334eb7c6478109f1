// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "register/progress.h"

#include <QColor>

class QChart;
class QPainter;
class QRectF;

namespace morvello {

// The register's two charts, made the same way for a window and for a
// printed page. Their fonts are sized in pixels of the chart itself, so a
// chart drawn onto a page at another resolution keeps its proportions.

// A pupil's attempts over time: one line with its points per result group
// (named by the group's caption, in the order of resultGroups()), a date
// axis and the percentage from 0 to 100. The caller owns the chart.
QChart *pupilChart(const PupilProgress &progress);

// Each group's latest results of the class, as bars stacked by band
// (resultBands()), coloured as the class view's scale.
QChart *classChart(const QVector<QVector<int>> &counts);

// The colour of a group's line: the Okabe–Ito palette, told apart with the
// common colour blindnesses.
QColor groupColour(int group);

// Draws the chart into `target` as drawing operations (lines, text), not as
// a picture, laid out at `layoutSize` chart pixels first.
void drawChart(QChart &chart, QPainter &painter, const QRectF &target, const QSizeF &layoutSize);

} // namespace morvello
