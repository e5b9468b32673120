// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/FdbFont.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/FileData.h"
#include "swf/FontBody.h"
#include "swf/Utf8.h"

#include <algorithm>
#include <string>

namespace swf {

namespace {

// An FDB font of every glyph of a 16-bit code range stays well below this.
constexpr uintmax_t kMaxFdbFileSize = 32U * 1024U * 1024U;

// What a font keeps per movie: the glyphs its texts use, then (once every text has marked its
// glyphs) their order in the embedded subset and each used glyph's index in it.
struct FontUsage {
    std::vector<uint8_t> used; // per glyph of the font, sized on first use
    std::vector<size_t> subset;
    std::vector<uint32_t> indexOf; // per glyph up to the last used one; kNotUsed for the others
    bool frozen = false;

    static constexpr uint32_t kNotUsed = 0xffffffffU;

    void freeze()
    {
        if (frozen) {
            return;
        }
        frozen = true;
        for (size_t glyph = 0; glyph < used.size(); ++glyph) {
            if (used[glyph] != 0) {
                subset.push_back(glyph);
            }
        }
        if (!subset.empty()) {
            indexOf.assign(subset.back() + 1, kNotUsed);
            for (size_t i = 0; i < subset.size(); ++i) {
                indexOf[subset[i]] = static_cast<uint32_t>(i);
            }
        }
    }
};

} // namespace

FdbFont::FdbFont(FdbFontData data)
    : m_data(std::move(data))
{
    for (size_t i = 1; i < m_data.glyphs.size(); ++i) {
        if (m_data.glyphs[i].code <= m_data.glyphs[i - 1].code) {
            throw Error(
                "font " + m_data.name + ": character codes do not ascend at glyph " + std::to_string(i));
        }
    }
    m_pageOfHighByte.assign(kPageCount, 0);
    m_glyphPlusOne.assign(kPageSize, 0); // the empty page
    for (size_t i = 0; i < m_data.glyphs.size(); ++i) {
        const uint16_t code = m_data.glyphs[i].code;
        uint16_t& page = m_pageOfHighByte[code / kPageSize];
        if (page == 0) {
            page = static_cast<uint16_t>(m_glyphPlusOne.size() / kPageSize);
            m_glyphPlusOne.resize(m_glyphPlusOne.size() + kPageSize, 0);
        }
        m_glyphPlusOne[page * kPageSize + code % kPageSize] = static_cast<uint32_t>(i + 1);
    }
    if (!m_data.kerning.empty()) {
        m_kernsAsLeft.assign(65536, false);
        m_kerning.reserve(m_data.kerning.size());
    }
    for (const auto& pair : m_data.kerning) {
        m_kerning[(static_cast<uint32_t>(pair.left) << 16) | pair.right] += pair.adjustment;
        m_kernsAsLeft[pair.left] = true;
    }
}

std::shared_ptr<FdbFont> FdbFont::fromBytes(std::span<const uint8_t> data)
{
    return std::make_shared<FdbFont>(readFdb(data));
}

std::shared_ptr<FdbFont> FdbFont::fromFile(const std::filesystem::path& path)
{
    const std::vector<uint8_t> data = readFileData(path, kMaxFdbFileSize, "FDB font");
    try {
        return fromBytes(data);
    } catch (const ParseError& e) {
        throw ParseError(path.string() + ": " + e.what());
    }
}

std::optional<size_t> FdbFont::findGlyph(uint32_t code) const
{
    if (code > 0xffff) {
        return std::nullopt;
    }
    const size_t page = m_pageOfHighByte[code / kPageSize];
    const uint32_t glyphPlusOne = m_glyphPlusOne[page * kPageSize + code % kPageSize];
    if (glyphPlusOne == 0) {
        return std::nullopt;
    }
    return static_cast<size_t>(glyphPlusOne - 1);
}

int FdbFont::kerning(uint32_t left, uint32_t right) const
{
    if (m_kerning.empty() || left > 0xffff || right > 0xffff || !m_kernsAsLeft[left]) {
        return 0;
    }
    auto it = m_kerning.find((left << 16) | right);
    return it == m_kerning.end() ? 0 : it->second;
}

int64_t FdbFont::stringAdvance(std::string_view utf8) const
{
    const std::vector<uint32_t> codes = decodeUtf8(utf8);
    int64_t advance = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (auto glyph = findGlyph(codes[i])) {
            advance += m_data.glyphs[*glyph].advance;
        }
        if (i + 1 < codes.size()) {
            advance += kerning(codes[i], codes[i + 1]);
        }
    }
    return advance;
}

void FdbFont::useGlyphs(DefinitionContext& context, std::span<const size_t> glyphs) const
{
    auto& usage = context.stateOf<FontUsage>(*this);
    if (usage.frozen) {
        throw Error("font " + m_data.name + ": glyphs marked after the subset was made");
    }
    if (usage.used.empty()) {
        usage.used.assign(m_data.glyphs.size(), 0);
    }
    for (size_t glyph : glyphs) {
        if (glyph >= m_data.glyphs.size()) {
            throw Error("font " + m_data.name + ": no glyph " + std::to_string(glyph));
        }
        usage.used[glyph] = 1;
    }
}

void FdbFont::subsetIndices(
    DefinitionContext& context, std::span<const size_t> glyphs, std::span<size_t> indices) const
{
    auto& usage = context.stateOf<FontUsage>(*this);
    usage.freeze();
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const size_t glyph = glyphs[i];
        if (glyph >= usage.indexOf.size() || usage.indexOf[glyph] == FontUsage::kNotUsed) {
            throw Error(
                "font " + m_data.name + ": glyph " + std::to_string(glyph) + " was not marked as used");
        }
        indices[i] = usage.indexOf[glyph];
    }
}

size_t FdbFont::subsetSize(DefinitionContext& context) const
{
    auto& usage = context.stateOf<FontUsage>(*this);
    usage.freeze();
    return usage.subset.size();
}

uint16_t FdbFont::defineIn(DefinitionContext& context) const
{
    const uint16_t id = context.allocateId();
    const size_t slot = context.reserve();
    context.atEnd([this, &context, id, slot] {
        auto& usage = context.stateOf<FontUsage>(*this);
        usage.freeze();
        FdbFontData subset;
        subset.flags = m_data.flags;
        subset.language = m_data.language;
        subset.name = m_data.name;
        subset.ascent = m_data.ascent;
        subset.descent = m_data.descent;
        subset.leading = m_data.leading;
        subset.glyphs.reserve(usage.subset.size());
        for (size_t glyph : usage.subset) {
            subset.glyphs.push_back(m_data.glyphs[glyph]);
        }
        ByteWriter w;
        w.u16(id);
        // Texts carry the kerning in their advances, so the embedded font has no pairs.
        writeFontBody(w, subset, {}, context.version() >= 6);
        context.fill(slot, Tag(TagCode::DefineFont2, w.take()));
    });
    return id;
}

} // namespace swf
