// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/: how a picture of a declared size is decoded within the limits, or why not.
#pragma once

#include "imaging/Format.h"
#include "imaging/Size.h"

#include <cstdint>
#include <optional>
#include <string>

namespace imaging {

enum class DecodeMethod {
    Full, // ImageMagick at the picture's own size (a JPEG perhaps at the hint's scale)
    JpegScaled, // the JPEG decoder's 1/2, 1/4 or 1/8 scale, further than the hint asks
    WmfDensity, // a metafile drawn at a lower resolution
    PngReduced, // our own row-by-row reduction
};

struct DecodePlan {
    DecodeMethod method = DecodeMethod::Full;
    int factor = 1; // each side divided by this (about, for the JPEG scale and the metafile)
    std::string refusal; // not empty: the picture is not decoded, for this reason
};

// "30000×30000"
[[nodiscard]] std::string sizeText(Size size);

// The reason a declared size is refused whatever the kind ("picture too large: 30000×30000, the
// limit is 16000 pixels a side"), or "" when it is within limits::kMaxSide and limits::kMaxArea.
[[nodiscard]] std::string sizeRefusal(Size declared);

// How to decode a picture of this kind and declared size (within sizeRefusal's limits) so that what
// is decoded holds at most fullDecodeArea pixels. Small pictures, and JPEGs whose hint reduces them
// enough, decode as they always did; larger ones are reduced no further than the hint allows unless
// memory needs it; kinds that cannot be reduced, and pictures without a hint, are refused.
[[nodiscard]] DecodePlan planDecode(Format format, Size declared, const std::optional<Size>& hint,
    std::uint64_t fullDecodeArea, bool interlacedPng = false);

} // namespace imaging
