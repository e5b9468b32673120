// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/IdFields.h"

#include "swf/read/Records.h"

namespace swf {

namespace {

using namespace rec;

class BitmapFills : public ShapeVisitor {
public:
    explicit BitmapFills(std::vector<size_t>& out)
        : m_out(out)
    {
    }
    void styles(const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines) override
    {
        for (const auto& f : fills) {
            add(f);
        }
        for (const auto& l : lines) {
            if (l.fill) {
                add(*l.fill);
            }
        }
    }
    void record(const ShapeRecord& rec) override
    {
        if (rec.newStyles) {
            styles(rec.fills, rec.lines);
        }
    }

private:
    void add(const FillStyle& f)
    {
        if (f.bitmap) {
            m_out.push_back(f.bitmap->offset);
        }
    }
    std::vector<size_t>& m_out;
};

std::vector<size_t> ownId(std::span<const uint8_t> body, const char* what)
{
    if (body.size() < 2) {
        throw ParseError(std::string(what) + ": too short for its character id");
    }
    return { 0 };
}

} // namespace

bool idFieldsKnown(uint16_t code)
{
    switch (static_cast<TagCode>(code)) {
    case TagCode::End:
    case TagCode::ShowFrame:
    case TagCode::DefineShape:
    case TagCode::PlaceObject:
    case TagCode::RemoveObject:
    case TagCode::DefineBits:
    case TagCode::DefineButton:
    case TagCode::JPEGTables:
    case TagCode::SetBackgroundColor:
    case TagCode::DefineFont:
    case TagCode::DefineText:
    case TagCode::DoAction:
    case TagCode::DefineFontInfo:
    case TagCode::DefineSound:
    case TagCode::StartSound:
    case TagCode::DefineButtonSound:
    case TagCode::SoundStreamHead:
    case TagCode::SoundStreamBlock:
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsJPEG2:
    case TagCode::DefineShape2:
    case TagCode::DefineButtonCxform:
    case TagCode::PlaceObject2:
    case TagCode::RemoveObject2:
    case TagCode::DefineShape3:
    case TagCode::DefineText2:
    case TagCode::DefineButton2:
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsLossless2:
    case TagCode::DefineEditText:
    case TagCode::DefineSprite:
    case TagCode::FrameLabel:
    case TagCode::SoundStreamHead2:
    case TagCode::DefineMorphShape:
    case TagCode::DefineFont2:
    case TagCode::ExportAssets:
    case TagCode::ImportAssets:
    case TagCode::DoInitAction:
    case TagCode::DefineVideoStream:
    case TagCode::VideoFrame:
    case TagCode::DefineFontInfo2:
    case TagCode::PlaceObject3:
    case TagCode::ImportAssets2:
    case TagCode::DefineFontAlignZones:
    case TagCode::CSMTextSettings:
    case TagCode::DefineFont3:
    case TagCode::DefineScalingGrid:
    case TagCode::DefineShape4:
    case TagCode::DefineMorphShape2:
    case TagCode::DefineFontName:
    case TagCode::DefineBitsJPEG4:
    case TagCode::DefineFont4:
    case TagCode::DefineBinaryData:
        return true;
    default:
        return false;
    }
}

std::vector<size_t> characterIdOffsets(
    uint16_t code, std::span<const uint8_t> body, uint8_t swfVersion, int nesting)
{
    const char* name = tagName(code);
    std::vector<size_t> out;
    switch (static_cast<TagCode>(code)) {
    case TagCode::End:
    case TagCode::ShowFrame:
    case TagCode::JPEGTables:
    case TagCode::SetBackgroundColor:
    case TagCode::DoAction:
    case TagCode::SoundStreamHead:
    case TagCode::SoundStreamBlock:
    case TagCode::RemoveObject2:
    case TagCode::FrameLabel:
    case TagCode::SoundStreamHead2:
        return out;

    // Definitions whose only id is their own, and tags that refer to one character first.
    case TagCode::DefineBits:
    case TagCode::DefineFont:
    case TagCode::DefineSound:
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsJPEG2:
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsLossless2:
    case TagCode::DefineFont2:
    case TagCode::DefineFont3:
    case TagCode::DefineFont4:
    case TagCode::DefineVideoStream:
    case TagCode::DefineBitsJPEG4:
    case TagCode::DefineBinaryData:
    case TagCode::DefineFontInfo:
    case TagCode::DefineFontInfo2:
    case TagCode::DefineButtonCxform:
    case TagCode::DefineFontAlignZones:
    case TagCode::CSMTextSettings:
    case TagCode::DefineScalingGrid:
    case TagCode::DefineFontName:
    case TagCode::DoInitAction:
    case TagCode::VideoFrame:
    case TagCode::RemoveObject:
        return ownId(body, name);

    case TagCode::StartSound: {
        ByteReader r(body, name);
        out.push_back(0);
        (void)r.u16();
        (void)readSoundInfo(r);
        return out;
    }

    case TagCode::DefineShape:
    case TagCode::DefineShape2:
    case TagCode::DefineShape3:
    case TagCode::DefineShape4: {
        const int version = code == 2 ? 1 : code == 22 ? 2 : code == 32 ? 3 : 4;
        out.push_back(0);
        BitmapFills fills(out);
        readShape(body, version, fills);
        return out;
    }

    case TagCode::DefineMorphShape:
    case TagCode::DefineMorphShape2: {
        const auto m = readMorphShape(body, code == 46 ? 1 : 2);
        out.push_back(0);
        for (const auto& b : m.bitmaps) {
            out.push_back(b.offset);
        }
        return out;
    }

    case TagCode::DefineButton:
    case TagCode::DefineButton2: {
        const auto b = readButton(body, code == 7 ? 1 : 2);
        out.push_back(0);
        for (const auto& rec : b.records) {
            out.push_back(rec.character.offset);
        }
        return out;
    }

    case TagCode::DefineButtonSound: {
        const auto s = readButtonSound(body);
        out.push_back(0);
        for (const auto& ref : s.sounds) {
            if (ref.id != 0) { // 0 means no sound for that transition
                out.push_back(ref.offset);
            }
        }
        return out;
    }

    case TagCode::DefineText:
    case TagCode::DefineText2: {
        const auto t = readText(body, code == 11 ? 1 : 2);
        out.push_back(0);
        for (const auto& rec : t.records) {
            if (rec.font) {
                out.push_back(rec.font->offset);
            }
        }
        return out;
    }

    case TagCode::DefineEditText: {
        const auto e = readEditText(body);
        out.push_back(0);
        if (e.font) {
            out.push_back(e.font->offset);
        }
        return out;
    }

    case TagCode::PlaceObject:
    case TagCode::PlaceObject2:
    case TagCode::PlaceObject3: {
        const auto p = readPlacement(body, code == 4 ? 1 : code == 26 ? 2 : 3, swfVersion);
        if (p.character) {
            out.push_back(p.character->offset);
        }
        return out;
    }

    case TagCode::ExportAssets:
    case TagCode::ImportAssets:
    case TagCode::ImportAssets2: {
        ByteReader r(body, name);
        if (code != 56) {
            (void)r.string(); // source URL
            if (code == 71) {
                r.skip(2); // reserved bytes
            }
        }
        const size_t count = r.u16();
        for (size_t i = 0; i < count; ++i) {
            out.push_back(r.pos());
            (void)r.u16();
            (void)r.string();
        }
        return out;
    }

    case TagCode::DefineSprite: {
        if (nesting >= kMaxSpriteNesting) {
            throw ParseError("DefineSprite: sprites nested deeper than " + std::to_string(kMaxSpriteNesting));
        }
        ByteReader r(body, name);
        (void)r.u16();
        (void)r.u16();
        out.push_back(0);
        const auto tags = readTagStream(body.subspan(4), "DefineSprite timeline");
        for (const auto& t : tags) {
            if (!idFieldsKnown(t.code)) {
                throw ParseError(std::string("DefineSprite: cannot take tag ") + tagName(t.code) + " (" +
                    std::to_string(t.code) + ")");
            }
            const auto inner = characterIdOffsets(t.code, t.body, swfVersion, nesting + 1);
            for (const size_t off : inner) {
                out.push_back(4 + t.bodyOffset + off);
            }
        }
        return out;
    }

    default:
        throw ParseError(std::string("cannot take tag ") + name + " (" + std::to_string(code) + ")");
    }
}

} // namespace swf
