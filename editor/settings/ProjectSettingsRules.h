// SPDX-License-Identifier: GPL-3.0-or-later
// What the project settings dialog decides without a widget: the offered slide delays, the font
// list and which entry shows the project's font, the checks of typed values, and the forms in
// which the results of the picker and the music dialog are stored.
#pragma once

#include "editor/dialogs/EditorDialogs.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the music dialog hands back. An empty value means no music; a sample is a bare file name of
// the installation's Music folder (stored as "Music\" + name), a file from disk its path.
struct CMusicChoice {
    std::string m_strValue;
    bool m_bFromSamples = false;
};

// Where the music dialog starts: the value without its "Music\" prefix, and the source it opens on.
struct CMusicStart {
    static constexpr int kSamples = 0;
    static constexpr int kDisk = 1;
    std::string m_strValue;
    int m_nSource = kSamples;
};

inline constexpr int32_t kMinQuality = 0;
inline constexpr int32_t kMaxQuality = 100;

// The delays offered in the slideshow list, in the order shown.
[[nodiscard]] const std::vector<std::string>& SlideDelayValues();

// The gift fonts of the installation: the titles of the files "<name>.fdb" in its Font folder
// (extension in any case), without the title fonts whose names begin with "_", sorted by name with
// case ignored. An installation without a Font folder has none.
[[nodiscard]] std::vector<std::string> ListGiftFonts(const std::filesystem::path& home);

// The entry that shows the project font: the one equal to it with case ignored, else the first
// that begins with it (case ignored); -1 when none does or the name is empty.
[[nodiscard]] int FindGiftFont(const std::vector<std::string>& fonts, std::string_view strFont);

// The text as an integer from nMin to nMax (blanks around it allowed); nothing when it is not a
// whole number or out of range.
[[nodiscard]] std::optional<int32_t> ParseSettingInteger(std::string_view text, int32_t nMin, int32_t nMax);
// The number of characters (code points) of a UTF-8 text.
[[nodiscard]] size_t CharacterCount(std::string_view text);

// The refusals of a setting that breaks its rule.
[[nodiscard]] std::string IntegerRangeMessage(int32_t nMin, int32_t nMax);
[[nodiscard]] std::string TextTooLongMessage(int nMaxCharacters);

// The stored look of a picker result: a list choice under its folder ("Background\" or
// "Button\" + name), a colour or a file from disk as it is.
[[nodiscard]] std::string StoredLookValue(const CLookChoice& choice, bool bButton);
// The stored music of a music dialog result: "Music\" + name for a sample, else the value.
[[nodiscard]] std::string StoredMusicValue(const CMusicChoice& choice);
// The music dialog's start for the stored music: a value that is no absolute path loses its
// "Music\" prefix and opens the samples; a path opens the disk choice.
[[nodiscard]] CMusicStart MusicDialogStart(const std::string& strMusic);
