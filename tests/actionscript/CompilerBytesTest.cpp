// SPDX-License-Identifier: GPL-3.0-or-later
// The scripts the generator writes, with the exact bytes each must compile to.
#include "swf/actionscript/Compiler.h"
#include "tests/actionscript/AlbumScript.h"

#include "Disassembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace swf::actionscript {
namespace {

std::vector<uint8_t> hex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

struct BytesCase {
    const char* name;
    std::string source;
    std::string bytes;
};

const std::vector<BytesCase>& cases()
{
    static const std::vector<BytesCase> table = {
        { "ScoreReset", "score=0; trace=\"\";",
            "88 0f 00 03 00 73 63 6f 72 65 00 74 72 61 63 65 00 00 96 07 00 08 00 07 00 00 00 00 1d 96 04 00 "
            "08 01 08 "
            "02 1d 00" },
        { "Stop", "stop();", "07 00" },
        { "LinkWithComparison",
            "_root.score += 5; _root.trace+=\"Card 1:[-]Link 1[N]\"; "
            "if(_root.score>=10){gotoAndStop(4);}else "
            "{gotoAndStop(2);}",
            "88 28 00 04 00 5f 72 6f 6f 74 00 73 63 6f 72 65 00 74 72 61 63 65 00 43 61 72 64 20 31 3a 5b 2d "
            "5d 4c 69 "
            "6e 6b 20 31 5b 4e 5d 00 96 02 00 08 00 1c 4c 96 02 00 08 01 4e 96 05 00 07 05 00 00 00 47 96 02 "
            "00 08 01 "
            "4d 4f 96 02 00 08 00 1c 4c 96 02 00 08 02 4e 96 02 00 08 03 47 96 02 00 08 02 4d 4f 96 02 00 08 "
            "00 1c 96 "
            "02 00 08 01 4e 96 05 00 07 0a 00 00 00 48 12 9d 02 00 0b 00 81 02 00 01 00 07 99 02 00 06 00 81 "
            "02 00 03 "
            "00 07 00" },
        { "AlbumControls", testscripts::albumControls(),
            "88 36 00 06 00 69 6e 69 74 00 73 74 6f 70 70 65 64 00 63 6f 6e 74 72 6f 6c 73 00 6f 6e 4d 6f 75 "
            "73 65 44 "
            "6f 77 6e 00 4d 6f 75 73 65 00 61 64 64 4c 69 73 74 65 6e 65 72 00 96 02 00 08 00 1c 12 12 9d 02 "
            "00 64 00 "
            "96 04 00 08 00 05 01 1d 96 04 00 08 01 05 00 1d 96 04 00 08 02 08 03 9b 05 00 00 00 00 23 00 96 "
            "02 00 08 "
            "01 1c 12 9d 02 00 0e 00 06 96 04 00 08 01 05 00 1d 99 02 00 09 00 07 96 04 00 08 01 05 01 1d 96 "
            "05 00 07 "
            "01 00 00 00 43 1d 96 02 00 08 02 1c 96 07 00 07 01 00 00 00 08 04 1c 96 02 00 08 05 52 17 00" },
        // A link without comparison: two blanks, then a bare block holding the jump.
        { "LinkWithoutComparison", "_root.score += 0; _root.trace+=\"A[-]B[N]\";  {gotoAndStop(1);}",
            "88 1d 00 04 00 5f 72 6f 6f 74 00 73 63 6f 72 65 00 74 72 61 63 65 00 41 5b 2d 5d 42 5b 4e 5d 00 "
            "96 02 00 "
            "08 00 1c 4c 96 02 00 08 01 4e 96 05 00 07 00 00 00 00 47 96 02 00 08 01 4d 4f 96 02 00 08 00 1c "
            "4c 96 02 "
            "00 08 02 4e 96 02 00 08 03 47 96 02 00 08 02 4d 4f 81 02 00 00 00 07 00" },
        // The credit line's scripts: bare window names are names, not variables.
        { "CreditMail", "getUrl(\"mailto:a@b.c\",_self);",
            "88 15 00 02 00 6d 61 69 6c 74 6f 3a 61 40 62 2e 63 00 5f 73 65 6c 66 00 96 04 00 08 00 08 01 9a "
            "01 00 00 "
            "00" },
        { "CreditPromote", "getURL(\"http://example.org/\", _blank);",
            "88 1d 00 02 00 68 74 74 70 3a 2f 2f 65 78 61 6d 70 6c 65 2e 6f 72 67 2f 00 5f 62 6c 61 6e 6b 00 "
            "96 04 00 "
            "08 00 08 01 9a 01 00 00 00" },
    };
    return table;
}

class CompilerBytes : public testing::TestWithParam<BytesCase> { };

TEST_P(CompilerBytes, CompilesToTheExactBytes)
{
    const BytesCase& c = GetParam();
    const std::vector<uint8_t> actual = compile(c.source);
    EXPECT_EQ(actual, hex(c.bytes));
    EXPECT_NO_THROW((void)test::disassemble(actual));
}

INSTANTIATE_TEST_SUITE_P(GeneratorScripts, CompilerBytes, testing::ValuesIn(cases()),
    [](const testing::TestParamInfo<BytesCase>& param) { return std::string(param.param.name); });

TEST(CompilerBytes, ReferenceSizes)
{
    EXPECT_EQ(compile(cases()[0].source).size(), 38U);
    EXPECT_EQ(compile(cases()[2].source).size(), 143U);
    EXPECT_EQ(compile(testscripts::albumControls()).size(), 171U);
}

TEST(CompilerBytes, AlertScriptOpensABlankWindow)
{
    const std::string script =
        "getUrl(\"http://example.org/member/emailalert.php?title=Hi & you&target=a@b.c&trace=\""
        "+_root.trace, \"_blank\");";
    const std::vector<std::string> expected = {
        "pool 'http://example.org/member/emailalert.php?title=Hi & you&target=a@b.c&trace=' '_root' 'trace' "
        "'_blank'",
        "push 'http://example.org/member/emailalert.php?title=Hi & you&target=a@b.c&trace=' '_root'",
        "getvariable",
        "push 'trace'",
        "getmember",
        "add2",
        "push '_blank'",
        "geturl2 0",
    };
    EXPECT_EQ(test::disassemble(compile(script)), expected);
}

TEST(CompilerBytes, NothingCarriesOverBetweenCompiles)
{
    const std::vector<uint8_t> fresh = compile(cases()[0].source);
    (void)compile("var unrelated = \"text\"; other(1, 2);");
    EXPECT_THROW((void)compile("broken = ;"), CompileError);
    EXPECT_EQ(compile(cases()[0].source), fresh);
    EXPECT_EQ(compile("stop();"), hex("07 00"));
}

} // namespace
} // namespace swf::actionscript
