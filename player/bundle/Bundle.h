// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// The self-running copy of the player is the player program with files appended to it:
//
//   program bytes | entry... | trailer
//   entry:   UI32 name length, name (UTF-8, a relative path), UI64 data length, data
//   trailer: UI64 length of the entries, UI32 entry count, UI32 zero, 8 bytes "MLKSELF1"
//
// All numbers are little-endian. The program finds its payload from the end of its own file.

struct CBundleEntry {
    std::string m_strName;
    std::vector<uint8_t> m_data;
    bool operator==(const CBundleEntry&) const = default;
};

class CBundleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CBundle {
    size_t m_nProgramSize = 0; // bytes of the program before the payload
    std::vector<CBundleEntry> m_entries;
};

inline constexpr char kBundleMagic[8] = { 'M', 'L', 'K', 'S', 'E', 'L', 'F', '1' };
inline constexpr size_t kBundleTrailerSize = 24;
// A movie, the player page and Ruffle's few files; anything beyond is damage.
inline constexpr uint32_t kMaxBundleEntries = 64;
// Names are short relative paths such as "ruffle/ruffle.js".
inline constexpr uint32_t kMaxBundleNameLength = 255;

// The payload bytes (entries and trailer) to append to a program.
[[nodiscard]] std::vector<uint8_t> WriteBundlePayload(const std::vector<CBundleEntry>& entries);

// Reads the payload at the end of a file. No trailer magic: std::nullopt (a plain program).
// A trailer whose content does not fit the file throws CBundleError naming what is wrong.
[[nodiscard]] std::optional<CBundle> ReadBundle(std::span<const uint8_t> file);

// True for a name that stays inside the folder it is extracted to: relative, no "." or ".."
// parts, no backslashes or empty parts.
[[nodiscard]] bool IsSafeBundleName(const std::string& strName);
