// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plain models of the SWF records that the reader, the dump and the clip loader look into. Every
// character id a record carries is kept with its byte offset inside the tag body, so that the clip
// loader can renumber ids in place (an id is always a byte-aligned UI16, so renumbering never
// changes a tag's length).

#include "swf/ByteReader.h"
#include "swf/Rect.h"
#include "swf/read/SwfFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf::rec {

using swf::ByteReader;
using swf::Rect;

// Most records (button records, text records, conditions, gradient stops...) in one structure that
// we keep in memory. Real movies stay in the hundreds; the cap bounds memory on hostile input.
inline constexpr size_t kMaxRecordsPerTag = 65536;

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
};

// Scale and rotate terms are 16.16 fixed point, translation in twips.
struct Matrix {
    bool hasScale = false;
    int32_t scaleX = 0x10000;
    int32_t scaleY = 0x10000;
    bool hasRotate = false;
    int32_t rotate0 = 0;
    int32_t rotate1 = 0;
    int32_t translateX = 0;
    int32_t translateY = 0;
};

// Multiply terms are 8.8 fixed point.
struct Cxform {
    bool hasMult = false;
    bool hasAdd = false;
    int32_t mult[4] = { 256, 256, 256, 256 };
    int32_t add[4] = { 0, 0, 0, 0 };
};

// A character id inside a tag body and where it sits.
struct IdRef {
    uint16_t id = 0;
    size_t offset = 0;
};

// A RECT (the reader keeps its own so that it does not depend on the writer's sources).
[[nodiscard]] Rect readBounds(ByteReader& r);
[[nodiscard]] Matrix readMatrix(ByteReader& r);
[[nodiscard]] Cxform readCxform(ByteReader& r, bool withAlpha);
[[nodiscard]] Rgba readRgb(ByteReader& r);
[[nodiscard]] Rgba readRgba(ByteReader& r);

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
};

struct FillStyle {
    uint8_t type = 0; // 00 solid, 10 linear, 12 radial, 13 focal, 40..43 bitmap
    Rgba color;
    Matrix matrix;
    uint8_t gradientFlags = 0; // spread and interpolation bits
    std::vector<GradientStop> stops;
    int16_t focalPoint = 0; // 8.8
    std::optional<IdRef> bitmap;
};

struct LineStyle {
    uint16_t width = 0;
    Rgba color;
    uint16_t flags = 0; // LINESTYLE2 caps, join and options (DefineShape4)
    uint16_t miterLimit = 0;
    std::optional<FillStyle> fill;
};

struct ShapeRecord {
    enum class Kind { StyleChange, Straight, Curved } kind = Kind::StyleChange;
    // StyleChange
    std::optional<std::pair<int32_t, int32_t>> moveTo;
    std::optional<uint32_t> fill0;
    std::optional<uint32_t> fill1;
    std::optional<uint32_t> line;
    bool newStyles = false;
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    // Edges: straight uses dx/dy; curved uses control (dx, dy) then anchor (ax, ay).
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t ax = 0;
    int32_t ay = 0;
};

// Receives the parts of a shape in order, so that long shapes are never held whole in memory.
class ShapeVisitor {
public:
    virtual ~ShapeVisitor() = default;
    virtual void header(uint16_t /*id*/, const Rect& /*bounds*/) { }
    virtual void styles(const std::vector<FillStyle>& /*fills*/, const std::vector<LineStyle>& /*lines*/) { }
    virtual void record(const ShapeRecord& /*rec*/) { }
};

// Walks DefineShape (shapeVersion 1) to DefineShape4 (4). With withId false the body starts at the
// SHAPEWITHSTYLE itself (after the id and bounds of the caller's own framing).
void readShape(std::span<const uint8_t> body, int shapeVersion, ShapeVisitor& visitor);

// Font glyphs: a SHAPE without styles (one fill, one line bit each). Returns edge count.
void readGlyphShape(ByteReader& r, ShapeVisitor& visitor);

