// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

// Caps on the pictures we decode. They apply on top of the system's ImageMagick policy, which can only
// lower them further.
namespace imaging::limits {

// A picture file larger than this is not read into memory; no picture the pixel caps allow needs more.
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t { 256 } << 20;
// Widest or highest picture decoded or produced: a decompression bomb declares a huge side.
inline constexpr std::uint64_t kMaxSide = 16000;
// Largest pixel area held in one picture: a 12000x9000 photo still fits.
inline constexpr std::uint64_t kMaxArea = 128'000'000;
// Pixel memory in RAM, then memory-mapped, then on disk, before ImageMagick refuses the picture.
inline constexpr std::uint64_t kMaxMemoryBytes = std::uint64_t { 256 } << 20;
inline constexpr std::uint64_t kMaxMapBytes = std::uint64_t { 512 } << 20;
inline constexpr std::uint64_t kMaxDiskBytes = std::uint64_t { 1 } << 30;
// Frames held at once: we only ever keep the first frame of an animation.
inline constexpr std::uint64_t kMaxListLength = 16;
// One decode, scale or encode is abandoned after this long, so a hostile file cannot hang the caller.
inline constexpr std::chrono::seconds kOperationTimeLimit { 20 };

} // namespace imaging::limits
