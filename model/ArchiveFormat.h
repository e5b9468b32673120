// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Tags of the object-archive format shared by its reader and writer.
namespace archive_tag {
inline constexpr uint16_t kNull = 0x0000;
inline constexpr uint16_t kNewClass = 0xFFFF;
// Set on a WORD that refers to a known class by its index.
inline constexpr uint16_t kClassBit = 0x8000;
// Indices of this value and above follow as a DWORD.
inline constexpr uint16_t kBigIndex = 0x7FFF;
inline constexpr uint32_t kBigClassBit = 0x80000000U;
// In a text's length prefix: the text follows as UTF-16LE units.
inline constexpr uint16_t kUnicodeMarker = 0xFFFE;
} // namespace archive_tag
