// SPDX-License-Identifier: GPL-3.0-or-later
// What the movie's action records hold of the texts that a gift's scripts carry, and those texts
// shortened to fit. Texts from a project file are not bounded by the editor's edit limits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An action record's length is a UI16.
inline constexpr size_t kMaxActionRecordBytes = 0xFFFF;
// What a gift script holds besides the texts put into it (names, numbers and actions take under 128
// bytes today), with room to spare.
inline constexpr size_t kScriptReserve = 256;
// A link script's trace entry, card title + "[-]" + link title + "[N]", is one constant of the
// script's pool, and the script one condition record of its button, whose length (its own 4 bytes
// included) is a UI16 too.
inline constexpr size_t kMaxTraceBytes = kMaxActionRecordBytes - 4 - kScriptReserve;
// The e-mail alert's address, with the card title and the author's address percent-encoded in it,
// is one constant of the alert's pool; so is the author button's "mailto:" address.
inline constexpr size_t kMaxAddressBytes = kMaxActionRecordBytes - kScriptReserve;
// What a trace entry adds to the two titles: "[-]" and "[N]".
inline constexpr size_t kTraceMarkBytes = 6;

// The longest start of the text that ends at a UTF-8 character boundary and takes at most nBudget
// bytes in a record: each byte as it is, or with bEncoded as EncodeQueryValue writes it (1 or 3).
[[nodiscard]] std::string ShortenUtf8(std::string_view text, size_t nBudget, bool bEncoded = false);

// The bytes EncodeQueryValue makes of the text.
[[nodiscard]] size_t EncodedBytes(std::string_view text);

// The characters (code points) of UTF-8 text: bytes that do not continue a character.
[[nodiscard]] size_t CountCharacters(std::string_view text);

// The bytes the alert address takes besides the two encoded texts.
[[nodiscard]] size_t AlertAddressOverhead();
