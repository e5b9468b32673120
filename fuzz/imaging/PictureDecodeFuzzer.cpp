// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes any bytes as a picture, as picture preparation and the thumbnails do, then scales and
// encodes what decoded. Nothing may crash, hang or read out of bounds.
#include "imaging/Error.h"
#include "imaging/Picture.h"

#include <cstddef>
#include <cstdint>
#include <span>

// ImageMagick's metafile reader leaks its libwmf state on some damaged files; that is theirs to fix,
// and no leak of ours passes through these two libraries' allocators.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libwmflite\nleak:libwmf-0.2\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    // A few hundred bytes of metafile can rightly declare a photo-sized drawing, and rendering or
    // scaling tens of megapixels under the sanitizers takes longer than a run may. The header is
    // always read; the pixels only of pictures up to a few megapixels, which run the same code.
    constexpr long kMaxDecodedArea = 4'000'000;
    const auto probed = imaging::Picture::probe(bytes);
    if (probed && static_cast<long>(probed->width) * probed->height > kMaxDecodedArea) {
        return 0;
    }
    const auto picture = imaging::Picture::decode(bytes, { imaging::Size { 32, 24 } });
    if (!picture) {
        return 0;
    }
    try {
        (void)picture->encodeJpeg(50);
        (void)picture->scaled({ 16, 12 }).encodeJpeg(0);
        (void)picture->thumbnail({ 12, 10 }).rgb(imaging::kWhite);
    } catch (const imaging::Error&) {
        // A refused scale or encode is an acceptable outcome.
    }
    return 0;
}
