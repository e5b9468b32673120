// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the card steps of generation.
#pragma once

#include "swf/Color.h"
#include "swf/FdbFont.h"
#include "swf/Shape.h"
#include "swf/Text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace cardtext {

inline std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// A notice's fixed text with the cause of the failure on a line of its own, when there is one.
inline std::string WithReason(std::string strText, const std::string& strReason)
{
    if (!strReason.empty()) {
        strText += "\nReason: " + strReason;
    }
    return strText;
}

inline swf::Color ColourOf(uint32_t nValue, uint8_t alpha = 255)
{
    return swf::Color { static_cast<uint8_t>((nValue >> 16) & 0xFF),
        static_cast<uint8_t>((nValue >> 8) & 0xFF), static_cast<uint8_t>(nValue & 0xFF), alpha };
}

// A text item in the font; a missing font fails the step that needs it.
inline std::shared_ptr<swf::Text> MakeText(
    const std::shared_ptr<swf::FdbFont>& pFont, swf::Color colour, float fHeight)
{
    if (!pFont) {
        throw std::runtime_error("font not loaded");
    }
    auto pText = std::make_shared<swf::Text>();
    pText->setFont(pFont);
    pText->setColor(colour);
    pText->setHeight(fHeight);
    return pText;
}

} // namespace cardtext
