// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/tools/FdbCheck.h"

#include "swf/ByteReader.h"

#include <fstream>
#include <iterator>
#include <string>

namespace fdbcheck {

using fdbgen::PathSegment;
using fdbgen::Point;

std::vector<PathSegment> decodeGlyphShape(std::span<const uint8_t> shape, size_t* used, bool* selectsFill)
{
    swf::ByteReader r(shape, "glyph shape");
    if (r.ubits(4) != 1 || r.ubits(4) != 0) {
        r.fail("glyph shapes use one fill bit and no line bits");
    }
    std::vector<PathSegment> path;
    Point pen;
    bool first = true;
    bool fill = false;
    int fillChanges = 0;
    for (;;) {
        if (r.ubits(1) == 0) {
            const uint32_t flags = r.ubits(5);
            if (flags == 0) {
                break;
            }
            if ((flags & 0x10) != 0) {
                r.fail("new styles in a glyph");
            }
            if ((flags & 0x08) != 0) {
                r.fail("line style in a glyph");
            }
            if ((flags & 0x01) == 0) {
                r.fail("style change without a move");
            }
            const unsigned bits = r.ubits(5);
            pen = { r.sbits(bits), r.sbits(bits) };
            bool fill0 = false;
            if ((flags & 0x02) != 0) {
                fill0 = r.ubits(1) == 1;
            }
            if ((flags & 0x04) != 0) {
                (void)r.ubits(1);
            }
            fillChanges += ((flags & 0x06) != 0) ? 1 : 0;
            if (first) {
                fill = fill0 && (flags & 0x04) == 0;
            }
            first = false;
            path.push_back({ PathSegment::Kind::Move, {}, pen });
            continue;
        }
        if (first) {
            r.fail("edge before the first move");
        }
        const bool straight = r.ubits(1) == 1;
        const unsigned bits = r.ubits(4) + 2;
        if (straight) {
            int32_t dx = 0;
            int32_t dy = 0;
            if (r.ubits(1) == 1) {
                dx = r.sbits(bits);
                dy = r.sbits(bits);
            } else if (r.ubits(1) == 1) {
                dy = r.sbits(bits);
            } else {
                dx = r.sbits(bits);
            }
            pen = { pen.x + dx, pen.y + dy };
            path.push_back({ PathSegment::Kind::Line, {}, pen });
        } else {
            const Point control { pen.x + r.sbits(bits), pen.y + r.sbits(bits) };
            pen = { control.x + r.sbits(bits), control.y + r.sbits(bits) };
            path.push_back({ PathSegment::Kind::Quad, control, pen });
        }
    }
    r.alignBits();
    if (used != nullptr) {
        *used = r.pos();
    }
    if (selectsFill != nullptr) {
        *selectsFill = fill && fillChanges == 1;
    }
    return path;
}

namespace {

fdbgen::Rect readRect(swf::ByteReader& r)
{
    const unsigned bits = r.ubits(5);
    fdbgen::Rect box;
    box.xMin = r.sbits(bits);
    box.xMax = r.sbits(bits);
    box.yMin = r.sbits(bits);
    box.yMax = r.sbits(bits);
    r.alignBits();
    return box;
}

} // namespace

CheckedFont checkFdb(std::span<const uint8_t> file)
{
    swf::ByteReader r(file, "FDB file");
    const auto magic = r.bytes(4);
    if (std::string(magic.begin(), magic.end()) != "fdb0") {
        r.fail("no fdb0 magic");
    }
    CheckedFont out;
    out.flags = r.u8();
    const bool wideOffsets = (out.flags & 0x08) != 0;
    const bool wideCodes = (out.flags & 0x04) != 0;
    out.font.bold = (out.flags & 0x01) != 0;
    out.font.italic = (out.flags & 0x02) != 0;
    out.font.language = r.u8();
    const auto name = r.bytes(r.u8());
    out.font.name.assign(name.begin(), name.end());
    const size_t count = r.u16();

    const size_t tableStart = r.pos();
    for (size_t i = 0; i <= count; ++i) {
        out.offsets.push_back(wideOffsets ? r.u32() : r.u16());
    }
    if (out.offsets.front() != r.pos() - tableStart) {
        r.fail("first glyph does not follow the offset table");
    }
    for (size_t i = 0; i < count; ++i) {
        if (out.offsets[i + 1] <= out.offsets[i]) {
            r.fail("offsets not ascending at glyph " + std::to_string(i));
        }
        if (out.offsets[i + 1] > file.size() - tableStart) {
            r.fail("offset past the end at glyph " + std::to_string(i));
        }
        const auto shape = file.subspan(tableStart + out.offsets[i], out.offsets[i + 1] - out.offsets[i]);
        size_t used = 0;
        bool fill = false;
        fdbgen::Glyph glyph;
        glyph.path = decodeGlyphShape(shape, &used, &fill);
        if (used != shape.size()) {
            r.fail("glyph " + std::to_string(i) + " has bytes after its end record");
        }
        out.selectsFill.push_back(fill);
        out.font.glyphs.push_back(std::move(glyph));
    }
    r.skip(tableStart + out.offsets.back() - r.pos());

    for (size_t i = 0; i < count; ++i) {
        out.font.glyphs[i].code = wideCodes ? r.u16() : r.u8();
        if (i > 0 && out.font.glyphs[i].code <= out.font.glyphs[i - 1].code) {
            r.fail("codes not ascending at glyph " + std::to_string(i));
        }
    }
    if ((out.flags & 0x80) != 0) {
        out.font.ascent = r.s16();
        out.font.descent = r.s16();
        out.font.leading = r.s16();
        for (auto& g : out.font.glyphs) {
            g.advance = r.s16();
        }
        for (auto& g : out.font.glyphs) {
            g.bounds = readRect(r);
        }
        const size_t pairs = r.u16();
        for (size_t i = 0; i < pairs; ++i) {
            fdbgen::KerningPair k;
            k.left = wideCodes ? r.u16() : r.u8();
            k.right = wideCodes ? r.u16() : r.u8();
            k.adjustment = r.s16();
            out.font.kerning.push_back(k);
        }
    }
    if (!r.atEnd()) {
        r.fail("bytes after the kerning table");
    }
    return out;
}

std::vector<uint8_t> readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

} // namespace fdbcheck
