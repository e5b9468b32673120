// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

// An edit refused because of a project limit. what() is the notice text the editor shows as it is.
class CProjectLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The refusal notices of the card and link limits.
inline constexpr const char* kCardLimitMessage =
    "Attention:\n    You have reached the maximum number of cards allowed.\n\nSuggestion:\n"
    "    1.You must delete a card before you can add any more.";
inline constexpr const char* kLinkLimitMessage =
    "Attention:\n    You have reached the maximum number of links allowed.\n\nSuggestion:\n"
    "    1.You must delete a link before you can add any more.\n    2.Split links into another card.";
