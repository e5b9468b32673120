// SPDX-License-Identifier: GPL-3.0-or-later
// Preparing photo-sized PNG and JPEG pictures (12, 48 and 120 megapixels) for a 640x480 gift with
// an anchored (4) and a stretched (10) placement: the time one preparation takes, the peak memory of
// the process that does it, and the most scratch space it had on disk at any moment. Each
// preparation runs in a child process of its own, so that its peak memory is its own.
#include "generate/PicturePreparation.h"
#include "imaging/Scratch.h"
#include "tests/imaging/TestPictures.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tp = testpictures;
namespace fs = std::filesystem;

namespace {

// A photo-like row: two gradients, a coarse check and a little noise, so that both encoders work
// about as hard as on a photograph (PNG about 1 byte a pixel, JPEG at quality 90 about 2 bits).
void pictureRow(std::vector<std::uint8_t>& row, int width, int height, int y, std::uint32_t& seed)
{
    const auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    for (int x = 0; x < width; ++x) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const int noise = static_cast<int>(seed % 17) - 8;
        const auto at = static_cast<std::size_t>(x) * 3;
        row[at] = clamp(255 * x / width + noise);
        row[at + 1] = clamp(255 * y / height + noise);
        row[at + 2] = clamp(128 + (((x / 64) + (y / 64)) & 1) * 60 + noise);
    }
}

void writePng(const fs::path& path, int width, int height)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
        PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        pictureRow(row, width, height, y, seed);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void writeJpeg(const fs::path& path, int width, int height)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct jpeg {};
    jpeg_error_mgr errors {};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    jpeg_stdio_dest(&jpeg, file);
    jpeg.image_width = static_cast<JDIMENSION>(width);
    jpeg.image_height = static_cast<JDIMENSION>(height);
    jpeg.input_components = 3;
    jpeg.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 90, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        pictureRow(row, width, height, y, seed);
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&jpeg, rows, 1);
    }
    jpeg_finish_compress(&jpeg);
    jpeg_destroy_compress(&jpeg);
    std::fclose(file);
}

struct PictureSize {
    int width;
    int height;
};

PictureSize sizeFor(std::int64_t megapixels)
{
    switch (megapixels) {
    case 12:
        return { 4000, 3000 };
    case 48:
        return { 8000, 6000 };
    default:
        return { 12000, 10000 };
    }
}

// The pictures are slow to make, so they are kept in the build folder from one run to the next.
fs::path pictureFor(bool jpeg, std::int64_t megapixels)
{
    const fs::path folder = fs::path(MARROWLARK_BUILD_DIR) / "bench" / "imaging" / "large-pictures";
    fs::create_directories(folder);
    const fs::path path = folder / ("photo-" + std::to_string(megapixels) + (jpeg ? "mp.jpg" : "mp.png"));
    if (!fs::exists(path)) {
        const PictureSize size = sizeFor(megapixels);
        const fs::path partial = path.string() + ".part";
        if (jpeg) {
            writeJpeg(partial, size.width, size.height);
        } else {
            writePng(partial, size.width, size.height);
        }
        fs::rename(partial, path);
    }
    return path;
}

// Bytes of the regular files in a folder, not counting the prepared picture itself.
std::uintmax_t scratchBytes(const fs::path& folder)
{
    std::uintmax_t total = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code sizeError;
        if (it->path().filename() != "0.jpg" && it->is_regular_file(sizeError)) {
            const auto bytes = it->file_size(sizeError);
            total += sizeError ? 0 : bytes;
        }
    }
    return total;
}

struct ChildResult {
    double seconds = 0;
    bool prepared = false;
    double peakMegabytes = 0;
    double scratchMegabytes = 0;
};

// Prepares the picture in a child process while watching the scratch folders.
ChildResult prepareInChild(
    const CPictureContext& context, const fs::path& source, int placement, const fs::path& systemTemporary)
{
    int channel[2];
    if (pipe(channel) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        imaging::setScratchFolder(context.appDir / "Temp");
        const auto start = std::chrono::steady_clock::now();
        const std::string output = ConvertPictureToJpeg(context, source.string(), 0, placement, 1);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double message[2] = { seconds, output.empty() ? 0.0 : 1.0 };
        const auto written = write(channel[1], message, sizeof message);
        _exit(written == sizeof message ? 0 : 1);
    }
    close(channel[1]);
    ChildResult result;
    std::uintmax_t peakScratch = 0;
    int status = 0;
    rusage usage {};
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        peakScratch =
            std::max(peakScratch, scratchBytes(context.appDir / "Temp") + scratchBytes(systemTemporary));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    double message[2] = { 0, 0 };
    if (read(channel[0], message, sizeof message) == sizeof message) {
        result.seconds = message[0];
        result.prepared = message[1] != 0.0;
    }
    close(channel[0]);
    constexpr double kMegabyte = 1024.0 * 1024.0;
    result.peakMegabytes = static_cast<double>(usage.ru_maxrss) * 1024.0 / kMegabyte;
    result.scratchMegabytes = static_cast<double>(peakScratch) / kMegabyte;
    return result;
}

void prepareLarge(benchmark::State& state)
{
    const bool jpeg = state.range(0) != 0;
    const fs::path source = pictureFor(jpeg, state.range(1));
    const int placement = static_cast<int>(state.range(2));
    tp::TempFolder home;
    tp::TempFolder systemTemporary;
    fs::create_directories(home / "Temp");
    // Where the picture library would put its scratch files without a folder of its own; the
    // child processes see it, this one's temporary folders stay where they were.
    const char* previous = std::getenv("TMPDIR");
    const std::string previousTmpdir = previous != nullptr ? previous : "";
    setenv("TMPDIR", systemTemporary.path().c_str(), 1);
    const CPictureContext context { home.path(), 640, 480, 70 };
    ChildResult last;
    for (auto _ : state) {
        last = prepareInChild(context, source, placement, systemTemporary.path());
        state.SetIterationTime(last.seconds);
    }
    state.counters["prepared"] = last.prepared ? 1 : 0;
    state.counters["peak_rss_mb"] = last.peakMegabytes;
    state.counters["scratch_mb"] = last.scratchMegabytes;
    if (previous != nullptr) {
        setenv("TMPDIR", previousTmpdir.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

} // namespace

// Arguments: kind (0 PNG, 1 JPEG), megapixels, placement code.
BENCHMARK(prepareLarge)
    ->ArgNames({ "jpeg", "mp", "code" })
    ->ArgsProduct({ { 0, 1 }, { 12, 48, 120 }, { 4, 10 } })
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
