// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace swf {

// Code points of a UTF-8 text. A byte that does not start a valid sequence (overlong forms,
// surrogates and values past U+10FFFF included) becomes U+FFFD, and decoding goes on after it.
[[nodiscard]] std::vector<uint32_t> decodeUtf8(std::string_view text);

} // namespace swf
