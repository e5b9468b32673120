// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between the UTF-8 text of the model and the forms of the project file: the
// Windows-1252 code page, and UTF-16LE for text that code page cannot hold.
//
// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
// characters of the same value, as the Windows conversion does, so every byte string survives a
// trip through UTF-8 and back. Unpaired UTF-16 surrogates are carried in UTF-8 as three-byte
// sequences, so they survive too. Bytes that are not UTF-8 are taken as Windows-1252 characters.

// The Windows-1252 bytes of the text, or nothing when some character has no such byte.
[[nodiscard]] std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
[[nodiscard]] std::string Cp1252ToUtf8(std::string_view bytes);
[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view utf8);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view utf16);
// Number of code points, counting a byte that is not UTF-8 as one.
[[nodiscard]] size_t Utf8Length(std::string_view utf8);
// The first maxChars code points of the text.
[[nodiscard]] std::string Utf8Truncate(std::string_view utf8, size_t maxChars);
