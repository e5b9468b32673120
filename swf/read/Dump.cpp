// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Dump.h"

#include "swf/read/DumpText.h"
#include "swf/read/Records.h"
#include "swf/read/SwfFile.h"

#include <cstdio>

namespace swf {

namespace {

using namespace rec;

std::string colour(const Rgba& c, bool alpha)
{
    char buf[16];
    if (alpha) {
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X%02X", c.r, c.g, c.b, c.a);
    } else {
        std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    }
    return buf;
}

std::string rect(const Rect& r)
{
    return "(" + std::to_string(r.xMin) + ", " + std::to_string(r.yMin) + ")-(" + std::to_string(r.xMax) +
        ", " + std::to_string(r.yMax) + ")";
}

std::string fixed16(int32_t v)
{
    return number(v / 65536.0);
}

std::string matrix(const Matrix& m)
{
    std::string out = "[";
    if (m.hasScale) {
        out += "scale " + fixed16(m.scaleX) + " " + fixed16(m.scaleY) + " ";
    }
    if (m.hasRotate) {
        out += "rotate " + fixed16(m.rotate0) + " " + fixed16(m.rotate1) + " ";
    }
    return out + "translate " + std::to_string(m.translateX) + " " + std::to_string(m.translateY) + "]";
}

std::string cxform(const Cxform& c)
{
    std::string out = "[";
    if (c.hasMult) {
        out += "mult";
        for (int i = 0; i < 4; ++i) {
            out += " " + std::to_string(c.mult[i]);
        }
    }
    if (c.hasAdd) {
        out += std::string(c.hasMult ? " " : "") + "add";
        for (int i = 0; i < 4; ++i) {
            out += " " + std::to_string(c.add[i]);
        }
    }
    return out + "]";
}

std::string fillStyle(const FillStyle& f, bool alpha)
{
    char type[8];
    std::snprintf(type, sizeof type, "%02x", f.type);
    switch (f.type) {
    case 0x00:
        return "solid " + colour(f.color, alpha);
    case 0x10:
    case 0x12:
    case 0x13: {
        std::string out = std::string(f.type == 0x10 ? "linear"
                                  : f.type == 0x12   ? "radial"
                                                     : "focal") +
            " gradient " + matrix(f.matrix) + " flags " + std::to_string(f.gradientFlags >> 4);
        for (const auto& s : f.stops) {
            out += " " + std::to_string(s.ratio) + ":" + colour(s.color, alpha);
        }
        if (f.type == 0x13) {
            out += " focal " + number(f.focalPoint / 256.0);
        }
        return out;
    }
    default:
        return std::string("bitmap ") + type + " id " + std::to_string(f.bitmap ? f.bitmap->id : 0) + " " +
            matrix(f.matrix);
    }
}

class ShapeDump : public ShapeVisitor {
public:
    ShapeDump(std::string& out, std::string indent, bool alpha)
        : m_out(out)
        , m_indent(std::move(indent))
        , m_alpha(alpha)
    {
    }
    void header(uint16_t id, const Rect& bounds) override
    {
        m_out += " id " + std::to_string(id) + " bounds " + rect(bounds) + "\n";
    }
    void styles(const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines) override
    {
        for (size_t i = 0; i < fills.size(); ++i) {
            m_out += m_indent + "fill " + std::to_string(i + 1) + ": " + fillStyle(fills[i], m_alpha) + "\n";
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            const auto& l = lines[i];
            m_out += m_indent + "line " + std::to_string(i + 1) + ": width " + std::to_string(l.width) + " " +
                (l.fill ? fillStyle(*l.fill, true) : colour(l.color, m_alpha));
            if (l.flags) {
                m_out += " flags " + std::to_string(l.flags);
            }
            m_out += "\n";
        }
    }
    void record(const ShapeRecord& r) override
    {
        switch (r.kind) {
        case ShapeRecord::Kind::StyleChange:
            m_out += m_indent + "style";
            if (r.moveTo) {
                m_out += " move " + std::to_string(r.moveTo->first) + " " + std::to_string(r.moveTo->second);
            }
            if (r.fill0) {
                m_out += " fill0 " + std::to_string(*r.fill0);
            }
            if (r.fill1) {
                m_out += " fill1 " + std::to_string(*r.fill1);
            }
            if (r.line) {
                m_out += " line " + std::to_string(*r.line);
            }
            m_out += r.newStyles ? " new styles\n" : "\n";
            if (r.newStyles) {
                ShapeDump inner(m_out, m_indent + "  ", m_alpha);
                inner.styles(r.fills, r.lines);
            }
            break;
        case ShapeRecord::Kind::Straight:
            m_out += m_indent + "line " + std::to_string(r.dx) + " " + std::to_string(r.dy) + "\n";
            break;
        case ShapeRecord::Kind::Curved:
            m_out += m_indent + "curve " + std::to_string(r.dx) + " " + std::to_string(r.dy) + " " +
                std::to_string(r.ax) + " " + std::to_string(r.ay) + "\n";
            break;
        }
    }

private:
    std::string& m_out;
    std::string m_indent;
    bool m_alpha;
};

struct JpegSize {
    int width = 0;
    int height = 0;
};

JpegSize jpegSize(std::span<const uint8_t> d)
{
    // The first start-of-frame marker of any of the JPEG streams in the data gives the size.
    for (size_t i = 0; i + 8 < d.size(); ++i) {
        if (d[i] != 0xff) {
            continue;
        }
        const uint8_t m = d[i + 1];
        if (m >= 0xc0 && m <= 0xcf && m != 0xc4 && m != 0xc8 && m != 0xcc) {
            return { (d[i + 7] << 8) | d[i + 8], (d[i + 5] << 8) | d[i + 6] };
        }
    }
    return {};
}

std::string soundFormat(uint8_t f)
{
    static const char* const kFormats[16] = { "raw", "ADPCM", "MP3", "raw LE", "Nellymoser 16k",
        "Nellymoser 8k", "Nellymoser", "7", "8", "9", "10", "Speex", "12", "13", "14", "15" };
    static const char* const kRates[4] = { "5512", "11025", "22050", "44100" };
    return std::string(kFormats[f >> 4]) + " " + kRates[(f >> 2) & 3U] + " Hz " +
        ((f & 2U) ? "16-bit" : "8-bit") + ((f & 1U) ? " stereo" : " mono");
}

std::string soundInfo(const SoundInfo& s)
{
    std::string out;
    if (s.flags & 0x20U) {
        out += " stop";
    }
    if (s.flags & 0x10U) {
        out += " no-multiple";
    }
    if (s.flags & 0x01U) {
        out += " in " + std::to_string(s.inPoint);
    }
    if (s.flags & 0x02U) {
        out += " out " + std::to_string(s.outPoint);
    }
    if (s.flags & 0x04U) {
        out += " loops " + std::to_string(s.loops);
    }
    if (s.flags & 0x08U) {
        out += " envelope " + std::to_string(s.envelopePoints);
    }
    return out;
}

std::string conditionNames(uint16_t c)
{
    static const char* const kNames[9] = { "idle-to-over-up", "over-up-to-idle", "over-up-to-over-down",
        "over-down-to-over-up", "over-down-to-out-down", "out-down-to-over-down", "out-down-to-idle",
        "idle-to-over-down", "over-down-to-idle" };
    std::string out;
    for (int i = 0; i < 9; ++i) {
        if (c & (1U << i)) {
            out += std::string(out.empty() ? "" : "|") + kNames[i];
        }
    }
    if (c >> 9) {
        out += std::string(out.empty() ? "" : "|") + "key " + std::to_string(c >> 9);
    }
    return out.empty() ? "none" : out;
}

std::string codeList(ByteReader& r, size_t count, bool wide)
{
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += " " + std::to_string(wide ? r.u16() : r.u8());
    }
    return out;
}

class Dumper {
public:
    explicit Dumper(uint8_t version)
        : m_version(version)
    {
    }

