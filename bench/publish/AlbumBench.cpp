// SPDX-License-Identifier: GPL-3.0-or-later
// The photo album of 50 photo-like pictures of 2400x2000 (made at bench time): wall time and the
// process's peak memory, beside the preparation of one such picture.
#include "generate/PicturePreparation.h"
#include "publish/PhotoAlbum.h"
#include "tests/imaging/TestPictures.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
namespace tp = testpictures;

namespace {

constexpr int kPictureCount = 50;
// Distinct pictures among the 50; each is copied under several names (the album's work per
// picture does not depend on whether two files are alike, and making plasma takes seconds).
constexpr int kVariants = 5;

// The peak resident memory of this process so far, in MB.
double PeakRssMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Fixture {
    tp::TempFolder root;
    fs::path pictures = root / "Pictures";
    fs::path scratch = root / "Temp";
    fs::path movie = root / "album.swf";

    Fixture()
    {
        fs::create_directories(pictures);
        const fs::path base = root / "base.jpg";
        tp::convert("-size 2400x2000 -seed 7 plasma:fractal -quality 90 '" + base.string() + "'");
        for (int v = 0; v < kVariants; ++v) {
            // Shifted and mirrored copies of the base, so the movie holds different pictures.
            const std::string variant = (root / ("variant" + std::to_string(v) + ".jpg")).string();
            tp::convert("'" + base.string() + "' -roll +" + std::to_string(v * 431) + "+" +
                std::to_string(v * 277) + (v % 2 != 0 ? " -flop" : "") + " -quality 90 '" + variant + "'");
        }
        for (int i = 0; i < kPictureCount; ++i) {
            const std::string name = "photo" + std::to_string(100 + i) + ".jpg";
            fs::copy_file(root / ("variant" + std::to_string(i % kVariants) + ".jpg"), pictures / name);
        }
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void albumOfFifty(benchmark::State& state)
{
    Fixture& f = fixture();
    const double before = PeakRssMegabytes();
    for (auto _ : state) {
        const CPublishResult result = BuildPhotoAlbum(f.pictures, f.movie, f.scratch);
        if (!result.IsWritten() || result.m_nAdded != kPictureCount) {
            state.SkipWithError("the album was not written whole");
            break;
        }
    }
    state.counters["peak_rss_mb"] = PeakRssMegabytes();
    state.counters["peak_rss_before_mb"] = before;
    state.counters["album_mb"] = static_cast<double>(fs::file_size(f.movie)) / (1024.0 * 1024.0);
}

void onePicture(benchmark::State& state)
{
    Fixture& f = fixture();
    fs::create_directories(f.scratch);
    const std::string source = (f.pictures / "photo100.jpg").string();
    for (auto _ : state) {
        const CAlbumPicture copy = ConvertAlbumPicture(source, f.scratch, 0, 640, 480);
        if (!copy.IsCopied()) {
            state.SkipWithError("the picture was not prepared");
            break;
        }
        benchmark::DoNotOptimize(copy);
    }
}

} // namespace

// First, so that its peak memory is not that of an earlier benchmark.
BENCHMARK(albumOfFifty)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(onePicture)->Unit(benchmark::kMillisecond)->UseRealTime();
