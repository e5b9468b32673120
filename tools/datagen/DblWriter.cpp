// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/DblWriter.h"

#include <stdexcept>
#include <string>
#include <zlib.h>

namespace datagen {

namespace {

void PutU16Le(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value & 0xFFU));
    out.push_back(static_cast<uint8_t>((value >> 8U) & 0xFFU));
}

uint8_t Premultiply(uint8_t component, uint8_t alpha)
{
    return static_cast<uint8_t>((static_cast<unsigned>(component) * alpha + 127U) / 255U);
}

} // namespace

std::vector<uint8_t> EncodeDbl(int width, int height, std::span<const uint8_t> rgba)
{
    if (width < 1 || height < 1 || width > kMaxDblSide || height > kMaxDblSide) {
        throw std::invalid_argument("DBL picture size " + std::to_string(width) + "x" +
            std::to_string(height) + " is outside 1.." + std::to_string(kMaxDblSide));
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (rgba.size() != count * 4) {
        throw std::invalid_argument("DBL pixels: expected " + std::to_string(count * 4) + " bytes, got " +
            std::to_string(rgba.size()));
    }
    // The player expects ARGB with the colour already multiplied by alpha.
    std::vector<uint8_t> argb(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t alpha = rgba[i * 4 + 3];
        argb[i * 4] = alpha;
        argb[i * 4 + 1] = Premultiply(rgba[i * 4], alpha);
        argb[i * 4 + 2] = Premultiply(rgba[i * 4 + 1], alpha);
        argb[i * 4 + 3] = Premultiply(rgba[i * 4 + 2], alpha);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(argb.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, argb.data(), static_cast<uLong>(argb.size()),
            Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("DBL pixels: zlib compression failed");
    }
    packed.resize(packedSize);

    std::vector<uint8_t> body;
    body.push_back(5); // 32-bit pixels
    PutU16Le(body, static_cast<unsigned>(width));
    PutU16Le(body, static_cast<unsigned>(height));
    body.insert(body.end(), packed.begin(), packed.end());

    std::vector<uint8_t> file = { 'D', 'B', 'l', 2 };
    const auto length = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<uint8_t>((length >> static_cast<unsigned>(shift)) & 0xFFU));
    }
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace datagen
