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
// glyphs) their order in the embedded subset.
struct FontUsage {
    std::set<size_t> glyphs;
    std::vector<size_t> subset;
    bool frozen = false;

    void freeze()
    {
        if (!frozen) {
            subset.assign(glyphs.begin(), glyphs.end());
            frozen = true;
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
    for (const auto& pair : m_data.kerning) {
        m_kerning[{ pair.left, pair.right }] += pair.adjustment;
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
    const auto& glyphs = m_data.glyphs;
    auto it = std::lower_bound(glyphs.begin(), glyphs.end(), code,
        [](const FdbFontData::Glyph& g, uint32_t c) { return g.code < c; });
    if (it == glyphs.end() || it->code != code) {
        return std::nullopt;
    }
    return static_cast<size_t>(it - glyphs.begin());
}

int FdbFont::kerning(uint32_t left, uint32_t right) const
{
    if (m_kerning.empty()) {
        return 0;
    }
    auto it = m_kerning.find({ left, right });
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

void FdbFont::useGlyph(DefinitionContext& context, size_t glyph) const
{
    auto& usage = context.stateOf<FontUsage>(*this);
    if (usage.frozen) {
        throw Error("font " + m_data.name + ": glyphs marked after the subset was made");
    }
    if (glyph >= m_data.glyphs.size()) {
        throw Error("font " + m_data.name + ": no glyph " + std::to_string(glyph));
    }
    usage.glyphs.insert(glyph);
}

size_t FdbFont::subsetIndex(DefinitionContext& context, size_t glyph) const
{
    auto& usage = context.stateOf<FontUsage>(*this);
    usage.freeze();
    auto it = std::lower_bound(usage.subset.begin(), usage.subset.end(), glyph);
    if (it == usage.subset.end() || *it != glyph) {
        throw Error("font " + m_data.name + ": glyph " + std::to_string(glyph) + " was not marked as used");
    }
    return static_cast<size_t>(it - usage.subset.begin());
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
