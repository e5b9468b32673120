// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/: decoding a large PNG at reduced size with libpng.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace imaging {

// What the header chunk of a PNG declares.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool interlaced = false;
};

// The header of a PNG file, read from its first chunk; nullopt when the file does not start with one.
[[nodiscard]] std::optional<PngHeader> readPngHeader(std::span<const std::uint8_t> bytes);

// A PNG reduced on the way in: packed 8-bit rows, RGBA when the picture has transparency, else RGB.
struct ReducedPng {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<std::uint8_t> pixels;
};

// Largest reduction factor: the sums of one reduced pixel stay within 32 bits.
inline constexpr int kMaxPngReductionFactor = 255;

// Decodes a PNG row by row, each pixel of the result the mean of a factor by factor cell (colour
// weighted by alpha, so that transparent pixels do not darken their neighbours), so that a picture
// far larger than memory allows takes only the space of its reduced size. Rows the file lacks (a
// damaged end) stay transparent black, as ImageMagick leaves them. nullopt with the reason in
// failure when nothing could be decoded or the deadline passed. Nothing is printed.
[[nodiscard]] std::optional<ReducedPng> decodeReducedPng(std::span<const std::uint8_t> bytes, int factor,
    std::chrono::steady_clock::time_point deadline, std::string& failure);

} // namespace imaging
