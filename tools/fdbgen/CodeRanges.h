// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace fdbgen {

// An inclusive range of Unicode code points.
struct CodeRange {
    uint32_t first = 0;
    uint32_t last = 0;
};

// The characters the installation's fonts carry: printable Basic Latin and Latin-1, Latin
// Extended-A, Greek and Coptic, Cyrillic, General Punctuation (quotes, dashes, ellipsis) and the
// euro sign. Enough for the languages of Europe while keeping each file to a few hundred glyphs.
[[nodiscard]] std::span<const CodeRange> defaultCodeRanges();

// The code points of the ranges, ascending and without repeats. Throws std::invalid_argument for a
// reversed range or one beyond the 16-bit codes of FDB fonts.
[[nodiscard]] std::vector<uint16_t> expandCodeRanges(std::span<const CodeRange> ranges);

} // namespace fdbgen
