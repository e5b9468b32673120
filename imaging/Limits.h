// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

// Caps on the pictures we decode. They apply on top of the system's ImageMagick policy, which can only
// lower them further. The sizes were measured on a 2-core machine (Debian 12, ImageMagick 6.9 Q16):
// preparing a picture for a gift is to take no more than about 3 seconds and never to spill pixels
// to disk.
namespace imaging::limits {

// A picture file larger than this is not read into memory; a 120-megapixel photo as PNG is about
// 125 MB, as JPEG about 30 MB.
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t { 256 } << 20;
// Widest or highest picture decoded or produced: a decompression bomb declares a huge side.
inline constexpr std::uint64_t kMaxSide = 16000;
// Largest pixel area of a picture: a 120-megapixel PNG takes 2.5 s to prepare decoded at reduced
// size, a JPEG 0.5 s (1.5 s progressive), so pictures up to this area stay within about 3 s.
inline constexpr std::uint64_t kMaxArea = 128'000'000;
// Largest area decoded at full size. ImageMagick keeps 8 bytes a pixel in its cache (10 for palette
// and CMYK pictures), and a preparation holds the decoded picture and a reduced copy at once: 16
// megapixels (160 MB at most) leave room for the copy within kMaxMemoryBytes; at 24, a 6000x4000
// GIF, BMP or PCX ran out of it. Larger JPEG, PNG and WMF pictures are decoded at reduced size when
// the caller asks for a smaller one; others are refused.
inline constexpr std::uint64_t kMaxFullDecodeArea = 16'000'000;
// ImageMagick's PCX reader holds a copy of the pixels of its own beside the cache, about 18 bytes a
// pixel in all: at 15 megapixels it ran out of kMaxMemoryBytes.
inline constexpr std::uint64_t kMaxPcxDecodeArea = 8'000'000;
// A resize holds an intermediate as wide as the picture and as high as the result (16000 x 1000 for
// a panorama stretched over a gift): above this area a box reduction to twice the result comes
// first, so a scale takes at most a few megapixels more.
inline constexpr std::uint64_t kMaxDirectResizeArea = 4'000'000;
// Pixel memory in RAM. Nothing goes to memory-mapped or disk files: a picture that does not fit is
// refused with its reason instead of writing a gigabyte of scratch pixels next to the gift.
inline constexpr std::uint64_t kMaxMemoryBytes = std::uint64_t { 256 } << 20;
inline constexpr std::uint64_t kMaxMapBytes = 0;
inline constexpr std::uint64_t kMaxDiskBytes = 0;
// Frames held at once: we only ever keep the first frame of an animation.
inline constexpr std::uint64_t kMaxListLength = 16;
// One decode, scale or encode is abandoned after this long, so a hostile file cannot hang the caller.
// Three times the slowest preparation the pixel limits allow, so that a busy machine does not refuse
// a picture within them.
inline constexpr std::chrono::seconds kOperationTimeLimit { 10 };
// Accumulators of a reduced interlaced PNG (20 bytes a reduced pixel, since its rows arrive in seven
// passes): beyond this the picture is reduced further.
inline constexpr std::uint64_t kMaxReductionBytes = std::uint64_t { 64 } << 20;

} // namespace imaging::limits
