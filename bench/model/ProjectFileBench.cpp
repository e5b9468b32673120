// SPDX-License-Identifier: GPL-3.0-or-later
// Save and load of a project at the limits: 200 cards of 10 links each, in memory.
#include "model/ProjectFile.h"

#include <benchmark/benchmark.h>

namespace {

CProject FullProject()
{
    CProject p;
    for (size_t c = 0; c < CProject::kMaxCards; ++c) {
        p.InsertCard(EInsertPos::Bottom);
        for (size_t l = 0; l < CProject::kMaxLinks; ++l) {
            p.AddLink(EInsertPos::Bottom);
        }
    }
    return p;
}

void BM_SaveFullProject(benchmark::State& state)
{
    const CProject p = FullProject();
    size_t bytes = 0;
    for (auto _ : state) {
        auto out = SaveProjectBytes(p);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveFullProject);

void BM_LoadFullProject(benchmark::State& state)
{
    const std::vector<uint8_t> file = SaveProjectBytes(FullProject());
    for (auto _ : state) {
        CProject p;
        LoadProjectBytes(file, p);
        benchmark::DoNotOptimize(p.CardCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_LoadFullProject);

} // namespace
