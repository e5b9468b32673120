// SPDX-License-Identifier: GPL-3.0-or-later
// PNG files of any size written directly with zlib, row by row: a picture of a few colours far
// larger than ImageMagick could hold in memory takes a few hundred KB and no pixel memory to make.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>
#include <zlib.h>

namespace testpictures {

struct PngPixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
};

namespace detail {

inline void appendChunk(
    std::vector<std::uint8_t>& png, const char (&type)[5], const std::vector<std::uint8_t>& data)
{
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const auto crc = crc32(0, png.data() + typeAt, static_cast<uInt>(4 + data.size()));
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
}

// The Adam7 passes: first column and row, and the steps between them.
struct Pass {
    int x;
    int y;
    int dx;
    int dy;
};
inline constexpr std::array<Pass, 7> kAdam7 { { { 0, 0, 8, 8 }, { 4, 0, 8, 8 }, { 0, 4, 4, 8 },
    { 2, 0, 4, 4 }, { 0, 2, 2, 4 }, { 1, 0, 2, 2 }, { 0, 1, 1, 2 } } };

} // namespace detail

// An 8-bit RGB (or RGBA) PNG, each pixel from pixel(x, y); Adam7-interlaced when asked. Level 1
// deflates quickly; 9 makes the smallest file.
template<typename PixelAt>
std::vector<std::uint8_t> makePng(
    int width, int height, bool alpha, bool interlaced, PixelAt pixel, int level = 1)
{
    z_stream stream {};
    if (deflateInit(&stream, level) != Z_OK) {
        throw std::runtime_error("deflateInit failed");
    }
    std::vector<std::uint8_t> compressed;
    std::vector<std::uint8_t> out(1 << 16);
    const auto feed = [&](const std::vector<std::uint8_t>& row, int flush) {
        stream.next_in = const_cast<Bytef*>(row.data());
        stream.avail_in = static_cast<uInt>(row.size());
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, flush);
            compressed.insert(compressed.end(), out.data(), out.data() + (out.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    std::vector<std::uint8_t> row;
    const auto addRow = [&](int y, int x0, int dx) {
        row.assign(1, 0); // filter: none
        for (int x = x0; x < width; x += dx) {
            const PngPixel p = pixel(x, y);
            row.push_back(p.red);
            row.push_back(p.green);
            row.push_back(p.blue);
            if (alpha) {
                row.push_back(p.alpha);
            }
        }
        feed(row, Z_NO_FLUSH);
    };
    if (interlaced) {
        for (const detail::Pass& pass : detail::kAdam7) {
            if (pass.x >= width || pass.y >= height) {
                continue;
            }
            for (int y = pass.y; y < height; y += pass.dy) {
                addRow(y, pass.x, pass.dx);
            }
        }
    } else {
        for (int y = 0; y < height; ++y) {
            addRow(y, 0, 1);
        }
    }
    feed({}, Z_FINISH);
    deflateEnd(&stream);

    std::vector<std::uint8_t> png { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    std::vector<std::uint8_t> header;
    for (const auto value : { static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height) }) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    header.push_back(8); // bits a channel
    header.push_back(alpha ? 6 : 2); // RGBA or RGB
    header.push_back(0);
    header.push_back(0);
    header.push_back(interlaced ? 1 : 0);
    detail::appendChunk(png, "IHDR", header);
    detail::appendChunk(png, "IDAT", compressed);
    detail::appendChunk(png, "IEND", {});
    return png;
}

// Only the signature and a header chunk declaring this size: enough for anything that looks at the
// size first.
inline std::vector<std::uint8_t> makePngHeaderOnly(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> png { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    std::vector<std::uint8_t> header;
    for (const auto value : { width, height }) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    header.insert(header.end(), { 8, 2, 0, 0, 0 });
    detail::appendChunk(png, "IHDR", header);
    return png;
}

} // namespace testpictures
