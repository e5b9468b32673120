// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"

#include <cstdint>

namespace swf {

// An SWF RECT in twips (or in font units inside a font).
struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;

    bool operator==(const Rect&) const = default;
    // The smallest rectangle holding both.
    [[nodiscard]] Rect united(const Rect& other) const;
};

// RECT: 5 bits nbits (the least that holds every value, at least 1), four signed values, padded.
void writeRect(ByteWriter& out, const Rect& rect);
[[nodiscard]] Rect readRect(ByteReader& in);

// Pixels to twips, rounded to the nearest twip.
[[nodiscard]] int32_t toTwips(double pixels);

} // namespace swf
