// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Format.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "imaging/Limits.h"

namespace imaging {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::uint32_t word16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return bytes[at] | (std::uint32_t { bytes[at + 1] } << 8);
}

// A metafile is handed to its decoder only when its header and record chain hold together: the
// decoder reports damaged files on the terminal instead of only failing.
bool isPlausibleMetafile(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t kPlaceableHeaderBytes = 22;
    constexpr std::size_t kMetaHeaderBytes = 18;
    constexpr std::size_t kMinRecordWords = 3;
    std::size_t pos = startsWith(bytes, { 0xD7, 0xCD, 0xC6, 0x9A }) ? kPlaceableHeaderBytes : 0;
    if (bytes.size() < pos + kMetaHeaderBytes) {
        return false;
    }
    const auto type = word16(bytes, pos);
    const auto headerWords = word16(bytes, pos + 2);
    const auto version = word16(bytes, pos + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) {
        return false;
    }
    pos += kMetaHeaderBytes;
    // Every record is at least 3 words long, so this walk ends within bytes.size() / 6 steps.
    while (bytes.size() - pos >= kMinRecordWords * 2) {
        const std::uint64_t words = word16(bytes, pos) | (std::uint64_t { word16(bytes, pos + 2) } << 16);
        const auto function = word16(bytes, pos + 4);
        if (words < kMinRecordWords || words * 2 > bytes.size() - pos) {
            return false;
        }
        if (function == 0) {
            return true; // the end-of-file record
        }
        pos += static_cast<std::size_t>(words * 2);
    }
    return false;
}

constexpr std::size_t kPngSignatureBytes = 8;
constexpr std::size_t kPngChunkHeaderBytes = 8;
constexpr std::size_t kPngCrcBytes = 4;
// The end chunk: no data, and the check sum of its type alone.
constexpr std::array<std::uint8_t, 12> kPngEnd { 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82 };

bool hasType(std::span<const std::uint8_t> bytes, std::size_t at, const char (&type)[5])
{
    return std::equal(type, type + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace

std::optional<std::vector<std::uint8_t>> safePngCopy(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kPngSignatureBytes) {
        return std::nullopt;
    }
    // Whole chunks to keep, as [start, end) ranges; the file is copied only when something is left out.
    std::vector<std::pair<std::size_t, std::size_t>> kept;
    bool leftOut = false;
    bool ended = false;
    std::size_t pos = kPngSignatureBytes;
    while (bytes.size() - pos >= kPngChunkHeaderBytes) {
        const std::uint64_t length = (std::uint64_t { bytes[pos] } << 24) |
            (std::uint32_t { bytes[pos + 1] } << 16) | (std::uint32_t { bytes[pos + 2] } << 8) |
            bytes[pos + 3];
        const std::size_t left = bytes.size() - pos - kPngChunkHeaderBytes;
        if (length > left && !hasType(bytes, pos + 4, "IDAT")) {
            leftOut = true;
            break;
        }
        const auto end = pos +
            static_cast<std::size_t>(
                std::min<std::uint64_t>(kPngChunkHeaderBytes + length + kPngCrcBytes, bytes.size() - pos));
        if (hasType(bytes, pos + 4, "zTXt")) {
            leftOut = true;
        } else {
            kept.emplace_back(pos, end);
        }
        if (hasType(bytes, pos + 4, "IEND")) {
            ended = true;
            break;
        }
        pos = end;
    }
    if (!leftOut) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.begin() + kPngSignatureBytes);
    for (const auto& [start, end] : kept) {
        copy.insert(copy.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start),
            bytes.begin() + static_cast<std::ptrdiff_t>(end));
    }
    if (!ended) {
        copy.insert(copy.end(), kPngEnd.begin(), kPngEnd.end());
    }
    return copy;
}

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
    if (startsWith(bytes, { 0xD7, 0xCD, 0xC6, 0x9A }) || startsWith(bytes, { 0x01, 0x00, 0x09, 0x00 }) ||
        startsWith(bytes, { 0x02, 0x00, 0x09, 0x00 })) {
        if (isPlausibleMetafile(bytes)) {
            return Format::Wmf;
        }
        return std::nullopt;
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

std::optional<Format> sniffFile(const std::filesystem::path& path)
{
    // Enough for every signature above.
    constexpr std::size_t kSignatureBytes = 16;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(kSignatureBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    auto format = sniffFormat(head);
    const bool metafileLike = startsWith(head, { 0xD7, 0xCD, 0xC6, 0x9A }) ||
        startsWith(head, { 0x01, 0x00, 0x09, 0x00 }) || startsWith(head, { 0x02, 0x00, 0x09, 0x00 });
    if (metafileLike) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (error || size > limits::kMaxFileBytes) {
            return std::nullopt;
        }
        in.seekg(0);
        const std::vector<std::uint8_t> whole { std::istreambuf_iterator<char>(in),
            std::istreambuf_iterator<char>() };
        format = sniffFormat(whole);
    }
    return format;
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