    void tags(std::span<const uint8_t> data, const std::string& indent, int nesting, std::string& out)
    {
        std::vector<TagView> list;
        try {
            list = readTagStream(data, "tags");
        } catch (const ParseError& e) {
            out += indent + "(damaged tag stream: " + e.what() + ")\n";
            return;
        }
        for (const auto& t : list) {
            out += indent + tagName(t.code) + " (" + std::to_string(t.code) + ") " +
                std::to_string(t.body.size()) + " bytes";
            std::string body;
            try {
                tag(t, indent + "  ", nesting, out, body);
            } catch (const ParseError& e) {
                out += "\n" + indent + "  (damaged: " + e.what() + ")";
            }
            out += "\n" + body;
        }
        out += indent + "End\n";
    }

private:
    void tag(const TagView& t, const std::string& in, int nesting, std::string& line, std::string& out)
    {
        const auto body = t.body;
        ByteReader r(body, tagName(t.code));
        switch (static_cast<TagCode>(t.code)) {
        case TagCode::SetBackgroundColor:
            line += " " + colour(readRgb(r), false);
            break;
        case TagCode::FrameLabel:
            line += " " + quoted(r.string());
            if (!r.atEnd()) {
                line += " anchor";
            }
            break;
        case TagCode::DefineShape:
        case TagCode::DefineShape2:
        case TagCode::DefineShape3:
        case TagCode::DefineShape4: {
            const int v = t.code == 2 ? 1 : t.code == 22 ? 2 : t.code == 32 ? 3 : 4;
            std::string rest;
            ShapeDump dump(rest, in, v >= 3);
            readShape(body, v, dump);
            // header() wrote " id .. bounds ..\n" at the start of rest: move it onto the tag line.
            const size_t nl = rest.find('\n');
            line += rest.substr(0, nl);
            out += rest.substr(nl + 1);
            break;
        }
        case TagCode::DefineMorphShape:
        case TagCode::DefineMorphShape2: {
            const auto m = readMorphShape(body, t.code == 46 ? 1 : 2);
            line +=
                " id " + std::to_string(m.id) + " start " + rect(m.startBounds) + " end " + rect(m.endBounds);
            for (size_t i = 0; i < m.startFills.size(); ++i) {
                out += in + "fill " + std::to_string(i + 1) + ": " + fillStyle(m.startFills[i], true) +
                    " -> " + fillStyle(m.endFills[i], true) + "\n";
            }
            out += in + "lines " + std::to_string(m.lineStyleCount) + "\n";
            break;
        }
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4: {
            const uint16_t id = r.u16();
            size_t alphaOffset = 0;
            if (t.code == 35 || t.code == 90) {
                alphaOffset = r.u32();
            }
            if (t.code == 90) {
                (void)r.u16();
            }
            const auto rest = r.bytes(r.remaining());
            const auto image = alphaOffset ? rest.first(std::min(alphaOffset, rest.size())) : rest;
            const auto size = jpegSize(image);
            line += " id " + std::to_string(id) + " size " + std::to_string(size.width) + "x" +
                std::to_string(size.height) + " data " + std::to_string(image.size()) + " bytes";
            if (alphaOffset) {
                line += " alpha " + std::to_string(rest.size() - image.size()) + " bytes";
            }
            break;
        }
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: {
            const uint16_t id = r.u16();
            const uint8_t format = r.u8();
            const uint16_t w = r.u16();
            const uint16_t h = r.u16();
            line += " id " + std::to_string(id) + " format " + std::to_string(format) + " size " +
                std::to_string(w) + "x" + std::to_string(h);
            if (format == 3) {
                line += " palette " + std::to_string(r.u8() + 1);
            }
            line += " zlib " + std::to_string(r.remaining()) + " bytes";
            break;
        }
        case TagCode::JPEGTables:
            break;
        case TagCode::DefineFont: {
            const uint16_t id = r.u16();
            const size_t glyphs = body.size() >= 4 ? static_cast<size_t>(r.u16()) / 2 : 0;
            line += " id " + std::to_string(id) + " glyphs " + std::to_string(glyphs);
            break;
        }
        case TagCode::DefineFont2:
        case TagCode::DefineFont3:
            font(r, in, line, out);
            break;
        case TagCode::DefineFontInfo:
        case TagCode::DefineFontInfo2: {
            line += " font " + std::to_string(r.u16());
            const auto nameLength = r.u8();
            const auto name = r.bytes(nameLength);
            const uint8_t flags = r.u8();
            line +=
                " name " + quoted(std::string(name.begin(), name.end())) + " flags " + std::to_string(flags);
            if (t.code == 62) {
                line += " language " + std::to_string(r.u8());
            }
            const bool wide = (flags & 1U) || t.code == 62;
            out += in + "codes" + codeList(r, r.remaining() / (wide ? 2 : 1), wide) + "\n";
            break;
        }
        case TagCode::DefineFontAlignZones:
        case TagCode::DefineFontName:
        case TagCode::CSMTextSettings:
        case TagCode::DefineScalingGrid:
        case TagCode::DefineButtonCxform:
            line += " id " + std::to_string(r.u16());
            break;
        case TagCode::DefineText:
        case TagCode::DefineText2: {
            const auto text = readText(body, t.code == 11 ? 1 : 2);
            line += " id " + std::to_string(text.id) + " bounds " + rect(text.bounds) + " " +
                matrix(text.matrix) + " bits " + std::to_string(text.glyphBits) + "/" +
                std::to_string(text.advanceBits);
            for (const auto& rec : text.records) {
                out += in + "record";
                if (rec.font) {
                    out += " font " + std::to_string(rec.font->id) + " height " + std::to_string(rec.height);
                }
                if (rec.color) {
                    out += " colour " + colour(*rec.color, t.code == 33);
                }
                if (rec.x) {
                    out += " x " + std::to_string(*rec.x);
                }
                if (rec.y) {
                    out += " y " + std::to_string(*rec.y);
                }
                out += "\n" + in + "  glyphs";
                for (const auto& g : rec.glyphs) {
                    out += " " + std::to_string(g.index) + ":" + std::to_string(g.advance);
                }
                out += "\n";
            }
            break;
        }
        case TagCode::DefineEditText: {
            const auto e = readEditText(body);
            char flags[8];
            std::snprintf(flags, sizeof flags, "%04x", e.flags);
            line += " id " + std::to_string(e.id) + " bounds " + rect(e.bounds) + " flags " + flags;
            if (e.font) {
                line += " font " + std::to_string(e.font->id);
            }
            if (!e.fontClass.empty()) {
                line += " font class " + quoted(e.fontClass);
            }
            line += " height " + std::to_string(e.height);
            if (e.color) {
                line += " colour " + colour(*e.color, true);
            }
            if (e.maxLength) {
                line += " max " + std::to_string(*e.maxLength);
            }
            if (e.hasLayout) {
                out += in + "layout align " + std::to_string(e.align) + " margins " +
                    std::to_string(e.leftMargin) + " " + std::to_string(e.rightMargin) + " indent " +
                    std::to_string(e.indent) + " leading " + std::to_string(e.leading) + "\n";
            }
            out += in + "variable " + quoted(e.variable) + "\n";
            if (e.initialText) {
                out += in + "text " + quoted(*e.initialText) + "\n";
            }
            break;
        }
        case TagCode::DefineButton:
        case TagCode::DefineButton2: {
            const auto b = readButton(body, t.code == 7 ? 1 : 2);
            line += " id " + std::to_string(b.id);
            if (b.trackAsMenu) {
                line += " menu";
            }
            for (const auto& rec : b.records) {
                out += in + "record states " + std::to_string(rec.states) + " id " +
                    std::to_string(rec.character.id) + " depth " + std::to_string(rec.depth) + " " +
                    matrix(rec.matrix);
                if (rec.cxform) {
                    out += " " + cxform(*rec.cxform);
                }
                if (rec.filterCount) {
                    out += " filters " + std::to_string(rec.filterCount);
                }
                if (rec.blendMode) {
                    out += " blend " + std::to_string(*rec.blendMode);
                }
                out += "\n";
            }
            for (const auto& c : b.conditions) {
                out += in + "condition " + conditionNames(c.conditions) + "\n";
                out += disassembleActions(c.actions, in + "  ");
            }
            break;
        }
        case TagCode::DefineButtonSound: {
            const auto s = readButtonSound(body);
            line += " button " + std::to_string(s.button);
            static const char* const kEvents[4] = { "over-up-to-idle", "idle-to-over-up",
                "over-up-to-over-down", "over-down-to-over-up" };
            for (int i = 0; i < 4; ++i) {
                if (s.sounds[i].id) {
                    out += in + kEvents[i] + " sound " + std::to_string(s.sounds[i].id) +
                        soundInfo(s.info[i]) + "\n";
                }
            }
            break;
        }
        case TagCode::DefineSound: {
            const uint16_t id = r.u16();
            const uint8_t format = r.u8();
            const uint32_t samples = r.u32();
            line += " id " + std::to_string(id) + " " + soundFormat(format) + " samples " +
                std::to_string(samples);
            if ((format >> 4) == 2) {
                line += " seek " + std::to_string(r.s16());
            }
            line += " data " + std::to_string(r.remaining()) + " bytes";
            break;
        }
        case TagCode::StartSound: {
            line += " sound " + std::to_string(r.u16());
            line += soundInfo(readSoundInfo(r));
            break;
        }
        case TagCode::SoundStreamHead:
        case TagCode::SoundStreamHead2: {
            const uint8_t playback = r.u8();
            const uint8_t stream = r.u8();
            m_streamFormat = stream >> 4;
            line += " playback " + soundFormat(static_cast<uint8_t>(playback & 0x0fU)) + " stream " +
                soundFormat(stream) + " samples per frame " + std::to_string(r.u16());
            if (m_streamFormat == 2 && r.remaining() >= 2) {
                line += " latency " + std::to_string(r.s16());
            }
            break;
        }
        case TagCode::SoundStreamBlock:
            if (m_streamFormat == 2 && body.size() >= 4) {
                line += " samples " + std::to_string(r.u16());
                line += " seek " + std::to_string(r.s16());
            }
            break;
        case TagCode::PlaceObject:
        case TagCode::PlaceObject2:
        case TagCode::PlaceObject3: {
            const auto p = readPlacement(body, t.code == 4 ? 1 : t.code == 26 ? 2 : 3, m_version);
            line += std::string(p.move ? " move" : "") + " depth " + std::to_string(p.depth);
            if (p.character) {
                line += " id " + std::to_string(p.character->id);
            }
            if (p.className) {
                line += " class " + quoted(*p.className);
            }
            if (p.matrix) {
                line += " " + matrix(*p.matrix);
            }
            if (p.cxform) {
                line += " " + cxform(*p.cxform);
            }
            if (p.ratio) {
                line += " ratio " + std::to_string(*p.ratio);
            }
            if (p.name) {
                line += " name " + quoted(*p.name);
            }
            if (p.clipDepth) {
                line += " clip " + std::to_string(*p.clipDepth);
            }
            if (p.filterCount) {
                line += " filters " + std::to_string(p.filterCount);
            }
            if (p.blendMode) {
                line += " blend " + std::to_string(*p.blendMode);
            }
            for (const auto& a : p.clipActions) {
                out += in + "clip action events " + std::to_string(a.events);
                if (a.keyCode) {
                    out += " key " + std::to_string(*a.keyCode);
                }
                out += "\n" + disassembleActions(a.actions, in + "  ");
            }
            break;
        }
        case TagCode::RemoveObject: {
            line += " id " + std::to_string(r.u16());
            line += " depth " + std::to_string(r.u16());
            break;
        }
        case TagCode::RemoveObject2:
            line += " depth " + std::to_string(r.u16());
            break;
        case TagCode::DoAction:
            out += disassembleActions(body, in);
            break;
        case TagCode::DoInitAction:
            line += " sprite " + std::to_string(r.u16());
            out += disassembleActions(body.subspan(2), in);
            break;
        case TagCode::DefineSprite: {
            const uint16_t id = r.u16();
            const uint16_t frames = r.u16();
            line += " id " + std::to_string(id) + " frames " + std::to_string(frames);
            if (nesting >= kMaxSpriteNesting) {
                out += in + "(sprites nested too deep)\n";
                break;
            }
            tags(body.subspan(4), in, nesting + 1, out);
            break;
        }
        case TagCode::ExportAssets:
        case TagCode::ImportAssets:
        case TagCode::ImportAssets2: {
            if (t.code != 56) {
                line += " from " + quoted(r.string());
                if (t.code == 71) {
                    r.skip(2);
                }
            }
            const size_t count = r.u16();
            for (size_t i = 0; i < count; ++i) {
                const uint16_t id = r.u16();
                out += in + "id " + std::to_string(id) + " " + quoted(r.string()) + "\n";
            }
            break;
        }
        case TagCode::DefineVideoStream: {
            line += " id " + std::to_string(r.u16());
            line += " frames " + std::to_string(r.u16());
            const uint16_t w = r.u16();
            line += " size " + std::to_string(w) + "x" + std::to_string(r.u16());
            (void)r.u8();
            line += " codec " + std::to_string(r.u8());
            break;
        }
        case TagCode::VideoFrame:
            line += " stream " + std::to_string(r.u16());
            line += " frame " + std::to_string(r.u16());
            break;
        case TagCode::FileAttributes:
            line += " flags " + std::to_string(r.u8());
            break;
        case TagCode::Metadata:
            out += in + quoted(r.string()) + "\n";
            break;
        default:
            break;
        }
    }

