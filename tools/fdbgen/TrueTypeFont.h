// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FontData.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <span>
#include <string>
#include <vector>

namespace fdbgen {

// A scalable font file opened with FreeType, converted glyph by glyph into FDB font data.
class TrueTypeFont {
public:
    // Opens the first face of the file; throws std::runtime_error naming the file when FreeType
    // cannot open it or the face has no scalable outlines.
    explicit TrueTypeFont(const std::string& path);
    // The same for a font file held in memory; `what` names it in errors.
    TrueTypeFont(std::vector<uint8_t> data, std::string what);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    [[nodiscard]] int32_t unitsPerEm() const { return m_face->units_per_EM; }
    [[nodiscard]] bool isBold() const { return (m_face->style_flags & FT_STYLE_FLAG_BOLD) != 0; }
    [[nodiscard]] bool isItalic() const { return (m_face->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }
    // Whether FreeType's kerning interface finds pairs in the font (its 'kern' table; kerning kept
    // only in GPOS is not reported there).
    [[nodiscard]] bool hasKerning() const { return FT_HAS_KERNING(m_face) != 0; }

    // The glyphs of every code of the ranges that the font maps (codes it lacks are skipped),
    // with advances, bounds, line metrics and the kerning pairs among them, in the 1024 em. The
    // style flags come from the face; `name` becomes the font's name.
    [[nodiscard]] FontData convert(std::span<const CodeRange> ranges, std::string name) const;

private:
    void checkScalable();

    std::vector<uint8_t> m_data; // FreeType reads a memory face in place
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    std::string m_path;
};

} // namespace fdbgen
