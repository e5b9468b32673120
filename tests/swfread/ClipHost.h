// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Host movies for the clip tests: squares made by the writer around loaded clips.

#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/PrebuiltClip.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace swf::test {

// A blue 10 x 10 square, a character of the host's own.
inline std::shared_ptr<Shape> hostSquare()
{
    return Shape::filledRectangle(10, 10, Color { 0, 0, 255, 255 });
}

// A version 6 host movie of 100 x 100 px and one frame: `squaresBefore` squares of its own, the
// clips, and one more square after them.
inline std::vector<uint8_t> hostWith(
    const std::vector<std::shared_ptr<PrebuiltClip>>& clips, int squaresBefore = 1)
{
    Movie movie(6);
    movie.setDimension(100, 100);
    for (int i = 0; i < squaresBefore; ++i) {
        movie.add(hostSquare());
    }
    for (const auto& clip : clips) {
        movie.add(clip);
    }
    movie.add(hostSquare());
    movie.nextFrame();
    return movie.toBytes();
}

} // namespace swf::test
