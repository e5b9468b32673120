// SPDX-License-Identifier: GPL-3.0-or-later
// Renumbering of a loaded clip, checked byte by byte. The source file is written here field by
// field, and each builder notes where it put every character id; the host movie is then compared
// with the source at exactly those positions. Nothing here asks the loader's own id tables where
// the ids are, so a field they miss shows up as an old id left in place.

#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/PrebuiltClip.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/ClipHost.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

using namespace swf;

namespace {

// The source file's characters, defined in this order before anything refers to them. The loader
// hands out host ids in the order it first meets the file's ids, so each becomes
// `id - kFirstSourceId + ` the first id free in the host. The numbers are far from the host's own,
// so an id left unrenumbered cannot pass for a renumbered one.
enum SourceId : uint16_t {
    kLossless = 101,
    kBits,
    kJpeg2,
    kJpeg3,
    kLossless2,
    kJpeg4,
    kShape1,
    kShape2,
    kShape3,
    kShape4,
    kMorph1,
    kMorph2,
    kFont1,
    kFont2,
    kFont3,
    kFont4,
    kText1,
    kText2,
    kEditText,
    kSound1,
    kSound2,
    kButton1,
    kButton2,
    kVideo,
    kInnerSprite,
    kOuterSprite,
    kNestingSprite,
    kNestedSprite,
    kDeepSprite,
    kImported1,
    kImported2,
    kClipSprite, // not in the file: the sprite the loader makes of the file's timeline
};
constexpr uint16_t kFirstSourceId = kLossless;
constexpr uint16_t kFileCharacters = kClipSprite - kFirstSourceId;

// A tag with the byte positions, inside its body, of every character id it carries.
struct IdTag {
    Tag tag;
    std::vector<size_t> ids;
};

// A tag body being written; id() and tag() note where character ids go.
class Body {
public:
    ByteWriter w;

