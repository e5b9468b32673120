// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Text.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/Rect.h"
#include "swf/Utf8.h"

#include <algorithm>
#include <span>

namespace swf {

namespace {

// A text record counts its glyphs in one byte; longer runs continue in further records.
constexpr size_t kMaxGlyphsPerRecord = 255;
// Font units per em of FDB fonts.
constexpr int64_t kEm = 1024;
// The largest value a RECT field holds (31 signed bits).
constexpr int64_t kRectLimit = (int64_t { 1 } << 30) - 1;

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
    // Fonts first: they precede the text in the stream and so take the lower ids. The context
    // gives a font defined before its id again.
    if (m_font) {
        (void)context.define(*m_font);
    }
    // Every run's glyphs and advances, one run after the other; per run its font's id and where
    // its glyphs end.
    struct RunLayout {
        uint16_t fontId = 0;
        size_t end = 0;
    };
    std::vector<RunLayout> layout(m_runs.size());
    std::vector<size_t> glyphIndices;
    std::vector<int32_t> advances;
    size_t codeCount = 0;
    for (const Run& run : m_runs) {
        codeCount += run.codes.size();
    }
    glyphIndices.reserve(codeCount);
    advances.reserve(codeCount);
    for (size_t r = 0; r < m_runs.size(); ++r) {
        const Run& run = m_runs[r];
        layout[r].fontId = context.define(*run.font);
        const size_t runStart = glyphIndices.size();
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
            glyphIndices.push_back(*glyph);
            advances.push_back(static_cast<int32_t>(advance * run.heightTwips / kEm));
        }
        layout[r].end = glyphIndices.size();
        if (layout[r].end > runStart) {
            run.font->useGlyphs(context, std::span(glyphIndices).subspan(runStart));
        }
    }
    const uint16_t id = context.allocateId();
    const size_t slot = context.reserve();
    // Mutable: once the bounds are known, the glyph indices are replaced by subset indices.
    context.atEnd([this, &context, id, slot, layout = std::move(layout),
                      glyphIndices = std::move(glyphIndices), advances = std::move(advances)]() mutable {
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
        size_t runStart = 0;
        for (size_t r = 0; r < m_runs.size(); ++r) {
            const Run& run = m_runs[r];
            const auto& glyphs = run.font->data().glyphs;
            for (size_t k = runStart; k < layout[r].end; ++k) {
                advanceBits = std::max(advanceBits, ByteWriter::sbitsNeeded(advances[k]));
                const Rect& box = glyphs[glyphIndices[k]].bounds;
                // Font boxes may hold any 31-bit value: compute wide, then keep within a RECT field.
                auto fit = [](int64_t v) {
                    return static_cast<int32_t>(std::clamp<int64_t>(v, -kRectLimit - 1, kRectLimit));
                };
                auto scale = [&](int32_t v) { return static_cast<int64_t>(v) * run.heightTwips / kEm; };
                bounds = bounds.united(Rect { fit(pen + scale(box.xMin)), fit(pen + scale(box.xMax)),
                    fit(scale(box.yMin)), fit(scale(box.yMax)) });
                pen += advances[k];
            }
            const auto runGlyphs = std::span(glyphIndices).subspan(runStart, layout[r].end - runStart);
            run.font->subsetIndices(context, runGlyphs, runGlyphs);
            runStart = layout[r].end;
        }
        ByteWriter w;
        // Bounds, bit sizes and per record its style (10 bytes) and about four bytes a glyph.
        w.reserve(32 + m_runs.size() * 10 + glyphIndices.size() * 4);
        w.u16(id);
        writeRect(w, bounds);
        w.u8(0); // identity MATRIX: the placement gives the position
        w.u8(static_cast<uint8_t>(glyphBits));
        w.u8(static_cast<uint8_t>(advanceBits));
        runStart = 0;
        for (size_t r = 0; r < m_runs.size(); ++r) {
            const Run& run = m_runs[r];
            for (size_t start = runStart; start < layout[r].end; start += kMaxGlyphsPerRecord) {
                const size_t n = std::min(kMaxGlyphsPerRecord, layout[r].end - start);
                w.u8(0x8c); // text record with font and colour
                w.u16(layout[r].fontId);
                w.u8(run.color.r);
                w.u8(run.color.g);
                w.u8(run.color.b);
                w.u8(run.color.a);
                w.u16(static_cast<uint16_t>(run.heightTwips));
                w.u8(static_cast<uint8_t>(n));
                for (size_t k = start; k < start + n; ++k) {
                    w.ubits(static_cast<uint32_t>(glyphIndices[k]), glyphBits);
                    w.sbits(advances[k], advanceBits);
                }
                w.alignBits();
            }
            runStart = layout[r].end;
        }
        w.u8(0); // end of records
        context.fill(slot, Tag(TagCode::DefineText2, w.take()));
    });
    return id;
}

} // namespace swf
