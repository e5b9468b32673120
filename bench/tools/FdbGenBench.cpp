// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of converting the installation's fonts, and the size of what they become (the counters):
// the FDB files ship with every installation and are read at every font load.
#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FdbWriter.h"
#include "tools/fdbgen/TrueTypeFont.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const kSources[] = { "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
    "DejaVuSerif-Bold.ttf", "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf" };

std::string sourcePath(int64_t index)
{
    return std::string(MARROWLARK_DEJAVU_DIR) + "/" + kSources[index];
}

void reportSize(benchmark::State& state, const fdbgen::FontData& data, size_t bytes)
{
    state.counters["glyphs"] = static_cast<double>(data.glyphs.size());
    state.counters["kerning_pairs"] = static_cast<double>(data.kerning.size());
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["bytes_per_glyph"] = static_cast<double>(bytes) / static_cast<double>(data.glyphs.size());
}

// Open, extract the glyphs and kerning, and serialise: one font file of the build.
void BM_ConvertFace(benchmark::State& state)
{
    const std::string path = sourcePath(state.range(0));
    state.SetLabel(kSources[state.range(0)]);
    fdbgen::FontData data;
    size_t bytes = 0;
    for (auto _ : state) {
        const fdbgen::TrueTypeFont font(path);
        data = font.convert(fdbgen::defaultCodeRanges(), "Bench");
        bytes = fdbgen::writeFdb(data).size();
        benchmark::DoNotOptimize(bytes);
    }
    reportSize(state, data, bytes);
}
BENCHMARK(BM_ConvertFace)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Serialising alone (shape encoding and tables), from data already extracted.
void BM_WriteFdb(benchmark::State& state)
{
    const fdbgen::TrueTypeFont font(sourcePath(0));
    const fdbgen::FontData data = font.convert(fdbgen::defaultCodeRanges(), "Bench");
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = fdbgen::writeFdb(data).size();
        benchmark::DoNotOptimize(bytes);
    }
    reportSize(state, data, bytes);
}
BENCHMARK(BM_WriteFdb)->Unit(benchmark::kMillisecond);

} // namespace
