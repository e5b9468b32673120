// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG and DBL readers on arbitrary bytes: damage is a swf::ParseError, never a crash.
#include "swf/DblBitmap.h"
#include "swf/Error.h"
#include "swf/JpegBitmap.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    try {
        (void)swf::JpegBitmap::fromBytes(bytes);
    } catch (const swf::ParseError&) {
    }
    try {
        (void)swf::DblBitmap::fromBytes(bytes);
    } catch (const swf::ParseError&) {
    }
    return 0;
}
