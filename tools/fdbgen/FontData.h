// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/Glyph.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fdbgen {

// Kerning of two adjacent characters, by character code, in 1024 em units.
struct KerningPair {
    uint16_t left = 0;
    uint16_t right = 0;
    int32_t adjustment = 0;
    friend bool operator==(const KerningPair&, const KerningPair&) = default;
};

// Everything an FDB file holds: the glyphs sorted by code, the line metrics and the kerning.
struct FontData {
    std::string name;
    bool bold = false;
    bool italic = false;
    uint8_t language = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t leading = 0;
    std::vector<Glyph> glyphs;
    std::vector<KerningPair> kerning;
};

} // namespace fdbgen
