// SPDX-License-Identifier: GPL-3.0-or-later
// Scripts the compiler must refuse, with the place and the reason it names.
#include "swf/actionscript/Compiler.h"
#include "swf/actionscript/Parser.h"

#include <gtest/gtest.h>

#include <string>

namespace swf::actionscript {
namespace {

struct ErrorCase {
    const char* name;
    std::string source;
    int line;
    int column;
    const char* reason;
};

class Errors : public testing::TestWithParam<ErrorCase> { };

TEST_P(Errors, NameTheLineColumnAndReason)
{
    const ErrorCase& c = GetParam();
    try {
        (void)compile(c.source);
        FAIL() << "compiled: " << c.source;
    } catch (const CompileError& e) {
        EXPECT_EQ(e.line(), c.line) << e.what();
        EXPECT_EQ(e.column(), c.column) << e.what();
        EXPECT_EQ(e.reason(), c.reason);
        EXPECT_EQ(std::string(e.what()),
            "Line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": " + c.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, Errors,
    testing::Values(ErrorCase { "StrayParenthesis", "stop();\nf(1));", 2, 5, "unexpected ')'" },
        ErrorCase { "MissingOperand", "a = ;", 1, 5, "unexpected ';'" },
        ErrorCase { "MissingSemicolon", "a = 1 b = 2", 1, 7, "unexpected 'b'" },
        ErrorCase { "UnterminatedString", "x = \"abc\ny\";", 1, 5, "unterminated string" },
        ErrorCase { "QuoteInATitle", "_root.trace+=\"Card \"1\"[-]\";", 1, 21, "unexpected number" },
        ErrorCase { "UnterminatedComment", "a = 1; /* open", 1, 8, "unterminated comment" },
        ErrorCase { "UnknownCharacter", "a = #1;", 1, 5, "unexpected character '#'" },
        ErrorCase { "ZeroInAString", "a = \"x\\u0000\";", 1, 7, "a string cannot hold the character 0" },
        ErrorCase { "RawZeroInAString", std::string("a = \"xy\0z\";", 11), 1, 8,
            "a string cannot hold the character 0" },
        ErrorCase { "BadEscape", "a = \"\\u12\";", 1, 6, "malformed escape sequence" },
        ErrorCase { "AssignToCall", "f() = 1;", 1, 5, "invalid assignment target" },
        ErrorCase { "IncrementALiteral", "1++;", 1, 2, "invalid increment target" },
        ErrorCase { "BreakOutsideLoop", "if (a) break;", 1, 8, "'break' outside a loop" },
        ErrorCase { "ContinueInsideFunctionInLoop", "while (a) { f = function () { continue; }; }", 1, 31,
            "'continue' outside a loop" },
        ErrorCase { "MissingBrace", "if (a) {\n b();", 2, 6, "expected '}' but found end of script" },
        ErrorCase { "GotoWithoutFrame", "gotoAndStop();", 1, 1, "'gotoAndStop' expects 1 argument" },
        ErrorCase { "GetUrlBadMethod", "getURL(u, _blank, \"PUT\");", 1, 19,
            "the method must be \"GET\" or \"POST\"" },
        ErrorCase { "ElseWithoutIf", "else stop();", 1, 1, "unexpected 'else'" },
        ErrorCase { "ReservedName", "var if = 1;", 1, 5, "expected a variable name but found 'if'" },
        ErrorCase { "NumberRunsIntoName", "a = 3x;", 1, 6, "unexpected character after number" },
        ErrorCase { "ForInOverACall", "for (f() in o) ;", 1, 10, "unexpected 'in'" }),
    [](const testing::TestParamInfo<ErrorCase>& param) { return std::string(param.param.name); });

TEST(Errors, DeepNestingIsRefusedNotACrash)
{
    const int deep = kMaxNestingDepth * 50;
    for (const auto& [open, close] :
        { std::pair { "(", ")" }, { "[", "]" }, { "{", "}" }, { "!", "" }, { "-", "" } }) {
        std::string script = "a = ";
        for (int i = 0; i < deep; ++i) {
            script += open;
        }
        script += "1";
        for (int i = 0; i < deep; ++i) {
            script += close;
        }
        EXPECT_THROW((void)compile(script), CompileError) << open;
    }
    std::string blocks;
    for (int i = 0; i < deep; ++i) {
        blocks += "if (a) {";
    }
    EXPECT_THROW((void)compile(blocks), CompileError);
}

TEST(Errors, LongFlatChainsAreBoundedToo)
{
    // Operators and member chains build the tree in a loop; its height is capped all the same.
    std::string sum = "a = 1";
    std::string members = "a = b";
    for (int i = 0; i < 100000; ++i) {
        sum += "+1";
        members += ".c";
    }
    EXPECT_THROW((void)compile(sum), CompileError);
    EXPECT_THROW((void)compile(members), CompileError);
}

TEST(Errors, ModerateNestingStillCompiles)
{
    std::string script = "a = ";
    for (int i = 0; i < 20; ++i) {
        script += "(1 + ";
    }
    script += "1";
    for (int i = 0; i < 20; ++i) {
        script += ")";
    }
    EXPECT_NO_THROW((void)compile(script + ";"));
}

TEST(Errors, BranchTooFarIsRefused)
{
    std::string body;
    for (int i = 0; i < 5000; ++i) {
        body += "x" + std::to_string(i % 200) + " = 1.5;"; // 14 bytes each
    }
    EXPECT_NO_THROW((void)compile("if (a) {" + body.substr(0, body.size() / 4) + "}"));
    try {
        (void)compile("if (a) {" + body + "}");
        FAIL();
    } catch (const CompileError& e) {
        EXPECT_EQ(e.line(), 1);
        EXPECT_NE(std::string(e.what()).find("branch"), std::string::npos);
    }
}

TEST(Errors, OldVersionsAreRefused)
{
    EXPECT_THROW((void)compile("stop();", 5), CompileError);
    EXPECT_EQ(compile("stop();", 8), (std::vector<uint8_t> { 0x07, 0x00 }));
}

} // namespace
} // namespace swf::actionscript
