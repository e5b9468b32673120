// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace imaging {

// The picture kinds we decode. Anything else (DBL, SVG, scripts of ImageMagick's own formats) is
// refused before ImageMagick sees it.
enum class Format { Jpeg, Gif, Png, Bmp, Ico, Wmf, Pcx };

// Recognises a picture by its first bytes; the file name plays no part.
[[nodiscard]] std::optional<Format> sniffFormat(std::span<const std::uint8_t> bytes);

// sniffFormat for a file: reads its first bytes only, or the whole file where the kind needs it (WMF).
[[nodiscard]] std::optional<Format> sniffFile(const std::filesystem::path& path);

// Nullopt when a whole PNG file can go to the decoder as it is; otherwise the copy it should get.
// libpng takes the memory a chunk declares before it reads the chunk, and only warns when the length
// is absurd, so one damaged length asked for gigabytes: the copy ends before the first chunk that
// runs past the end of the file, unless that chunk is pixel data, which is streamed (a file cut
// short there still shows its top rows). A few kilobytes of compressed text (zTXt) can inflate to
// gigabytes, and the decoder inflates it whole before the first pixel: the copy leaves it out, as a
// gift has no use for it.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> safePngCopy(std::span<const std::uint8_t> bytes);

// ImageMagick's name of the coder for a kind ("JPEG", "GIF", ...).
[[nodiscard]] std::string_view coderName(Format format);

} // namespace imaging
