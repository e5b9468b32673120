// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Music.h"

#include "swf/ByteReader.h"
#include "swf/read/Mp3.h"
#include "swf/read/PrebuiltClip.h"
#include "swf/read/Sound.h"
#include "swf/read/SwfFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("musictest-" + std::to_string(::getpid()));
        m_appDir = m_dir / "app";
        fs::create_directories(m_appDir / "Temp");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A one-second tone encoded by lame; empty when sox or lame is missing.
    fs::path tone(const char* name, const char* lameOptions)
    {
        const auto wav = m_dir / (std::string(name) + ".wav");
        const auto mp3 = m_dir / name;
        const std::string cmd = "sox -q -n -r 44100 -c 2 -b 16 '" + wav.string() +
            "' synth 1 sine 440 && lame --quiet " + lameOptions + " '" + wav.string() + "' '" + mp3.string() +
            "'";
        if (std::system(cmd.c_str()) != 0 || !fs::exists(mp3)) {
            return {};
        }
        return mp3;
    }

    fs::path musicMovie() const { return m_appDir / "Temp" / "MP3.swf"; }

    fs::path m_dir;
    fs::path m_appDir;
};

} // namespace

TEST_F(MusicTest, Mp3BecomesAnEventSoundMovie)
{
    const auto mp3 = tone("tone.MP3", "-b 128 --add-id3v2 --tt Tone");
    if (mp3.empty()) {
        GTEST_SKIP() << "sox or lame missing";
    }
    ASSERT_EQ(PrepareMusic(mp3.string(), m_appDir.string()), 1);
    const auto file = swf::readFileBytes(musicMovie().string());
    const auto movie = swf::readSwf(file);
    EXPECT_EQ(movie.header.version, 6);
    EXPECT_EQ(movie.header.rate, 12 * 256);
    EXPECT_EQ(movie.header.frameCount, 1);
    const auto expected = swf::readMp3File(mp3);
    bool defined = false;
    bool started = false;
    for (const auto& t : movie.tags) {
        if (t.code == static_cast<uint16_t>(swf::TagCode::DefineSound)) {
            swf::ByteReader r(t.body);
            (void)r.u16();
            EXPECT_EQ(r.u8(), 0x2f);
            EXPECT_EQ(r.u32(), expected.sampleCount());
            (void)r.s16();
            const auto data = r.bytes(r.remaining());
            EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.end()), expected.frames);
            // What the sound holds reads back as the same MP3 frames.
            EXPECT_EQ(swf::readMp3(data).frameCount(), expected.frameCount());
            defined = true;
        }
        if (t.code == static_cast<uint16_t>(swf::TagCode::StartSound)) {
            ASSERT_EQ(t.body.size(), 5U);
            EXPECT_EQ(t.body[2], 0x14); // no second copy, loops
            EXPECT_EQ(t.body[3] | (t.body[4] << 8), 65535);
            started = defined;
        }
    }
    EXPECT_TRUE(defined);
    EXPECT_TRUE(started);
    // The gift embeds it as a clip.
    EXPECT_NO_THROW((void)swf::PrebuiltClip::fromFile(musicMovie()));
}

TEST_F(MusicTest, FlashMusicIsCopiedOtherEndingsGiveNone)
{
    const auto source = m_dir / "Song.SWF";
    std::ofstream(source, std::ios::binary) << "FWS-any-content";
    ASSERT_EQ(PrepareMusic(source.string(), m_appDir.string()), 1);
    std::ifstream in(musicMovie(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "FWS-any-content");
    EXPECT_EQ(PrepareMusic((m_dir / "song.wav").string(), m_appDir.string()), 0);
    EXPECT_EQ(PrepareMusic("", m_appDir.string()), 0);
    EXPECT_TRUE(fs::exists(musicMovie())); // no music this time, the file of the last one stays
    // Picking the music movie itself keeps it.
    EXPECT_EQ(PrepareMusic(musicMovie().string(), m_appDir.string()), 1);
    EXPECT_EQ(fs::file_size(musicMovie()), std::string("FWS-any-content").size());
}

TEST_F(MusicTest, FailuresThrowAndLeaveNoStaleMusic)
{
    std::ofstream(musicMovie()) << "old music";
    const auto damaged = m_dir / "damaged.mp3";
    std::ofstream(damaged, std::ios::binary) << "this is not an MP3 at all";
    EXPECT_THROW((void)PrepareMusic(damaged.string(), m_appDir.string()), std::runtime_error);
    EXPECT_FALSE(fs::exists(musicMovie()));
    std::ofstream(musicMovie()) << "old music";
    EXPECT_THROW((void)PrepareMusic((m_dir / "missing.swf").string(), m_appDir.string()), std::runtime_error);
    EXPECT_FALSE(fs::exists(musicMovie()));
    EXPECT_THROW((void)PrepareMusic((m_dir / "missing.mp3").string(), m_appDir.string()), std::runtime_error);
}
