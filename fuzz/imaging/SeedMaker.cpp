// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small pictures of every kind the decoder reads into the folder named on the command line,
// and one of each kind at the edge of the decoder's limits: the largest area a kind that cannot be
// reduced is decoded at (16 megapixels), the largest side and area otherwise (16000 x 8000).
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestPng.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iterator>
#include <string>

namespace {

namespace tp = testpictures;

void writeEdgeSeeds(const std::filesystem::path& folder)
{
    // The largest side and area: decoded reduced.
    tp::writeBytes(folder / "edge.jpg", tp::makeFlatJpeg(16000, 8000));
    tp::writeBytes(folder / "edge.png",
        tp::makePng(
            16000, 8000, false, false,
            [](int, int) {
                return tp::PngPixel { 40, 80, 160, 255 };
            },
            9));
    tp::writeBytes(folder / "edge.wmf", tp::makeWmf(16000, 8000, 0x0000FF00, 96));
    // The largest area decoded whole.
    tp::writeBytes(folder / "edge.pcx", tp::makeMonochromePcx(2800, 2800));
    tp::writeBytes(folder / "edge.bmp", tp::makeFlatBmp(4000, 4000));
    tp::writeBytes(folder / "edge.ico",
        tp::makePngIcon(tp::makePng(
            4000, 4000, true, false,
            [](int, int) {
                return tp::PngPixel { 200, 0, 0, 128 };
            },
            9)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    tp::writeBytes(folder / "drawing.wmf", tp::makeWmf(480, 360, 0x0000FF00));
    tp::writeBytes(folder / "flat.jpg", tp::makeFlatJpeg(24, 16));
    writeEdgeSeeds(folder);
    if (!tp::haveConvert()) {
        return 0;
    }
    const struct {
        const char* file;
        const char* arguments;
    } seeds[] = {
        { "plain.jpg", "-size 16x12 gradient:red-blue -quality 60" },
        { "progressive.jpg", "-size 16x12 gradient:red-blue -interlace JPEG" },
        { "cmyk.jpg", "-size 16x12 gradient:red-blue -colorspace CMYK" },
        { "animated.gif", "-size 8x6 xc:red xc:blue" },
        { "alpha.png", "-size 16x12 gradient:none-red PNG32:" },
        { "plain.bmp", "-size 8x6 gradient:red-blue BMP3:" },
        { "icon.ico", "-size 16x16 gradient:red-blue" },
        { "plain.pcx", "-size 8x6 gradient:red-blue" },
        // The largest area decoded whole; a flat picture compresses well.
        { "edge.gif", "-size 4000x4000 xc:red" },
    };
    try {
        for (const auto& seed : seeds) {
            std::string arguments = seed.arguments;
            const bool prefixed = arguments.back() == ':';
            const auto space = arguments.rfind(' ');
            const std::string prefix = prefixed ? arguments.substr(space + 1) : std::string();
            if (prefixed) {
                arguments.resize(space);
            }
            tp::convert(arguments + " '" + prefix + (folder / seed.file).string() + "'");
        }
        // A text chunk after the header that declares almost 2 GB: the decoder must not take that.
        auto damaged = tp::readBytes(folder / "alpha.png");
        constexpr std::ptrdiff_t kAfterHeader = 8 + 8 + 13 + 4;
        const std::uint8_t chunk[] = { 0x79, 0x00, 0x00, 0x26, 't', 'E', 'X', 't', 'C', 'o', 'm' };
        damaged.insert(damaged.begin() + kAfterHeader, std::begin(chunk), std::end(chunk));
        tp::writeBytes(folder / "long-chunk.png", damaged);
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}
