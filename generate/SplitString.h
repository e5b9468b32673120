// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The pieces of the text between occurrences of the separator, left to right. Every occurrence
// ends a piece (two adjacent separators give an empty piece); the rest after the last separator is
// a piece only when it is not empty. An empty text gives no piece; an empty separator gives the
// text as one piece.
[[nodiscard]] std::vector<std::string> SplitString(std::string_view text, std::string_view separator);
