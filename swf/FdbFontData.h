// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Rect.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

// The content of an FDB font file: "fdb0" and a DefineFont2 body without its font id. Units are
// those of a 1024 em, y down. Glyph shapes are SHAPE records kept as bytes (they are copied into
// movies as they are).
struct FdbFontData {
    // DefineFont2 flag bits.
    static constexpr uint8_t kHasLayout = 0x80;
    static constexpr uint8_t kShiftJis = 0x40;
    static constexpr uint8_t kSmallText = 0x20;
    static constexpr uint8_t kAnsi = 0x10;
    static constexpr uint8_t kWideOffsets = 0x08;
    static constexpr uint8_t kWideCodes = 0x04;
    static constexpr uint8_t kItalic = 0x02;
    static constexpr uint8_t kBold = 0x01;

    struct Glyph {
        uint16_t code = 0;
        std::vector<uint8_t> shape;
        int16_t advance = 0;
        Rect bounds;
        bool operator==(const Glyph&) const = default;
    };
    struct Kerning {
        uint16_t left = 0;
        uint16_t right = 0;
        int16_t adjustment = 0;
        bool operator==(const Kerning&) const = default;
    };

    // As stored; kWideOffsets and kWideCodes describe the file's own encoding.
    uint8_t flags = kHasLayout | kWideCodes;
    uint8_t language = 0;
    std::string name;
    std::vector<Glyph> glyphs; // ascending codes
    int16_t ascent = 0;
    int16_t descent = 0;
    int16_t leading = 0;
    std::vector<Kerning> kerning;

    [[nodiscard]] bool hasLayout() const { return (flags & kHasLayout) != 0; }
    bool operator==(const FdbFontData&) const = default;
};

// Reads an FDB file. Every count and offset is checked against the data: a damaged file throws
// swf::ParseError naming what was wrong; codes must ascend.
[[nodiscard]] FdbFontData readFdb(std::span<const uint8_t> data);
// Writes an FDB file. kWideOffsets is set when the glyph data needs it; kWideCodes is kept from
// `font.flags` and forced when a code exceeds 255. Throws swf::Error for more than 65535 glyphs or
// codes out of order.
[[nodiscard]] std::vector<uint8_t> writeFdb(const FdbFontData& font);

} // namespace swf
