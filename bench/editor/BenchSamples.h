// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor's benchmarks share: waits measured with a clock, reported as median and maximum.
#pragma once

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace editorbench {

[[nodiscard]] inline double Milliseconds(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Samples of one measurement, reported as the counters <name>_median_ms and <name>_max_ms.
class CSamples {
public:
    void Add(double nMs) { m_samples.push_back(nMs); }
    void Report(benchmark::State& state, const std::string& strName) const
    {
        if (m_samples.empty()) {
            return;
        }
        std::vector<double> sorted = m_samples;
        std::sort(sorted.begin(), sorted.end());
        const size_t nMiddle = sorted.size() / 2;
        const double nMedian =
            sorted.size() % 2 != 0 ? sorted[nMiddle] : (sorted[nMiddle - 1] + sorted[nMiddle]) / 2;
        state.counters[strName + "_median_ms"] = nMedian;
        state.counters[strName + "_max_ms"] = sorted.back();
    }

private:
    std::vector<double> m_samples;
};

} // namespace editorbench
