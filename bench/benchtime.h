#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <vector>

// The middle of a set of timings: what most runs take, whatever the odd one
// did.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// How long work takes, in milliseconds.
template<typename Work> double Milliseconds(Work &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}
