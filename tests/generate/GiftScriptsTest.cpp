// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/GiftScripts.h"
#include "generate/SplitString.h"
#include "swf/actionscript/Compiler.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitStringTest, PiecesBetweenSeparators)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitString("", " "), V {});
    EXPECT_EQ(SplitString("one", " "), V { "one" });
    EXPECT_EQ(SplitString("a  b", " "), (V { "a", "", "b" }));
    EXPECT_EQ(SplitString("a b ", " "), (V { "a", "b" })); // an empty rest is no piece
    EXPECT_EQ(SplitString(" a", " "), (V { "", "a" }));
    EXPECT_EQ(SplitString("x\r\ny\r\n", "\n"), (V { "x\r", "y\r" }));
    EXPECT_EQ(SplitString("a--b", "--"), (V { "a", "b" }));
}

TEST(FrameRateTest, FromTheLeadingNumberOfTheDelay)
{
    EXPECT_EQ(FrameRateFromDelay(""), 0.0F);
    EXPECT_EQ(FrameRateFromDelay("0"), 0.0F);
    EXPECT_EQ(FrameRateFromDelay("0.0"), 0.0F);
    EXPECT_EQ(FrameRateFromDelay("0.5"), 2.0F);
    EXPECT_EQ(FrameRateFromDelay("4"), 0.25F);
    EXPECT_EQ(FrameRateFromDelay("2s"), 0.5F);
    EXPECT_EQ(FrameRateFromDelay(".5"), 2.0F);
    EXPECT_EQ(FrameRateFromDelay("abc"), 0.0F);
    EXPECT_EQ(FrameRateFromDelay("-2"), 0.0F);
}

TEST(LinkScriptTest, ScoreTraceAndJump)
{
    EXPECT_EQ(MakeLinkScript("Card 1:", CLinkInfo("Link 1", 0, 0, "", 0, 0)),
        "_root.score += 0; _root.trace+=\"Card 1:[-]Link 1[N]\";  {gotoAndStop(1);}");
    EXPECT_EQ(MakeLinkScript("Card 1:", CLinkInfo("Link 1", 1, 5, ">=", 10, 3)),
        "_root.score += 5; _root.trace+=\"Card 1:[-]Link 1[N]\"; if(_root.score>=10){gotoAndStop(4);}else "
        "{gotoAndStop(2);}");
    for (const char* op : { ">", ">=", "<=", "<" }) {
        EXPECT_NE(
            MakeLinkScript("c", CLinkInfo("l", 0, 1, op, 2, 0)).find(std::string("_root.score") + op + "2)"),
            std::string::npos);
    }
    EXPECT_NE(
        MakeLinkScript("c", CLinkInfo("l", 0, 1, "=", 2, 0)).find("_root.score==2)"), std::string::npos);
}

TEST(LinkScriptTest, CompilesToTheReferenceBytes)
{
    // The reference link script of the peer writer's compiler, byte for byte.
    const std::vector<uint8_t> bytes =
        swf::actionscript::compile(MakeLinkScript("Card 1:", CLinkInfo("Link 1", 1, 5, ">=", 10, 3)));
    EXPECT_EQ(bytes.size(), 143U);
}

TEST(LinkScriptTest, AssembledBytesAreTheCompilersBytes)
{
    const CLinkInfo links[] = {
        CLinkInfo("Link 1", 0, 0, "", 0, 0),
        CLinkInfo("Link 1", 1, 5, ">=", 10, 3),
        CLinkInfo("n", 199, -3, "=", 0, 198),
        CLinkInfo("n", 7, 2147483647, ">", 2147483647, 2),
        CLinkInfo("n", 7, -2147483647 - 1, "<=", 3, 2),
        CLinkInfo("n", 7, 1, "<", 3, 2),
        CLinkInfo("Say \"hi\" \\ now", 2, 1, "", 0, 0),
        CLinkInfo("\xC3\xA9t\xC3\xA9", 2, 1, "", 0, 0),
        CLinkInfo("", 0, 0, "", 0, 0),
        CLinkInfo("score", 0, 0, "", 0, 0),
    };
    for (const char* cardTitle : { "Card 1:", "", "_root", "Q & \"A\"\r\n" }) {
        for (const CLinkInfo& link : links) {
            const auto assembled = AssembleLinkScript(cardTitle, link);
            ASSERT_TRUE(assembled.has_value()) << link.m_strTitle;
            EXPECT_EQ(*assembled, swf::actionscript::compile(MakeLinkScript(cardTitle, link)))
                << cardTitle << " / " << link.m_strTitle << " " << link.m_strCompare;
        }
    }
    // Values it leaves to the compiler.
    EXPECT_FALSE(AssembleLinkScript("c", CLinkInfo("n", 0, 0, ">", -1, 0)).has_value());
    EXPECT_FALSE(AssembleLinkScript("c", CLinkInfo("n", 70000, 0, "", 0, 0)).has_value());
    EXPECT_FALSE(AssembleLinkScript("c", CLinkInfo("n", 0, 0, "!=", 1, 0)).has_value());
}

TEST(ScriptEscapingTest, TitlesWithQuotesAndBackslashesCompile)
{
    const std::string title = "Say \"hi\" \\ now\r\n";
    EXPECT_EQ(EscapeScriptString(title), "Say \\\"hi\\\" \\\\ now\\r\\n");
    EXPECT_NO_THROW(
        (void)swf::actionscript::compile(MakeLinkScript(title, CLinkInfo(title, 0, 0, "", 0, 0))));
    EXPECT_NO_THROW((void)swf::actionscript::compile(MakeAuthorMailScript("a\"b@example.com")));
}

TEST(EmailAlertTest, ValuesArePercentEncoded)
{
    EXPECT_EQ(EncodeQueryValue("Q & A #1"), "Q%20%26%20A%20%231");
    EXPECT_EQ(EncodeQueryValue("a.b-c_d~"), "a.b-c_d~");
    EXPECT_EQ(EncodeQueryValue("\xC3\xA9"), "%C3%A9");
    const std::string script = MakeEmailAlertScript("Q & \"A\"", "me+you@example.com");
    EXPECT_EQ(script,
        "getUrl(\"http://www.example.com/member/"
        "emailalert.php?title=Q%20%26%20%22A%22&target=me%2Byou%40example.com"
        "&trace=\"+escape(_root.trace), \"_blank\");");
    EXPECT_NO_THROW((void)swf::actionscript::compile(script));
}

} // namespace
