// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "classtable.h"

#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

namespace morvello {

// What the charts of the register show, worked out from the register's rows
// alone, so that a window and a printed page draw the same numbers.

// An attempt's percentage: the one saved, or right answers over the total
// when only those were saved; none when neither says.
std::optional<double> attemptPercent(const Attempt &a);

// The attempts of [from, to] (days, both included; a null date leaves that
// end open). An attempt without a moment belongs to no period.
QVector<PupilAttempt> attemptsInPeriod(const QVector<PupilAttempt> &attempts, const QDate &from, const QDate &to);

struct ProgressPoint
{
    QDateTime moment;
    double percent = 0; // kept within 0-100, the chart's scale
};

// One pupil's attempts as the chart draws them: per result group (in the
// order of resultGroups()), the dated attempts in time order. Attempts
// with no moment or no percentage cannot be placed and are only counted.
struct PupilProgress
{
    QVector<QVector<ProgressPoint>> groups;
    int unplaced = 0;
    QDateTime first;
    QDateTime last;
    int points() const;
};
PupilProgress pupilProgress(const QVector<PupilAttempt> &attempts);

// The bands the class chart counts the latest results in; the same steps
// as the class view's colour key.
struct ResultBand
{
    int from = 0; // percent, included; a band runs up to the next one's start
    int to = 0;   // as the label says it
    QString label;
    double middle() const { return (from + to) / 2.0; }
};
const QVector<ResultBand> &resultBands();
int bandOf(double percent);

// For each group, how many pupils have their latest result in each band
// (pupils with no attempt in a group are not counted there).
QVector<QVector<int>> bandCounts(const QVector<PupilLine> &lines);

} // namespace morvello
