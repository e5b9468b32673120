// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Shape.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/Matrix.h"
#include "swf/Rect.h"

#include <algorithm>
#include <cstdlib>

namespace swf {

namespace {

// A straight or curved edge stores its deltas in at most 17 signed bits (a 4-bit size field plus 2).
constexpr unsigned kMaxEdgeBits = 17;
constexpr int32_t kMaxEdgeDelta = (1 << (kMaxEdgeBits - 1)) - 1;

unsigned bitsFor(std::initializer_list<int32_t> values)
{
    unsigned bits = 0;
    for (int32_t v : values) {
        bits = std::max(bits, ByteWriter::sbitsNeeded(v));
    }
    return bits;
}

} // namespace

Fill Shape::addSolidFill(Color color)
{
    checkOpen();
    if (m_fills.size() >= 0xffff) {
        throw Error("shape: too many fill styles");
    }
    m_fills.push_back(FillStyle { color, nullptr, BitmapFillKind::Clipped });
    return Fill { static_cast<uint16_t>(m_fills.size()) };
}

Fill Shape::addBitmapFill(std::shared_ptr<const Bitmap> bitmap, BitmapFillKind kind)
{
    checkOpen();
    if (!bitmap) {
        throw Error("shape: bitmap fill without a bitmap");
    }
    if (m_fills.size() >= 0xffff) {
        throw Error("shape: too many fill styles");
    }
    m_fills.push_back(FillStyle { Color {}, std::move(bitmap), kind });
    return Fill { static_cast<uint16_t>(m_fills.size()) };
}

Shape::Record& Shape::pendingStyleChange()
{
    if (m_records.empty() || m_records.back().kind != Record::Kind::StyleChange) {
        m_records.emplace_back();
    }
    return m_records.back();
}

void Shape::setRightFill(Fill fill)
{
    checkOpen();
    if (fill.index > m_fills.size()) {
        throw Error("shape: fill " + std::to_string(fill.index) + " does not belong to this shape");
    }
    pendingStyleChange().fill1 = fill.index;
}

void Shape::setLeftFill(Fill fill)
{
    checkOpen();
    if (fill.index > m_fills.size()) {
        throw Error("shape: fill " + std::to_string(fill.index) + " does not belong to this shape");
    }
    pendingStyleChange().fill0 = fill.index;
}

void Shape::movePenTo(float x, float y)
{
    checkOpen();
    Record& r = pendingStyleChange();
    r.move = true;
    m_penX = r.x = toTwips(x);
    m_penY = r.y = toTwips(y);
}

void Shape::movePen(float dx, float dy)
{
    checkOpen();
    Record& r = pendingStyleChange();
    r.move = true;
    m_penX = r.x = m_penX + toTwips(dx);
    m_penY = r.y = m_penY + toTwips(dy);
}

void Shape::include(int32_t x, int32_t y)
{
    if (!m_hasBounds) {
        m_minX = m_maxX = x;
        m_minY = m_maxY = y;
        m_hasBounds = true;
        return;
    }
    m_minX = std::min(m_minX, x);
    m_maxX = std::max(m_maxX, x);
    m_minY = std::min(m_minY, y);
    m_maxY = std::max(m_maxY, y);
}

void Shape::addLine(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0) {
        return;
    }
    if (std::abs(dx) > kMaxEdgeDelta || std::abs(dy) > kMaxEdgeDelta) {
        // Too long for one edge record: draw it as two halves.
        const int32_t hx = dx / 2;
        const int32_t hy = dy / 2;
        addLine(hx, hy);
        addLine(dx - hx, dy - hy);
        return;
    }
    include(m_penX, m_penY);
    Record r;
    r.kind = Record::Kind::Line;
    r.x = dx;
    r.y = dy;
    m_records.push_back(r);
    m_penX += dx;
    m_penY += dy;
    include(m_penX, m_penY);
}

void Shape::drawLine(float dx, float dy)
{
    checkOpen();
    addLine(toTwips(dx), toTwips(dy));
}

void Shape::drawLineTo(float x, float y)
{
    checkOpen();
    addLine(toTwips(x) - m_penX, toTwips(y) - m_penY);
}

void Shape::drawCurve(float controlDx, float controlDy, float anchorDx, float anchorDy)
{
    checkOpen();
    Record r;
    r.kind = Record::Kind::Curve;
    r.x = toTwips(controlDx);
    r.y = toTwips(controlDy);
    r.ax = toTwips(anchorDx);
    r.ay = toTwips(anchorDy);
    for (int32_t v : { r.x, r.y, r.ax, r.ay }) {
        if (std::abs(v) > kMaxEdgeDelta) {
            throw Error("shape: curve segment longer than an edge record can hold");
        }
    }
    include(m_penX, m_penY);
    include(m_penX + r.x, m_penY + r.y);
    m_penX += r.x + r.ax;
    m_penY += r.y + r.ay;
    include(m_penX, m_penY);
    m_records.push_back(r);
}

void Shape::end()
{
    m_ended = true;
}

void Shape::checkOpen() const
{
    if (m_ended) {
        throw Error("shape: drawing after the shape was ended");
    }
}

