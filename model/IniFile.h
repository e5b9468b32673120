// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A profile (INI) file kept as its lines, so that writing a key leaves every other line, comment and
// line end as it was. Sections and keys are matched without regard to (ASCII) case; values are
// trimmed of surrounding blanks, and one pair of matching quotes around a value is dropped, as
// profile readers do. New lines end with CRLF.
class CIniFile {
public:
    CIniFile() = default;
    // The file's content; a missing file gives an empty one. Throws std::runtime_error when an
    // existing file cannot be read.
    [[nodiscard]] static CIniFile Load(const std::filesystem::path& path);
    [[nodiscard]] static CIniFile FromText(std::string_view text);

    [[nodiscard]] std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Replaces the key's value, adds the key at the end of its section, or adds the section at the end.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    [[nodiscard]] std::string Text() const;
    // Writes through a temporary file renamed over the old one. Throws std::runtime_error on failure.
    void Save(const std::filesystem::path& path) const;

private:
    struct Line {
        std::string text;
        // "\r\n", "\n" or empty for a last line without an end.
        std::string end;
    };
    std::vector<Line> m_lines;
};

// config.ini of the installation: section SETTINGS, key EMAIL.
inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kConfigSection = "SETTINGS";
inline constexpr const char* kConfigEmailKey = "EMAIL";
// The content a missing config.ini is created with.
inline constexpr const char* kConfigInitialText = "[SETTINGS]\r\nEMAIL=";
// The e-mail value is read up to this many characters.
inline constexpr size_t kConfigEmailMaxChars = 100;

// Creates config.ini with its initial content when it is missing. Returns false when it could not be
// created (the caller shows its notice and goes on); true when it exists.
[[nodiscard]] bool EnsureConfigFile(const std::filesystem::path& configPath);
// The EMAIL value (at most kConfigEmailMaxChars characters), or the placeholder address when the
// key is missing. A missing or unreadable file also gives the placeholder.
[[nodiscard]] std::string ReadConfigEmail(const std::filesystem::path& configPath);
