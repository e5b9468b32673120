// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Character.h"
#include "swf/FdbFontData.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace swf {

// An FDB font embedded in a movie as one DefineFont2 per movie, holding only the glyphs that the
// texts of that movie use (sorted by code). Kerning is applied by the texts, so the embedded font
// carries no kerning pairs. A font may serve several movies.
class FdbFont : public Character {
public:
    explicit FdbFont(FdbFontData data);
    // Throws swf::ParseError for a damaged file.
    [[nodiscard]] static std::shared_ptr<FdbFont> fromBytes(std::span<const uint8_t> data);
    // Throws swf::Error when the file cannot be read.
    [[nodiscard]] static std::shared_ptr<FdbFont> fromFile(const std::filesystem::path& path);

    [[nodiscard]] const FdbFontData& data() const { return m_data; }
    [[nodiscard]] const std::string& name() const { return m_data.name; }
    // Index of the glyph for a character code, if the font has one.
    [[nodiscard]] std::optional<size_t> findGlyph(uint32_t code) const;
    // The kerning adjustment between two character codes, 0 when there is none.
    [[nodiscard]] int kerning(uint32_t left, uint32_t right) const;
    // Advance of a UTF-8 string in font units: the glyph advances plus the kerning of adjacent
    // pairs; a code without a glyph adds nothing.
    [[nodiscard]] int64_t stringAdvance(std::string_view utf8) const;

    // For texts while a movie is serialised: marks glyphs as used by the movie, and (in an atEnd
    // task, once every text has marked its glyphs) writes the index in the movie's subset of
    // glyphs[i] to indices[i] (the spans have the same length and may be the same span).
    void useGlyphs(DefinitionContext& context, std::span<const size_t> glyphs) const;
    void subsetIndices(
        DefinitionContext& context, std::span<const size_t> glyphs, std::span<size_t> indices) const;
    [[nodiscard]] size_t subsetSize(DefinitionContext& context) const;

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    // Character codes are 16-bit: a code maps to its glyph through a table of 256 pages of 256
    // codes, pages without a glyph sharing the empty page 0.
    static constexpr size_t kPageSize = 256;
    static constexpr size_t kPageCount = 65536 / kPageSize;

    FdbFontData m_data;
    std::vector<uint16_t> m_pageOfHighByte; // kPageCount entries
    std::vector<uint32_t> m_glyphPlusOne; // per page, kPageSize entries; 0 for no glyph
    // Pairs keyed by (left << 16) | right, and which codes start any pair at all: most
    // adjacent characters are no pair, and that is answered without a hash lookup.
    std::unordered_map<uint32_t, int> m_kerning;
    std::vector<bool> m_kernsAsLeft;
};

} // namespace swf
