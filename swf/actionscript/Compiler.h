// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/CompileError.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace swf::actionscript {

// Compiles ActionScript text into the body of a DoAction tag or a button condition: one constant
// pool (when the script uses strings), the actions, and the closing End (00). Throws CompileError
// naming the line and column of the first fault. Every call is independent of the ones before it.
[[nodiscard]] std::vector<uint8_t> compile(std::string_view source, int swfVersion = 6);

} // namespace swf::actionscript
