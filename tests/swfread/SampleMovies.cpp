// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/swfread/SampleMovies.h"

#include <zlib.h>

#include <stdexcept>

namespace swf::sample {

namespace {

void bitmapFill(ByteWriter& w, uint16_t bitmap)
{
    w.u8(0x41);
    w.u16(bitmap);
    w.ubits(1, 1); // scale 20
    w.ubits(23, 5);
    w.sbits(20 << 16, 23);
    w.sbits(20 << 16, 23);
    w.ubits(0, 1);
    w.ubits(0, 5);
    w.alignBits();
}

} // namespace

void writeRect(ByteWriter& w, int32_t xMax, int32_t yMax)
{
    w.ubits(15, 5);
    w.sbits(0, 15);
    w.sbits(xMax, 15);
    w.sbits(0, 15);
    w.sbits(yMax, 15);
    w.alignBits();
}

void writeTranslate(ByteWriter& w, int32_t x, int32_t y)
{
    w.ubits(0, 1);
    w.ubits(0, 1);
    w.ubits(16, 5);
    w.sbits(x, 16);
    w.sbits(y, 16);
    w.alignBits();
}

std::vector<uint8_t> movie(
    uint8_t version, uint16_t frameCount, const std::vector<Tag>& tags, int compressionLevel)
{
    ByteWriter body;
    writeRect(body, 2000, 2000);
    body.u16(12 << 8);
    body.u16(frameCount);
    for (const auto& t : tags) {
        writeTag(body, t);
    }
    writeTag(body, Tag(TagCode::End, {}));
    const auto rest = body.take();
    ByteWriter head;
    head.u8(compressionLevel < 0 ? 'F' : 'C');
    head.u8('W');
    head.u8('S');
    head.u8(version);
    head.u32(static_cast<uint32_t>(rest.size() + 8));
    auto out = head.take();
    if (compressionLevel < 0) {
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    }
    uLongf size = compressBound(rest.size());
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, rest.data(), rest.size(), compressionLevel) != Z_OK) {
        throw std::runtime_error("compress2 failed");
    }
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
    return out;
}

Tag losslessBitmap(uint16_t id)
{
    ByteWriter w;
    w.u16(id);
    w.u8(5);
    w.u16(2);
    w.u16(2);
    const std::vector<uint8_t> pixels(16, 0xff);
    uLongf size = compressBound(pixels.size());
    std::vector<uint8_t> packed(size);
    compress2(packed.data(), &size, pixels.data(), pixels.size(), 9);
    packed.resize(size);
    w.bytes(packed);
    return Tag(TagCode::DefineBitsLossless2, w.take());
}

Tag bitmapShape(uint16_t id, uint16_t bitmap, int shapeVersion)
{
    ByteWriter w;
    w.u16(id);
    writeRect(w, 40, 40);
    if (shapeVersion == 4) {
        writeRect(w, 40, 40);
        w.u8(0);
    }
    w.u8(1); // one fill style
    bitmapFill(w, bitmap);
    w.u8(0); // no line style
    w.ubits(1, 4);
    w.ubits(0, 4);
    // style change: fill1 = 1, move to (0, 0)
    w.ubits(0, 1);
    w.ubits(0b00101, 5);
    w.ubits(1, 5);
    w.sbits(0, 1);
    w.sbits(0, 1);
    w.ubits(1, 1);
    // straight edge (40, 0) general
    w.ubits(1, 1);
    w.ubits(1, 1);
    w.ubits(5, 4); // 7 bits
    w.ubits(1, 1);
    w.sbits(40, 7);
    w.sbits(0, 7);
    if (shapeVersion >= 2) {
        // style change with new styles: another bitmap fill of the same bitmap
        w.ubits(0, 1);
        w.ubits(0b10100, 5);
        w.ubits(1, 1); // fill1 = 1 with the old fill bits
        w.alignBits();
        w.u8(1);
        bitmapFill(w, bitmap);
        w.u8(0);
        w.ubits(1, 4);
        w.ubits(0, 4);
    }
    // vertical edge (0, 40)
    w.ubits(1, 1);
    w.ubits(1, 1);
    w.ubits(5, 4);
    w.ubits(0, 1);
    w.ubits(1, 1);
    w.sbits(40, 7);
    // end
    w.ubits(0, 6);
    w.alignBits();
    const TagCode codes[] = { TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3,
        TagCode::DefineShape4 };
    return Tag(codes[shapeVersion - 1], w.take());
}

