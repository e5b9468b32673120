// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Byte offsets, inside a tag body, of every UI16 character id the tag carries: its own id for a
// definition, and every id it refers to (bitmap fills, fonts, button states and sounds, placements,
// exports...). Inside a DefineSprite the ids of its timeline's tags are included, down to
// kMaxSpriteNesting levels. Throws ParseError when the tag cannot be parsed or the code is not one
// we know how to renumber; `known` tells first whether that is the case.
[[nodiscard]] std::vector<size_t> characterIdOffsets(
    uint16_t code, std::span<const uint8_t> body, uint8_t swfVersion, int nesting = 0);

// Whether characterIdOffsets understands the tag code (every tag that can play in a version 6
// movie, and the later ones whose id fields we know).
[[nodiscard]] bool idFieldsKnown(uint16_t code);

} // namespace swf
