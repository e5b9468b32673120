// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Records.h"

namespace swf::rec {

namespace {

void checkCount(ByteReader& r, size_t count, const char* what)
{
    if (count > kMaxRecordsPerTag) {
        r.fail(std::string("more ") + what + " than the limit of " + std::to_string(kMaxRecordsPerTag));
    }
}

IdRef readId(ByteReader& r)
{
    r.alignBits();
    IdRef ref;
    ref.offset = r.pos();
    ref.id = r.u16();
    return ref;
}

std::vector<GradientStop> readGradient(ByteReader& r, bool rgba, uint8_t& flags)
{
    flags = r.u8();
    const size_t count = flags & 0x0fU;
    std::vector<GradientStop> stops(count);
    for (auto& stop : stops) {
        stop.ratio = r.u8();
        stop.color = rgba ? readRgba(r) : readRgb(r);
    }
    return stops;
}

FillStyle readFillStyle(ByteReader& r, int shapeVersion)
{
    FillStyle fill;
    fill.type = r.u8();
    const bool rgba = shapeVersion >= 3;
    switch (fill.type) {
    case 0x00:
        fill.color = rgba ? readRgba(r) : readRgb(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        fill.matrix = readMatrix(r);
        fill.stops = readGradient(r, rgba, fill.gradientFlags);
        if (fill.type == 0x13) {
            fill.focalPoint = r.s16();
        }
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        fill.bitmap = readId(r);
        fill.matrix = readMatrix(r);
        break;
    default:
        r.fail("unknown fill style type " + std::to_string(fill.type));
    }
    return fill;
}

size_t readStyleCount(ByteReader& r, bool extended)
{
    size_t count = r.u8();
    if (count == 0xff && extended) {
        count = r.u16();
    }
    return count;
}

std::vector<FillStyle> readFillStyles(ByteReader& r, int shapeVersion)
{
    const size_t count = readStyleCount(r, shapeVersion >= 2);
    std::vector<FillStyle> fills;
    fills.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        fills.push_back(readFillStyle(r, shapeVersion));
    }
    return fills;
}

std::vector<LineStyle> readLineStyles(ByteReader& r, int shapeVersion)
{
    const size_t count = readStyleCount(r, true);
    std::vector<LineStyle> lines;
    lines.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        LineStyle line;
        line.width = r.u16();
        if (shapeVersion >= 4) {
            line.flags = r.u16();
            // First byte: start cap (2), join (2), has fill, no h-scale, no v-scale, pixel hinting.
            const unsigned join = (line.flags >> 4) & 3U;
            const bool hasFill = (line.flags & 0x08U) != 0;
            if (join == 2) {
                line.miterLimit = r.u16();
            }
            if (hasFill) {
                line.fill = readFillStyle(r, shapeVersion);
            } else {
                line.color = readRgba(r);
            }
        } else {
            line.color = shapeVersion >= 3 ? readRgba(r) : readRgb(r);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Shape records after the styles; `withStyles` false for glyphs (no new styles allowed).
void readShapeRecords(ByteReader& r, int shapeVersion, ShapeVisitor& visitor)
{
    unsigned fillBits = r.ubits(4);
    unsigned lineBits = r.ubits(4);
    while (true) {
        ShapeRecord rec;
        const bool edge = r.ubits(1) != 0;
        if (!edge) {
            const uint32_t flags = r.ubits(5);
            if (flags == 0) {
                break; // end of shape
            }
            rec.kind = ShapeRecord::Kind::StyleChange;
            if (flags & 0x01U) {
                const unsigned bits = r.ubits(5);
                const int32_t x = r.sbits(bits);
                const int32_t y = r.sbits(bits);
                rec.moveTo = std::make_pair(x, y);
            }
            if (flags & 0x02U) {
                rec.fill0 = r.ubits(fillBits);
            }
            if (flags & 0x04U) {
                rec.fill1 = r.ubits(fillBits);
            }
            if (flags & 0x08U) {
                rec.line = r.ubits(lineBits);
            }
            if (flags & 0x10U) {
                if (shapeVersion < 2) {
                    // DefineShape 1 has no new styles; the bit is then the end of the shape.
                    break;
                }
                rec.newStyles = true;
                rec.fills = readFillStyles(r, shapeVersion);
                rec.lines = readLineStyles(r, shapeVersion);
                fillBits = r.ubits(4);
                lineBits = r.ubits(4);
            }
        } else {
            const bool straight = r.ubits(1) != 0;
            const unsigned bits = r.ubits(4) + 2;
            if (straight) {
                rec.kind = ShapeRecord::Kind::Straight;
                const bool general = r.ubits(1) != 0;
                if (general) {
                    rec.dx = r.sbits(bits);
                    rec.dy = r.sbits(bits);
                } else if (r.ubits(1) != 0) {
                    rec.dy = r.sbits(bits);
                } else {
                    rec.dx = r.sbits(bits);
                }
            } else {
                rec.kind = ShapeRecord::Kind::Curved;
                rec.dx = r.sbits(bits);
                rec.dy = r.sbits(bits);
                rec.ax = r.sbits(bits);
                rec.ay = r.sbits(bits);
            }
        }
        visitor.record(rec);
    }
    r.alignBits();
}

FillStyle readMorphFillHalf(ByteReader& r, FillStyle& end)
{
    FillStyle start;
    start.type = r.u8();
    end.type = start.type;
    switch (start.type) {
    case 0x00:
        start.color = readRgba(r);
        end.color = readRgba(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13: {
        start.matrix = readMatrix(r);
        end.matrix = readMatrix(r);
        start.gradientFlags = r.u8();
        end.gradientFlags = start.gradientFlags;
        const size_t count = start.gradientFlags & 0x0fU;
        for (size_t i = 0; i < count; ++i) {
            GradientStop a;
            a.ratio = r.u8();
            a.color = readRgba(r);
            GradientStop b;
            b.ratio = r.u8();
            b.color = readRgba(r);
            start.stops.push_back(a);
            end.stops.push_back(b);
        }
        if (start.type == 0x13) {
            start.focalPoint = r.s16();
            end.focalPoint = r.s16();
        }
        break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        start.bitmap = readId(r);
        end.bitmap = start.bitmap;
        start.matrix = readMatrix(r);
        end.matrix = readMatrix(r);
        break;
    default:
        r.fail("unknown morph fill style type " + std::to_string(start.type));
    }
    return start;
}

} // namespace

Rect readBounds(ByteReader& r)
{
    r.alignBits();
    const unsigned bits = r.ubits(5);
    Rect rect;
    rect.xMin = r.sbits(bits);
    rect.xMax = r.sbits(bits);
    rect.yMin = r.sbits(bits);
    rect.yMax = r.sbits(bits);
    r.alignBits();
    return rect;
}

Matrix readMatrix(ByteReader& r)
{
    r.alignBits();
    Matrix m;
    m.hasScale = r.ubits(1) != 0;
    if (m.hasScale) {
        const unsigned bits = r.ubits(5);
        m.scaleX = r.sbits(bits);
        m.scaleY = r.sbits(bits);
    }
    m.hasRotate = r.ubits(1) != 0;
    if (m.hasRotate) {
        const unsigned bits = r.ubits(5);
        m.rotate0 = r.sbits(bits);
        m.rotate1 = r.sbits(bits);
    }
    const unsigned bits = r.ubits(5);
    m.translateX = r.sbits(bits);
    m.translateY = r.sbits(bits);
    r.alignBits();
    return m;
}

Cxform readCxform(ByteReader& r, bool withAlpha)
{
    r.alignBits();
    Cxform c;
    c.hasAdd = r.ubits(1) != 0;
    c.hasMult = r.ubits(1) != 0;
    const unsigned bits = r.ubits(4);
    const int channels = withAlpha ? 4 : 3;
    if (c.hasMult) {
        for (int i = 0; i < channels; ++i) {
            c.mult[i] = r.sbits(bits);
        }
    }
    if (c.hasAdd) {
        for (int i = 0; i < channels; ++i) {
            c.add[i] = r.sbits(bits);
        }
    }
    r.alignBits();
    return c;
}

Rgba readRgb(ByteReader& r)
{
    Rgba c;
    c.r = r.u8();
    c.g = r.u8();
    c.b = r.u8();
    return c;
}

Rgba readRgba(ByteReader& r)
{
    Rgba c = readRgb(r);
    c.a = r.u8();
    return c;
}

void readShape(std::span<const uint8_t> body, int shapeVersion, ShapeVisitor& visitor)
{
    ByteReader r(body, "DefineShape" + (shapeVersion > 1 ? std::to_string(shapeVersion) : std::string()));
    const uint16_t id = r.u16();
    const Rect bounds = readBounds(r);
    if (shapeVersion >= 4) {
        (void)readBounds(r); // edge bounds
        (void)r.u8(); // stroke hints
    }
    visitor.header(id, bounds);
    auto fills = readFillStyles(r, shapeVersion);
    auto lines = readLineStyles(r, shapeVersion);
    visitor.styles(fills, lines);
    readShapeRecords(r, shapeVersion, visitor);
}

void readGlyphShape(ByteReader& r, ShapeVisitor& visitor)
{
    readShapeRecords(r, 1, visitor);
}

MorphShapeDef readMorphShape(std::span<const uint8_t> body, int morphVersion)
{
    ByteReader r(body, morphVersion > 1 ? "DefineMorphShape2" : "DefineMorphShape");
    MorphShapeDef m;
    m.id = r.u16();
    m.startBounds = readBounds(r);
    m.endBounds = readBounds(r);
    if (morphVersion >= 2) {
        (void)readBounds(r);
        (void)readBounds(r);
        (void)r.u8();
    }
    (void)r.u32(); // offset to the end edges
    const size_t count = readStyleCount(r, true);
    for (size_t i = 0; i < count; ++i) {
        FillStyle end;
        FillStyle start = readMorphFillHalf(r, end);
        if (start.bitmap) {
            m.bitmaps.push_back(*start.bitmap);
        }
        m.startFills.push_back(std::move(start));
        m.endFills.push_back(std::move(end));
    }
    const size_t lineCount = readStyleCount(r, true);
    m.lineStyleCount = lineCount;
    for (size_t i = 0; i < lineCount; ++i) {
        (void)r.u16();
        (void)r.u16();
        if (morphVersion >= 2) {
            const uint16_t flags = r.u16();
            if (((flags >> 4) & 3U) == 2) {
                (void)r.u16();
            }
            if (flags & 0x08U) {
                FillStyle end;
                FillStyle start = readMorphFillHalf(r, end);
                if (start.bitmap) {
                    m.bitmaps.push_back(*start.bitmap);
                }
            } else {
                (void)readRgba(r);
                (void)readRgba(r);
            }
        } else {
            (void)readRgba(r);
            (void)readRgba(r);
        }
    }
    return m;
}

size_t skipFilterList(ByteReader& r)
{
    const size_t count = r.u8();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t type = r.u8();
        switch (type) {
        case 0: // drop shadow
            r.skip(23);
            break;
        case 1: // blur
            r.skip(9);
            break;
        case 2: // glow
            r.skip(15);
            break;
        case 3: // bevel
            r.skip(27);
            break;
        case 4: // gradient glow
        case 7: { // gradient bevel
            const size_t colours = r.u8();
            r.skip(colours * 5 + 19);
            break;
        }
        case 5: { // convolution
            const size_t mx = r.u8();
            const size_t my = r.u8();
            r.skip(8 + mx * my * 4 + 4 + 1);
            break;
        }
        case 6: // colour matrix
            r.skip(80);
            break;
        default:
            r.fail("unknown filter type " + std::to_string(type));
        }
    }
    return count;
}

ButtonDef readButton(std::span<const uint8_t> body, int buttonVersion)
{
    ByteReader r(body, buttonVersion > 1 ? "DefineButton2" : "DefineButton");
    ButtonDef b;
    b.id = r.u16();
    size_t actionStart = 0;
    if (buttonVersion > 1) {
        b.trackAsMenu = (r.u8() & 1U) != 0;
        const size_t at = r.pos();
        const uint16_t offset = r.u16();
        actionStart = offset == 0 ? 0 : at + offset;
    }
    while (true) {
        const uint8_t flags = r.u8();
        if (flags == 0) {
            break;
        }
        checkCount(r, b.records.size(), "button records");
        ButtonRecord rec;
        rec.states = flags & 0x0fU;
        rec.character = readId(r);
        rec.depth = r.u16();
        rec.matrix = readMatrix(r);
        if (buttonVersion > 1) {
            rec.cxform = readCxform(r, true);
            if (flags & 0x10U) {
                rec.filterCount = skipFilterList(r);
            }
            if (flags & 0x20U) {
                rec.blendMode = r.u8();
            }
        }
        b.records.push_back(rec);
    }
    if (buttonVersion == 1) {
        ButtonCondition c;
        c.conditions = 0x0008;
        c.actions = r.bytes(r.remaining());
        b.conditions.push_back(c);
        return b;
    }
    if (actionStart == 0) {
        return b;
    }
    if (actionStart < r.pos() || actionStart > body.size()) {
        r.fail("action offset outside the button");
    }
    r.skip(actionStart - r.pos());
    while (true) {
        checkCount(r, b.conditions.size(), "button conditions");
        const size_t at = r.pos();
        const uint16_t size = r.u16();
        ButtonCondition c;
        c.conditions = r.u16();
        if (size == 0) {
            c.actions = r.bytes(r.remaining());
            b.conditions.push_back(c);
            break;
        }
        if (size < 4) {
            r.fail("button condition shorter than its header");
        }
        c.actions = r.bytes(at + size - r.pos());
        b.conditions.push_back(c);
    }
    return b;
}

SoundInfo readSoundInfo(ByteReader& r)
{
    SoundInfo s;
    s.flags = r.u8();
    if (s.flags & 0x01U) {
        s.inPoint = r.u32();
    }
    if (s.flags & 0x02U) {
        s.outPoint = r.u32();
    }
    if (s.flags & 0x04U) {
        s.loops = r.u16();
    }
    if (s.flags & 0x08U) {
        s.envelopePoints = r.u8();
        r.skip(s.envelopePoints * 8);
    }
    return s;
}

ButtonSound readButtonSound(std::span<const uint8_t> body)
{
    ByteReader r(body, "DefineButtonSound");
    ButtonSound s;
    s.button = r.u16();
    for (int i = 0; i < 4; ++i) {
        s.sounds[i] = readId(r);
        if (s.sounds[i].id != 0) {
            s.info[i] = readSoundInfo(r);
        }
    }
    return s;
}

TextDef readText(std::span<const uint8_t> body, int textVersion)
{
    ByteReader r(body, textVersion > 1 ? "DefineText2" : "DefineText");
    TextDef t;
    t.id = r.u16();
    t.bounds = readBounds(r);
    t.matrix = readMatrix(r);
    t.glyphBits = r.u8();
    t.advanceBits = r.u8();
    if (t.glyphBits > 32 || t.advanceBits > 32) {
        r.fail("glyph or advance field wider than 32 bits");
    }
    while (true) {
        const uint8_t flags = r.u8();
        if (flags == 0) {
            break;
        }
        checkCount(r, t.records.size(), "text records");
        TextRecord rec;
        if (flags & 0x08U) {
            rec.font = readId(r);
        }
        if (flags & 0x04U) {
            rec.color = textVersion > 1 ? readRgba(r) : readRgb(r);
        }
        if (flags & 0x01U) {
            rec.x = r.s16();
        }
        if (flags & 0x02U) {
            rec.y = r.s16();
        }
        if (flags & 0x08U) {
            rec.height = r.u16();
        }
        const size_t count = r.u8();
        rec.glyphs.resize(count);
        for (auto& g : rec.glyphs) {
            g.index = r.ubits(t.glyphBits);
            g.advance = r.sbits(t.advanceBits);
        }
        r.alignBits();
        t.records.push_back(std::move(rec));
    }
    return t;
}

EditTextDef readEditText(std::span<const uint8_t> body)
{
    ByteReader r(body, "DefineEditText");
    EditTextDef e;
    e.id = r.u16();
    e.bounds = readBounds(r);
    e.flags = static_cast<uint16_t>((r.u8() << 8));
    e.flags = static_cast<uint16_t>(e.flags | r.u8());
    const bool hasText = e.flags & 0x8000U;
    const bool hasColor = e.flags & 0x0400U;
    const bool hasMaxLength = e.flags & 0x0200U;
    const bool hasFont = e.flags & 0x0100U;
    const bool hasFontClass = e.flags & 0x0080U;
    e.hasLayout = (e.flags & 0x0020U) != 0;
    if (hasFont) {
        e.font = readId(r);
    }
    if (hasFontClass) {
        e.fontClass = r.string();
    }
    if (hasFont || hasFontClass) {
        e.height = r.u16();
    }
    if (hasColor) {
        e.color = readRgba(r);
    }
    if (hasMaxLength) {
        e.maxLength = r.u16();
    }
    if (e.hasLayout) {
        e.align = r.u8();
        e.leftMargin = r.u16();
        e.rightMargin = r.u16();
        e.indent = r.u16();
        e.leading = r.s16();
    }
    e.variable = r.string();
    if (hasText) {
        e.initialText = r.string();
    }
    return e;
}

Placement readPlacement(std::span<const uint8_t> body, int placeVersion, uint8_t swfVersion)
{
    Placement p;
    p.placeVersion = placeVersion;
    if (placeVersion == 1) {
        ByteReader r(body, "PlaceObject");
        p.character = readId(r);
        p.depth = r.u16();
        p.matrix = readMatrix(r);
        if (!r.atEnd()) {
            p.cxform = readCxform(r, false);
        }
        return p;
    }
    ByteReader r(body, placeVersion == 3 ? "PlaceObject3" : "PlaceObject2");
    const uint8_t flags = r.u8();
    const uint8_t flags2 = placeVersion == 3 ? r.u8() : 0;
    p.move = (flags & 0x01U) != 0;
    p.depth = r.u16();
    const bool hasCharacter = flags & 0x02U;
    const bool hasClassName = (flags2 & 0x08U) || ((flags2 & 0x10U) && hasCharacter);
    if (hasClassName) {
        p.className = r.string();
    }
    if (hasCharacter) {
        p.character = readId(r);
    }
    if (flags & 0x04U) {
        p.matrix = readMatrix(r);
    }
    if (flags & 0x08U) {
        p.cxform = readCxform(r, true);
    }
    if (flags & 0x10U) {
        p.ratio = r.u16();
    }
    if (flags & 0x20U) {
        p.name = r.string();
    }
    if (flags & 0x40U) {
        p.clipDepth = r.u16();
    }
    if (flags2 & 0x01U) {
        p.filterCount = skipFilterList(r);
    }
    if (flags2 & 0x02U) {
        p.blendMode = r.u8();
    }
    if (flags2 & 0x04U) {
        p.cacheAsBitmap = r.u8();
    }
    if (flags2 & 0x20U) {
        p.visible = r.u8();
    }
    if (flags2 & 0x40U) {
        p.backgroundColor = readRgba(r);
    }
    if (flags & 0x80U) {
        const bool wide = swfVersion >= 6;
        p.clipActionsOffset = r.pos();
        (void)r.u16(); // reserved
        (void)(wide ? r.u32() : r.u16()); // all events
        while (true) {
            const uint32_t events = wide ? r.u32() : r.u16();
            if (events == 0) {
                break;
            }
            checkCount(r, p.clipActions.size(), "clip actions");
            ClipAction a;
            a.events = events;
            uint32_t size = r.u32();
            if (wide && (events & 0x00020000U)) { // key press carries its key code
                if (size == 0) {
                    r.fail("clip action without room for its key code");
                }
                a.keyCode = r.u8();
                --size;
            }
            a.actions = r.bytes(size);
            p.clipActions.push_back(a);
        }
        p.clipActionsEnd = r.pos();
    }
    return p;
}

} // namespace swf::rec
