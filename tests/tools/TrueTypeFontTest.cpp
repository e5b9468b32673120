// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/TrueTypeFont.h"
#include "tests/tools/FdbCheck.h"
#include "tests/tools/TinyTrueType.h"
#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FdbWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using fdbgen::PathSegment;

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

TEST(TrueTypeFont, ConvertsEveryFigureOfAKnownFont)
{
    const fdbgen::TrueTypeFont source(tinyttf::makeFont(), "tiny font");
    EXPECT_TRUE(source.hasKerning());
    EXPECT_FALSE(source.isBold());
    const fdbgen::FontData font = source.convert(fdbgen::defaultCodeRanges(), "Tiny");

    EXPECT_EQ(font.name, "Tiny");
    // 1901 / 2 = 950.5 and 483 / 2 = 241.5 round to even; the line height 2451 gives 1226.
    EXPECT_EQ(font.ascent, 950);
    EXPECT_EQ(font.descent, 242);
    EXPECT_EQ(font.leading, 1226 - 950 - 242);

    // Codes the font does not map (everything but space, A and O) are left out.
    ASSERT_EQ(font.glyphs.size(), 3U);
    const fdbgen::Glyph& space = font.glyphs[0];
    const fdbgen::Glyph& a = font.glyphs[1];
    const fdbgen::Glyph& o = font.glyphs[2];
    EXPECT_EQ(space.code, 0x20);
    EXPECT_TRUE(space.path.empty());
    EXPECT_EQ(space.advance, 326); // 325.5
    EXPECT_EQ(a.code, 0x41);
    EXPECT_EQ(a.advance, 700); // 700.5
    EXPECT_EQ(a.path, (std::vector { move(0, 0), line(700, 0), line(350, -700), line(0, 0) }));
    EXPECT_EQ(a.bounds, (fdbgen::Rect { 0, 700, -700, 0 }));
    EXPECT_EQ(o.code, 0x4F);
    EXPECT_EQ(o.advance, 550);
    EXPECT_EQ(o.path,
        (std::vector { move(0, 0), quad(0, -500, 250, -500), quad(500, -500, 500, 0), line(0, 0),
            move(100, -100), line(400, -100), line(250, -300), line(100, -100) }));

    // -101 and 3 become -50 and 2 (halves to even); space-A's 1 rounds to nothing and is dropped.
    EXPECT_EQ(font.kerning, (std::vector<fdbgen::KerningPair> { { 0x41, 0x4F, -50 }, { 0x4F, 0x41, 2 } }));

    // And the file keeps all of it.
    const fdbcheck::CheckedFont back = fdbcheck::checkFdb(fdbgen::writeFdb(font));
    EXPECT_EQ(back.font.glyphs[2].path, o.path);
    EXPECT_EQ(back.font.kerning, font.kerning);
}

TEST(TrueTypeFont, StyleFlagsComeFromTheFace)
{
    const fdbgen::TrueTypeFont bold(tinyttf::makeFont(true), "tiny bold font");
    EXPECT_TRUE(bold.isBold());
    const fdbgen::FontData font = bold.convert(fdbgen::defaultCodeRanges(), "Tiny");
    EXPECT_TRUE(font.bold);
    EXPECT_EQ(
        fdbcheck::checkFdb(fdbgen::writeFdb(font)).flags & fdbgen::FdbFlags::Bold, fdbgen::FdbFlags::Bold);
}

TEST(TrueTypeFont, DamagedDataIsRefusedWithItsName)
{
    std::vector<uint8_t> data = tinyttf::makeFont();
    data.resize(40);
    try {
        const fdbgen::TrueTypeFont font(data, "cut font");
        FAIL() << "opened a truncated font";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cut font"), std::string::npos);
    }
}

TEST(CodeRanges, ExpandSortedWithoutRepeatsAndRefuseWideCodes)
{
    const fdbgen::CodeRange ranges[] = { { 0x43, 0x45 }, { 0x41, 0x44 } };
    EXPECT_EQ(fdbgen::expandCodeRanges(ranges), (std::vector<uint16_t> { 0x41, 0x42, 0x43, 0x44, 0x45 }));
    const fdbgen::CodeRange reversed[] = { { 0x45, 0x41 } };
    EXPECT_THROW((void)fdbgen::expandCodeRanges(reversed), std::invalid_argument);
    const fdbgen::CodeRange astral[] = { { 0xFFFF, 0x10000 } };
    EXPECT_THROW((void)fdbgen::expandCodeRanges(astral), std::invalid_argument);
    // The installation's set: a few hundred codes, the euro sign the last.
    const auto codes = fdbgen::expandCodeRanges(fdbgen::defaultCodeRanges());
    EXPECT_GT(codes.size(), 700U);
    EXPECT_LT(codes.size(), 1000U);
    EXPECT_EQ(codes.back(), 0x20AC);
}

} // namespace
