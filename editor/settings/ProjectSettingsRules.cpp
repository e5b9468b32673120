// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/settings/ProjectSettingsRules.h"

#include "model/InstallPaths.h"
#include "model/LookValue.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace {

constexpr std::string_view kFontExtension = ".fdb";
constexpr std::string_view kMusicPrefix = "Music\\";

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), text.begin(),
            [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// Orders names with case ignored; names that differ only in case keep a fixed order.
bool LessNoCase(const std::string& a, const std::string& b)
{
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
    if (mismatch.first == a.end() || mismatch.second == b.end()) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
    return LowerAscii(*mismatch.first) < LowerAscii(*mismatch.second);
}

} // namespace

const std::vector<std::string>& SlideDelayValues()
{
    static const std::vector<std::string> values { "0", "0.01", "0.02", "0.03", "0.04", "0.05", "0.08", "0.1",
        "0.2", "0.5", "1", "1.5", "3", "5", "10" };
    return values;
}

std::vector<std::string> ListGiftFonts(const std::filesystem::path& home)
{
    std::vector<std::string> fonts;
    const std::filesystem::path folder = InstallPath(home, "\\Font");
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            continue;
        }
        const std::string strName = it->path().filename().string();
        if (strName.size() <= kFontExtension.size() ||
            !EqualNoCase(
                std::string_view(strName).substr(strName.size() - kFontExtension.size()), kFontExtension)) {
            continue;
        }
        std::string strTitle = strName.substr(0, strName.size() - kFontExtension.size());
        // "_<name>.fdb" is the title font that goes with <name>.fdb, not a choice of its own.
        if (strTitle.starts_with('_')) {
            continue;
        }
        fonts.push_back(std::move(strTitle));
    }
    std::sort(fonts.begin(), fonts.end(), LessNoCase);
    return fonts;
}

int FindGiftFont(const std::vector<std::string>& fonts, std::string_view strFont)
{
    if (strFont.empty()) {
        return -1;
    }
    // The exact name first: "Sans" must not show as "SansBold" only because that one is listed
    // first, since OK would then store the other font.
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (EqualNoCase(fonts[i], strFont)) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (StartsWithNoCase(fonts[i], strFont)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<int32_t> ParseSettingInteger(std::string_view text, int32_t nMin, int32_t nMax)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.size() > 1 && text.front() == '+' && text[1] >= '0' && text[1] <= '9') {
        text.remove_prefix(1);
    }
    int32_t nValue = 0;
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue);
    if (error != std::errc() || pEnd != text.data() + text.size() || nValue < nMin || nValue > nMax) {
        return std::nullopt;
    }
    return nValue;
}

size_t CharacterCount(std::string_view text)
{
    // Every byte but the continuation bytes of UTF-8 starts a character.
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string IntegerRangeMessage(int32_t nMin, int32_t nMax)
{
    return "Please enter an integer between " + std::to_string(nMin) + " and " + std::to_string(nMax) + ".";
}

std::string TextTooLongMessage(int nMaxCharacters)
{
    return "Please enter no more than " + std::to_string(nMaxCharacters) + " characters.";
}

std::string StoredLookValue(const CLookChoice& choice, bool bButton)
{
    if (!choice.m_bFromList) {
        return choice.m_strValue;
    }
    return (bButton ? "Button\\" : "Background\\") + choice.m_strValue;
}

std::string StoredMusicValue(const CMusicChoice& choice)
{
    if (choice.m_strValue.empty() || !choice.m_bFromSamples) {
        return choice.m_strValue;
    }
    return std::string(kMusicPrefix) + choice.m_strValue;
}

CMusicStart MusicDialogStart(const std::string& strMusic)
{
    CMusicStart start;
    if (IsAbsoluteLookPath(strMusic)) {
        start.m_strValue = strMusic;
        start.m_nSource = CMusicStart::kDisk;
        return start;
    }
    start.m_strValue =
        StartsWithNoCase(strMusic, kMusicPrefix) ? strMusic.substr(kMusicPrefix.size()) : strMusic;
    start.m_nSource = CMusicStart::kSamples;
    return start;
}
