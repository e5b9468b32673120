// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Text.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/Rect.h"
#include "swf/Utf8.h"

#include <algorithm>
#include <map>

namespace swf {

namespace {

// A text record counts its glyphs in one byte; longer runs continue in further records.
constexpr size_t kMaxGlyphsPerRecord = 255;
// Font units per em of FDB fonts.
constexpr int64_t kEm = 1024;
// The largest value a RECT field holds (31 signed bits).
constexpr int64_t kRectLimit = (int64_t { 1 } << 30) - 1;

struct Entry {
    size_t glyph = 0; // index in the font
    int32_t advance = 0; // twips
};

} // namespace

void Text::setFont(std::shared_ptr<const FdbFont> font)
{
    m_font = std::move(font);
}

void Text::setColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    m_color = Color { red, green, blue, alpha };
}

void Text::setHeight(float height)
{
    // The record's height field is a UI16 of twips.
    m_heightTwips = std::clamp(toTwips(height), 0, 0xffff);
}

void Text::requireFont() const
{
    if (!m_font) {
        throw Error("text: no font set");
    }
}

void Text::addString(std::string_view utf8)
{
    requireFont();
    if (utf8.empty()) {
        return;
    }
    m_runs.push_back(Run { m_font, m_color, m_heightTwips, decodeUtf8(utf8) });
}

float Text::getStringWidth(std::string_view utf8) const
{
    requireFont();
    const int64_t twips = m_font->stringAdvance(utf8) * m_heightTwips / kEm;
    return static_cast<float>(twips) / 20.0F;
}

uint16_t Text::defineIn(DefinitionContext& context) const
{
    // Fonts first: they precede the text in the stream and so take the lower ids.
    std::map<const FdbFont*, uint16_t> fontIds;
    if (m_font) {
        fontIds[m_font.get()] = context.define(*m_font);
    }
    std::vector<std::vector<Entry>> entries(m_runs.size());
    for (size_t r = 0; r < m_runs.size(); ++r) {
        const Run& run = m_runs[r];
        if (!fontIds.contains(run.font.get())) {
            fontIds[run.font.get()] = context.define(*run.font);
        }
        const auto& glyphs = run.font->data().glyphs;
        for (size_t i = 0; i < run.codes.size(); ++i) {
            std::optional<size_t> glyph = run.font->findGlyph(run.codes[i]);
            if (!glyph && !glyphs.empty()) {
                glyph = 0; // a character the font lacks shows its first glyph
            }
            if (!glyph) {
                continue;
            }
            int64_t advance = glyphs[*glyph].advance;
            if (i + 1 < run.codes.size()) {
                advance += run.font->kerning(run.codes[i], run.codes[i + 1]);
            }
            entries[r].push_back(Entry { *glyph, static_cast<int32_t>(advance * run.heightTwips / kEm) });
            run.font->useGlyph(context, *glyph);
        }
    }
    const uint16_t id = context.allocateId();
    const size_t slot = context.reserve();
    context.atEnd([this, &context, id, slot, fontIds, entries = std::move(entries)] {
        size_t glyphCount = 0;
        if (m_font) {
            glyphCount = m_font->subsetSize(context);
        }
        for (const Run& run : m_runs) {
            glyphCount = std::max(glyphCount, run.font->subsetSize(context));
        }
        const unsigned glyphBits = std::max(
            1U, ByteWriter::ubitsNeeded(static_cast<uint32_t>(glyphCount == 0 ? 0 : glyphCount - 1)));
        unsigned advanceBits = 0;
        Rect bounds;
        int64_t pen = 0;
        for (size_t r = 0; r < m_runs.size(); ++r) {
            const Run& run = m_runs[r];
            const auto& glyphs = run.font->data().glyphs;
            for (const Entry& e : entries[r]) {
                advanceBits = std::max(advanceBits, ByteWriter::sbitsNeeded(e.advance));
                const Rect& box = glyphs[e.glyph].bounds;
                // Font boxes may hold any 31-bit value: compute wide, then keep within a RECT field.
                auto fit = [](int64_t v) {
                    return static_cast<int32_t>(std::clamp<int64_t>(v, -kRectLimit - 1, kRectLimit));
                };
                auto scale = [&](int32_t v) { return static_cast<int64_t>(v) * run.heightTwips / kEm; };
                bounds = bounds.united(Rect { fit(pen + scale(box.xMin)), fit(pen + scale(box.xMax)),
                    fit(scale(box.yMin)), fit(scale(box.yMax)) });
                pen += e.advance;
            }
        }
        ByteWriter w;
        w.u16(id);
        writeRect(w, bounds);
        w.u8(0); // identity MATRIX: the placement gives the position
        w.u8(static_cast<uint8_t>(glyphBits));
        w.u8(static_cast<uint8_t>(advanceBits));
        for (size_t r = 0; r < m_runs.size(); ++r) {
            const Run& run = m_runs[r];
            const std::vector<Entry>& list = entries[r];
            for (size_t start = 0; start < list.size(); start += kMaxGlyphsPerRecord) {
                const size_t n = std::min(kMaxGlyphsPerRecord, list.size() - start);
                w.u8(0x8c); // text record with font and colour
                w.u16(fontIds.at(run.font.get()));
                w.u8(run.color.r);
                w.u8(run.color.g);
                w.u8(run.color.b);
                w.u8(run.color.a);
                w.u16(static_cast<uint16_t>(run.heightTwips));
                w.u8(static_cast<uint8_t>(n));
                for (size_t k = start; k < start + n; ++k) {
                    w.ubits(static_cast<uint32_t>(run.font->subsetIndex(context, list[k].glyph)), glyphBits);
                    w.sbits(list[k].advance, advanceBits);
                }
                w.alignBits();
            }
        }
        w.u8(0); // end of records
        context.fill(slot, Tag(TagCode::DefineText2, w.take()));
    });
    return id;
}

} // namespace swf
