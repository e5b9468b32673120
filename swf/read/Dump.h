// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace swf {

// A readable listing of a movie (FWS or CWS): the header, then every tag with its fields, one
// item a line, nested records indented by two spaces. The text is stable (no addresses, no
// locale), so tests can compare a generated movie with an expected dump kept as a text file.
// Throws swf::ParseError when the movie itself cannot be read; a tag whose body is damaged is
// listed with the reason instead of its fields, and the listing goes on.
[[nodiscard]] std::string dumpMovie(std::span<const uint8_t> file);

// The disassembly of an action block: one action a line, prefixed with `indent` and its offset
// inside the block; constant pool references resolved; jump targets as block offsets.
[[nodiscard]] std::string disassembleActions(
    std::span<const uint8_t> actions, const std::string& indent = "");

} // namespace swf
