// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/platform/TestMovies.h"

#include "swf/ByteWriter.h"
#include "swf/Tag.h"

#include <algorithm>

namespace testmovies {
namespace {

constexpr int kTwips = 20;

void Rect(swf::ByteWriter& w, int x0, int x1, int y0, int y1)
{
    const int32_t v[4] = { x0 * kTwips, x1 * kTwips, y0 * kTwips, y1 * kTwips };
    unsigned n = 1;
    for (int32_t x : v) {
        n = std::max(n, swf::ByteWriter::sbitsNeeded(x));
    }
    w.ubits(n, 5);
    for (int32_t x : v) {
        w.sbits(x, n);
    }
    w.alignBits();
}

// DefineShape3: a solid rectangle in movie coordinates.
swf::Tag Shape(uint16_t nId, Rgb c, int x, int y, int w, int h)
{
    swf::ByteWriter b;
    b.u16(nId);
    Rect(b, x, x + w, y, y + h);
    b.u8(1); // one fill style
    b.u8(0x00);
    b.u8(c.r);
    b.u8(c.g);
    b.u8(c.b);
    b.u8(0xff);
    b.u8(0); // no line style
    b.ubits(1, 4);
    b.ubits(0, 4);
    // Style change: move to (x, y), fill style 1.
    const int32_t mx = x * kTwips;
    const int32_t my = y * kTwips;
    const unsigned nMove =
        std::max({ 1U, swf::ByteWriter::sbitsNeeded(mx), swf::ByteWriter::sbitsNeeded(my) });
    b.ubits(0, 1);
    b.ubits(0b00101, 5); // StateFillStyle1, StateMoveTo
    b.ubits(nMove, 5);
    b.sbits(mx, nMove);
    b.sbits(my, nMove);
    b.ubits(1, 1);
    const int32_t deltas[4][2] = { { w * kTwips, 0 }, { 0, h * kTwips }, { -w * kTwips, 0 },
        { 0, -h * kTwips } };
    for (const auto& d : deltas) {
        const bool bVertical = d[0] == 0;
        const int32_t v = bVertical ? d[1] : d[0];
        const unsigned n = std::max(2U, swf::ByteWriter::sbitsNeeded(v));
        b.ubits(1, 1); // edge
        b.ubits(1, 1); // straight
        b.ubits(n - 2, 4);
        b.ubits(0, 1); // not a general line
        b.ubits(bVertical ? 1 : 0, 1);
        b.sbits(v, n);
    }
    b.ubits(0, 6); // end of shape
    return { swf::TagCode::DefineShape3, b.take() };
}

swf::Tag Place(uint16_t nDepth, uint16_t nId)
{
    swf::ByteWriter b;
    b.u8(0x06);
    b.u16(nDepth);
    b.u16(nId);
    b.u8(0x00); // identity matrix
    return { swf::TagCode::PlaceObject2, b.take() };
}

std::vector<uint8_t> Finish(const std::vector<swf::Tag>& tags, int nWidth, int nHeight, uint16_t nFrames)
{
    swf::ByteWriter w;
    w.u8('F');
    w.u8('W');
    w.u8('S');
    w.u8(6);
    w.u32(0);
    Rect(w, 0, nWidth, 0, nHeight);
    w.u16(12 << 8);
    w.u16(nFrames);
    for (const swf::Tag& t : tags) {
        swf::writeTag(w, t);
    }
    swf::writeTag(w, swf::Tag(swf::TagCode::End, {}));
    w.patchU32(4, static_cast<uint32_t>(w.size()));
    return w.take();
}

swf::Tag Background(Rgb c)
{
    return { swf::TagCode::SetBackgroundColor, { c.r, c.g, c.b } };
}

} // namespace

std::vector<uint8_t> SolidMovie(Rgb colour, int nWidth, int nHeight)
{
    return Finish({ Background({ 255, 255, 255 }), Shape(1, colour, 0, 0, nWidth, nHeight), Place(1, 1),
                      swf::Tag(swf::TagCode::ShowFrame, {}) },
        nWidth, nHeight, 1);
}

std::vector<uint8_t> ButtonMovie(int nWidth, int nHeight)
{
    const int nSide = std::min(nWidth, nHeight) / 2;
    swf::ByteWriter button;
    button.u16(3);
    button.u8(0); // not a menu button
    const size_t nOffsetAt = button.size();
    button.u16(0);
    button.u8(0x0f); // up, over, down, hit
    button.u16(2);
    button.u16(1);
    button.u8(0x00); // matrix
    button.u8(0x00); // colour transform
    button.u8(0x00); // end of records
    button.patchU16(nOffsetAt, static_cast<uint16_t>(button.size() - nOffsetAt));
    button.u16(0); // last condition
    button.u16(0x08); // on release
    button.u8(0x81); // GotoFrame 1 (the second frame)
    button.u16(2);
    button.u16(1);
    button.u8(0x07); // Stop
    button.u8(0x00);

    return Finish({ Background({ 255, 255, 255 }), Shape(1, { 0, 0, 255 }, 0, 0, nWidth, nHeight),
                      Shape(2, { 255, 0, 0 }, (nWidth - nSide) / 2, (nHeight - nSide) / 2, nSide, nSide),
                      swf::Tag(swf::TagCode::DefineButton2, button.take()), Place(1, 1), Place(2, 3),
                      swf::Tag(swf::TagCode::DoAction, { 0x07, 0x00 }), swf::Tag(swf::TagCode::ShowFrame, {}),
                      Shape(4, { 0, 255, 0 }, 0, 0, nWidth, nHeight), Place(3, 4),
                      swf::Tag(swf::TagCode::ShowFrame, {}) },
        nWidth, nHeight, 2);
}

std::vector<uint8_t> RedThenGreenMovie(int nWidth, int nHeight, int nRedFrames)
{
    std::vector<swf::Tag> tags = { Background({ 255, 255, 255 }),
        Shape(1, { 255, 0, 0 }, 0, 0, nWidth, nHeight), Place(1, 1) };
    for (int i = 0; i < nRedFrames; ++i) {
        tags.emplace_back(swf::TagCode::ShowFrame, std::vector<uint8_t> {});
    }
    tags.push_back(Shape(2, { 0, 255, 0 }, 0, 0, nWidth, nHeight));
    tags.push_back(Place(2, 2));
    tags.emplace_back(swf::TagCode::DoAction, std::vector<uint8_t> { 0x07, 0x00 }); // Stop
    tags.emplace_back(swf::TagCode::ShowFrame, std::vector<uint8_t> {});
    return Finish(tags, nWidth, nHeight, static_cast<uint16_t>(nRedFrames + 1));
}

} // namespace testmovies
