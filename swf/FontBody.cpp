// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/FontBody.h"

#include "swf/Error.h"
#include "swf/Rect.h"

#include <string>

namespace swf {

void writeFontBody(ByteWriter& out, const FdbFontData& font, std::span<const FdbFontData::Kerning> kerning,
    bool forceWideCodes)
{
    const size_t count = font.glyphs.size();
    if (count > 0xffff) {
        throw Error("font " + font.name + ": more than 65535 glyphs");
    }
    if (font.name.size() > 0xff) {
        throw Error("font " + font.name + ": name longer than 255 bytes");
    }
    if (kerning.size() > 0xffff) {
        throw Error("font " + font.name + ": more than 65535 kerning pairs");
    }
    bool wideCodes = forceWideCodes || (font.flags & FdbFontData::kWideCodes) != 0;
    size_t shapeBytes = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && font.glyphs[i].code <= font.glyphs[i - 1].code) {
            throw Error(
                "font " + font.name + ": character codes do not ascend at glyph " + std::to_string(i));
        }
        wideCodes = wideCodes || font.glyphs[i].code > 0xff;
        shapeBytes += font.glyphs[i].shape.size();
    }
    for (const auto& pair : kerning) {
        wideCodes = wideCodes || pair.left > 0xff || pair.right > 0xff;
    }
    const bool wideOffsets = (count + 1) * 2 + shapeBytes > 0xffff;
    if ((count + 1) * 4 + shapeBytes > 0xffffffffULL) {
        throw Error("font " + font.name + ": glyph data too large");
    }
    uint8_t flags = font.flags & static_cast<uint8_t>(~(FdbFontData::kWideOffsets | FdbFontData::kWideCodes));
    if (wideOffsets) {
        flags |= FdbFontData::kWideOffsets;
    }
    if (wideCodes) {
        flags |= FdbFontData::kWideCodes;
    }
    out.u8(flags);
    out.u8(font.language);
    out.u8(static_cast<uint8_t>(font.name.size()));
    out.bytes(std::span(reinterpret_cast<const uint8_t*>(font.name.data()), font.name.size()));
    out.u16(static_cast<uint16_t>(count));
    size_t offset = (count + 1) * (wideOffsets ? 4 : 2);
    auto writeOffset = [&](size_t v) {
        if (wideOffsets) {
            out.u32(static_cast<uint32_t>(v));
        } else {
            out.u16(static_cast<uint16_t>(v));
        }
    };
    for (const auto& glyph : font.glyphs) {
        writeOffset(offset);
        offset += glyph.shape.size();
    }
    writeOffset(offset);
    for (const auto& glyph : font.glyphs) {
        out.bytes(glyph.shape);
    }
    for (const auto& glyph : font.glyphs) {
        if (wideCodes) {
            out.u16(glyph.code);
        } else {
            out.u8(static_cast<uint8_t>(glyph.code));
        }
    }
    if (!font.hasLayout()) {
        return;
    }
    out.s16(font.ascent);
    out.s16(font.descent);
    out.s16(font.leading);
    for (const auto& glyph : font.glyphs) {
        out.s16(glyph.advance);
    }
    for (const auto& glyph : font.glyphs) {
        writeRect(out, glyph.bounds);
    }
    out.u16(static_cast<uint16_t>(kerning.size()));
    for (const auto& pair : kerning) {
        if (wideCodes) {
            out.u16(pair.left);
            out.u16(pair.right);
        } else {
            out.u8(static_cast<uint8_t>(pair.left));
            out.u8(static_cast<uint8_t>(pair.right));
        }
        out.s16(pair.adjustment);
    }
}

} // namespace swf
