// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/GlyphShape.h"
#include "tests/tools/FdbCheck.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using fdbgen::PathSegment;
using fdbgen::Point;
using Bytes = std::vector<uint8_t>;

PathSegment move(int32_t x, int32_t y)
{
    return { PathSegment::Kind::Move, {}, { x, y } };
}
PathSegment line(int32_t x, int32_t y)
{
    return { PathSegment::Kind::Line, {}, { x, y } };
}
PathSegment quad(int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    return { PathSegment::Kind::Quad, { cx, cy }, { x, y } };
}

struct ShapeCase {
    const char* name;
    std::vector<PathSegment> path;
    Bytes bytes;
};

// Worked out bit by bit from the SHAPE record layout; each row is checked by encoding the path and
// by decoding the bytes back into the same path.
const std::vector<ShapeCase>& shapeTable()
{
    static const std::vector<ShapeCase> table {
        { "empty glyph", {}, { 0x10, 0x00 } },
        { "lone move selects fill style 1", { move(0, 0) }, { 0x10, 0x0c, 0x24, 0x00 } },
        { "horizontal, general and vertical lines",
            { move(10, -20), line(30, -20), line(10, 0), line(10, -20) },
            { 0x10, 0x0c, 0xc5, 0x59, 0xd0, 0x53, 0x4d, 0x8a, 0x68, 0xd8, 0x00 } },
        { "quadratic edge", { move(0, 0), quad(4, -4, 8, 0), line(0, 0) },
            { 0x10, 0x0c, 0x26, 0x24, 0xc4, 0x4c, 0x88, 0x00 } },
    };
    return table;
}

TEST(GlyphShape, TableEncodesToTheExactBytesAndDecodesBack)
{
    for (const ShapeCase& c : shapeTable()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fdbgen::encodeGlyphShape(c.path), c.bytes);
        size_t used = 0;
        EXPECT_EQ(fdbcheck::decodeGlyphShape(c.bytes, &used), c.path);
        EXPECT_EQ(used, c.bytes.size());
    }
}

TEST(GlyphShape, OnlyTheFirstContourSelectsTheFill)
{
    // A ring: outer square and inner square; the second move must not repeat the style.
    const std::vector<PathSegment> ring { move(0, 0), line(100, 0), line(100, -100), line(0, -100),
        line(0, 0), move(25, -25), line(25, -75), line(75, -75), line(75, -25), line(25, -25) };
    const Bytes bytes = fdbgen::encodeGlyphShape(ring);
    bool selectsFill = false;
    EXPECT_EQ(fdbcheck::decodeGlyphShape(bytes, nullptr, &selectsFill), ring);
    EXPECT_TRUE(selectsFill);
}

TEST(GlyphShape, DegenerateEdgesAreNormalised)
{
    // A zero-length line vanishes; a quadratic whose control lies on an end point is a line.
    const Bytes messy = fdbgen::encodeGlyphShape(
        std::vector { move(0, 0), line(0, 0), quad(8, 0, 8, 0), quad(8, 0, 0, 0), quad(0, 0, 0, 0) });
    const Bytes clean = fdbgen::encodeGlyphShape(std::vector { move(0, 0), line(8, 0), line(0, 0) });
    EXPECT_EQ(messy, clean);
}

TEST(GlyphShape, DeltaLimitsOfTheEdgeFields)
{
    // 17 bits hold -65536 to 65535; one more is refused rather than wrapped.
    const std::vector<PathSegment> widest { move(0, 0), line(65535, -65536) };
    EXPECT_EQ(fdbcheck::decodeGlyphShape(fdbgen::encodeGlyphShape(widest)), widest);
    EXPECT_THROW(
        (void)fdbgen::encodeGlyphShape(std::vector { move(0, 0), line(65536, 0) }), std::invalid_argument);
    EXPECT_THROW((void)fdbgen::encodeGlyphShape(std::vector { move(0, 0), quad(0, -65537, 1, 1) }),
        std::invalid_argument);
    EXPECT_THROW((void)fdbgen::encodeGlyphShape(std::vector { line(5, 5) }), std::invalid_argument);
}

TEST(GlyphShape, BoundsIncludeControlPoints)
{
    EXPECT_EQ(fdbgen::pathBounds({}), (fdbgen::Rect { 0, 0, 0, 0 }));
    const std::vector<PathSegment> arch { move(10, 0), quad(50, -90, 90, 0), line(10, 0) };
    EXPECT_EQ(fdbgen::pathBounds(arch), (fdbgen::Rect { 10, 90, -90, 0 }));
}

} // namespace
