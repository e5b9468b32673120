// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Sound.h"

#include "swf/ByteReader.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

using namespace swf;

namespace {

Mp3Sound silentFrames(size_t count)
{
    std::vector<uint8_t> file;
    const auto frame = sample::silentMp3Frame();
    for (size_t i = 0; i < count; ++i) {
        file.insert(file.end(), frame.begin(), frame.end());
    }
    return readMp3(file);
}

std::vector<Tag> tagsOf(const std::vector<uint8_t>& file, TagCode code)
{
    std::vector<Tag> out;
    for (auto& t : readSwf(file).tags) {
        if (t.code == static_cast<uint16_t>(code)) {
            out.push_back(t);
        }
    }
    return out;
}

} // namespace

TEST(Sound, FormatByteTable)
{
    struct Row {
        MpegVersion version;
        bool stereo;
        uint8_t format;
    };
    const Row rows[] = { { MpegVersion::Mpeg1, true, 0x2f }, { MpegVersion::Mpeg1, false, 0x2e },
        { MpegVersion::Mpeg2, true, 0x2b }, { MpegVersion::Mpeg25, false, 0x26 } };
    for (const auto& row : rows) {
        Mp3Sound s;
        s.version = row.version;
        s.stereo = row.stereo;
        EXPECT_EQ(mp3SoundFormat(s), row.format);
    }
}

TEST(Sound, EventSoundHoldsTheFramesAndStartsOnce)
{
    const auto mp3 = silentFrames(5);
    auto sound = std::make_shared<EventSound>(mp3);
    Movie movie(6);
    movie.setRate(0);
    movie.addTag(startSound(sound, 65535, true));
    movie.nextFrame();
    movie.addTag(startSound(sound)); // the same sound again: defined once
    movie.nextFrame();
    const auto bytes = movie.toBytes();
    const auto defines = tagsOf(bytes, TagCode::DefineSound);
    ASSERT_EQ(defines.size(), 1U);
    ByteReader r(defines[0].body);
    const uint16_t id = r.u16();
    EXPECT_EQ(r.u8(), 0x2f);
    EXPECT_EQ(r.u32(), 5U * 1152U);
    EXPECT_EQ(r.s16(), kMp3SeekSamples);
    const auto data = r.bytes(r.remaining());
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.end()), mp3.frames);
    const auto starts = tagsOf(bytes, TagCode::StartSound);
    ASSERT_EQ(starts.size(), 2U);
    // id, flags no-multiple + loops, loop count
    EXPECT_EQ(starts[0].body,
        (std::vector<uint8_t> { static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0x14, 0xff, 0xff }));
    EXPECT_EQ(starts[1].body,
        (std::vector<uint8_t> { static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0x00 }));
}

TEST(Sound, StreamBlocksCarryEveryFrameOnce)
{
    for (const float fps : { 12.0F, 25.0F, 1.0F, 30.0F }) {
        const auto mp3 = silentFrames(40);
        const StreamSound stream(mp3, fps);
        const int perFrame = static_cast<int>(44100 / fps);
        const Tag headTag = stream.head();
        ByteReader head(headTag.body);
        EXPECT_EQ(head.u8(), 0x0f);
        EXPECT_EQ(head.u8(), 0x2f);
        EXPECT_EQ(head.u16(), perFrame);
        std::vector<uint8_t> joined;
        uint32_t samples = 0;
        for (int f = 0; f < stream.frameCount(); ++f) {
            const auto block = stream.block(f);
            ASSERT_TRUE(block.has_value());
            ByteReader r(block->body); // block outlives r
            samples += r.u16();
            const int16_t seek = r.s16();
            // The block's first MP3 frame starts within one MP3 frame after the SWF frame's first sample.
            EXPECT_GE(seek, 0) << fps << " frame " << f;
            EXPECT_LT(seek, 1152) << fps << " frame " << f;
            const auto data = r.bytes(r.remaining());
            joined.insert(joined.end(), data.begin(), data.end());
        }
        EXPECT_FALSE(stream.block(stream.frameCount()).has_value());
        EXPECT_EQ(samples, mp3.sampleCount()) << fps;
        EXPECT_EQ(joined, mp3.frames) << fps;
        EXPECT_GE(static_cast<long long>(stream.frameCount()) * perFrame, mp3.sampleCount());
    }
    EXPECT_THROW(StreamSound(silentFrames(1), 0.0F), Error);
}

TEST(Sound, StreamAddsOneBlockPerFrame)
{
    const StreamSound stream(silentFrames(12), 12.0F);
    Movie movie(6);
    movie.setRate(12);
    stream.addTo(movie);
    EXPECT_EQ(movie.frameCount(), stream.frameCount());
    const auto bytes = movie.toBytes();
    EXPECT_EQ(tagsOf(bytes, TagCode::SoundStreamHead2).size(), 1U);
    EXPECT_EQ(tagsOf(bytes, TagCode::SoundStreamBlock).size(), static_cast<size_t>(stream.frameCount()));
}
