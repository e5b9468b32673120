// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace datagen {

// Largest side of a picture turned into a DBL file; the installation's pictures are at most a
// few hundred pixels wide, and the format's UI16 fields end at 65535.
inline constexpr int kMaxDblSide = 4096;

// Encodes straight (not premultiplied) RGBA pixels, row by row, as a DBL file of type 2
// (DefineBitsLossless2, format 5): "DBl", the type byte, the UI32 big-endian length of the rest,
// then format, UI16 width, UI16 height and the zlib-compressed premultiplied ARGB pixels.
// Throws std::invalid_argument when the size is out of range or the pixels do not match it.
[[nodiscard]] std::vector<uint8_t> EncodeDbl(int width, int height, std::span<const uint8_t> rgba);

} // namespace datagen
