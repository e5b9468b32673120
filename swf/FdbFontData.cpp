// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/FdbFontData.h"

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/FontBody.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace swf {

namespace {

constexpr uint8_t kMagic[4] = { 'f', 'd', 'b', '0' };

// Walks one glyph SHAPE to its end record, so that a damaged glyph is refused here instead of
// being copied into a movie that players cannot read.
void checkGlyphShape(std::span<const uint8_t> shape, size_t glyph)
{
    ByteReader in(shape, "FDB font: glyph " + std::to_string(glyph));
    const unsigned fillBits = in.ubits(4);
    const unsigned lineBits = in.ubits(4);
    while (true) {
        if (in.ubits(1) == 0) {
            const uint32_t flags = in.ubits(5);
            if (flags == 0) {
                return;
            }
            if ((flags & 0x10) != 0) {
                in.fail("new styles inside a glyph");
            }
            if ((flags & 0x01) != 0) {
                const unsigned bits = in.ubits(5);
                (void)in.sbits(bits);
                (void)in.sbits(bits);
            }
            if ((flags & 0x02) != 0) {
                (void)in.ubits(fillBits);
            }
            if ((flags & 0x04) != 0) {
                (void)in.ubits(fillBits);
            }
            if ((flags & 0x08) != 0) {
                (void)in.ubits(lineBits);
            }
        } else if (in.ubits(1) == 1) {
            const unsigned bits = in.ubits(4) + 2;
            if (in.ubits(1) == 1) {
                (void)in.sbits(bits);
                (void)in.sbits(bits);
            } else {
                (void)in.ubits(1);
                (void)in.sbits(bits);
            }
        } else {
            const unsigned bits = in.ubits(4) + 2;
            for (int k = 0; k < 4; ++k) {
                (void)in.sbits(bits);
            }
        }
    }
}

} // namespace

FdbFontData readFdb(std::span<const uint8_t> data)
{
    ByteReader in(data, "FDB font");
    const auto magic = in.bytes(4);
    if (!std::equal(magic.begin(), magic.end(), std::begin(kMagic))) {
        in.fail("not an FDB file (bad magic)");
    }
    FdbFontData font;
    font.flags = in.u8();
    font.language = in.u8();
    const uint8_t nameLength = in.u8();
    const auto name = in.bytes(nameLength);
    font.name.assign(name.begin(), name.end());
    const uint16_t count = in.u16();
    const bool wideOffsets = (font.flags & FdbFontData::kWideOffsets) != 0;
    const bool wideCodes = (font.flags & FdbFontData::kWideCodes) != 0;

    const size_t tableStart = in.pos();
    std::vector<uint32_t> offsets(static_cast<size_t>(count) + 1);
    for (auto& offset : offsets) {
        offset = wideOffsets ? in.u32() : in.u16();
    }
    const size_t tableSize = offsets.size() * (wideOffsets ? 4 : 2);
    if (offsets[0] != tableSize) {
        in.fail("first glyph offset " + std::to_string(offsets[0]) + " does not follow the offset table");
    }
    const size_t available = data.size() - tableStart;
    for (size_t i = 0; i < count; ++i) {
        if (offsets[i + 1] < offsets[i] || offsets[i + 1] > available) {
            in.fail("glyph offset " + std::to_string(i + 1) + " is out of order or past the end");
        }
    }
    font.glyphs.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const auto shape = data.subspan(tableStart + offsets[i], offsets[i + 1] - offsets[i]);
        checkGlyphShape(shape, i);
        font.glyphs[i].shape.assign(shape.begin(), shape.end());
    }

    ByteReader rest(data.subspan(tableStart + offsets[count]), "FDB font tables");
    for (size_t i = 0; i < count; ++i) {
        font.glyphs[i].code = wideCodes ? rest.u16() : rest.u8();
        if (i > 0 && font.glyphs[i].code <= font.glyphs[i - 1].code) {
            rest.fail("character codes do not ascend at glyph " + std::to_string(i));
        }
    }
    if (font.hasLayout()) {
        font.ascent = rest.s16();
        font.descent = rest.s16();
        font.leading = rest.s16();
        for (auto& glyph : font.glyphs) {
            glyph.advance = rest.s16();
        }
        for (auto& glyph : font.glyphs) {
            glyph.bounds = readRect(rest);
        }
        const uint16_t kerningCount = rest.u16();
        // Each record takes at least 4 bytes; refuse a count the data cannot hold before reserving.
        if (static_cast<size_t>(kerningCount) * (wideCodes ? 6 : 4) > rest.remaining()) {
            rest.fail("kerning count " + std::to_string(kerningCount) + " exceeds the data");
        }
        font.kerning.resize(kerningCount);
        for (auto& pair : font.kerning) {
            pair.left = wideCodes ? rest.u16() : rest.u8();
            pair.right = wideCodes ? rest.u16() : rest.u8();
            pair.adjustment = rest.s16();
        }
    }
    return font;
}

std::vector<uint8_t> writeFdb(const FdbFontData& font)
{
    ByteWriter out;
    for (uint8_t c : kMagic) {
        out.u8(c);
    }
    writeFontBody(out, font, font.kerning, false);
    return out.take();
}

} // namespace swf