    void id(uint16_t value)
    {
        w.alignBits();
        m_ids.push_back(w.size());
        w.u16(value);
    }
    // A whole tag (header and body) inside this body, as in a sprite's timeline.
    void tag(const IdTag& inner)
    {
        writeTag(w, inner.tag);
        const size_t bodyAt = w.size() - inner.tag.body.size();
        for (const size_t at : inner.ids) {
            m_ids.push_back(bodyAt + at);
        }
    }
    IdTag done(TagCode code) { return IdTag { Tag(code, w.take()), std::move(m_ids) }; }

private:
    std::vector<size_t> m_ids;
};

IdTag plain(Tag tag)
{
    return IdTag { std::move(tag), {} };
}

// ---- Records without ids.

// A square RECT from (0, 0).
void rect(ByteWriter& w, int32_t size)
{
    sample::writeRect(w, size, size);
}

// MATRIX with a translation only: five bytes, so the fields after it are not on a guessable byte.
void translate(ByteWriter& w, int32_t x, int32_t y)
{
    sample::writeTranslate(w, x, y);
}

// CXFORM (with or without alpha) that multiplies every channel by one.
void cxform(ByteWriter& w, bool alpha)
{
    w.ubits(0, 1);
    w.ubits(1, 1);
    w.ubits(10, 4);
    for (int i = 0; i < (alpha ? 4 : 3); ++i) {
        w.sbits(256, 10);
    }
    w.alignBits();
}

void colour(ByteWriter& w, bool alpha)
{
    w.u8(200);
    w.u8(100);
    w.u8(50);
    if (alpha) {
        w.u8(255);
    }
}

// A linear gradient, or (focal true, DefineShape4 only) a focal radial one with its focal point.
void gradientFill(ByteWriter& w, bool alpha, bool focal)
{
    w.u8(focal ? 0x13 : 0x10);
    translate(w, 0, 0);
    w.u8(2);
    w.u8(0);
    colour(w, alpha);
    w.u8(255);
    colour(w, alpha);
    if (focal) {
        w.s16(-128);
    }
}

// ---- Records with ids.

void bitmapFill(Body& b, uint16_t bitmap)
{
    b.w.u8(0x41); // clipped bitmap
    b.id(bitmap);
    translate(b.w, 20, 20);
}

// A FILLSTYLEARRAY of the bitmaps' fills (after a gradient from DefineShape3 on, focal in
// DefineShape4, so that the ids
// are not the array's first bytes) and a LINESTYLEARRAY of one line, which in DefineShape4 is
// filled with `lineBitmap` and has a miter join (so a miter limit stands before its fill).
void shapeStyles(Body& b, int version, const std::vector<uint16_t>& fills, std::optional<uint16_t> lineBitmap)
{
    const bool alpha = version >= 3;
    b.w.u8(static_cast<uint8_t>(fills.size() + (alpha ? 1 : 0)));
    if (alpha) {
        gradientFill(b.w, true, version == 4);
    }
    for (const uint16_t bitmap : fills) {
        bitmapFill(b, bitmap);
    }
    b.w.u8(1);
    b.w.u16(20);
    if (version < 4) {
        colour(b.w, alpha);
    } else if (lineBitmap) {
        b.w.u16(0x0028); // miter join, has fill
        b.w.u16(3 << 8);
        bitmapFill(b, *lineBitmap);
    } else {
        b.w.u16(0);
        colour(b.w, true);
    }
}

// DefineShape 1 to 4 with bitmap fills in its first styles and, from DefineShape2 on (DefineShape
// has no new styles), in the new styles of a style change record.
IdTag shape(int version, uint16_t id, const std::vector<uint16_t>& fills, std::optional<uint16_t> lineBitmap,
    const std::vector<uint16_t>& newFills, std::optional<uint16_t> newLineBitmap)
{
    Body b;
    b.id(id);
    rect(b.w, 400);
    if (version == 4) {
        rect(b.w, 400);
        b.w.u8(0);
    }
    shapeStyles(b, version, fills, lineBitmap);
    b.w.ubits(2, 4);
    b.w.ubits(1, 4);
    // Move to (0, 0) with fill 1 on the right, then a straight edge.
    b.w.ubits(0, 1);
    b.w.ubits(0b00101, 5);
    b.w.ubits(1, 5);
    b.w.sbits(0, 1);
    b.w.sbits(0, 1);
    b.w.ubits(1, 2);
    b.w.ubits(1, 1);
    b.w.ubits(1, 1);
    b.w.ubits(5, 4);
    b.w.ubits(1, 1);
    b.w.sbits(40, 7);
    b.w.sbits(0, 7);
    if (!newFills.empty()) {
        b.w.ubits(0, 1);
        b.w.ubits(0b10000, 5);
        shapeStyles(b, version, newFills, newLineBitmap);
        b.w.ubits(2, 4);
        b.w.ubits(1, 4);
    }
    b.w.ubits(0, 6);
    const TagCode codes[] = { TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3,
        TagCode::DefineShape4 };
    return b.done(codes[version - 1]);
}

// Both halves of a MORPHFILLSTYLE of a bitmap.
void morphBitmapFill(Body& b, uint16_t bitmap)
{
    b.w.u8(0x40); // repeating bitmap
    b.id(bitmap);
    translate(b.w, 0, 0);
    translate(b.w, 40, 40);
}

// Start or end edges: fill bits 1, line bits 0, end of shape.
void morphEdges(ByteWriter& w)
{
    w.u8(0x10);
    w.u8(0x00);
}

// DefineMorphShape: a gradient then a bitmap fill, and a plain line.
IdTag morphShape(uint16_t id, uint16_t bitmap)
{
    Body b;
    b.id(id);
    rect(b.w, 40);
    rect(b.w, 80);
    const size_t offsetAt = b.w.size();
    b.w.u32(0);
    b.w.u8(2);
    b.w.u8(0x10);
    translate(b.w, 0, 0);
    translate(b.w, 10, 10);
    b.w.u8(1);
    for (int half = 0; half < 2; ++half) {
        b.w.u8(0);
        colour(b.w, true);
    }
    morphBitmapFill(b, bitmap);
    b.w.u8(1);
    b.w.u16(20);
    b.w.u16(40);
    colour(b.w, true);
    colour(b.w, true);
    morphEdges(b.w);
    b.w.patchU32(offsetAt, static_cast<uint32_t>(b.w.size() - (offsetAt + 4)));
    morphEdges(b.w);
    return b.done(TagCode::DefineMorphShape);
}

// DefineMorphShape2: a bitmap fill, and a line with a miter join filled with another bitmap.
IdTag morphShape2(uint16_t id, uint16_t fillBitmap, uint16_t lineBitmap)
{
    Body b;
    b.id(id);
    for (const int32_t size : { 40, 80, 40, 80 }) {
        rect(b.w, size);
    }
    b.w.u8(0);
    const size_t offsetAt = b.w.size();
    b.w.u32(0);
    b.w.u8(1);
    morphBitmapFill(b, fillBitmap);
    b.w.u8(1);
    b.w.u16(20);
    b.w.u16(40);
    b.w.u16(0x0028); // miter join, has fill
    b.w.u16(3 << 8);
    morphBitmapFill(b, lineBitmap);
    morphEdges(b.w);
    b.w.patchU32(offsetAt, static_cast<uint32_t>(b.w.size() - (offsetAt + 4)));
    morphEdges(b.w);
    return b.done(TagCode::DefineMorphShape2);
}

// A definition whose only id is its own, followed by `rest`.
IdTag ownIdOnly(TagCode code, uint16_t id, const std::vector<uint8_t>& rest)
{
    Body b;
    b.id(id);
    b.w.bytes(rest);
    return b.done(code);
}

// A tag that names one character first and then carries `rest` (font info, align zones, button
// colour transforms, init actions, video frames...).
IdTag aboutCharacter(TagCode code, uint16_t character, const std::vector<uint8_t>& rest)
{
    return ownIdOnly(code, character, rest);
}

IdTag withCode(const Tag& tag, TagCode code)
{
    return IdTag { Tag(code, tag.body), { 0 } };
}

// DefineFont with one empty glyph.
IdTag font1(uint16_t id)
{
    return ownIdOnly(TagCode::DefineFont, id, { 2, 0, 0x10, 0x00 });
}

// DefineText or DefineText2 of two records, each with its own font.
IdTag text(int version, uint16_t id, uint16_t firstFont, uint16_t secondFont)
{
    const bool alpha = version > 1;
    Body b;
    b.id(id);
    rect(b.w, 400);
    translate(b.w, 0, 0);
    b.w.u8(2); // glyph bits
    b.w.u8(9); // advance bits
    b.w.u8(0x8d); // font, colour, x offset
    b.id(firstFont);
    colour(b.w, alpha);
    b.w.s16(20);
    b.w.u16(240);
    b.w.u8(2);
    b.w.ubits(0, 2);
    b.w.sbits(200, 9);
    b.w.ubits(1, 2);
    b.w.sbits(200, 9);
    b.w.u8(0x8a); // font, y offset
    b.id(secondFont);
    b.w.s16(300);
    b.w.u16(240);
    b.w.u8(1);
    b.w.ubits(1, 2);
    b.w.sbits(200, 9);
    b.w.u8(0);
    return b.done(version > 1 ? TagCode::DefineText2 : TagCode::DefineText);
}

IdTag editText(uint16_t id, uint16_t font)
{
    Body b;
    b.id(id);
    rect(b.w, 400);
    b.w.u8(0x87); // text, colour, maximum length, font
    b.w.u8(0x20); // layout
    b.id(font);
    b.w.u16(240);
    colour(b.w, true);
    b.w.u16(40);
    b.w.u8(0);
    b.w.u16(0);
    b.w.u16(0);
    b.w.u16(0);
    b.w.s16(40);
    b.w.string("field");
    b.w.string("hello");
    return b.done(TagCode::DefineEditText);
}

// DefineButton: a shape in every state and another as the hit area, and a stop().
IdTag button1(uint16_t id, uint16_t shown, uint16_t hitArea)
{
    Body b;
    b.id(id);
    b.w.u8(0x07);
    b.id(shown);
    b.w.u16(1);
    translate(b.w, 10, 10);
    b.w.u8(0x08);
    b.id(hitArea);
    b.w.u16(2);
    translate(b.w, 0, 0);
    b.w.u8(0);
    b.w.u8(0x07);
    b.w.u8(0x00);
    return b.done(TagCode::DefineButton);
}

// DefineButton2: a plain record, then one with a blur filter and a blend mode, and a stop().
IdTag button2(uint16_t id, uint16_t shown, uint16_t hitArea)
{
    Body b;
    b.id(id);
    b.w.u8(0);
    const size_t offsetAt = b.w.size();
    b.w.u16(0);
    b.w.u8(0x07);
    b.id(shown);
    b.w.u16(1);
    translate(b.w, 10, 10);
    cxform(b.w, true);
    b.w.u8(0x30 | 0x08); // blend mode, filters, hit test
    b.id(hitArea);
    b.w.u16(2);
    translate(b.w, 0, 0);
    cxform(b.w, true);
    b.w.u8(1);
    b.w.u8(1); // blur
    b.w.bytes(std::vector<uint8_t>(9, 0));
    b.w.u8(1);
    b.w.u8(0);
    b.w.patchU16(offsetAt, static_cast<uint16_t>(b.w.size() - offsetAt));
    b.w.u16(0);
    b.w.u16(0x0008);
    b.w.u8(0x07);
    b.w.u8(0x00);
    return b.done(TagCode::DefineButton2);
}

// DefineButtonSound with no sound for two transitions (id 0, which must stay 0) and a sound for
// the other two, the first with every optional part of its sound info.
IdTag buttonSound(uint16_t button, uint16_t first, uint16_t second)
{
    Body b;
    b.id(button);
    b.w.u16(0);
    b.id(first);
    b.w.u8(0x08 | 0x02 | 0x01); // envelope, out point, in point
    b.w.u32(100);
    b.w.u32(900);
    b.w.u8(1);
    b.w.bytes(std::vector<uint8_t>(8, 0x40));
    b.w.u16(0);
    b.id(second);
    b.w.u8(0x04); // loops
    b.w.u16(3);
    return b.done(TagCode::DefineButtonSound);
}

IdTag scalingGrid(uint16_t character)
{
    Body b;
    b.id(character);
    rect(b.w, 200);
    return b.done(TagCode::DefineScalingGrid);
}

IdTag startSound(uint16_t sound)
{
    return aboutCharacter(TagCode::StartSound, sound, { 0x04, 2, 0 });
}

IdTag place1(uint16_t id, uint16_t depth)
{
    Body b;
    b.id(id);
    b.w.u16(depth);
    translate(b.w, 30, 30);
    cxform(b.w, false);
    return b.done(TagCode::PlaceObject);
}

// PlaceObject2 with a matrix, a ratio and a name; no character when `id` is empty (a move).
IdTag place2(uint16_t depth, std::optional<uint16_t> id)
{
    Body b;
    b.w.u8(id ? 0x3e : 0x3d); // name, ratio, colour transform, matrix, then character or move
    b.w.u16(depth);
    if (id) {
        b.id(*id);
    }
    translate(b.w, 50, 50);
    cxform(b.w, true);
    b.w.u16(0);
    b.w.string("item");
    return b.done(TagCode::PlaceObject2);
}

// PlaceObject3 with a class name before the character (flagged as such, or implied by the image
// flag), then filters and a blend mode.
IdTag place3(uint16_t depth, uint16_t id, bool image = false)
{
    Body b;
    b.w.u8(0x06); // matrix, character
    b.w.u8(image ? 0x10 | 0x02 | 0x01 : 0x08 | 0x02 | 0x01); // (image or) class name, blend, filters
    b.w.u16(depth);
    b.w.string("Gift.Item");
    b.id(id);
    translate(b.w, 60, 60);
    b.w.u8(1);
    b.w.u8(1); // blur
    b.w.bytes(std::vector<uint8_t>(9, 0));
    b.w.u8(2);
    return b.done(TagCode::PlaceObject3);
}

// PlaceObject2 of a character with a load event script. Files of version 5 and older write the
// event flags as UI16, later ones as UI32 (`wide`).
IdTag placeWithEvents(uint16_t depth, uint16_t id, bool wide)
{
    Body b;
    const auto flags = [&](uint32_t value) {
        if (wide) {
            b.w.u32(value);
        } else {
            b.w.u16(static_cast<uint16_t>(value));
        }
    };
    b.w.u8(0x80 | 0x02); // clip actions, character
    b.w.u16(depth);
    b.id(id);
    b.w.u16(0);
    flags(0x0001);
    flags(0x0001);
    b.w.u32(2);
    b.w.u8(0x07);
    b.w.u8(0x00);
    flags(0);
    return b.done(TagCode::PlaceObject2);
}

IdTag removeObject1(uint16_t id, uint16_t depth)
{
    Body b;
    b.id(id);
    b.w.u16(depth);
    return b.done(TagCode::RemoveObject);
}

IdTag removeObject2(uint16_t depth)
{
    ByteWriter w;
    w.u16(depth);
    return plain(Tag(TagCode::RemoveObject2, w.take()));
}

IdTag videoFrame(uint16_t stream, uint16_t frame)
{
    return aboutCharacter(TagCode::VideoFrame, stream,
        { static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 8), 0, 0, 0x84, 0 });
}

