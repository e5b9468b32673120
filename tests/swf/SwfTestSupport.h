// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the writer tests: a minimal reading of written movies and small synthetic fonts.

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/FdbFontData.h"
#include "swf/Rect.h"
#include "swf/Tag.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

using Bytes = std::vector<uint8_t>;

struct ReadMovie {
    std::string signature;
    uint8_t version = 0;
    uint32_t length = 0;
    swf::Rect frame;
    uint16_t rate = 0;
    uint16_t frames = 0;
    std::vector<swf::Tag> tags; // End included
    Bytes uncompressed; // the whole file as FWS
};

inline Bytes inflateAll(const Bytes& packed, size_t expected)
{
    Bytes out(expected);
    uLongf length = static_cast<uLongf>(expected);
    if (uncompress(out.data(), &length, packed.data(), static_cast<uLong>(packed.size())) != Z_OK) {
        throw swf::Error("inflate failed");
    }
    out.resize(length);
    return out;
}

inline ReadMovie readMovie(const Bytes& file)
{
    ReadMovie m;
    m.signature.assign(file.begin(), file.begin() + 3);
    m.version = file.at(3);
    swf::ByteReader head(std::span<const uint8_t>(file).subspan(4, 4));
    m.length = head.u32();
    Bytes rest(file.begin() + 8, file.end());
    if (m.signature == "CWS") {
        rest = inflateAll(rest, m.length - 8);
    }
    m.uncompressed.assign(file.begin(), file.begin() + 8);
    m.uncompressed[0] = 'F';
    m.uncompressed.insert(m.uncompressed.end(), rest.begin(), rest.end());
    swf::ByteReader in(rest, "movie");
    m.frame = swf::readRect(in);
    m.rate = in.u16();
    m.frames = in.u16();
    while (!in.atEnd()) {
        const uint16_t head16 = in.u16();
        size_t length = head16 & 63U;
        if (length == 63) {
            length = in.u32();
        }
        const auto body = in.bytes(length);
        m.tags.emplace_back(static_cast<uint16_t>(head16 >> 6), Bytes(body.begin(), body.end()));
    }
    return m;
}

inline std::vector<swf::Tag> tagsOf(const ReadMovie& m, swf::TagCode code)
{
    std::vector<swf::Tag> out;
    for (const auto& t : m.tags) {
        if (t.code == static_cast<uint16_t>(code)) {
            out.push_back(t);
        }
    }
    return out;
}

inline std::vector<uint16_t> codesOf(const ReadMovie& m)
{
    std::vector<uint16_t> out;
    for (const auto& t : m.tags) {
        out.push_back(t.code);
    }
    return out;
}

inline uint16_t code(swf::TagCode c)
{
    return static_cast<uint16_t>(c);
}

// A glyph SHAPE: one fill, a box from (x0, y0) to (x1, y1) in font units.
inline Bytes boxGlyph(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    swf::ByteWriter w;
    w.ubits(1, 4);
    w.ubits(0, 4);
    w.ubits(0, 1);
    w.ubits(0x03, 5); // fill0 and move
    w.ubits(12, 5);
    w.sbits(x0, 12);
    w.sbits(y0, 12);
    w.ubits(1, 1);
    for (auto [dx, dy] : { std::pair { x1 - x0, 0 }, { 0, y1 - y0 }, { x0 - x1, 0 }, { 0, y0 - y1 } }) {
        w.ubits(1, 1);
        w.ubits(1, 1);
        w.ubits(10, 4); // 12 bits
        w.ubits(1, 1); // general line
        w.sbits(dx, 12);
        w.sbits(dy, 12);
    }
    w.ubits(0, 6);
    return w.take();
}

// A font whose glyph for each character of `codes` has advance `advance` (683 for 'A' gives the
// reference width) and a box of the em's upper part.
inline swf::FdbFontData makeFont(const std::u32string& codes, int16_t advance = 683)
{
    swf::FdbFontData font;
    font.name = "Test";
    font.ascent = 900;
    font.descent = 200;
    font.leading = 0;
    for (char32_t c : codes) {
        swf::FdbFontData::Glyph g;
        g.code = static_cast<uint16_t>(c);
        g.advance = advance;
        g.shape = boxGlyph(0, -700, advance, 0);
        g.bounds = swf::Rect { 0, advance, -700, 0 };
        font.glyphs.push_back(g);
    }
    return font;
}

} // namespace swftest
