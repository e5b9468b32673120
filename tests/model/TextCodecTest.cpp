// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, Windows1252TableBothWays)
{
    struct Case {
        const char* utf8;
        std::string cp1252;
    };
    const std::vector<Case> cases = {
        { "abc", "abc" },
        { "\xE2\x82\xAC", "\x80" }, // euro sign
        { "\xC5\xA0", "\x8A" }, // S with caron
        { "\xC5\xB8", "\x9F" }, // Y with diaeresis
        { "\xC2\x81", "\x81" }, // undefined byte kept as the control character
        { "\xC2\x9D", "\x9D" },
        { "\xC3\xA9", "\xE9" }, // e acute
        { "\xC3\xBF", "\xFF" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
    }
}

TEST(TextCodec, CharactersOutsideThePageAreNotSquashed)
{
    EXPECT_EQ(Utf8ToCp1252("\xCE\xB1"), std::nullopt); // Greek alpha
    EXPECT_EQ(Utf8ToCp1252("a\xE6\x96\xB0"), std::nullopt); // Chinese
    // A control character of the C1 range that Windows-1252 uses for a printable sign.
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), std::nullopt);
}

TEST(TextCodec, Utf16RoundTripIncludingSurrogates)
{
    const std::string text = "A\xCE\xB1\xE6\x96\xB0\xF0\x9F\x8E\x89";
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(units, (std::u16string { u'A', u'\u03B1', u'\u65B0', char16_t(0xD83C), char16_t(0xDF89) }));
    EXPECT_EQ(Utf16ToUtf8(units), text);
    // An unpaired surrogate survives the trip through UTF-8.
    const std::u16string lone = { u'x', char16_t(0xD800), u'y' };
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(lone)), lone);
}

TEST(TextCodec, BytesThatAreNotUtf8AreTakenAsWindows1252)
{
    EXPECT_EQ(Utf8ToCp1252("caf\xE9"), "caf\xE9");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3"); // truncated sequence
    EXPECT_EQ(Utf8Length("caf\xC3\xA9\xF0\x9F\x8E\x89"), 5U);
    EXPECT_EQ(Utf8Truncate("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9");
}