IdTag showFrame()
{
    return plain(Tag(TagCode::ShowFrame, {}));
}

IdTag sprite(uint16_t id, uint16_t frames, const std::vector<IdTag>& tags)
{
    Body b;
    b.id(id);
    b.w.u16(frames);
    for (const auto& t : tags) {
        b.tag(t);
    }
    writeTag(b.w, Tag(TagCode::End, {}));
    return b.done(TagCode::DefineSprite);
}

// ExportAssets, or ImportAssets / ImportAssets2 from "lib.swf", of (id, name) pairs.
IdTag assets(TagCode code, const std::vector<std::pair<uint16_t, const char*>>& entries)
{
    Body b;
    if (code != TagCode::ExportAssets) {
        b.w.string("lib.swf");
        if (code == TagCode::ImportAssets2) {
            b.w.u8(1);
            b.w.u8(0);
        }
    }
    b.w.u16(static_cast<uint16_t>(entries.size()));
    for (const auto& [id, name] : entries) {
        b.id(id);
        b.w.string(name);
    }
    return b.done(code);
}

const std::vector<uint8_t> kJpegTables = { 0xff, 0xd8, 0xff, 0xdb, 0xff, 0xd9 };
const std::vector<uint8_t> kJpegImage = { 0xff, 0xd8, 0xff, 0xc0, 0xff, 0xd9 };

