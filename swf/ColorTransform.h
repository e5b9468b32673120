// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace swf {

// A colour transform with alpha (CXFORMWITHALPHA): each channel becomes channel * mult + add.
// Multipliers are stored in 8.8 fixed point, additions as whole values.
struct ColorTransform {
    float redMult = 1.0F;
    float greenMult = 1.0F;
    float blueMult = 1.0F;
    float alphaMult = 1.0F;
    int16_t redAdd = 0;
    int16_t greenAdd = 0;
    int16_t blueAdd = 0;
    int16_t alphaAdd = 0;

    bool operator==(const ColorTransform&) const = default;
};

} // namespace swf
