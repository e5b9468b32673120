// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/TrueTypeFont.h"

#include "tools/fdbgen/EmScale.h"
#include "tools/fdbgen/GlyphShape.h"
#include "tools/fdbgen/Outline.h"

#include <stdexcept>

namespace fdbgen {
namespace {

// Outlines in font units, as drawn without hinting; no embedded bitmaps.
constexpr FT_Int32 kLoadFlags =
    FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM;

std::string freetypeError(FT_Error error)
{
    return "FreeType error " + std::to_string(error);
}

} // namespace

TrueTypeFont::TrueTypeFont(const std::string& path)
    : m_path(path)
{
    if (FT_Error error = FT_Init_FreeType(&m_library); error != 0) {
        throw std::runtime_error("cannot start FreeType (" + freetypeError(error) + ")");
    }
    if (FT_Error error = FT_New_Face(m_library, path.c_str(), 0, &m_face); error != 0) {
        FT_Done_FreeType(m_library);
        throw std::runtime_error("cannot open font '" + path + "' (" + freetypeError(error) + ")");
    }
    checkScalable();
}

TrueTypeFont::TrueTypeFont(std::vector<uint8_t> data, std::string what)
    : m_data(std::move(data))
    , m_path(std::move(what))
{
    if (FT_Error error = FT_Init_FreeType(&m_library); error != 0) {
        throw std::runtime_error("cannot start FreeType (" + freetypeError(error) + ")");
    }
    if (FT_Error error =
            FT_New_Memory_Face(m_library, m_data.data(), static_cast<FT_Long>(m_data.size()), 0, &m_face);
        error != 0) {
        FT_Done_FreeType(m_library);
        throw std::runtime_error("cannot open font '" + m_path + "' (" + freetypeError(error) + ")");
    }
    checkScalable();
}

void TrueTypeFont::checkScalable()
{
    if (!FT_IS_SCALABLE(m_face)) {
        FT_Done_Face(m_face);
        FT_Done_FreeType(m_library);
        throw std::runtime_error("font '" + m_path + "' has no scalable outlines");
    }
}

TrueTypeFont::~TrueTypeFont()
{
    FT_Done_Face(m_face);
    FT_Done_FreeType(m_library);
}

FontData TrueTypeFont::convert(std::span<const CodeRange> ranges, std::string name) const
{
    const EmScale scale(unitsPerEm());
    FontData font;
    font.name = std::move(name);
    font.bold = isBold();
    font.italic = isItalic();
    font.ascent = scale(m_face->ascender);
    font.descent = scale(-static_cast<int64_t>(m_face->descender));
    font.leading = scale(m_face->height) - font.ascent - font.descent;

    std::vector<FT_UInt> indices;
    for (uint16_t code : expandCodeRanges(ranges)) {
        const FT_UInt index = FT_Get_Char_Index(m_face, code);
        if (index == 0) {
            continue;
        }
        if (FT_Error error = FT_Load_Glyph(m_face, index, kLoadFlags); error != 0) {
            throw std::runtime_error("cannot load the glyph of code " + std::to_string(code) + " from '" +
                m_path + "' (" + freetypeError(error) + ")");
        }
        const FT_GlyphSlot slot = m_face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
            throw std::runtime_error(
                "glyph of code " + std::to_string(code) + " in '" + m_path + "' is not an outline");
        }
        Glyph glyph;
        glyph.code = code;
        glyph.path = convertOutline(slot->outline, scale);
        glyph.advance = scale(slot->metrics.horiAdvance);
        glyph.bounds = pathBounds(glyph.path);
        font.glyphs.push_back(std::move(glyph));
        indices.push_back(index);
    }

    if (hasKerning()) {
        for (size_t i = 0; i < indices.size(); ++i) {
            for (size_t j = 0; j < indices.size(); ++j) {
                FT_Vector kern {};
                if (FT_Get_Kerning(m_face, indices[i], indices[j], FT_KERNING_UNSCALED, &kern) != 0 ||
                    kern.x == 0) {
                    continue;
                }
                if (const int32_t adjustment = scale(kern.x); adjustment != 0) {
                    font.kerning.push_back({ font.glyphs[i].code, font.glyphs[j].code, adjustment });
                }
            }
        }
    }
    return font;
}

} // namespace fdbgen
