// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Bitmap.h"
#include "swf/Character.h"
#include "swf/Color.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace swf {

// How a bitmap fill repeats outside the bitmap.
enum class BitmapFillKind : uint8_t {
    Tiled = 0x40,
    Clipped = 0x41,
};

// A fill style of one shape: the 1-based index that setRightFill/setLeftFill select.
struct Fill {
    uint16_t index = 0;
};

// A DefineShape3 drawn with a pen, in pixels: fills with RGBA colours or bitmaps, straight and
// curved edges, no line styles. The bounds are the box of every point the edges touch.
class Shape : public Character {
public:
    Shape() = default;

    [[nodiscard]] Fill addSolidFill(Color color);
    // A bitmap fill scaled so that one bitmap pixel is one pixel, anchored at the shape's origin.
    [[nodiscard]] Fill addBitmapFill(
        std::shared_ptr<const Bitmap> bitmap, BitmapFillKind kind = BitmapFillKind::Clipped);
    // The fill to the right (FillStyle1) or the left (FillStyle0) of the edges drawn next.
    void setRightFill(Fill fill);
    void setLeftFill(Fill fill);

    void movePenTo(float x, float y);
    void movePen(float dx, float dy);
    // A straight edge by (dx, dy) from the pen.
    void drawLine(float dx, float dy);
    void drawLineTo(float x, float y);
    // A quadratic curve: control point by (controlDx, controlDy) from the pen, anchor by
    // (anchorDx, anchorDy) from the control point.
    void drawCurve(float controlDx, float controlDy, float anchorDx, float anchorDy);
    // The outline of a width x height rectangle from the origin: right, down, left, up.
    void drawRectangle(float width, float height);
    // Closes the drawing; later drawing calls throw swf::Error. Output closes it anyway.
    void end();

    [[nodiscard]] bool isEnded() const { return m_ended; }
    [[nodiscard]] size_t fillCount() const { return m_fills.size(); }

    // A rectangle of the bitmap's size filled with it (clipped), origin at its top-left corner.
    [[nodiscard]] static std::shared_ptr<Shape> fromBitmap(std::shared_ptr<const Bitmap> bitmap);
    // A width x height rectangle of one colour (fill on the right), origin at its top-left corner.
    [[nodiscard]] static std::shared_ptr<Shape> filledRectangle(float width, float height, Color color);

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    struct FillStyle {
        Color color;
        std::shared_ptr<const Bitmap> bitmap;
        BitmapFillKind kind = BitmapFillKind::Clipped;
    };
    // One shape record, in twips: a style change (move and/or fill selection) or an edge.
    struct Record {
        enum class Kind : uint8_t { StyleChange, Line, Curve } kind = Kind::StyleChange;
        bool move = false;
        int32_t x = 0; // move target, or the edge's delta (for a curve, the control delta)
        int32_t y = 0;
        int32_t ax = 0; // a curve's anchor delta
        int32_t ay = 0;
        std::optional<uint16_t> fill0;
        std::optional<uint16_t> fill1;
    };

    void checkOpen() const;
    Record& pendingStyleChange();
    void addLine(int32_t dx, int32_t dy);
    void include(int32_t x, int32_t y);

    std::vector<FillStyle> m_fills;
    std::vector<Record> m_records;
    int32_t m_penX = 0;
    int32_t m_penY = 0;
    int32_t m_minX = 0;
    int32_t m_minY = 0;
    int32_t m_maxX = 0;
    int32_t m_maxY = 0;
    bool m_hasBounds = false;
    bool m_ended = false;
};

} // namespace swf
