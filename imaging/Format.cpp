// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Format.h"

#include <algorithm>
#include <array>

namespace imaging {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

std::optional<Format> sniffFormat(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, { 0xFF, 0xD8, 0xFF })) {
        return Format::Jpeg;
    }
    if (startsWith(bytes, { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A })) {
        return Format::Png;
    }
    if (startsWith(bytes, { 'G', 'I', 'F', '8', '7', 'a' }) ||
        startsWith(bytes, { 'G', 'I', 'F', '8', '9', 'a' })) {
        return Format::Gif;
    }
    if (startsWith(bytes, { 'B', 'M' })) {
        return Format::Bmp;
    }
    // Icon directory: reserved 0, type 1, then a non-zero count of images.
    if (startsWith(bytes, { 0x00, 0x00, 0x01, 0x00 }) && bytes.size() >= 6 && (bytes[4] | bytes[5]) != 0) {
        return Format::Ico;
    }
    // Placeable metafile key, or a plain metafile header (in memory or on disk, 9 words, version 3).
    if (startsWith(bytes, { 0xD7, 0xCD, 0xC6, 0x9A }) ||
        startsWith(bytes, { 0x01, 0x00, 0x09, 0x00, 0x00, 0x03 }) ||
        startsWith(bytes, { 0x02, 0x00, 0x09, 0x00, 0x00, 0x03 })) {
        return Format::Wmf;
    }
    // PCX: manufacturer 10, a known version, no or run-length encoding.
    if (bytes.size() >= 3 && bytes[0] == 0x0A) {
        constexpr std::array<std::uint8_t, 5> versions { 0, 2, 3, 4, 5 };
        if (std::find(versions.begin(), versions.end(), bytes[1]) != versions.end() && bytes[2] <= 1) {
            return Format::Pcx;
        }
    }
    return std::nullopt;
}

std::string_view coderName(Format format)
{
    switch (format) {
    case Format::Jpeg:
        return "JPEG";
    case Format::Gif:
        return "GIF";
    case Format::Png:
        return "PNG";
    case Format::Bmp:
        return "BMP";
    case Format::Ico:
        return "ICO";
    case Format::Wmf:
        return "WMF";
    case Format::Pcx:
        return "PCX";
    }
    return "";
}

} // namespace imaging
