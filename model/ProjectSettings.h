// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Neutral stand-in for the maker's address: the built-in e-mail default, and what config.ini
// yields when its EMAIL key is missing.
inline constexpr const char* kPlaceholderEmail = "webmaster@example.com";

// Editing limits applied by the dialogs (in characters).
inline constexpr int kMaxCardTitle = 100;
inline constexpr int kMaxLinkTitle = 20;
inline constexpr int kMaxAuthor = 40;
inline constexpr int kMaxEmail = 50;
inline constexpr int kMaxSlideDelay = 10;
inline constexpr int32_t kMinGiftSize = 1;
inline constexpr int32_t kMaxGiftSize = 1000;

// The one set of project settings. The members from m_strAuthor to m_strFont are stored in the
// project file in this order; m_nQuality and m_strProjectPath are not. Texts are UTF-8.
struct CProjectSettings {
    std::string m_strAuthor = "Marrowlark";
    std::string m_strEmail = kPlaceholderEmail;
    std::string m_strBackground = "#ffffff";
    int32_t m_nBgAlign = 4;
    std::string m_strButton = "#2781c4";
    std::string m_strTextColor = "#000000";
    std::string m_strMusic;
    int32_t m_bPromoteLastCard = 1;
    int32_t m_bPromoteEachCard = 1;
    int32_t m_nWidth = 640;
    int32_t m_nHeight = 480;
    std::string m_strSlideDelay;
    int32_t m_bSlideShow = 0;
    std::string m_strFont = "Sans";

    // Picture quality 0 to 100 used when pictures are re-encoded.
    int32_t m_nQuality = 70;
    // Path of the current project file; empty until it is opened or saved.
    std::string m_strProjectPath;

    // What clearing the project resets (size, background, slideshow, music); the rest stays.
    void ResetForClear();
    // The values the New command sets after clearing; author and e-mail
    // are kept, the project path is emptied.
    void ResetForNew();

    bool operator==(const CProjectSettings&) const = default;
};
