// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/CardLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadColourTest, KeepsThePreviousValueWhenMalformed)
{
    uint32_t value = 0x123456;
    EXPECT_TRUE(ReadColour("#A0b0C0", value));
    EXPECT_EQ(value, 0xA0B0C0U);
    EXPECT_FALSE(ReadColour("red", value));
    EXPECT_FALSE(ReadColour("#", value));
    EXPECT_FALSE(ReadColour("#zz", value));
    EXPECT_FALSE(ReadColour("", value));
    EXPECT_EQ(value, 0xA0B0C0U);
    EXPECT_TRUE(ReadColour("#12g", value)); // stops at the first non-digit
    EXPECT_EQ(value, 0x12U);
}

TEST(OverColourTest, EachComponentLessTwentyModulo256)
{
    EXPECT_EQ(OverColour(0x101010), 0xFCFCFCU);
    EXPECT_EQ(OverColour(0x2781C4), 0x136DB0U);
    EXPECT_EQ(OverColour(0x140014), 0x00EC00U);
}

TEST(PlacePictureTest, EveryCodeOnA640By480Stage)
{
    struct Case {
        int w, h, code, x, y, rw, rh;
        bool tiled;
    };
    const Case cases[] = {
        { 100, 50, 0, 0, 0, 100, 50, false },
        { 100, 50, 1, 270, 0, 100, 50, false },
        { 100, 50, 2, 540, 0, 100, 50, false },
        { 100, 50, 3, 0, 215, 100, 50, false },
        { 100, 50, 4, 270, 215, 100, 50, false },
        { 100, 50, 5, 540, 215, 100, 50, false },
        { 100, 50, 6, 0, 430, 100, 50, false },
        { 100, 50, 7, 270, 430, 100, 50, false },
        { 100, 50, 8, 540, 430, 100, 50, false },
        { 100, 50, 9, 0, 0, 640, 480, true },
        { 100, 50, 10, 270, 215, 100, 50, false },
        { 100, 50, 11, 270, 215, 100, 50, false },
        { 100, 50, 42, 270, 215, 100, 50, false },
        { 101, 51, 4, 269, 214, 101, 51, false }, // truncated
        { 641, 300, 8, 0, 180, 641, 300, false }, // wider than the stage: x stays 0
        { 700, 500, 9, 0, 0, 700, 500, false }, // as large as the stage: never tiled
        { 640, 480, 8, 0, 0, 640, 480, false },
    };
    for (const Case& c : cases) {
        const CPicturePlacement p = PlacePicture(c.w, c.h, 640, 480, c.code);
        EXPECT_EQ(p.nX, c.x) << c.w << "x" << c.h << " code " << c.code;
        EXPECT_EQ(p.nY, c.y) << c.w << "x" << c.h << " code " << c.code;
        EXPECT_EQ(p.nWidth, c.rw) << c.code;
        EXPECT_EQ(p.nHeight, c.rh) << c.code;
        EXPECT_EQ(p.bTiled, c.tiled) << c.code;
    }
}

TEST(BreakTitleTest, LinesByMeasuredWidth)
{
    // Every character 10 pixels wide: a 100 pixel stage leaves 80 for line 1.
    const auto measure = [](const std::string& s) { return 10.0F * static_cast<float>(s.size()); };
    CTitleLines lines = BreakTitle("ab cd efgh ij", 100, measure);
    EXPECT_EQ(lines.strLine1, " ab cd");
    EXPECT_EQ(lines.strLine2, " efgh ij");
    lines = BreakTitle("abcdefghijk x", 100, measure); // first word too wide
    EXPECT_EQ(lines.strLine1, "");
    EXPECT_EQ(lines.strLine2, " abcdefghijk x");
    lines = BreakTitle("a  b", 100, measure); // two blanks keep an empty word
    EXPECT_EQ(lines.strLine1, " a  b");
    lines = BreakTitle("", 100, measure);
    EXPECT_EQ(lines.strLine1, "");
    EXPECT_EQ(lines.strLine2, "");
    lines = BreakTitle("abcdefg", 100, measure); // exactly 80 wide still fits
    EXPECT_EQ(lines.strLine1, " abcdefg");
}

TEST(CommentLineTest, CarriageReturnDroppedAndHundredCharacters)
{
    EXPECT_EQ(CommentLineText("abc\r"), "abc");
    EXPECT_EQ(CommentLineText(std::string(150, 'x')), std::string(100, 'x'));
    std::string accented;
    for (int i = 0; i < 120; ++i) {
        accented += "\xC3\xA9";
    }
    EXPECT_EQ(CommentLineText(accented).size(), 200U); // 100 characters of two bytes
}

TEST(ButtonRowTest, AdvanceTruncates)
{
    EXPECT_EQ(NextButtonX(20, 60), 110.0F);
    EXPECT_EQ(NextButtonX(110, 60), 200.0F);
    EXPECT_EQ(NextButtonX(20, 80.5F), 130.0F);
}

} // namespace
