// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace fdbgen {

// A point of a glyph outline in the 1024 unit em, y growing downwards.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// One step of a glyph path: a move that starts a contour, a straight edge, or a quadratic edge
// with its control point. Points are absolute; the shape encoder turns them into deltas.
struct PathSegment {
    enum class Kind : uint8_t { Move, Line, Quad };
    Kind kind = Kind::Move;
    Point control; // Quad only
    Point to;
    friend bool operator==(const PathSegment&, const PathSegment&) = default;
};

struct Rect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Glyph {
    uint16_t code = 0;
    std::vector<PathSegment> path;
    int32_t advance = 0;
    Rect bounds;
};

} // namespace fdbgen
