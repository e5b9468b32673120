// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/FontData.h"

#include <cstdint>
#include <span>
#include <vector>

// An independent structural reader of FDB files for the tests: it decodes every field the
// generator writes and throws swf::ParseError when the layout is inconsistent (offsets out of
// order or outside the shape area, codes not ascending, a shape that does not end with its end
// record exactly at the next glyph's offset, bytes left over).
namespace fdbcheck {

struct CheckedFont {
    uint8_t flags = 0;
    fdbgen::FontData font;
    std::vector<uint32_t> offsets; // n + 1, from the start of the offset table
    // Per glyph: whether the first style change, and no other, selects fill style 1 in the
    // FillStyle0 slot.
    std::vector<bool> selectsFill;
};

// Decodes one glyph SHAPE into an absolute path; requires one fill bit, no line bits, no new styles
// and the end record before `shape` ends. Returns the number of bytes used through `used`, and
// through `selectsFill` whether the fill is selected once, by the first move, as FillStyle0 = 1.
[[nodiscard]] std::vector<fdbgen::PathSegment> decodeGlyphShape(
    std::span<const uint8_t> shape, size_t* used = nullptr, bool* selectsFill = nullptr);

[[nodiscard]] CheckedFont checkFdb(std::span<const uint8_t> file);

[[nodiscard]] std::vector<uint8_t> readFile(const char* path);

} // namespace fdbcheck