    void font(ByteReader& r, const std::string& in, std::string& line, std::string& out)
    {
        const uint16_t id = r.u16();
        const uint8_t flags = r.u8();
        const uint8_t language = r.u8();
        const auto name = r.bytes(r.u8());
        const size_t glyphs = r.u16();
        const bool wideOffsets = flags & 0x08U;
        const bool wideCodes = flags & 0x04U;
        line += " id " + std::to_string(id) + " name " + quoted(std::string(name.begin(), name.end())) +
            " flags " + std::to_string(flags) + " language " + std::to_string(language) + " glyphs " +
            std::to_string(glyphs);
        const size_t tableStart = r.pos();
        size_t codeOffset = 0;
        if (glyphs > 0) {
            r.skip(glyphs * (wideOffsets ? 4 : 2));
            codeOffset = wideOffsets ? r.u32() : r.u16();
        } else if (r.remaining() >= (wideOffsets ? 4U : 2U)) {
            codeOffset = wideOffsets ? r.u32() : r.u16();
        } else {
            return;
        }
        if (tableStart + codeOffset < r.pos()) {
            r.fail("code table inside the offset table");
        }
        r.skip(tableStart + codeOffset - r.pos());
        out += in + "codes" + codeList(r, glyphs, wideCodes) + "\n";
        if (flags & 0x80U) {
            const int ascent = r.s16();
            const int descent = r.s16();
            const int leading = r.s16();
            out += in + "layout ascent " + std::to_string(ascent) + " descent " + std::to_string(descent) +
                " leading " + std::to_string(leading) + "\n" + in + "advances";
            for (size_t i = 0; i < glyphs; ++i) {
                out += " " + std::to_string(r.s16());
            }
            out += "\n";
            for (size_t i = 0; i < glyphs; ++i) {
                (void)readBounds(r);
            }
            const size_t kerning = r.u16();
            out += in + "kerning " + std::to_string(kerning) + "\n";
        }
    }

    uint8_t m_version;
    uint8_t m_streamFormat = 0;
};

} // namespace

std::string dumpMovie(std::span<const uint8_t> file)
{
    const auto movie = uncompressedMovie(file);
    ByteReader r(movie, "movie header");
    r.skip(4);
    const uint32_t length = r.u32();
    const Rect frame = readBounds(r);
    const uint16_t rate = r.u16();
    const uint16_t frames = r.u16();
    std::string out = std::string(file[0] == 'C' ? "CWS" : "FWS") + " version " + std::to_string(movie[3]) +
        " length " + std::to_string(length) + "\n";
    out +=
        "frame " + rect(frame) + " rate " + number(rate / 256.0) + " frames " + std::to_string(frames) + "\n";
    Dumper(movie[3]).tags(std::span<const uint8_t>(movie).subspan(r.pos()), "", 0, out);
    return out;
}

} // namespace swf
