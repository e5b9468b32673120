// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CCardInfo;
class CLinkInfo;

// The card tree's labels. A card: its title, or "[Card n]" (1-based position) when the title is
// empty, followed by " {links}" when it has links. A link: its title with the target card's title
// in parentheses and the score in brackets, each when there is one.
[[nodiscard]] std::string CardLabel(const CCardInfo& card, int nPosition);
// targetTitles: the titles of the target list, entry i for card i. A target outside the list has
// no name.
[[nodiscard]] std::string LinkLabel(const CLinkInfo& link, const std::vector<std::string>& targetTitles);

// The entry of the comparison operator list for a link's operator (0, the empty entry, when it
// is not one of them), and the list itself.
[[nodiscard]] const std::vector<std::string>& CompareOperators();
[[nodiscard]] int CompareOperatorIndex(const std::string& strCompare);
