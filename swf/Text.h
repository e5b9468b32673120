// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Character.h"
#include "swf/Color.h"
#include "swf/FdbFont.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace swf {

// A DefineText2 in an FDB font. Each addString adds a run in the font, colour and height set at
// that moment; runs follow one another on one baseline, which starts at the item's origin. Strings
// are UTF-8, mapped to glyphs by code point; a code the font lacks shows glyph 0.
class Text : public Character {
public:
    Text() = default;

    void setFont(std::shared_ptr<const FdbFont> font);
    void setColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255);
    void setColor(Color color) { m_color = color; }
    // Height of the em square in pixels.
    void setHeight(float height);
    // Throws swf::Error when no font is set.
    void addString(std::string_view utf8);
    // Width in pixels that `utf8` would take in the current font and height:
    // trunc(advance * heightTwips / 1024) / 20. Throws swf::Error when no font is set.
    [[nodiscard]] float getStringWidth(std::string_view utf8) const;

    [[nodiscard]] bool isEmpty() const { return m_runs.empty(); }

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    struct Run {
        std::shared_ptr<const FdbFont> font;
        Color color;
        int32_t heightTwips = 0;
        std::vector<uint32_t> codes;
    };

    void requireFont() const;

    std::shared_ptr<const FdbFont> m_font;
    Color m_color;
    int32_t m_heightTwips = 240;
    std::vector<Run> m_runs;
};

} // namespace swf