// Morph shapes (DefineMorphShape 1 and 2): the fill styles (with their bitmap ids) only.
struct MorphShapeDef {
    uint16_t id = 0;
    Rect startBounds;
    Rect endBounds;
    std::vector<FillStyle> startFills; // start and end halves of each morph fill style
    std::vector<FillStyle> endFills;
    size_t lineStyleCount = 0;
    std::vector<IdRef> bitmaps;
};
[[nodiscard]] MorphShapeDef readMorphShape(std::span<const uint8_t> body, int morphVersion);

struct ButtonRecord {
    uint8_t states = 0; // bit 0 up, 1 over, 2 down, 3 hit test
    IdRef character;
    uint16_t depth = 0;
    Matrix matrix;
    std::optional<Cxform> cxform;
    size_t filterCount = 0;
    std::optional<uint8_t> blendMode;
};

struct ButtonCondition {
    uint16_t conditions = 0; // DefineButton2 condition bits; 0x0008 release for DefineButton
    std::span<const uint8_t> actions;
};

struct ButtonDef {
    uint16_t id = 0;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonCondition> conditions;
};
[[nodiscard]] ButtonDef readButton(std::span<const uint8_t> body, int buttonVersion);

struct SoundInfo {
    uint8_t flags = 0; // 0x20 stop, 0x10 no multiple, 0x08 envelope, 0x04 loops, 0x02 out, 0x01 in
    uint32_t inPoint = 0;
    uint32_t outPoint = 0;
    uint16_t loops = 0;
    size_t envelopePoints = 0;
};
[[nodiscard]] SoundInfo readSoundInfo(ByteReader& r);

struct ButtonSound {
    uint16_t button = 0;
    IdRef sounds[4]; // over-up to idle, idle to over-up, over-up to over-down, over-down to over-up
    SoundInfo info[4];
};
[[nodiscard]] ButtonSound readButtonSound(std::span<const uint8_t> body);

struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0;
};

struct TextRecord {
    std::optional<IdRef> font;
    std::optional<Rgba> color;
    std::optional<int16_t> x;
    std::optional<int16_t> y;
    uint16_t height = 0;
    std::vector<GlyphEntry> glyphs;
};

struct TextDef {
    uint16_t id = 0;
    Rect bounds;
    Matrix matrix;
    uint8_t glyphBits = 0;
    uint8_t advanceBits = 0;
    std::vector<TextRecord> records;
};
[[nodiscard]] TextDef readText(std::span<const uint8_t> body, int textVersion);

struct EditTextDef {
    uint16_t id = 0;
    Rect bounds;
    uint16_t flags = 0; // first flag byte in the high half
    std::optional<IdRef> font;
    std::string fontClass;
    uint16_t height = 0;
    std::optional<Rgba> color;
    std::optional<uint16_t> maxLength;
    bool hasLayout = false;
    uint8_t align = 0;
    uint16_t leftMargin = 0;
    uint16_t rightMargin = 0;
    uint16_t indent = 0;
    int16_t leading = 0;
    std::string variable;
    std::optional<std::string> initialText;
};
[[nodiscard]] EditTextDef readEditText(std::span<const uint8_t> body);

struct ClipAction {
    uint32_t events = 0;
    std::optional<uint8_t> keyCode;
    std::span<const uint8_t> actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3.
struct Placement {
    int placeVersion = 2;
    bool move = false;
    uint16_t depth = 0;
    std::optional<IdRef> character;
    std::optional<std::string> className;
    std::optional<Matrix> matrix;
    std::optional<Cxform> cxform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    size_t filterCount = 0;
    std::optional<uint8_t> blendMode;
    std::optional<uint8_t> cacheAsBitmap;
    std::optional<uint8_t> visible; // PlaceObject3: 0 hides the character
    std::optional<Rgba> backgroundColor; // PlaceObject3: opaque background
    std::vector<ClipAction> clipActions;
    // Where the CLIPACTIONS record starts (its reserved UI16) and ends (after its closing flags),
    // both 0 when the placement has none.
    size_t clipActionsOffset = 0;
    size_t clipActionsEnd = 0;
};
[[nodiscard]] Placement readPlacement(std::span<const uint8_t> body, int placeVersion, uint8_t swfVersion);

// Skips a FILTERLIST (PlaceObject3, DefineButton2 records) and returns the filter count.
size_t skipFilterList(ByteReader& r);

} // namespace swf::rec
