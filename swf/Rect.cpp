// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Rect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf {

Rect Rect::united(const Rect& other) const
{
    return Rect { std::min(xMin, other.xMin), std::max(xMax, other.xMax), std::min(yMin, other.yMin),
        std::max(yMax, other.yMax) };
}

void writeRect(ByteWriter& out, const Rect& rect)
{
    // The 5-bit size field allows at most 31-bit values; larger ones are clamped.
    constexpr int32_t kMin = -(1 << 30);
    constexpr int32_t kMax = (1 << 30) - 1;
    const int32_t values[] = { std::clamp(rect.xMin, kMin, kMax), std::clamp(rect.xMax, kMin, kMax),
        std::clamp(rect.yMin, kMin, kMax), std::clamp(rect.yMax, kMin, kMax) };
    unsigned bits = 1;
    for (int32_t v : values) {
        bits = std::max(bits, ByteWriter::sbitsNeeded(v));
    }
    out.ubits(bits, 5);
    for (int32_t v : values) {
        out.sbits(v, bits);
    }
    out.alignBits();
}

Rect readRect(ByteReader& in)
{
    in.alignBits();
    const unsigned bits = in.ubits(5);
    Rect rect;
    rect.xMin = in.sbits(bits);
    rect.xMax = in.sbits(bits);
    rect.yMin = in.sbits(bits);
    rect.yMax = in.sbits(bits);
    in.alignBits();
    return rect;
}

int32_t toTwips(double pixels)
{
    // Beyond this the value no longer fits the widest SWF bit field; clamp rather than overflow.
    constexpr double kLimit = static_cast<double>(std::numeric_limits<int32_t>::max() / 2);
    const double twips = std::rint(pixels * 20.0);
    if (!(twips > -kLimit)) {
        return static_cast<int32_t>(-kLimit);
    }
    if (!(twips < kLimit)) {
        return static_cast<int32_t>(kLimit);
    }
    return static_cast<int32_t>(twips);
}

} // namespace swf
