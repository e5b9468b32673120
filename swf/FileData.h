// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace swf {

// Reads a whole file, refusing files larger than `maxSize`. Throws swf::Error naming `what` and
// the path when the file cannot be opened, read, or is too large.
[[nodiscard]] std::vector<uint8_t> readFileData(
    const std::filesystem::path& path, uintmax_t maxSize, std::string_view what);

} // namespace swf