std::shared_ptr<Shape> Shape::fromBitmap(std::shared_ptr<const Bitmap> bitmap)
{
    if (!bitmap) {
        throw Error("shape: no bitmap to fill with");
    }
    const auto w = static_cast<float>(bitmap->width());
    const auto h = static_cast<float>(bitmap->height());
    auto shape = std::make_shared<Shape>();
    const Fill fill = shape->addBitmapFill(std::move(bitmap), BitmapFillKind::Clipped);
    shape->setRightFill(fill);
    shape->drawRectangle(w, h);
    shape->end();
    return shape;
}

std::shared_ptr<Shape> Shape::filledRectangle(float width, float height, Color color)
{
    auto shape = std::make_shared<Shape>();
    shape->setRightFill(shape->addSolidFill(color));
    shape->drawRectangle(width, height);
    shape->end();
    return shape;
}

void Shape::drawRectangle(float width, float height)
{
    movePenTo(0, 0);
    drawLine(width, 0);
    drawLine(0, height);
    drawLine(-width, 0);
    drawLine(0, -height);
}

uint16_t Shape::defineIn(DefinitionContext& context) const
{
    std::vector<uint16_t> bitmapIds(m_fills.size(), 0);
    for (size_t i = 0; i < m_fills.size(); ++i) {
        if (m_fills[i].bitmap) {
            bitmapIds[i] = context.define(*m_fills[i].bitmap);
        }
    }
    const uint16_t id = context.allocateId();
    ByteWriter w;
    w.u16(id);
    writeRect(w, m_hasBounds ? Rect { m_minX, m_maxX, m_minY, m_maxY } : Rect {});
    if (m_fills.size() >= 0xff) {
        w.u8(0xff);
        w.u16(static_cast<uint16_t>(m_fills.size()));
    } else {
        w.u8(static_cast<uint8_t>(m_fills.size()));
    }
    for (size_t i = 0; i < m_fills.size(); ++i) {
        const FillStyle& f = m_fills[i];
        if (f.bitmap) {
            w.u8(static_cast<uint8_t>(f.kind));
            w.u16(bitmapIds[i]);
            // Bitmaps are in twips-sized pixels: scale by 20 so one bitmap pixel is one pixel.
            Matrix m;
            m.scaleX = 20.0;
            m.scaleY = 20.0;
            writeMatrix(w, m);
        } else {
            w.u8(0x00);
            w.u8(f.color.r);
            w.u8(f.color.g);
            w.u8(f.color.b);
            w.u8(f.color.a);
        }
    }
    w.u8(0); // no line styles
    const unsigned fillBits = ByteWriter::ubitsNeeded(static_cast<uint32_t>(m_fills.size()));
    const unsigned lineBits = 0;
    w.ubits(fillBits, 4);
    w.ubits(lineBits, 4);
    for (size_t index = 0; index < m_records.size(); ++index) {
        Record r = m_records[index];
        switch (r.kind) {
        case Record::Kind::StyleChange: {
            if (index == 0) {
                r.move = true; // the first record always states where the pen starts
            }
            if (!r.move && !r.fill0 && !r.fill1) {
                break; // an all-zero style change would read as the end record
            }
            w.ubits(0, 1);
            w.ubits(0, 1); // new styles
            w.ubits(0, 1); // line style
            w.ubits(r.fill1 ? 1 : 0, 1);
            w.ubits(r.fill0 ? 1 : 0, 1);
            w.ubits(r.move ? 1 : 0, 1);
            if (r.move) {
                const unsigned bits = bitsFor({ r.x, r.y });
                w.ubits(bits, 5);
                w.sbits(r.x, bits);
                w.sbits(r.y, bits);
            }
            if (r.fill0) {
                w.ubits(*r.fill0, fillBits);
            }
            if (r.fill1) {
                w.ubits(*r.fill1, fillBits);
            }
            break;
        }
        case Record::Kind::Line: {
            w.ubits(1, 1);
            w.ubits(1, 1);
            const unsigned bits = std::max(2U, bitsFor({ r.x, r.y }));
            w.ubits(bits - 2, 4);
            if (r.x != 0 && r.y != 0) {
                w.ubits(1, 1);
                w.sbits(r.x, bits);
                w.sbits(r.y, bits);
            } else if (r.x != 0) {
                w.ubits(0, 1);
                w.ubits(0, 1);
                w.sbits(r.x, bits);
            } else {
                w.ubits(0, 1);
                w.ubits(1, 1);
                w.sbits(r.y, bits);
            }
            break;
        }
        case Record::Kind::Curve: {
            w.ubits(1, 1);
            w.ubits(0, 1);
            const unsigned bits = std::max(2U, bitsFor({ r.x, r.y, r.ax, r.ay }));
            w.ubits(bits - 2, 4);
            w.sbits(r.x, bits);
            w.sbits(r.y, bits);
            w.sbits(r.ax, bits);
            w.sbits(r.ay, bits);
            break;
        }
        }
    }
    w.ubits(0, 6); // end of shape
    context.emit(Tag(TagCode::DefineShape3, w.take()));
    return id;
}

} // namespace swf