// The source file, in the order of the file: its definitions, then its timeline tags.
struct SourceFile {
    std::vector<Tag> dropped; // authoring tags, never in the host
    std::vector<IdTag> definitions;
    std::vector<IdTag> timeline;
    uint16_t frames = 2;
};

// `wideEvents`: clip event flags as a file of version 6 or later writes them.
SourceFile everyIdStructure(bool wideEvents = true)
{
    SourceFile f;
    f.dropped = { Tag(TagCode::FileAttributes, { 0, 0, 0, 0 }),
        Tag(TagCode::Metadata, { '<', 'x', '/', '>', 0 }), Tag(TagCode::SetBackgroundColor, { 1, 2, 3 }),
        Tag(TagCode::JPEGTables, kJpegTables),
        Tag(TagCode::DefineBinaryData, { 0xe7, 0x03, 0, 0, 0, 0, 1, 2 }) };
    auto& d = f.definitions;
    d.push_back(withCode(sample::losslessBitmap(kLossless), TagCode::DefineBitsLossless));
    d.push_back(ownIdOnly(TagCode::DefineBits, kBits, kJpegImage));
    d.push_back(ownIdOnly(TagCode::DefineBitsJPEG2, kJpeg2, kJpegImage));
    auto jpeg3 = kJpegImage;
    jpeg3.insert(jpeg3.begin(), { 6, 0, 0, 0 });
    jpeg3.insert(jpeg3.end(), { 0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01 });
    d.push_back(ownIdOnly(TagCode::DefineBitsJPEG3, kJpeg3, jpeg3));
    d.push_back(withCode(sample::losslessBitmap(kLossless2), TagCode::DefineBitsLossless2));
    auto jpeg4 = jpeg3;
    jpeg4.insert(jpeg4.begin() + 4, { 0, 0 }); // deblocking
    d.push_back(ownIdOnly(TagCode::DefineBitsJPEG4, kJpeg4, jpeg4));

    d.push_back(shape(1, kShape1, { kLossless }, std::nullopt, {}, std::nullopt));
    d.push_back(shape(2, kShape2, { kBits }, std::nullopt, { kJpeg2 }, std::nullopt));
    d.push_back(shape(3, kShape3, { kJpeg3, kLossless }, std::nullopt, { kLossless2 }, std::nullopt));
    d.push_back(shape(4, kShape4, { kJpeg4 }, kJpeg2, { kJpeg3 }, kLossless2));
    d.push_back(morphShape(kMorph1, kJpeg2));
    d.push_back(morphShape2(kMorph2, kLossless2, kJpeg4));

    d.push_back(font1(kFont1));
    d.push_back(aboutCharacter(TagCode::DefineFontInfo, kFont1, { 1, 'F', 0, 'A' }));
    d.push_back(withCode(sample::font2(kFont2), TagCode::DefineFont2));
    d.push_back(aboutCharacter(TagCode::DefineFontInfo2, kFont2, { 1, 'G', 0x01, 1, 'A', 0, 'B', 0 }));
    d.push_back(withCode(sample::font2(kFont3), TagCode::DefineFont3));
    d.push_back(aboutCharacter(TagCode::DefineFontAlignZones, kFont3,
        { 0x40, 2, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 3 }));
    d.push_back(aboutCharacter(TagCode::DefineFontName, kFont3, { 'H', 0, 'c', 0 }));
    d.push_back(ownIdOnly(TagCode::DefineFont4, kFont4, { 0, 'K', 0 }));

    d.push_back(text(1, kText1, kFont1, kFont2));
    d.push_back(text(2, kText2, kFont2, kFont3));
    d.push_back(aboutCharacter(TagCode::CSMTextSettings, kText2, { 0x48, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));
    d.push_back(editText(kEditText, kFont3));
    d.push_back(aboutCharacter(TagCode::CSMTextSettings, kEditText, { 0x48, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));

    d.push_back(withCode(sample::eventSound(kSound1), TagCode::DefineSound));
    d.push_back(withCode(sample::eventSound(kSound2), TagCode::DefineSound));

    d.push_back(button1(kButton1, kShape1, kShape2));
    d.push_back(aboutCharacter(TagCode::DefineButtonCxform, kButton1, { 0 }));
    d.push_back(buttonSound(kButton1, kSound1, kSound2));
    d.push_back(button2(kButton2, kShape3, kText1));
    d.push_back(buttonSound(kButton2, kSound2, kSound1));
    d.push_back(scalingGrid(kButton2));

    d.push_back(ownIdOnly(TagCode::DefineVideoStream, kVideo, { 2, 0, 32, 0, 32, 0, 0, 2 }));

    // A sprite placed in a sprite, each with its own timeline.
    d.push_back(sprite(kInnerSprite, 2,
        { place1(kShape1, 1), place2(2, kText2), place3(3, kEditText), place2(4, kVideo),
            placeWithEvents(5, kShape3, wideEvents), videoFrame(kVideo, 0), startSound(kSound1), showFrame(),
            removeObject1(kShape1, 1), removeObject2(2), place2(3, std::nullopt), videoFrame(kVideo, 1),
            showFrame() }));
    d.push_back(sprite(kOuterSprite, 1,
        { place2(1, kInnerSprite), place3(2, kButton2, true), place1(kShape4, 3), showFrame() }));
    // Sprites defined inside a sprite's timeline, two levels down: not what authoring tools write,
    // but the loader takes them, so their ids must move too.
    d.push_back(sprite(kNestingSprite, 1,
        { sprite(kNestedSprite, 1,
              { sprite(kDeepSprite, 1, { place2(1, kShape2), showFrame() }), place2(1, kDeepSprite),
                  showFrame() }),
            place2(1, kNestedSprite), showFrame() }));
    d.push_back(assets(TagCode::ExportAssets, { { kOuterSprite, "outer" }, { kButton2, "button" } }));
    d.push_back(assets(TagCode::ImportAssets, { { kImported1, "shared" } }));
    d.push_back(assets(TagCode::ImportAssets2, { { kImported2, "shared2" } }));

    auto& t = f.timeline;
    t.push_back(place1(kMorph1, 1));
    t.push_back(place2(2, kMorph2));
    t.push_back(place2(3, kOuterSprite));
    t.push_back(place3(4, kButton1));
    t.push_back(place2(5, kText1));
    t.push_back(placeWithEvents(8, kShape2, wideEvents));
    t.push_back(aboutCharacter(TagCode::DoInitAction, kOuterSprite, { 0x07, 0x00 }));
    t.push_back(startSound(kSound2));
    t.push_back(plain(Tag(TagCode::FrameLabel, { 'g', 'o', 0 })));
    t.push_back(plain(Tag(TagCode::DoAction, { 0x07, 0x00 })));
    t.push_back(showFrame());
    t.push_back(removeObject1(kMorph1, 1));
    t.push_back(place2(6, kImported1));
    t.push_back(place2(7, kImported2));
    t.push_back(showFrame());
    return f;
}

std::vector<uint8_t> fileOf(const SourceFile& f, int compressionLevel, uint8_t version = 8)
{
    std::vector<Tag> tags = f.dropped;
    for (const auto& part : { &f.definitions, &f.timeline }) {
        for (const auto& t : *part) {
            tags.push_back(t.tag);
        }
    }
    return sample::movie(version, f.frames, tags, compressionLevel);
}

// What the host must hold for the clip: the definitions as they were, except DefineBits, which
// carries the file's JPEG tables as a DefineBitsJPEG2, then the sprite of the timeline without its
// DoInitAction tags, then those tags, on the host's main timeline.
std::vector<IdTag> expectedInHost(const SourceFile& f)
{
    std::vector<IdTag> out;
    for (const auto& d : f.definitions) {
        if (d.tag.code == static_cast<uint16_t>(TagCode::DefineBits)) {
            auto body = d.tag.body;
            body.insert(body.begin() + 2, kJpegTables.begin(), kJpegTables.end());
            out.push_back(IdTag { Tag(TagCode::DefineBitsJPEG2, std::move(body)), d.ids });
        } else {
            out.push_back(d);
        }
    }
    std::vector<IdTag> timeline;
    std::vector<IdTag> initActions;
    for (const auto& t : f.timeline) {
        (t.tag.code == static_cast<uint16_t>(TagCode::DoInitAction) ? initActions : timeline).push_back(t);
    }
    out.push_back(sprite(kClipSprite, f.frames, timeline));
    out.insert(out.end(), initActions.begin(), initActions.end());
    return out;
}

uint16_t u16At(std::span<const uint8_t> body, size_t at)
{
    return static_cast<uint16_t>(body[at] | (body[at + 1] << 8));
}

// Compares a host tag with its source: at every id position the renumbered id, everywhere else
// the same bytes. Returns the differences, one a line.
std::string differences(const Tag& actual, const IdTag& source, uint16_t firstHostId)
{
    std::ostringstream out;
    if (actual.code != source.tag.code || actual.body.size() != source.tag.body.size()) {
        out << "got " << tagName(actual.code) << " of " << actual.body.size() << " bytes, want "
            << tagName(source.tag.code) << " of " << source.tag.body.size() << " bytes\n";
        return out.str();
    }
    std::vector<uint8_t> expected = source.tag.body;
    std::vector<bool> isId(expected.size(), false);
    for (const size_t at : source.ids) {
        const uint16_t old = u16At(expected, at);
        if (old < kFirstSourceId || old > kClipSprite) {
            out << "test fault: id " << old << " at byte " << at << " is not a source id\n";
            continue;
        }
        const auto renumbered = static_cast<uint16_t>(old - kFirstSourceId + firstHostId);
        expected[at] = static_cast<uint8_t>(renumbered);
        expected[at + 1] = static_cast<uint8_t>(renumbered >> 8);
        isId[at] = true;
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (isId[i] && u16At(actual.body, i) != u16At(expected, i)) {
            out << "id at byte " << i << ": " << u16At(actual.body, i) << ", want " << u16At(expected, i)
                << " (source id " << u16At(source.tag.body, i) << ")\n";
            ++i;
        } else if (!isId[i] && (i == 0 || !isId[i - 1]) && actual.body[i] != expected[i]) {
            out << "byte " << i << " changed from " << int { expected[i] } << " to " << int { actual.body[i] }
                << "\n";
        }
    }
    return out.str();
}

// Host characters defined before the clips, so that the clips' ids start at kHostCharacters + 1.
constexpr uint16_t kHostCharacters = 3;

// Index of the first run of host tags, from `from` on, with the codes of `expected`.
size_t findRun(const std::vector<Tag>& tags, const std::vector<IdTag>& expected, size_t from)
{
    for (size_t i = from; i + expected.size() <= tags.size(); ++i) {
        bool match = true;
        for (size_t j = 0; j < expected.size() && match; ++j) {
            match = tags[i + j].code == expected[j].tag.code;
        }
        if (match) {
            return i;
        }
    }
    return tags.size();
}

bool isShapeDefinition(uint16_t code)
{
    return code == 2 || code == 22 || code == 32 || code == 83;
}

} // namespace

TEST(ClipRenumbering, EveryIdFieldHoldsItsHostIdAndNothingElseChanges)
{
    const auto source = everyIdStructure();
    const auto expected = expectedInHost(source);
    for (const int level : { -1, 9 }) {
        SCOPED_TRACE(level < 0 ? "FWS" : "CWS");
        const auto clip = PrebuiltClip::fromBytes(fileOf(source, level));
        EXPECT_EQ(clip->frameCount(), source.frames);
        const auto host = readSwf(test::hostWith({ clip }, kHostCharacters));
        const size_t at = findRun(host.tags, expected, 0);
        ASSERT_LT(at, host.tags.size()) << "the clip's tags are not in the host in the file's order";
        for (size_t i = 0; i < expected.size(); ++i) {
            const std::string diff = differences(host.tags[at + i], expected[i], kHostCharacters + 1);
            EXPECT_TRUE(diff.empty()) << "tag " << i << ", " << tagName(expected[i].tag.code) << ":\n"
                                      << diff;
        }
        // The clip took one id for each of its characters and one for its sprite, no more: the
        // host's next shape gets the id right after them.
        const auto next = static_cast<uint16_t>(kHostCharacters + kFileCharacters + 2);
        bool found = false;
        for (size_t i = at + expected.size(); i < host.tags.size() && !found; ++i) {
            if (isShapeDefinition(host.tags[i].code)) {
                EXPECT_EQ(u16At(host.tags[i].body, 0), next);
                found = true;
            }
        }
        EXPECT_TRUE(found) << "no host shape after the clip";
        for (const auto& t : host.tags) {
            for (const auto& dropped : source.dropped) {
                if (dropped.code != static_cast<uint16_t>(TagCode::SetBackgroundColor)) {
                    EXPECT_NE(t.code, dropped.code) << tagName(dropped.code) << " reached the host";
                }
            }
        }
    }
}

TEST(ClipRenumbering, TwoLoadsOfTheSameFileTakeSeparateIds)
{
    const auto source = everyIdStructure();
    const auto expected = expectedInHost(source);
    const auto file = fileOf(source, -1);
    const auto host = readSwf(
        test::hostWith({ PrebuiltClip::fromBytes(file), PrebuiltClip::fromBytes(file) }, kHostCharacters));
    size_t at = 0;
    uint16_t firstId = kHostCharacters + 1;
    for (int copy = 0; copy < 2; ++copy) {
        SCOPED_TRACE("copy " + std::to_string(copy + 1));
        at = findRun(host.tags, expected, at);
        ASSERT_LT(at, host.tags.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const std::string diff = differences(host.tags[at + i], expected[i], firstId);
            EXPECT_TRUE(diff.empty()) << "tag " << i << ", " << tagName(expected[i].tag.code) << ":\n"
                                      << diff;
        }
        at += expected.size();
        firstId = static_cast<uint16_t>(firstId + kFileCharacters + 1);
    }
}

TEST(ClipRenumbering, SoundsStartedByClassNameAreRefused)
{
    // StartSound2 names an ActionScript 3 class rather than a character id.
    const auto file = sample::movie(
        9, 1, { sample::eventSound(1), Tag(TagCode::StartSound2, { 'S', 0, 0 }), sample::showFrame() });
    try {
        (void)PrebuiltClip::fromBytes(file);
        ADD_FAILURE() << "StartSound2 was accepted";
    } catch (const ParseError& e) {
        EXPECT_NE(std::string(e.what()).find("StartSound2"), std::string::npos) << e.what();
    }
}

TEST(ClipRenumbering, IdsAfterWidenedClipEventsOfAVersion5FileStillMove)
{
    // The version 6 host reads clip event flags as UI32, so the loader widens the file's UI16 flags,
    // which moves every byte after them, in sprites too.
    const auto clip = PrebuiltClip::fromBytes(fileOf(everyIdStructure(false), -1, 5));
    const auto expected = expectedInHost(everyIdStructure(true));
    const auto host = readSwf(test::hostWith({ clip }, kHostCharacters));
    const size_t at = findRun(host.tags, expected, 0);
    ASSERT_LT(at, host.tags.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string diff = differences(host.tags[at + i], expected[i], kHostCharacters + 1);
        EXPECT_TRUE(diff.empty()) << "tag " << i << ", " << tagName(expected[i].tag.code) << ":\n" << diff;
    }
}
