// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// Tiny movies for the player tests, written tag by tag.
namespace testmovies {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// One frame filled with a single colour, size in pixels.
[[nodiscard]] std::vector<uint8_t> SolidMovie(Rgb colour, int nWidth, int nHeight);

// Frame 1: blue with a red square button in the middle (stops there); releasing the button goes
// to frame 2, which is all green.
[[nodiscard]] std::vector<uint8_t> ButtonMovie(int nWidth, int nHeight);

// All red for nRedFrames frames, then all green on the next, where it stops: at the movie's 12
// frames a second, a playing movie turns green nRedFrames / 12 seconds after it started.
[[nodiscard]] std::vector<uint8_t> RedThenGreenMovie(int nWidth, int nHeight, int nRedFrames);

} // namespace testmovies
