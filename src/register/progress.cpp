// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress.h"

#include "core/resultgroups.h"

#include <algorithm>

namespace morvello {

std::optional<double> attemptPercent(const Attempt &a)
{
    bool ok = false;
    if (a.percent.isValid() && !a.percent.isNull()) {
        const double p = a.percent.toDouble(&ok);
        if (ok)
            return p;
    }
    bool okCount = false;
    bool okTotal = false;
    const double right = a.count.toDouble(&okCount);
    const double total = a.total.toDouble(&okTotal);
    if (okCount && okTotal && total > 0 && !a.count.isNull())
        return right * 100.0 / total;
    return std::nullopt;
}

QVector<PupilAttempt> attemptsInPeriod(const QVector<PupilAttempt> &attempts, const QDate &from, const QDate &to)
{
    if (!from.isValid() && !to.isValid())
        return attempts;
    QVector<PupilAttempt> kept;
    for (const PupilAttempt &a : attempts) {
        const QDate day = a.attempt.moment.date();
        if (!day.isValid() || (from.isValid() && day < from) || (to.isValid() && day > to))
            continue;
        kept.append(a);
    }
    return kept;
}

int PupilProgress::points() const
{
    int n = 0;
    for (const auto &g : groups)
        n += int(g.size());
    return n;
}

PupilProgress pupilProgress(const QVector<PupilAttempt> &attempts)
{
    PupilProgress p;
    p.groups.resize(resultGroups().size());
    for (const PupilAttempt &pa : attempts) {
        const Attempt &a = pa.attempt;
        const int g = groupIndex(a.group);
        const std::optional<double> percent = attemptPercent(a);
        if (g < 0 || !percent || !a.moment.isValid()) {
            ++p.unplaced;
            continue;
        }
        p.groups[g].append(ProgressPoint{a.moment, std::clamp(*percent, 0.0, 100.0)});
        if (!p.first.isValid() || a.moment < p.first)
            p.first = a.moment;
        if (!p.last.isValid() || a.moment > p.last)
            p.last = a.moment;
    }
    // The register hands them over in time order already; rows merged from
    // several computers with skewed clocks are the exception this guards.
    for (auto &g : p.groups)
        std::stable_sort(g.begin(), g.end(),
                         [](const ProgressPoint &a, const ProgressPoint &b) { return a.moment < b.moment; });
    return p;
}

const QVector<ResultBand> &resultBands()
{
    static const QVector<ResultBand> bands{
        {0, 19, QStringLiteral("0–19%")},   {20, 39, QStringLiteral("20–39%")}, {40, 59, QStringLiteral("40–59%")},
        {60, 79, QStringLiteral("60–79%")}, {80, 100, QStringLiteral("80–100%")},
    };
    return bands;
}

int bandOf(double percent)
{
    const QVector<ResultBand> &bands = resultBands();
    const double p = std::clamp(percent, 0.0, 100.0);
    for (int b = int(bands.size()) - 1; b >= 0; --b) {
        if (p >= bands.at(b).from)
            return b;
    }
    return 0;
}

QVector<QVector<int>> bandCounts(const QVector<PupilLine> &lines)
{
    QVector<QVector<int>> counts(resultGroups().size(), QVector<int>(resultBands().size(), 0));
    for (const PupilLine &line : lines) {
        for (int g = 0; g < line.cells.size() && g < counts.size(); ++g) {
            if (line.cells.at(g).attempts > 0)
                ++counts[g][bandOf(line.cells.at(g).latest)];
        }
    }
    return counts;
}

} // namespace morvello
