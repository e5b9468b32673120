// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of reading, dumping and embedding movies, and of reading MP3: a clip is loaded for every
// Flash background and button of a gift, and the Flash file test loads each chosen file.
#include "swf/Movie.h"
#include "swf/read/Dump.h"
#include "swf/read/Mp3.h"
#include "swf/read/PrebuiltClip.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/SampleMovies.h"

#include <benchmark/benchmark.h>

namespace {

// A movie of `copies` sprites, each holding every id-carrying structure (about 800 bytes each).
std::vector<uint8_t> bigMovie(int copies, int compression)
{
    using namespace swf::sample;
    std::vector<swf::Tag> tags;
    for (int i = 0; i < copies; ++i) {
        const auto base = static_cast<uint16_t>(i * 10);
        tags.push_back(losslessBitmap(base + 1));
        tags.push_back(bitmapShape(base + 2, base + 1, 2));
        tags.push_back(font2(base + 3));
        tags.push_back(text2(base + 4, base + 3));
        tags.push_back(editText(base + 5, base + 3));
        tags.push_back(eventSound(base + 6));
        tags.push_back(button2(base + 7, base + 2));
        tags.push_back(
            sprite(base + 8, 1, { place2(1, base + 2, 0, 0), place2(2, base + 4, 0, 0), showFrame() }));
        tags.push_back(place2(static_cast<uint16_t>(i + 1), base + 8, 0, 0));
    }
    tags.push_back(showFrame());
    return movie(8, 1, tags, compression);
}

void BM_ReadSwf(benchmark::State& state)
{
    const auto bytes = bigMovie(static_cast<int>(state.range(0)), state.range(1) ? 6 : -1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(swf::readSwf(bytes));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadSwf)->Args({ 100, 0 })->Args({ 100, 1 });

void BM_LoadAndEmbedClip(benchmark::State& state)
{
    const auto bytes = bigMovie(static_cast<int>(state.range(0)), 6);
    for (auto _ : state) {
        auto clip = swf::PrebuiltClip::fromBytes(bytes);
        swf::Movie host(6);
        host.add(clip);
        host.nextFrame();
        benchmark::DoNotOptimize(host.toBytes());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadAndEmbedClip)->Arg(10)->Arg(100);

void BM_DumpMovie(benchmark::State& state)
{
    const auto bytes = bigMovie(100, -1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(swf::dumpMovie(bytes));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DumpMovie);

void BM_ReadMp3(benchmark::State& state)
{
    // Three minutes of 128 kbit/s, 44.1 kHz: about 6,900 frames, 2.9 MB.
    const auto frame = swf::sample::silentMp3Frame();
    std::vector<uint8_t> file;
    for (int i = 0; i < 6900; ++i) {
        file.insert(file.end(), frame.begin(), frame.end());
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(swf::readMp3(file));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadMp3);

} // namespace
