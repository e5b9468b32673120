// SPDX-License-Identifier: GPL-3.0-or-later
// Any font file through the whole conversion: FreeType opens it, its outlines, metrics and kerning
// become FDB data, and the writer serialises it. Damaged fonts may be refused with an exception,
// never by a crash or an out-of-bounds access.
#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FdbWriter.h"
#include "tools/fdbgen/TrueTypeFont.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const fdbgen::TrueTypeFont font(std::vector<uint8_t>(data, data + size), "fuzz input");
        const auto bytes = fdbgen::writeFdb(font.convert(fdbgen::defaultCodeRanges(), "Fuzz"));
        (void)bytes;
    } catch (const std::exception&) {
    }
    return 0;
}
