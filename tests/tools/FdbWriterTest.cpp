// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/FdbWriter.h"
#include "tests/tools/FdbCheck.h"

#include "swf/Error.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using fdbgen::FontData;
using fdbgen::Glyph;
using fdbgen::PathSegment;
using Bytes = std::vector<uint8_t>;

Glyph emptyGlyph(uint16_t code, int32_t advance = 0)
{
    return { code, {}, advance, {} };
}

TEST(FdbWriter, OneGlyphFontHasTheExactLayout)
{
    FontData font;
    font.name = "Ab";
    font.bold = true;
    font.ascent = 928;
    font.descent = 236;
    font.leading = 0;
    font.glyphs = { emptyGlyph(0x41, 700) };
    font.kerning = { { 0x41, 0x41, -3 } };
    const Bytes expected {
        'f', 'd', 'b', '0', //
        0x85, 0x00, 0x02, 'A', 'b', // layout, wide codes, bold; language; name
        0x01, 0x00, // one glyph
        0x04, 0x00, 0x06, 0x00, // glyph offset, code table offset
        0x10, 0x00, // the empty shape
        0x41, 0x00, // code
        0xa0, 0x03, 0xec, 0x00, 0x00, 0x00, // ascent, descent, leading
        0xbc, 0x02, // advance 700
        0x08, 0x00, // RECT of 1-bit zeros
        0x01, 0x00, 0x41, 0x00, 0x41, 0x00, 0xfd, 0xff, // one kerning pair
    };
    EXPECT_EQ(fdbgen::writeFdb(font), expected);

    const fdbcheck::CheckedFont back = fdbcheck::checkFdb(expected);
    EXPECT_EQ(back.flags, 0x85);
    EXPECT_EQ(back.font.name, "Ab");
    EXPECT_EQ(back.font.ascent, 928);
    EXPECT_EQ(back.font.descent, 236);
    ASSERT_EQ(back.font.glyphs.size(), 1U);
    EXPECT_EQ(back.font.glyphs[0].code, 0x41);
    EXPECT_EQ(back.font.glyphs[0].advance, 700);
    EXPECT_EQ(back.font.kerning, font.kerning);
}

TEST(FdbWriter, GlyphsRoundTripWithBoundsAndSortedKerning)
{
    FontData font;
    font.name = "Marrowlark Test";
    font.italic = true;
    Glyph square { 0x20AC, {}, 612, { 10, 600, -700, 0 } };
    square.path = { { PathSegment::Kind::Move, {}, { 10, 0 } }, { PathSegment::Kind::Line, {}, { 600, 0 } },
        { PathSegment::Kind::Quad, { 600, -700 }, { 10, -700 } },
        { PathSegment::Kind::Line, {}, { 10, 0 } } };
    font.glyphs = { emptyGlyph(0x20, 325), square };
    font.kerning = { { 0x20AC, 0x20, 12 }, { 0x20, 0x20AC, -40 } };

    const fdbcheck::CheckedFont back = fdbcheck::checkFdb(fdbgen::writeFdb(font));
    EXPECT_EQ(
        back.flags, fdbgen::FdbFlags::HasLayout | fdbgen::FdbFlags::WideCodes | fdbgen::FdbFlags::Italic);
    ASSERT_EQ(back.font.glyphs.size(), 2U);
    EXPECT_EQ(back.font.glyphs[1].code, 0x20AC);
    EXPECT_EQ(back.font.glyphs[1].path, square.path);
    EXPECT_EQ(back.font.glyphs[1].bounds, square.bounds);
    EXPECT_EQ(back.font.glyphs[0].advance, 325);
    EXPECT_EQ(back.font.kerning,
        (std::vector<fdbgen::KerningPair> { { 0x20, 0x20AC, -40 }, { 0x20AC, 0x20, 12 } }));
}

TEST(FdbWriter, OffsetsWidenExactlyWhenTheyNoLongerFitSixteenBits)
{
    // n empty shapes of 2 bytes behind a 16-bit table of n + 1 entries end at 4n + 2: 16383 glyphs
    // still fit 65535, 16384 do not.
    for (const auto& [count, wide] : { std::pair(16383U, false), std::pair(16384U, true) }) {
        SCOPED_TRACE(count);
        FontData font;
        font.name = "Many";
        for (uint32_t code = 0; code < count; ++code) {
            font.glyphs.push_back(emptyGlyph(static_cast<uint16_t>(code)));
        }
        const fdbcheck::CheckedFont back = fdbcheck::checkFdb(fdbgen::writeFdb(font));
        EXPECT_EQ((back.flags & fdbgen::FdbFlags::WideOffsets) != 0, wide);
        ASSERT_EQ(back.offsets.size(), count + 1);
        EXPECT_EQ(back.offsets.front(), (count + 1) * (wide ? 4 : 2));
        EXPECT_EQ(back.offsets.back() - back.offsets.front(), 2 * count);
    }
}

TEST(FdbWriter, RefusesWhatTheFormatCannotHold)
{
    FontData font;
    font.name = "Bad";
    EXPECT_THROW((void)fdbgen::writeFdb(font), std::invalid_argument); // no glyphs

    font.glyphs = { emptyGlyph(0x42), emptyGlyph(0x41) };
    EXPECT_THROW((void)fdbgen::writeFdb(font), std::invalid_argument); // codes out of order
    font.glyphs = { emptyGlyph(0x41), emptyGlyph(0x41) };
    EXPECT_THROW((void)fdbgen::writeFdb(font), std::invalid_argument); // repeated code

    font.glyphs = { emptyGlyph(0x41, 40000) };
    EXPECT_THROW((void)fdbgen::writeFdb(font), std::invalid_argument); // advance beyond SI16

    font.glyphs = { emptyGlyph(0x41) };
    font.name.assign(256, 'x');
    EXPECT_THROW((void)fdbgen::writeFdb(font), std::invalid_argument); // name beyond UI8 length
    font.name.assign(255, 'x');
    EXPECT_EQ(fdbcheck::checkFdb(fdbgen::writeFdb(font)).font.name.size(), 255U);
}

TEST(FdbCheck, CatchesDamagedFiles)
{
    FontData font;
    font.name = "C";
    font.glyphs = { emptyGlyph(0x41), emptyGlyph(0x42) };
    const Bytes good = fdbgen::writeFdb(font);
    ASSERT_NO_THROW((void)fdbcheck::checkFdb(good));

    Bytes truncated(good.begin(), good.end() - 1);
    EXPECT_THROW((void)fdbcheck::checkFdb(truncated), swf::ParseError);
    Bytes swappedOffsets = good;
    // Offsets start after magic (4), flags, language, name length and name (4) and the count (2).
    std::swap(swappedOffsets[10], swappedOffsets[12]);
    EXPECT_THROW((void)fdbcheck::checkFdb(swappedOffsets), swf::ParseError);
    Bytes trailing = good;
    trailing.push_back(0);
    EXPECT_THROW((void)fdbcheck::checkFdb(trailing), swf::ParseError);
}

} // namespace
