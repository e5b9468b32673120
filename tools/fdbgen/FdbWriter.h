// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/FontData.h"

#include <cstdint>
#include <vector>

namespace fdbgen {

// The FDB font flags, as in a DefineFont2 tag.
namespace FdbFlags {
constexpr uint8_t Bold = 0x01;
constexpr uint8_t Italic = 0x02;
constexpr uint8_t WideCodes = 0x04;
constexpr uint8_t WideOffsets = 0x08;
constexpr uint8_t HasLayout = 0x80;
} // namespace FdbFlags

// Serialises a font as an FDB file: "fdb0" and a DefineFont2 body without its font id, always with
// layout and 16-bit codes, with 32-bit offsets only when the glyph shapes outgrow 16-bit ones.
// Glyphs must be sorted by strictly ascending code; kerning pairs are written sorted by their codes.
// Throws std::invalid_argument naming the field that does not fit the format.
[[nodiscard]] std::vector<uint8_t> writeFdb(const FontData& font);

} // namespace fdbgen
