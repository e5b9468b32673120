// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Project.h"

#include <stdexcept>
#include <string>
#include <string_view>

// A JSON project text that does not describe a project; the message names the field.
class CProjectJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The project as JSON: {"cards": [card...], "settings": {...}}. Cards and links carry their field
// names (m_strTitle, m_nTarget, ...); a card's "m_pLinks" is the array of its links (null for a card
// without a holder, {"m_pList": null} for a holder without a list). Settings hold the fields that
// the project file stores. Indented by two spaces, ending with a line break.
[[nodiscard]] std::string ProjectToJson(const CProject& project);

// Replaces the project's cards and stored settings with those of the JSON text. Missing fields take
// the record's own defaults (empty titles and comment, black text, a white background at placement
// 4 that follows the project's, target 0, no condition) and the start-up settings; a missing card
// number is the card's index. Unknown fields, wrong types and integers outside 32 bits throw
// CProjectJsonError and leave the project unchanged. m_nQuality and m_strProjectPath are kept.
void ProjectFromJson(std::string_view text, CProject& project);
