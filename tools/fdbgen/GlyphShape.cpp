// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/GlyphShape.h"

#include "swf/ByteWriter.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace fdbgen {
namespace {

// Edge records store their bit width minus 2 in four bits.
constexpr unsigned kMinEdgeBits = 2;
constexpr unsigned kMaxEdgeBits = 17;
// Style changes store the move's bit width in five bits.
constexpr unsigned kMaxMoveBits = 31;

unsigned bitsFor(std::initializer_list<int32_t> values)
{
    unsigned bits = 1;
    for (int32_t v : values) {
        bits = std::max(bits, swf::ByteWriter::sbitsNeeded(v));
    }
    return bits;
}

unsigned edgeBits(std::initializer_list<int32_t> deltas)
{
    const unsigned bits = std::max(kMinEdgeBits, bitsFor(deltas));
    if (bits > kMaxEdgeBits) {
        throw std::invalid_argument("glyph edge of " + std::to_string(bits) + " bits exceeds the " +
            std::to_string(kMaxEdgeBits) + "-bit edge fields");
    }
    return bits;
}

void writeMove(swf::ByteWriter& w, Point to, bool selectFill)
{
    w.ubits(0, 1); // style change record
    w.ubits(0, 1); // no new styles
    w.ubits(0, 1); // no line style
    w.ubits(0, 1); // no FillStyle1
    w.ubits(selectFill ? 1 : 0, 1); // FillStyle0
    w.ubits(1, 1); // MoveTo
    const unsigned bits = bitsFor({ to.x, to.y });
    if (bits > kMaxMoveBits) {
        throw std::invalid_argument("glyph move beyond the 31-bit move fields");
    }
    w.ubits(bits, 5);
    w.sbits(to.x, bits);
    w.sbits(to.y, bits);
    if (selectFill) {
        w.ubits(1, 1); // fill style 1, in one fill bit
    }
}

void writeLine(swf::ByteWriter& w, int32_t dx, int32_t dy)
{
    const unsigned bits = edgeBits({ dx, dy });
    w.ubits(1, 1); // edge record
    w.ubits(1, 1); // straight
    w.ubits(bits - kMinEdgeBits, 4);
    if (dx != 0 && dy != 0) {
        w.ubits(1, 1); // general line
        w.sbits(dx, bits);
        w.sbits(dy, bits);
    } else {
        w.ubits(0, 1);
        w.ubits(dx == 0 ? 1 : 0, 1); // vertical
        w.sbits(dx == 0 ? dy : dx, bits);
    }
}

void writeCurve(swf::ByteWriter& w, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady)
{
    const unsigned bits = edgeBits({ cdx, cdy, adx, ady });
    w.ubits(1, 1); // edge record
    w.ubits(0, 1); // curved
    w.ubits(bits - kMinEdgeBits, 4);
    w.sbits(cdx, bits);
    w.sbits(cdy, bits);
    w.sbits(adx, bits);
    w.sbits(ady, bits);
}

} // namespace

std::vector<uint8_t> encodeGlyphShape(std::span<const PathSegment> path)
{
    swf::ByteWriter w;
    w.ubits(1, 4); // NumFillBits
    w.ubits(0, 4); // NumLineBits
    bool started = false;
    Point pen;
    for (const PathSegment& seg : path) {
        switch (seg.kind) {
        case PathSegment::Kind::Move:
            writeMove(w, seg.to, !started);
            started = true;
            break;
        case PathSegment::Kind::Line:
        case PathSegment::Kind::Quad:
            if (!started) {
                throw std::invalid_argument("glyph path has an edge before its first move");
            }
            if (seg.kind == PathSegment::Kind::Line || seg.control == pen || seg.control == seg.to) {
                // A quadratic whose control point lies on an end point is a straight edge.
                if (seg.to != pen) {
                    writeLine(w, seg.to.x - pen.x, seg.to.y - pen.y);
                }
            } else {
                writeCurve(w, seg.control.x - pen.x, seg.control.y - pen.y, seg.to.x - seg.control.x,
                    seg.to.y - seg.control.y);
            }
            break;
        }
        pen = seg.to;
    }
    w.ubits(0, 6); // end record
    return w.take();
}

Rect pathBounds(std::span<const PathSegment> path)
{
    if (path.empty()) {
        return {};
    }
    Rect box { path.front().to.x, path.front().to.x, path.front().to.y, path.front().to.y };
    auto add = [&box](Point p) {
        box.xMin = std::min(box.xMin, p.x);
        box.xMax = std::max(box.xMax, p.x);
        box.yMin = std::min(box.yMin, p.y);
        box.yMax = std::max(box.yMax, p.y);
    };
    for (const PathSegment& seg : path) {
        add(seg.to);
        if (seg.kind == PathSegment::Kind::Quad) {
            add(seg.control);
        }
    }
    return box;
}

} // namespace fdbgen
