// SPDX-License-Identifier: GPL-3.0-or-later
// MP3 reading must give frames or a ParseError; what it keeps must make a sound movie.
#include "swf/Error.h"
#include "swf/Movie.h"
#include "swf/read/Mp3.h"
#include "swf/read/Sound.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    swf::Mp3Sound mp3;
    try {
        mp3 = swf::readMp3(std::span<const uint8_t>(data, size));
    } catch (const swf::Error&) {
        return 0;
    }
    const swf::StreamSound stream(mp3, 12.0F);
    for (int f = 0; f < stream.frameCount(); ++f) {
        (void)stream.block(f);
    }
    auto sound = std::make_shared<swf::EventSound>(std::move(mp3));
    swf::Movie movie(6);
    movie.addTag(swf::startSound(sound));
    movie.nextFrame();
    (void)movie.toBytes();
    return 0;
}
