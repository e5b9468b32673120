// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace imaging {

// The picture kinds we decode. Anything else (DBL, SVG, scripts of ImageMagick's own formats) is
// refused before ImageMagick sees it.
enum class Format { Jpeg, Gif, Png, Bmp, Ico, Wmf, Pcx };

// Recognises a picture by its first bytes; the file name plays no part.
[[nodiscard]] std::optional<Format> sniffFormat(std::span<const std::uint8_t> bytes);

// sniffFormat for a file: reads its first bytes only, or the whole file where the kind needs it (WMF).
[[nodiscard]] std::optional<Format> sniffFile(const std::filesystem::path& path);

// ImageMagick's name of the coder for a kind ("JPEG", "GIF", ...).
[[nodiscard]] std::string_view coderName(Format format);

} // namespace imaging