Tag solidShape(uint16_t id)
{
    ByteWriter w;
    w.u16(id);
    writeRect(w, 200, 200);
    w.u8(1);
    w.u8(0);
    w.u8(255);
    w.u8(0);
    w.u8(0);
    w.u8(255);
    w.u8(0);
    w.ubits(1, 4);
    w.ubits(0, 4);
    w.ubits(0, 1);
    w.ubits(0b00100, 5);
    w.ubits(1, 1);
    const int32_t edges[4][2] = { { 200, 0 }, { 0, 200 }, { -200, 0 }, { 0, -200 } };
    for (const auto& e : edges) {
        w.ubits(1, 1);
        w.ubits(1, 1);
        w.ubits(7, 4); // 9 bits
        w.ubits(1, 1);
        w.sbits(e[0], 9);
        w.sbits(e[1], 9);
    }
    w.ubits(0, 6);
    w.alignBits();
    return Tag(TagCode::DefineShape3, w.take());
}

Tag font2(uint16_t id)
{
    ByteWriter w;
    w.u16(id);
    w.u8(0x80); // layout
    w.u8(1);
    w.u8(1);
    w.u8('F');
    w.u16(2);
    // offsets: table 2*2 + code offset 2 = 6; each glyph one byte (empty shape: bits 1/0, end)
    w.u16(6);
    w.u16(8);
    w.u16(10); // code table offset
    for (int g = 0; g < 2; ++g) {
        w.u8(0x10);
        w.u8(0x00);
    }
    w.u8('A');
    w.u8('B');
    w.s16(900);
    w.s16(200);
    w.s16(0);
    w.s16(683);
    w.s16(640);
    for (int g = 0; g < 2; ++g) {
        writeRect(w, 600, 700);
    }
    w.u16(0);
    return Tag(TagCode::DefineFont2, w.take());
}

Tag text2(uint16_t id, uint16_t font)
{
    ByteWriter w;
    w.u16(id);
    writeRect(w, 400, 400);
    w.u8(0);
    w.u8(1); // glyph bits
    w.u8(10); // advance bits
    w.u8(0x8c);
    w.u16(font);
    w.u8(0);
    w.u8(0);
    w.u8(0);
    w.u8(255);
    w.u16(480);
    w.u8(2);
    w.ubits(0, 1);
    w.sbits(320, 10);
    w.ubits(1, 1);
    w.sbits(300, 10);
    w.alignBits();
    w.u8(0);
    return Tag(TagCode::DefineText2, w.take());
}

Tag editText(uint16_t id, uint16_t font)
{
    ByteWriter w;
    w.u16(id);
    writeRect(w, 400, 400);
    w.u8(0x81); // has text, has font
    w.u8(0x00);
    w.u16(font);
    w.u16(240);
    w.string("field");
    w.string("hello");
    return Tag(TagCode::DefineEditText, w.take());
}

Tag button2(uint16_t id, uint16_t state)
{
    ByteWriter w;
    w.u16(id);
    w.u8(0);
    const size_t offsetAt = w.size();
    w.u16(0);
    w.u8(0x0f);
    w.u16(state);
    w.u16(1);
    w.u8(0); // matrix
    w.u8(0); // cxform
    w.u8(0); // end of records
    w.patchU16(offsetAt, static_cast<uint16_t>(w.size() - offsetAt));
    w.u16(0); // last condition
    w.u16(0x0008);
    w.u8(0x07);
    w.u8(0x00);
    return Tag(TagCode::DefineButton2, w.take());
}

Tag buttonSound(uint16_t button, uint16_t sound)
{
    ByteWriter w;
    w.u16(button);
    w.u16(0);
    w.u16(sound);
    w.u8(0);
    w.u16(0);
    w.u16(0);
    return Tag(TagCode::DefineButtonSound, w.take());
}

std::vector<uint8_t> silentMp3Frame()
{
    std::vector<uint8_t> f(417, 0);
    f[0] = 0xff;
    f[1] = 0xfb;
    f[2] = 0x90;
    f[3] = 0x00;
    return f;
}

Tag eventSound(uint16_t id)
{
    ByteWriter w;
    w.u16(id);
    w.u8(0x2f);
    w.u32(1152);
    w.s16(0);
    w.bytes(silentMp3Frame());
    return Tag(TagCode::DefineSound, w.take());
}

Tag startSound(uint16_t sound)
{
    ByteWriter w;
    w.u16(sound);
    w.u8(0x04);
    w.u16(2);
    return Tag(TagCode::StartSound, w.take());
}

Tag place2(uint16_t depth, uint16_t id, int32_t x, int32_t y)
{
    ByteWriter w;
    w.u8(0x06);
    w.u16(depth);
    w.u16(id);
    writeTranslate(w, x, y);
    return Tag(TagCode::PlaceObject2, w.take());
}

Tag place3(uint16_t depth, uint16_t id)
{
    ByteWriter w;
    w.u8(0x06);
    w.u8(0x00);
    w.u16(depth);
    w.u16(id);
    writeTranslate(w, 0, 0);
    return Tag(TagCode::PlaceObject3, w.take());
}

