// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace imaging {

// A picture size in pixels.
struct Size {
    int width = 0;
    int height = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

// An opaque colour, 8 bits a channel.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack { 0, 0, 0 };
inline constexpr Rgb kWhite { 255, 255, 255 };

} // namespace imaging
