// SPDX-License-Identifier: GPL-3.0-or-later
// Script text of any kind either compiles or is refused with a CompileError; nothing else may
// escape, and a compiled block always ends with End.
#include "swf/actionscript/Compiler.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    try {
        const std::vector<uint8_t> block = swf::actionscript::compile(source);
        if (block.empty() || block.back() != 0) {
            std::abort();
        }
    } catch (const swf::actionscript::CompileError&) {
        // refused: the expected outcome for most inputs
    }
    return 0;
}
