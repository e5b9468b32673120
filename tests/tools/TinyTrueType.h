// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Writes a minimal TrueType font in memory, so that tests and fuzz seeds need no committed binary
// file and every figure of the font is known: 2048 units per em; glyph 1 ('A') a triangle of
// on-curve points, glyph 2 ('O') a ring whose outer contour has two consecutive off-curve points,
// glyph 3 (space) empty; hhea ascender 1901, descender -483, line gap 67; kern pairs A-O -101,
// O-A 3 and space-A 1.
namespace tinyttf {

struct Contour {
    std::vector<std::array<int16_t, 2>> points;
    std::vector<bool> onCurve;
};

inline void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

inline std::vector<uint8_t> glyph(const std::vector<Contour>& contours)
{
    std::vector<uint8_t> out;
    if (contours.empty()) {
        return out;
    }
    int16_t xMin = INT16_MAX, yMin = INT16_MAX, xMax = INT16_MIN, yMax = INT16_MIN;
    for (const auto& c : contours) {
        for (const auto& p : c.points) {
            xMin = std::min(xMin, p[0]);
            xMax = std::max(xMax, p[0]);
            yMin = std::min(yMin, p[1]);
            yMax = std::max(yMax, p[1]);
        }
    }
    put16(out, static_cast<uint16_t>(contours.size()));
    for (int16_t v : { xMin, yMin, xMax, yMax }) {
        put16(out, static_cast<uint16_t>(v));
    }
    uint16_t end = 0;
    for (const auto& c : contours) {
        end = static_cast<uint16_t>(end + c.points.size());
        put16(out, end - 1U);
    }
    put16(out, 0); // no instructions
    for (const auto& c : contours) {
        for (bool on : c.onCurve) {
            out.push_back(on ? 1 : 0); // 16-bit deltas for both coordinates
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        int16_t last = 0;
        for (const auto& c : contours) {
            for (const auto& p : c.points) {
                put16(out, static_cast<uint16_t>(static_cast<int16_t>(p[axis] - last)));
                last = p[axis];
            }
        }
    }
    if (out.size() % 2 != 0) {
        out.push_back(0); // short loca offsets need even glyph sizes
    }
    return out;
}

inline std::vector<uint8_t> makeFont(bool bold = false)
{
    const std::vector<std::vector<Contour>> glyphs {
        {}, // .notdef
        { { { { 0, 0 }, { 1400, 0 }, { 700, 1400 } }, { true, true, true } } },
        { { { { 0, 0 }, { 0, 1000 }, { 1000, 1000 }, { 1000, 0 } }, { true, false, false, true } },
            { { { 200, 200 }, { 800, 200 }, { 500, 600 } }, { true, true, true } } },
        {}, // space
    };
    const uint16_t advances[] = { 1024, 1401, 1100, 651 };

    std::map<std::string, std::vector<uint8_t>> tables;
    std::vector<uint8_t> glyf;
    std::vector<uint8_t> loca;
    for (const auto& g : glyphs) {
        put16(loca, static_cast<uint32_t>(glyf.size() / 2));
        const auto bytes = glyph(g);
        glyf.insert(glyf.end(), bytes.begin(), bytes.end());
    }
    put16(loca, static_cast<uint32_t>(glyf.size() / 2));
    tables["glyf"] = glyf;
    tables["loca"] = loca;

    auto& head = tables["head"];
    put32(head, 0x00010000);
    put32(head, 0x00010000); // font revision
    put32(head, 0); // checksum adjustment
    put32(head, 0x5F0F3CF5);
    put16(head, 0x000B); // flags
    put16(head, 2048);
    for (int i = 0; i < 4; ++i) {
        put32(head, 0); // created, modified
    }
    for (uint16_t v : { 0, 0, 1400, 1400 }) {
        put16(head, v);
    }
    put16(head, bold ? 1 : 0); // macStyle
    put16(head, 8); // lowest readable size
    put16(head, 2); // direction hint
    put16(head, 0); // short loca
    put16(head, 0);

    auto& hhea = tables["hhea"];
    put32(hhea, 0x00010000);
    put16(hhea, 1901);
    put16(hhea, static_cast<uint16_t>(-483));
    put16(hhea, 67);
    put16(hhea, 1401); // advance max
    for (int i = 0; i < 3; ++i) {
        put16(hhea, 0); // side bearings, extent
    }
    put16(hhea, 1); // caret rise
    for (int i = 0; i < 7; ++i) {
        put16(hhea, 0); // caret run and offset, reserved, metric format
    }
    put16(hhea, static_cast<uint16_t>(glyphs.size()));

    auto& maxp = tables["maxp"];
    put32(maxp, 0x00010000);
    put16(maxp, static_cast<uint16_t>(glyphs.size()));
    for (uint16_t v : { 8, 2, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0 }) {
        put16(maxp, v);
    }

    auto& hmtx = tables["hmtx"];
    for (uint16_t a : advances) {
        put16(hmtx, a);
        put16(hmtx, 0);
    }

    // cmap: one Windows Unicode subtable of format 4 with single-code segments.
    const std::vector<std::pair<uint16_t, uint16_t>> map { { 0x20, 3 }, { 0x41, 1 }, { 0x4F, 2 },
        { 0xFFFF, 0 } };
    auto& cmap = tables["cmap"];
    put16(cmap, 0);
    put16(cmap, 1);
    put16(cmap, 3);
    put16(cmap, 1);
    put32(cmap, 12);
    const uint16_t segments = static_cast<uint16_t>(map.size());
    put16(cmap, 4);
    put16(cmap, 16 + 8U * segments);
    put16(cmap, 0);
    put16(cmap, 2U * segments);
    put16(cmap, 8); // search range for four segments
    put16(cmap, 2);
    put16(cmap, 0);
    for (const auto& [code, index] : map) {
        put16(cmap, code);
    }
    put16(cmap, 0);
    for (const auto& [code, index] : map) {
        put16(cmap, code);
    }
    for (const auto& [code, index] : map) {
        put16(cmap, code == 0xFFFF ? 1U : static_cast<uint16_t>(index - code));
    }
    for (size_t i = 0; i < map.size(); ++i) {
        put16(cmap, 0);
    }

    auto& kern = tables["kern"];
    const std::vector<std::array<uint16_t, 3>> pairs { { 1, 2, static_cast<uint16_t>(-101) }, { 2, 1, 3 },
        { 3, 1, 1 } };
    put16(kern, 0);
    put16(kern, 1);
    put16(kern, 0);
    put16(kern, 14 + 6U * static_cast<uint16_t>(pairs.size()));
    put16(kern, 0x0001); // horizontal, format 0
    put16(kern, static_cast<uint16_t>(pairs.size()));
    put16(kern, 12);
    put16(kern, 1);
    put16(kern, 6);
    for (const auto& p : pairs) {
        for (uint16_t v : p) {
            put16(kern, v);
        }
    }

    std::vector<uint8_t> out;
    put32(out, 0x00010000);
    put16(out, static_cast<uint16_t>(tables.size()));
    put16(out, 128); // search range for eight tables
    put16(out, 3);
    put16(out, static_cast<uint16_t>(tables.size() * 16 - 128));
    uint32_t offset = static_cast<uint32_t>(12 + 16 * tables.size());
    for (const auto& [tag, data] : tables) { // std::map keeps the tags sorted
        out.insert(out.end(), tag.begin(), tag.end());
        put32(out, 0); // checksums are not checked by readers of this font
        put32(out, offset);
        put32(out, static_cast<uint32_t>(data.size()));
        offset += static_cast<uint32_t>((data.size() + 3) & ~size_t { 3 });
    }
    for (const auto& [tag, data] : tables) {
        out.insert(out.end(), data.begin(), data.end());
        out.resize((out.size() + 3) & ~size_t { 3 }, 0);
    }
    return out;
}

} // namespace tinyttf
