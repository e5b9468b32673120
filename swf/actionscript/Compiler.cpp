// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/actionscript/Compiler.h"

#include "swf/actionscript/ActionWriter.h"
#include "swf/actionscript/CodeGenerator.h"
#include "swf/actionscript/Lexer.h"
#include "swf/actionscript/Parser.h"

namespace swf::actionscript {

namespace {
// The actions written here (Enumerate2, StrictEquals, InstanceOf, UTF-8 strings) need SWF 6.
constexpr int kMinSwfVersion = 6;
} // namespace

std::vector<uint8_t> compile(std::string_view source, int swfVersion)
{
    if (swfVersion < kMinSwfVersion) {
        throw CompileError(0, 0,
            "SWF version " + std::to_string(swfVersion) +
                " is not supported by the script compiler (6 or later)");
    }
    // Every compile has its own lexer, parser and writer: nothing carries over to the next one.
    Lexer lexer(source);
    Parser parser(lexer.tokenize());
    const StatementList program = parser.parseProgram();
    ActionWriter writer;
    CodeGenerator generator(writer);
    generator.program(program);
    return writer.finish();
}

} // namespace swf::actionscript
