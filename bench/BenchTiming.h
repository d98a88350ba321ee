#pragma once

// Timing helpers the benchmarks share: each figure is the median of several
// runs, so one slow run on a busy machine does not decide it.

#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <functional>

// The median of a list of times (the upper middle of an even count).
template<typename List>
double medianOf(List values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs work `runs` times and gives the median in milliseconds; with warmUp
// one untimed run goes first (page cache, prepared statements).
inline double timeMs(const std::function<void()> &work, int runs, bool warmUp = false)
{
    if (warmUp)
        work();
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    return medianOf(times);
}
