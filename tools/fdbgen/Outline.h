// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/EmScale.h"
#include "tools/fdbgen/Glyph.h"

#include <ft2build.h>
#include FT_OUTLINE_H

#include <vector>

namespace fdbgen {

// Turns an unscaled FreeType outline (font units, y up) into a glyph path in the 1024 em with y
// down. TrueType quadratics are kept as they are, with the implied on-curve point between two
// off-curve points; every contour is closed. Points are rounded once each, so edges never drift.
// Cubic segments (from fonts with PostScript outlines) are approximated by quadratics.
// Contours without an edge and edges that round to nothing are left out.
[[nodiscard]] std::vector<PathSegment> convertOutline(const FT_Outline& outline, const EmScale& scale);

} // namespace fdbgen
