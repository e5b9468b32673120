// SPDX-License-Identifier: GPL-3.0-or-later
// Movie reading and the readable dump must turn any input into tags, a listing or a ParseError.
#include "swf/Error.h"
#include "swf/read/Dump.h"
#include "swf/read/SwfFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    try {
        (void)swf::readSwf(bytes);
    } catch (const swf::Error&) {
    }
    try {
        (void)swf::dumpMovie(bytes);
    } catch (const swf::Error&) {
    }
    return 0;
}
