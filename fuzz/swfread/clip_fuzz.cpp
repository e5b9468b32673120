// SPDX-License-Identifier: GPL-3.0-or-later
// A loaded clip must either be refused with an Error or serialise inside a host movie; serialising
// may only fail with an Error of its own (a file with so many characters that the host runs out of
// ids), never crash.
#include "swf/Error.h"
#include "swf/Movie.h"
#include "swf/read/PrebuiltClip.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::shared_ptr<swf::PrebuiltClip> clip;
    try {
        clip = swf::PrebuiltClip::fromBytes(std::span<const uint8_t>(data, size));
    } catch (const swf::Error&) {
        return 0;
    }
    swf::Movie movie(6);
    movie.add(clip);
    movie.add(clip);
    movie.nextFrame();
    try {
        (void)movie.toBytes();
    } catch (const swf::Error&) {
        return 0;
    }
    return 0;
}
