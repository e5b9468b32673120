// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes any bytes as a picture, as picture preparation and the thumbnails do (with the size they
// need, so that large pictures take the reduced paths), then scales and encodes what decoded.
// Nothing may crash, hang or read out of bounds.
#include "imaging/Error.h"
#include "imaging/Picture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// ImageMagick's metafile reader leaks its libwmf state on some damaged files; that is theirs to fix,
// and no leak of ours passes through these two libraries' allocators.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libwmflite\nleak:libwmf-0.2\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::string failure;
    (void)imaging::Picture::probe(bytes, &failure);
    // Every size up to the decoder's own limits: above the area decoded whole, JPEG, PNG and
    // metafiles take their reduced paths and the other kinds are refused, so no input makes more
    // than 16 megapixels.
    const auto picture = imaging::Picture::decode(bytes, { imaging::Size { 32, 24 } }, &failure);
    if (!picture) {
        return 0;
    }
    // Encoding at the decoded size flattens a copy: only for pictures of a few megapixels, as the
    // preparation does for those it keeps at their own size.
    constexpr long kMaxEncodedArea = 4'000'000;
    try {
        if (static_cast<long>(picture->width()) * picture->height() <= kMaxEncodedArea) {
            (void)picture->encodeJpeg(50);
        }
        (void)picture->scaled({ 16, 12 }).encodeJpeg(0);
        (void)picture->thumbnail({ 12, 10 }).rgb(imaging::kWhite);
    } catch (const imaging::Error&) {
        // A refused scale or encode is an acceptable outcome.
    }
    return 0;
}
