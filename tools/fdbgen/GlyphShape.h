// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/Glyph.h"

#include <cstdint>
#include <span>
#include <vector>

namespace fdbgen {

// Encodes a glyph path as an SWF SHAPE as fonts carry it: one fill bit, no line bits, each contour
// started by a style change with a move (the first one also selecting fill style 1 in the FillStyle0
// slot, the side that is inside for TrueType contours once y points down), straight and quadratic
// edges, and the end record. Zero-length edges are dropped. Throws std::invalid_argument for a path
// that does not start with a move or whose edges exceed the 17-bit delta fields.
[[nodiscard]] std::vector<uint8_t> encodeGlyphShape(std::span<const PathSegment> path);

// The box of every point of the path, control points included (so it contains every edge), or an
// empty box at the origin for an empty path.
[[nodiscard]] Rect pathBounds(std::span<const PathSegment> path);

} // namespace fdbgen
