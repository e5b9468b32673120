// SPDX-License-Identifier: GPL-3.0-or-later
// The progress runner around long publishing work: what the dialog and the worker thread cost
// (a run whose work does nothing), and what one progress callback costs the work (the archive
// calls it once a block, the album once a picture), offscreen.
#include "bench/editor/BenchSamples.h"
#include "editor/progress/ProgressRunner.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// Callbacks per run: about what a 60 GB archive in 64 KB blocks would make.
constexpr uint64_t kCallbacks = 1'000'000;

QString Label(uint64_t nDone, uint64_t nTotal)
{
    return QStringLiteral("%1 of %2").arg(nDone).arg(nTotal);
}

void BM_ProgressRunEmptyWork(benchmark::State& state)
{
    editorbench::CSamples samples;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        CProgressRunner runner(nullptr, QStringLiteral("Bench"), Label);
        benchmark::DoNotOptimize(runner.Run([](const PublishProgressFn&) {}));
        samples.Add(editorbench::Milliseconds(clock));
    }
    samples.Report(state, "run");
}
BENCHMARK(BM_ProgressRunEmptyWork)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ProgressCallback(benchmark::State& state)
{
    double nNsPerCall = 0;
    for (auto _ : state) {
        CProgressRunner runner(nullptr, QStringLiteral("Bench"), Label);
        int64_t nWorkNs = 0;
        runner.Run([&nWorkNs](const PublishProgressFn& progress) {
            QElapsedTimer clock;
            clock.start();
            for (uint64_t n = 1; n <= kCallbacks; ++n) {
                benchmark::DoNotOptimize(progress(n, kCallbacks));
            }
            nWorkNs = clock.nsecsElapsed();
        });
        nNsPerCall = static_cast<double>(nWorkNs) / static_cast<double>(kCallbacks);
    }
    state.counters["ns_per_callback"] = nNsPerCall;
}
BENCHMARK(BM_ProgressCallback)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
