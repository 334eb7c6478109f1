// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timing shared by the benchmarks: each run may have an untimed preparation,
// then its work is timed; medians, not means, since a busy machine only adds.
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace morvello::bench {

struct Stats {
    double median = 0, min = 0, max = 0;
    int runs = 0;
};

inline Stats measure(int runs, const std::function<void()> &prepare, const std::function<void()> &work, int warmup = 1)
{
    for (int i = 0; i < warmup; ++i) {
        prepare();
        work();
    }
    std::vector<double> ms;
    ms.reserve(size_t(runs));
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        prepare();
        t.start();
        work();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    Stats s;
    s.runs = runs;
    s.min = ms.front();
    s.max = ms.back();
    s.median = runs % 2 ? ms[size_t(runs / 2)] : (ms[size_t(runs / 2 - 1)] + ms[size_t(runs / 2)]) / 2;
    return s;
}

inline Stats measure(int runs, const std::function<void()> &work, int warmup = 3)
{
    return measure(runs, [] {}, work, warmup);
}

inline void print(const char *what, const Stats &s)
{
    std::printf("%-48s median %9.3f ms   min %9.3f   max %9.3f   (%d runs)\n", what, s.median, s.min, s.max, s.runs);
}

} // namespace morvello::bench
