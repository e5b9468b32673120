// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// What a ZIP archive without the ZIP64 extensions can hold. We write no ZIP64 records (older unzip
// tools cannot read them), so these are hard limits, checked before anything goes past them.

// The end record counts entries in 16 bits.
inline constexpr size_t kMaxZipEntries = 65535;
// Sizes are 32-bit fields; 0xFFFFFFFF itself marks a ZIP64 size, so a file must stay below it.
inline constexpr uint64_t kMaxZipFileSize = 0xFFFFFFFEULL;
// Offsets are 32-bit fields too: the whole archive, central directory included, stays below 4 GiB.
inline constexpr uint64_t kMaxZipArchiveSize = 0xFFFFFFFEULL;
// Name lengths are 16-bit fields.
inline constexpr size_t kMaxZipNameLength = 0xFFFF;
