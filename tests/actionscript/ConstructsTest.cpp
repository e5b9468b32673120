// SPDX-License-Identifier: GPL-3.0-or-later
// Each construct of the language against the actions it must become, as a listing.
#include "swf/actionscript/Compiler.h"

#include "Disassembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace swf::actionscript {
namespace {

struct ListingCase {
    const char* name;
    const char* source;
    std::vector<std::string> listing; // without the pool line
};

std::vector<std::string> listing(const std::string& source)
{
    std::vector<std::string> lines = test::disassemble(compile(source));
    if (!lines.empty() && lines.front().rfind("pool", 0) == 0) {
        lines.erase(lines.begin());
    }
    return lines;
}

const std::vector<ListingCase>& cases()
{
    static const std::vector<ListingCase> table = {
        // Values
        { "Numbers", "a = 2147483647; b = 2147483648; c = -5; d = 1.5; e = 0x10; f = 1e3;",
            { "push 'a' 2147483647", "setvariable", "push 'b' 2147483648d", "setvariable", "push 'c' -5",
                "setvariable", "push 'd' 1.5d", "setvariable", "push 'e' 16", "setvariable", "push 'f' 1000",
                "setvariable" } },
        { "Literals", "a = [true, false, null, undefined];",
            { "push 'a' undefined null false true 4", "initarray", "setvariable" } },
        { "ObjectLiteral", "o = {x: 1, 'y z': \"s\", 3: this};",
            { "push 'o' 'x' 1 'y z' 's' '3' 'this'", "getvariable", "push 3", "initobject", "setvariable" } },
        { "NumberKeys", "o = {1e20: 1, 0.5: 2, 7: 3, 1e400: 4};",
            { "push 'o' '1e+20' 1 '0.5' 2 '7' 3 'Infinity' 4 4", "initobject", "setvariable" } },
        { "Escapes", "s = \"q\\\"b\\\\n\\n\\r\\t\\u00e9\\uD83D\\uDE00\";",
            { "push 's' 'q\"b\\n\n\r\t\xC3\xA9\xF0\x9F\x98\x80'", "setvariable" } },
        { "SingleQuotesAndUnknownEscape", "s = 'it\\'s \\q';", { "push 's' 'it's q'", "setvariable" } },
        { "SpecialNames", "t = _root; p = _parent; g = _global.x;",
            { "push 't' '_root'", "getvariable", "setvariable", "push 'p' '_parent'", "getvariable",
                "setvariable", "push 'g' '_global'", "getvariable", "push 'x'", "getmember",
                "setvariable" } },
        // Operators
        { "Arithmetic", "r = a + b * c - d / e % f;",
            { "push 'r' 'a'", "getvariable", "push 'b'", "getvariable", "push 'c'", "getvariable", "multiply",
                "add2", "push 'd'", "getvariable", "push 'e'", "getvariable", "divide", "push 'f'",
                "getvariable", "modulo", "subtract", "setvariable" } },
        { "Comparisons", "r = (a > 1) + (a <= 2) + (a < 3) + (a >= 4);",
            { "push 'r' 'a'", "getvariable", "push 1", "stackswap", "less2", "push 'a'", "getvariable",
                "push 2", "stackswap", "less2", "not", "add2", "push 'a'", "getvariable", "push 3", "less2",
                "add2", "push 'a'", "getvariable", "push 4", "less2", "not", "add2", "setvariable" } },
        { "Equality", "r = [a == 1, a != 1, a === 1, a !== 1];",
            { "push 'r' 'a'", "getvariable", "push 1", "strictequals", "not", "push 'a'", "getvariable",
                "push 1", "strictequals", "push 'a'", "getvariable", "push 1", "equals2", "not", "push 'a'",
                "getvariable", "push 1", "equals2", "push 4", "initarray", "setvariable" } },
        { "Bitwise", "r = ~a & 1 | 2 ^ 3 << 4 >> 5 >>> 6;",
            { "push 'r' 'a'", "getvariable", "push -1", "bitxor", "push 1", "bitand", "push 2 3 4",
                "bitlshift", "push 5", "bitrshift", "push 6", "biturshift", "bitxor", "bitor",
                "setvariable" } },
        { "UnaryOperators", "r = [!a, -a, +a, typeof a, void a];",
            { "push 'r' 'a'", "getvariable", "pop", "push undefined 'a'", "getvariable", "typeof", "push 'a'",
                "getvariable", "tonumber", "push 0 'a'", "getvariable", "subtract", "push 'a'", "getvariable",
                "not", "push 5", "initarray", "setvariable" } },
        { "LogicalValues", "r = a && b || c;",
            { "push 'r' 'a'", "getvariable", "pushduplicate", "not", "if +7", "pop", "push 'b'",
                "getvariable", "pushduplicate", "if +7", "pop", "push 'c'", "getvariable", "setvariable" } },
        { "ConditionalValue", "r = c ? 1 : 2;",
            { "push 'r' 'c'", "getvariable", "if +13", "push 2", "jump +8", "push 1", "setvariable" } },
        { "ObjectOperators", "r = o instanceof C; delete o.x; delete v; delete o[k];",
            { "push 'r' 'o'", "getvariable", "push 'C'", "getvariable", "instanceof", "setvariable",
                "push 'o'", "getvariable", "push 'x'", "delete", "pop", "push 'v'", "delete2", "pop",
                "push 'o'", "getvariable", "push 'k'", "getvariable", "delete", "pop" } },
        { "Comma", "for (i = 0, j = 1; ; ) break;",
            { "push 'i' 0", "setvariable", "push 'j' 1", "setvariable", "jump +5", "jump -10" } },
        // Assignments
        { "CompoundOnVariable", "a -= 2; a <<= b;",
            { "push 'a' 'a'", "getvariable", "push 2", "subtract", "setvariable", "push 'a' 'a'",
                "getvariable", "push 'b'", "getvariable", "bitlshift", "setvariable" } },
        { "CompoundOnComputedElement", "o[f()] *= 3;",
            { "push 'o'", "getvariable", "pushduplicate", "push 0 'f'", "callfunction", "storeregister 1",
                "getmember", "push r1", "stackswap", "push 3", "multiply", "setmember" } },
        { "CompoundOnLiteralElement", "o[2] += 1;",
            { "push 'o'", "getvariable", "pushduplicate", "push 2", "getmember", "push 1", "add2", "push 2",
                "stackswap", "setmember" } },
        { "AssignmentAsValue", "a = b.c = 4;",
            { "push 'a' 'b'", "getvariable", "push 'c' 4", "storeregister 0", "setmember", "push r0",
                "setvariable" } },
        { "IncrementStatements", "i++; --o.n; a[k]++;",
            { "push 'i' 'i'", "getvariable", "increment", "setvariable", "push 'o'", "getvariable",
                "pushduplicate", "push 'n'", "getmember", "decrement", "push 'n'", "stackswap", "setmember",
                "push 'a'", "getvariable", "pushduplicate", "push 'k'", "getvariable", "storeregister 1",
                "getmember", "push r1", "stackswap", "increment", "setmember" } },
        { "IncrementValues", "x = i++; y = ++i;",
            { "push 'x' 'i' 'i'", "getvariable", "tonumber", "storeregister 0", "increment", "setvariable",
                "push r0", "setvariable", "push 'y' 'i' 'i'", "getvariable", "increment", "storeregister 0",
                "setvariable", "push r0", "setvariable" } },
        { "Var", "var a = 1, b; var c;",
            { "push 'a' 1", "definelocal", "push 'b'", "definelocal2", "push 'c'", "definelocal2" } },
        // Statements
        { "IfWithoutElse", "if (a) b();",
            { "push 'a'", "getvariable", "not", "if +12", "push 0 'b'", "callfunction", "pop" } },
        { "ElseIfChain", "if (a) x = 1; else if (b) x = 2; else x = 3;",
            { "push 'a'", "getvariable", "if +43", "push 'b'", "getvariable", "if +16", "push 'x' 3",
                "setvariable", "jump +11", "push 'x' 2", "setvariable", "jump +11", "push 'x' 1",
                "setvariable" } },
        { "While", "while (i < 3) { if (i == 1) continue; i++; }",
            { "push 'i'", "getvariable", "push 3", "less2", "not", "if +41", "push 'i'", "getvariable",
                "push 1", "equals2", "not", "if +5", "jump -47", "push 'i' 'i'", "getvariable", "increment",
                "setvariable", "jump -62" } },
        { "DoWhile", "do { i--; if (i) break; } while (i > 0)",
            { "push 'i' 'i'", "getvariable", "decrement", "setvariable", "push 'i'", "getvariable", "not",
                "if +5", "jump +21", "push 'i'", "getvariable", "push 0", "stackswap", "less2", "if -48" } },
        { "For", "for (var i = 0; i < 2; i++) { if (i) continue; }",
            { "push 'i' 0", "definelocal", "push 'i'", "getvariable", "push 2", "less2", "not", "if +32",
                "push 'i'", "getvariable", "not", "if +5", "jump +0", "push 'i' 'i'", "getvariable",
                "increment", "setvariable", "jump -53" } },
        { "ForIn", "for (var k in o) { if (k) break; }",
            { "push 'o'", "getvariable", "enumerate2", "storeregister 0", "push null", "equals2", "if +41",
                "push 'k' r0", "definelocal", "push 'k'", "getvariable", "not", "if +5", "jump +5",
                "jump -44", "push null", "equals2", "not", "if -11" } },
        { "FunctionDeclaration", "function add(a, b) { return a + b; }",
            { "function 'add' (a,b) 14", "push 'a'", "getvariable", "push 'b'", "getvariable", "add2",
                "return" } },
        { "FunctionExpressionAndCall", "f = function () { return; }; f(1, \"x\");",
            { "push 'f'", "function '' () 5", "push undefined", "return", "setvariable", "push 'x' 1 2 'f'",
                "callfunction", "pop" } },
        { "ReturnInsideForIn", "function f(o) { for (k in o) return k; }",
            { "function 'f' (o) 73", "push 'o'", "getvariable", "enumerate2", "storeregister 0", "push null",
                "equals2", "if +52", "push 'k' r0", "setvariable", "push 'k'", "getvariable",
                "storeregister 0", "pop", "push null", "equals2", "not", "if -11", "push r0", "return",
                "jump -55", "push null", "equals2", "not", "if -11" } },
        { "MethodCallAndNew", "o.m(1); x = new Foo(2); y = new a.B(); z = new C;",
            { "push 1 1 'o'", "getvariable", "push 'm'", "callmethod", "pop", "push 'x' 2 1 'Foo'",
                "newobject", "setvariable", "push 'y' 0 'a'", "getvariable", "push 'B'", "newmethod",
                "setvariable", "push 'z' 0 'C'", "newobject", "setvariable" } },
        { "CallOfAnExpression", "(f())(2);",
            { "push 2 1 0 'f'", "callfunction", "push undefined", "callmethod", "pop" } },
        // Built-ins
        { "Timeline", "play(); stop(); nextFrame(); prevFrame();",
            { "play", "stop", "nextframe", "prevframe" } },
        { "GotoForms", "gotoAndPlay(3); gotoAndStop(\"end\"); gotoAndPlay(n + 1); gotoAndStop(0);",
            { "gotoframe 2", "play", "gotolabel 'end'", "stop", "push 'n'", "getvariable", "push 1", "add2",
                "gotoframe2 1", "push 0", "gotoframe2 0" } },
        { "GetUrlWindows", "geturl(u); GETURL(u, _top); getURL(u, _parent, \"POST\"); getURL(u, w, 'get');",
            { "push 'u'", "getvariable", "push ''", "geturl2 0", "push 'u'", "getvariable", "push '_top'",
                "geturl2 0", "push 'u'", "getvariable", "push '_parent'", "geturl2 2", "push 'u'",
                "getvariable", "push 'w'", "getvariable", "geturl2 1" } },
        { "Trace", "trace(\"a\" + 1); trace = 2;",
            { "push 'a' 1", "add2", "trace", "push 'trace' 2", "setvariable" } },
        { "FsCommand", "fscommand(\"quit\"); fscommand(c, \"x\");",
            { "push 'FSCommand:quit' ''", "geturl2 0", "push 'FSCommand:' 'c'", "getvariable", "stringadd",
                "push 'x'", "geturl2 0" } },
        { "LoadMovie",
            "loadMovie(\"a.swf\", _root.c); loadMovieNum(\"b.swf\", 2); loadMovieNum(\"c.swf\", n);",
            { "push 'a.swf' '_root'", "getvariable", "push 'c'", "getmember", "geturl2 64",
                "push 'b.swf' '_level2'", "geturl2 0", "push 'c.swf' '_level' 'n'", "getvariable",
                "stringadd", "geturl2 0" } },
        { "ValueBuiltins",
            "t = getTimer(); r = random(10); i = int(x); s = String(1); n = Number(\"2\"); getTimer();",
            { "push 't'", "gettime", "setvariable", "push 'r' 10", "random", "setvariable", "push 'i' 'x'",
                "getvariable", "tointeger", "setvariable", "push 's' 1", "tostring", "setvariable",
                "push 'n' '2'", "tonumber", "setvariable", "gettime", "pop" } },
        { "BuiltinUsedAsValue", "x = stop();", { "push 'x'", "stop", "push undefined", "setvariable" } },
        { "MethodNamedLikeABuiltin", "mc.stop(); mc.gotoAndStop(2);",
            { "push 0 'mc'", "getvariable", "push 'stop'", "callmethod", "pop", "push 2 1 'mc'",
                "getvariable", "push 'gotoAndStop'", "callmethod", "pop" } },
        // Layout of the text
        { "OptionalSemicolons", "a = 1\nb = 2\r\nstop()",
            { "push 'a' 1", "setvariable", "push 'b' 2", "setvariable", "stop" } },
        { "LineBreakEndsReturn", "function f() { return\n1 }",
            { "function 'f' () 5", "push undefined", "return" } },
        { "Comments", "/* a\n b */ a = 1; // c\nb = 2; // end",
            { "push 'a' 1", "setvariable", "push 'b' 2", "setvariable" } },
        { "Empty", " ;;\t\r\n", {} },
    };
    return table;
}

class Constructs : public testing::TestWithParam<ListingCase> { };

TEST_P(Constructs, CompileToTheExpectedActions)
{
    EXPECT_EQ(listing(GetParam().source), GetParam().listing) << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(Language, Constructs, testing::ValuesIn(cases()),
    [](const testing::TestParamInfo<ListingCase>& param) { return std::string(param.param.name); });

TEST(ConstantPool, HoldsStringsInOrderOfFirstUseOnce)
{
    const auto lines = test::disassemble(compile("b = a; a = \"b\"; c(b);"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "pool 'b' 'a' 'c'");
}

TEST(ConstantPool, UsesWideReferencesPast255)
{
    std::string script;
    for (int i = 0; i < 300; ++i) {
        script += "v" + std::to_string(i) + " = 0;";
    }
    const auto lines = test::disassemble(compile(script));
    EXPECT_EQ(lines[1], "push 'v0' 0");
    EXPECT_EQ(lines[2 * 256 + 1], "push 'v256'w 0");
}

TEST(ConstantPool, FallsBackToInlineStringsWhenFull)
{
    // Each string takes 1,001 bytes of the pool; the pool's UI16 size holds 65 of them.
    std::string script;
    for (int i = 0; i < 70; ++i) {
        std::string text(1000, 'a');
        text.replace(0, 2, std::to_string(10 + i));
        script += "trace(\"" + text + "\");";
    }
    const std::vector<uint8_t> bytes = compile(script);
    const auto lines = test::disassemble(bytes);
    const size_t poolSize = bytes[1] | (bytes[2] << 8);
    EXPECT_LE(poolSize, 0xFFFFU);
    EXPECT_EQ(lines.size(), 1 + 2 * 70U);
    EXPECT_EQ(lines[2 * 70 - 1].substr(0, 8), "push '79");
}

TEST(Pushes, NeverMergeAcrossABranchTarget)
{
    // The value after the join must start its own push, or the then branch would skip it.
    EXPECT_NO_THROW((void)test::disassemble(compile("t(c ? 1 : 2, 3);")));
    EXPECT_NO_THROW((void)test::disassemble(compile("x = (a || 'b') + 'c';")));
    EXPECT_NO_THROW((void)test::disassemble(compile("f = function () { return 1; }; g = 2;")));
}

} // namespace
} // namespace swf::actionscript
