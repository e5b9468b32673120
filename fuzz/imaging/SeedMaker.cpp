// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small pictures of every kind the decoder reads into the folder named on the command line.
#include "tests/imaging/TestPictures.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    namespace tp = testpictures;
    tp::writeBytes(folder / "drawing.wmf", tp::makeWmf(480, 360, 0x0000FF00));
    tp::writeBytes(folder / "flat.jpg", tp::makeFlatJpeg(24, 16));
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
