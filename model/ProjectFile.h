// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Project.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// The message shown for any project file that cannot be read.
inline constexpr const char* kLoadFailureMessage = "Can not load this saved file because of old version.";

// Largest project file read: far above any project within the card and link limits, and keeps a
// stray huge file from being read into memory.
inline constexpr uintmax_t kMaxProjectFileSize = 64ULL * 1024 * 1024;

// A project file that could not be opened or read. what() is the text to show the user (for a damaged
// file always kLoadFailureMessage); Detail() says what failed and where, for the log.
class CProjectFileError : public std::runtime_error {
public:
    enum class EKind { OpenFailed, ReadFailed };
    CProjectFileError(EKind kind, const std::string& message, std::string detail)
        : std::runtime_error(message)
        , m_kind(kind)
        , m_detail(std::move(detail))
    {
    }
    [[nodiscard]] EKind Kind() const { return m_kind; }
    [[nodiscard]] const std::string& Detail() const { return m_detail; }

private:
    EKind m_kind;
    std::string m_detail;
};

// The project file's bytes: version 1, the card list, then the stored settings. Written even when
// the project has no cards (SaveProjectFile is the one that refuses that).
[[nodiscard]] std::vector<uint8_t> SaveProjectBytes(const CProject& project);

// Replaces the project with the file's content. The whole card list is read into new objects first:
// a failure there throws CProjectFileError and leaves the project as it was. After that the project
// is cleared and the settings are read into it one by one; a failure among them leaves it cleared
// with the settings read so far. A successful load leaves no current card or link.
// m_nQuality and m_strProjectPath are not touched.
void LoadProjectBytes(std::span<const uint8_t> bytes, CProject& project);

// Writes the project file through a temporary file renamed over the old one. Returns false and
// writes nothing when the project has no cards. Throws std::runtime_error naming the path on failure.
bool SaveProjectFile(const CProject& project, const std::filesystem::path& path);

// Reads the file and loads it as LoadProjectBytes does. A file that cannot be opened throws
// CProjectFileError of kind OpenFailed and changes nothing.
void LoadProjectFile(const std::filesystem::path& path, CProject& project);
