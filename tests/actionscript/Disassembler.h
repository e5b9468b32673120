// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swf::actionscript::test {

// A readable listing of an action block, one action a line ("push 'score' 0", "if +14"), with
// constant references shown as their strings. Throws std::runtime_error when the block is
// malformed: a record past the end, a branch into the middle of an action or out of its code,
// a push of an unknown type, a missing End.
std::vector<std::string> disassemble(const std::vector<uint8_t>& block);

} // namespace swf::actionscript::test