Tag placeWithClipEvents(uint16_t depth, uint16_t id, const std::vector<ClipEvent>& events)
{
    ByteWriter w;
    w.u8(0x80 | 0x20 | 0x02); // clip actions, name, character
    w.u16(depth);
    w.u16(id);
    w.string("clip");
    w.u16(0);
    uint16_t all = 0;
    for (const auto& e : events) {
        all = static_cast<uint16_t>(all | e.events);
    }
    w.u16(all);
    for (const auto& e : events) {
        w.u16(e.events);
        w.u32(static_cast<uint32_t>(e.actions.size()));
        w.bytes(e.actions);
    }
    w.u16(0);
    return Tag(TagCode::PlaceObject2, w.take());
}

Tag sprite(uint16_t id, uint16_t frames, const std::vector<Tag>& tags)
{
    ByteWriter w;
    w.u16(id);
    w.u16(frames);
    for (const auto& t : tags) {
        writeTag(w, t);
    }
    writeTag(w, Tag(TagCode::End, {}));
    return Tag(TagCode::DefineSprite, w.take());
}

Tag exportAssets(uint16_t id, const char* name)
{
    ByteWriter w;
    w.u16(1);
    w.u16(id);
    w.string(name);
    return Tag(TagCode::ExportAssets, w.take());
}

Tag doInitAction(uint16_t spriteId)
{
    ByteWriter w;
    w.u16(spriteId);
    w.u8(0x07);
    w.u8(0x00);
    return Tag(TagCode::DoInitAction, w.take());
}

Tag doAction(std::vector<uint8_t> actions)
{
    return Tag(TagCode::DoAction, std::move(actions));
}

std::vector<uint8_t> traceAction(const std::string& text)
{
    ByteWriter w;
    w.u8(0x96); // push the string
    w.u16(static_cast<uint16_t>(text.size() + 2));
    w.u8(0x00);
    w.string(text);
    w.u8(0x26); // trace
    w.u8(0x00);
    return w.take();
}

Tag morphShape(uint16_t id, uint16_t bitmap)
{
    ByteWriter w;
    w.u16(id);
    writeRect(w, 40, 40);
    writeRect(w, 80, 80);
    const size_t offsetAt = w.size();
    w.u32(0);
    w.u8(1);
    w.u8(0x41);
    w.u16(bitmap);
    writeTranslate(w, 0, 0);
    writeTranslate(w, 20, 20);
    w.u8(0); // no line styles
    w.u8(0x10); // start edges: fill bits 1, line bits 0, end
    w.u8(0x00);
    w.patchU32(offsetAt, static_cast<uint32_t>(w.size() - (offsetAt + 4)));
    w.u8(0x10);
    w.u8(0x00);
    return Tag(TagCode::DefineMorphShape, w.take());
}

Tag fontInfo(uint16_t font)
{
    ByteWriter w;
    w.u16(font);
    w.u8(1);
    w.u8('F');
    w.u8(0);
    w.u8('A');
    w.u8('B');
    return Tag(TagCode::DefineFontInfo, w.take());
}

Tag showFrame()
{
    return Tag(TagCode::ShowFrame, {});
}

std::vector<uint8_t> everyIdMovie(uint8_t version, int compressionLevel)
{
    std::vector<Tag> tags;
    if (version >= 8) {
        tags.emplace_back(TagCode::FileAttributes, std::vector<uint8_t> { 0x00, 0, 0, 0 });
        tags.emplace_back(TagCode::Metadata, std::vector<uint8_t> { '<', 'x', '/', '>', 0 });
    }
    tags.emplace_back(TagCode::SetBackgroundColor, std::vector<uint8_t> { 1, 2, 3 });
    tags.push_back(losslessBitmap(1));
    tags.push_back(bitmapShape(2, 1, 2));
    tags.push_back(font2(3));
    tags.push_back(fontInfo(3));
    tags.push_back(text2(4, 3));
    tags.push_back(editText(5, 3));
    tags.push_back(eventSound(6));
    tags.push_back(button2(7, 2));
    tags.push_back(buttonSound(7, 6));
    tags.push_back(sprite(8, 2, { place2(1, 2, 0, 0), showFrame(), place2(2, 4, 20, 20), showFrame() }));
    tags.push_back(morphShape(9, 1));
    tags.push_back(exportAssets(8, "inner"));
    tags.push_back(doInitAction(8));
    tags.push_back(place2(1, 8, 0, 0));
    tags.push_back(place2(2, 7, 100, 100));
    tags.push_back(place2(3, 5, 0, 200));
    tags.push_back(place2(4, 9, 0, 300));
    tags.push_back(startSound(6));
    tags.push_back(showFrame());
    return movie(version, 1, tags, compressionLevel);
}

} // namespace swf::sample
