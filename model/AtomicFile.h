// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// Replaces the file at path with the bytes: they go to a new temporary file in the same folder,
// which is flushed to disk and then renamed over the old file, so a failed write never destroys
// the previous content. An existing file's permissions carry over. Throws std::runtime_error
// naming the path on failure, leaving no temporary file behind.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Largest file ReadWholeFile accepts.
inline constexpr uintmax_t kMaxReadFileSize = 256ULL * 1024 * 1024;

// The file's bytes. Throws std::runtime_error naming the path when it cannot be read or is larger
// than maxSize.
[[nodiscard]] std::vector<uint8_t> ReadWholeFile(
    const std::filesystem::path& path, uintmax_t maxSize = kMaxReadFileSize);
