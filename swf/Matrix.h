// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/ColorTransform.h"

#include <cstdint>

namespace swf {

// An SWF MATRIX: scale and rotate-skew in 16.16 fixed point, translation in twips.
struct Matrix {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double rotateSkew0 = 0.0;
    double rotateSkew1 = 0.0;
    int32_t translateX = 0;
    int32_t translateY = 0;

    bool operator==(const Matrix&) const = default;
};

// Scale and rotation are written only when they differ from the identity; a zero translation
// takes no bits, so the identity matrix is the single byte 00.
void writeMatrix(ByteWriter& out, const Matrix& matrix);
[[nodiscard]] Matrix readMatrix(ByteReader& in);

// CXFORMWITHALPHA: multipliers in 8.8 fixed point, written only when one differs from 1.0;
// additions only when one is not 0. The identity transform is the single byte 00.
void writeColorTransform(ByteWriter& out, const ColorTransform& transform);
[[nodiscard]] ColorTransform readColorTransform(ByteReader& in);

} // namespace swf
