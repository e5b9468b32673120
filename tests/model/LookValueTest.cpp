// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/LookValue.h"

#include <gtest/gtest.h>

TEST(LookValue, ColourTextsAndSystemColours)
{
    struct Case {
        const char* text;
        CColour colour;
        uint32_t system;
        const char* written;
    };
    const std::vector<Case> cases = {
        { "#2781C4", { 0x27, 0x81, 0xC4 }, 0x00C48127, "#2781C4" },
        { "#2781c4", { 0x27, 0x81, 0xC4 }, 0x00C48127, "#2781C4" },
        { "#ffffff", { 0xFF, 0xFF, 0xFF }, 0x00FFFFFF, "#FFFFFF" },
        { "#000000", { 0, 0, 0 }, 0, "#000000" },
        { "#0000FF", { 0, 0, 0xFF }, 0x00FF0000, "#0000FF" },
        { "#FF", { 0, 0, 0xFF }, 0x00FF0000, "#0000FF" }, // one number: short texts are low bytes
        { "#12zz", { 0, 0, 0x12 }, 0x00120000, "#000012" },
        { "", { 0, 0, 0 }, 0, "#000000" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseColour(c.text), c.colour) << c.text;
        EXPECT_EQ(ColourTextToSystem(c.text), c.system) << c.text;
        EXPECT_EQ(FormatColour(SystemToColour(c.system)), c.written) << c.text;
    }
}

TEST(LookValue, KindsOfValues)
{
    EXPECT_TRUE(IsColourValue("#2781C4"));
    EXPECT_FALSE(IsColourValue("Background\\sky.swf"));

    EXPECT_TRUE(IsAbsoluteLookPath("C:\\pics\\a.jpg"));
    EXPECT_TRUE(IsAbsoluteLookPath("/home/me/a.jpg"));
    EXPECT_FALSE(IsAbsoluteLookPath("Background\\sky.swf"));

    EXPECT_TRUE(IsFlashFile("Background\\sky.swf"));
    EXPECT_TRUE(IsFlashFile("/x/Movie.SWF"));
    EXPECT_TRUE(IsFlashFile("/x/a.swf.jpg")); // ".swf" anywhere in the name
    EXPECT_FALSE(IsFlashFile("C:\\pics\\a.jpg"));
}

TEST(LookValue, RelativeValuesResolveUnderTheInstallationFolder)
{
    EXPECT_EQ(ResolveLookPath("Background\\sky.swf", "/nonexistent/home"),
        std::filesystem::path("/nonexistent/home/Background/sky.swf"));
    EXPECT_EQ(ResolveLookPath("/nonexistent/a.jpg", "/home"), std::filesystem::path("/nonexistent/a.jpg"));
}
