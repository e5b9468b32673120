// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/FdbWriter.h"

#include "tools/fdbgen/GlyphShape.h"

#include "swf/ByteWriter.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <string>

namespace fdbgen {
namespace {

constexpr std::array<uint8_t, 4> kMagic { 'f', 'd', 'b', '0' };
// The glyph and kerning counts and the name length are UI16, UI16 and UI8 fields.
constexpr size_t kMaxGlyphs = 0xFFFF;
constexpr size_t kMaxKerningPairs = 0xFFFF;
constexpr size_t kMaxNameBytes = 0xFF;

int16_t checkedS16(int32_t v, const std::string& what)
{
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) {
        throw std::invalid_argument(what + " " + std::to_string(v) + " does not fit 16 bits");
    }
    return static_cast<int16_t>(v);
}

void writeRect(swf::ByteWriter& w, const Rect& r)
{
    unsigned bits = 1;
    for (int32_t v : { r.xMin, r.xMax, r.yMin, r.yMax }) {
        bits = std::max(bits, swf::ByteWriter::sbitsNeeded(v));
    }
    w.ubits(bits, 5);
    w.sbits(r.xMin, bits);
    w.sbits(r.xMax, bits);
    w.sbits(r.yMin, bits);
    w.sbits(r.yMax, bits);
    w.alignBits();
}

void validate(const FontData& font)
{
    if (font.glyphs.empty()) {
        throw std::invalid_argument("font '" + font.name + "' has no glyphs");
    }
    if (font.glyphs.size() > kMaxGlyphs) {
        throw std::invalid_argument("font '" + font.name + "' has more than 65535 glyphs");
    }
    if (font.name.size() > kMaxNameBytes) {
        throw std::invalid_argument("font name longer than 255 bytes");
    }
    if (font.kerning.size() > kMaxKerningPairs) {
        throw std::invalid_argument("font '" + font.name + "' has more than 65535 kerning pairs");
    }
    for (size_t i = 1; i < font.glyphs.size(); ++i) {
        if (font.glyphs[i].code <= font.glyphs[i - 1].code) {
            throw std::invalid_argument(
                "glyph codes not strictly ascending at code " + std::to_string(font.glyphs[i].code));
        }
    }
}

} // namespace

std::vector<uint8_t> writeFdb(const FontData& font)
{
    validate(font);
    const size_t count = font.glyphs.size();

    std::vector<std::vector<uint8_t>> shapes;
    shapes.reserve(count);
    size_t shapeBytes = 0;
    for (const Glyph& g : font.glyphs) {
        shapes.push_back(encodeGlyphShape(g.path));
        shapeBytes += shapes.back().size();
    }
    // Offsets count from the start of the offset table, whose last entry locates the code table.
    const bool wide = (count + 1) * 2 + shapeBytes > 0xFFFF;
    const size_t tableBytes = (count + 1) * (wide ? 4 : 2);

    swf::ByteWriter w;
    w.bytes(kMagic);
    w.u8(static_cast<uint8_t>(FdbFlags::HasLayout | FdbFlags::WideCodes | (wide ? FdbFlags::WideOffsets : 0) |
        (font.italic ? FdbFlags::Italic : 0) | (font.bold ? FdbFlags::Bold : 0)));
    w.u8(font.language);
    w.u8(static_cast<uint8_t>(font.name.size()));
    w.bytes(std::span(reinterpret_cast<const uint8_t*>(font.name.data()), font.name.size()));
    w.u16(static_cast<uint16_t>(count));

    size_t offset = tableBytes;
    for (size_t i = 0; i <= count; ++i) {
        if (wide) {
            w.u32(static_cast<uint32_t>(offset));
        } else {
            w.u16(static_cast<uint16_t>(offset));
        }
        if (i < count) {
            offset += shapes[i].size();
        }
    }
    for (const auto& shape : shapes) {
        w.bytes(shape);
    }
    for (const Glyph& g : font.glyphs) {
        w.u16(g.code);
    }

    w.s16(checkedS16(font.ascent, "ascent"));
    w.s16(checkedS16(font.descent, "descent"));
    w.s16(checkedS16(font.leading, "leading"));
    for (const Glyph& g : font.glyphs) {
        w.s16(checkedS16(g.advance, "advance of code " + std::to_string(g.code)));
    }
    for (const Glyph& g : font.glyphs) {
        writeRect(w, g.bounds);
    }

    std::vector<KerningPair> kerning = font.kerning;
    std::sort(kerning.begin(), kerning.end(), [](const KerningPair& a, const KerningPair& b) {
        return std::pair(a.left, a.right) < std::pair(b.left, b.right);
    });
    w.u16(static_cast<uint16_t>(kerning.size()));
    for (const KerningPair& k : kerning) {
        w.u16(k.left);
        w.u16(k.right);
        w.s16(checkedS16(k.adjustment, "kerning adjustment"));
    }
    return w.take();
}

} // namespace fdbgen
