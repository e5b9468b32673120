// SPDX-License-Identifier: GPL-3.0-or-later
// Preparing large pictures for a 640x480 gift, ours against ImageMagick's command doing the same
// conversion (same size hint, filter, quality and baseline output), and a picker thumbnail.
#include "generate/PicturePreparation.h"
#include "imaging/Picture.h"
#include "tests/imaging/TestPictures.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>

namespace tp = testpictures;

namespace {

// CPU time used by finished child processes so far, in milliseconds. The command's own CPU time is
// reported beside the wall-clock time, since the CPU column only counts this process.
double childCpuMilliseconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs a command line once per iteration and reports its CPU time per run as "command_cpu_ms".
void runCommand(benchmark::State& state, const std::string& line)
{
    const double before = childCpuMilliseconds();
    for (auto _ : state) {
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError("convert failed");
            break;
        }
    }
    state.counters["command_cpu_ms"] =
        benchmark::Counter((childCpuMilliseconds() - before) / static_cast<double>(state.iterations()));
}

constexpr int kQuality = 70;

// The installation folder and the two source pictures, made once for the run.
struct Fixture {
    tp::TempFolder home;
    std::string jpeg;
    std::string png;
    CPictureContext context { {}, 640, 480, kQuality };

    Fixture()
    {
        std::filesystem::create_directories(home / "Temp");
        jpeg = (home / "photo.jpg").string();
        png = (home / "poster.png").string();
        // Noise, so that the encoders work as on a photo rather than on a flat colour.
        tp::convert("-size 2400x2000 plasma:fractal -seed 1 -quality 90 '" + jpeg + "'");
        tp::convert("-size 4000x3000 gradient:#FF8000-#0040FF -attenuate 0.2 +noise Gaussian '" + png + "'");
        context.appDir = home.path();
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

const std::string& sourceFor(int which)
{
    return which == 0 ? fixture().jpeg : fixture().png;
}

void prepare(benchmark::State& state)
{
    const std::string& source = sourceFor(static_cast<int>(state.range(0)));
    const int placement = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const std::string output = ConvertPictureToJpeg(fixture().context, source, 0, placement, 1);
        if (output.empty()) {
            state.SkipWithError("preparation failed");
            break;
        }
        benchmark::DoNotOptimize(output);
    }
}

// What the command does for the same preparations. Mode 0 re-encodes at the picture's own size (the
// JPEG with code 4: it is within 2400x2000); mode 1 stretches to 640x480 (codes 10 and 11, and every
// code for the PNG); mode 2 does so with the decoder's size hint, as we do.
void command(benchmark::State& state)
{
    const std::string& source = sourceFor(static_cast<int>(state.range(0)));
    const auto mode = state.range(1);
    const std::string output = (fixture().home / "command.jpg").string();
    const std::string line = std::string(tp::kConvert) + (mode == 2 ? " -define jpeg:size=640x480" : "") +
        " '" + source + "[0]'" + (mode == 0 ? "" : " -filter Catrom -resize '640x480!'") + " -quality " +
        std::to_string(kQuality) + " -interlace none -strip '" + output + "'";
    runCommand(state, line);
}

void thumbnail(benchmark::State& state)
{
    const std::string& source = sourceFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto picture = imaging::makeThumbnail(source, { 120, 100 });
        if (!picture) {
            state.SkipWithError("thumbnail failed");
            break;
        }
        benchmark::DoNotOptimize(picture->rgb(imaging::kWhite));
    }
}

void thumbnailCommand(benchmark::State& state)
{
    const std::string& source = sourceFor(static_cast<int>(state.range(0)));
    const std::string output = (fixture().home / "thumbnail.png").string();
    const std::string hint = state.range(0) == 0 ? " -define jpeg:size=120x100" : "";
    const std::string line =
        std::string(tp::kConvert) + hint + " '" + source + "[0]' -thumbnail '120x100!' '" + output + "'";
    runCommand(state, line);
}

} // namespace

// Arguments: source (0 the 2400x2000 JPEG, 1 the 4000x3000 PNG), placement code.
BENCHMARK(prepare)
    ->ArgNames({ "png", "code" })
    ->ArgsProduct({ { 0, 1 }, { 4, 10, 11 } })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Arguments: source, mode.
BENCHMARK(command)
    ->ArgNames({ "png", "mode" })
    ->Args({ 0, 0 })
    ->Args({ 0, 1 })
    ->Args({ 0, 2 })
    ->Args({ 1, 1 })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(thumbnail)->ArgName("png")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thumbnailCommand)->ArgName("png")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
