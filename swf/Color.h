// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace swf {

// An RGBA colour; alpha 255 is opaque.
struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;

    bool operator==(const Color&) const = default;
};

} // namespace swf
