// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Matrix.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace swf {

namespace {

int32_t toFixed16(double v)
{
    // 16.16 values beyond the 31-bit field that a MATRIX can hold are clamped.
    constexpr double kLimit = 1073741823.0;
    return static_cast<int32_t>(std::clamp(std::rint(v * 65536.0), -kLimit, kLimit));
}

int32_t toFixed8(float v)
{
    // The 4-bit size field allows at most 15-bit signed terms.
    return static_cast<int32_t>(std::clamp(std::rint(static_cast<double>(v) * 256.0), -16384.0, 16383.0));
}

unsigned bitsFor(std::initializer_list<int32_t> values)
{
    unsigned bits = 0;
    for (int32_t v : values) {
        bits = std::max(bits, ByteWriter::sbitsNeeded(v));
    }
    return bits;
}

} // namespace

void writeMatrix(ByteWriter& out, const Matrix& m)
{
    out.alignBits();
    const bool hasScale = m.scaleX != 1.0 || m.scaleY != 1.0;
    out.ubits(hasScale ? 1 : 0, 1);
    if (hasScale) {
        const int32_t sx = toFixed16(m.scaleX);
        const int32_t sy = toFixed16(m.scaleY);
        const unsigned bits = bitsFor({ sx, sy });
        out.ubits(bits, 5);
        out.sbits(sx, bits);
        out.sbits(sy, bits);
    }
    const bool hasRotate = m.rotateSkew0 != 0.0 || m.rotateSkew1 != 0.0;
    out.ubits(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        const int32_t r0 = toFixed16(m.rotateSkew0);
        const int32_t r1 = toFixed16(m.rotateSkew1);
        const unsigned bits = bitsFor({ r0, r1 });
        out.ubits(bits, 5);
        out.sbits(r0, bits);
        out.sbits(r1, bits);
    }
    const int32_t tx = std::clamp(m.translateX, -(1 << 30), (1 << 30) - 1);
    const int32_t ty = std::clamp(m.translateY, -(1 << 30), (1 << 30) - 1);
    const unsigned bits = (tx == 0 && ty == 0) ? 0 : bitsFor({ tx, ty });
    out.ubits(bits, 5);
    out.sbits(tx, bits);
    out.sbits(ty, bits);
    out.alignBits();
}

Matrix readMatrix(ByteReader& in)
{
    in.alignBits();
    Matrix m;
    if (in.ubits(1) != 0) {
        const unsigned bits = in.ubits(5);
        m.scaleX = in.sbits(bits) / 65536.0;
        m.scaleY = in.sbits(bits) / 65536.0;
    }
    if (in.ubits(1) != 0) {
        const unsigned bits = in.ubits(5);
        m.rotateSkew0 = in.sbits(bits) / 65536.0;
        m.rotateSkew1 = in.sbits(bits) / 65536.0;
    }
    const unsigned bits = in.ubits(5);
    m.translateX = in.sbits(bits);
    m.translateY = in.sbits(bits);
    in.alignBits();
    return m;
}

void writeColorTransform(ByteWriter& out, const ColorTransform& t)
{
    const std::array<int32_t, 4> mult { toFixed8(t.redMult), toFixed8(t.greenMult), toFixed8(t.blueMult),
        toFixed8(t.alphaMult) };
    const std::array<int32_t, 4> add { std::clamp<int32_t>(t.redAdd, -16384, 16383),
        std::clamp<int32_t>(t.greenAdd, -16384, 16383), std::clamp<int32_t>(t.blueAdd, -16384, 16383),
        std::clamp<int32_t>(t.alphaAdd, -16384, 16383) };
    const bool hasMult = std::any_of(mult.begin(), mult.end(), [](int32_t v) { return v != 256; });
    const bool hasAdd = std::any_of(add.begin(), add.end(), [](int32_t v) { return v != 0; });
    unsigned bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (hasMult) {
            bits = std::max(bits, ByteWriter::sbitsNeeded(mult[i]));
        }
        if (hasAdd) {
            bits = std::max(bits, ByteWriter::sbitsNeeded(add[i]));
        }
    }
    out.alignBits();
    out.ubits(hasAdd ? 1 : 0, 1);
    out.ubits(hasMult ? 1 : 0, 1);
    out.ubits(bits, 4);
    if (hasMult) {
        for (int32_t v : mult) {
            out.sbits(v, bits);
        }
    }
    if (hasAdd) {
        for (int32_t v : add) {
            out.sbits(v, bits);
        }
    }
    out.alignBits();
}

ColorTransform readColorTransform(ByteReader& in)
{
    in.alignBits();
    const bool hasAdd = in.ubits(1) != 0;
    const bool hasMult = in.ubits(1) != 0;
    const unsigned bits = in.ubits(4);
    ColorTransform t;
    if (hasMult) {
        t.redMult = static_cast<float>(in.sbits(bits)) / 256.0F;
        t.greenMult = static_cast<float>(in.sbits(bits)) / 256.0F;
        t.blueMult = static_cast<float>(in.sbits(bits)) / 256.0F;
        t.alphaMult = static_cast<float>(in.sbits(bits)) / 256.0F;
    }
    if (hasAdd) {
        t.redAdd = static_cast<int16_t>(in.sbits(bits));
        t.greenAdd = static_cast<int16_t>(in.sbits(bits));
        t.blueAdd = static_cast<int16_t>(in.sbits(bits));
        t.alphaAdd = static_cast<int16_t>(in.sbits(bits));
    }
    in.alignBits();
    return t;
}

} // namespace swf
