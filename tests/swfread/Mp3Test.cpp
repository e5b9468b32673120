// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Mp3.h"

#include "swf/Error.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace swf;

namespace {

std::filesystem::path mp3Path(const char* name)
{
    return std::filesystem::path(SWFREAD_MP3_DIR) / (std::string(name) + ".mp3");
}

using Bytes = std::vector<uint8_t>;

void append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

void appendText(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

void appendLe32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

Bytes threeFrames()
{
    Bytes out;
    for (int i = 0; i < 3; ++i) {
        append(out, sample::silentMp3Frame());
    }
    return out;
}

// An APEv2 tag with one text item: header (when asked), the item, footer.
Bytes apeTag(bool withHeader)
{
    Bytes item;
    appendLe32(item, 4); // value length
    appendLe32(item, 0); // item flags: UTF-8 text
    appendText(item, "Title");
    item.push_back(0);
    appendText(item, "Tone");
    const auto block = [&](uint32_t flags) {
        Bytes b;
        appendText(b, "APETAGEX");
        appendLe32(b, 2000);
        appendLe32(b, static_cast<uint32_t>(item.size() + 32));
        appendLe32(b, 1);
        appendLe32(b, flags);
        b.resize(b.size() + 8, 0);
        return b;
    };
    const uint32_t hasHeader = withHeader ? 0x80000000U : 0;
    Bytes out;
    if (withHeader) {
        append(out, block(hasHeader | 0x20000000U)); // this is the header
    }
    append(out, item);
    append(out, block(hasHeader));
    return out;
}

Bytes lyrics3v2()
{
    Bytes body;
    appendText(body, "LYRICSBEGININD00003110LYR00011[00:01]Tone");
    const std::string size = std::to_string(body.size());
    appendText(body, std::string(6 - size.size(), '0') + size + "LYRICS200");
    return body;
}

Bytes lyrics3v1()
{
    Bytes body;
    appendText(body, "LYRICSBEGIN[00:01]A tone\r\nLYRICSEND");
    return body;
}

Bytes id3v1()
{
    Bytes tag(128, ' ');
    std::copy_n("TAG", 3, tag.begin());
    return tag;
}

std::string refusal(const Bytes& file)
{
    try {
        (void)readMp3(file);
    } catch (const ParseError& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(Mp3, FrameHeaderTable)
{
    struct Row {
        uint8_t bytes[4];
        MpegVersion version;
        int bitrate;
        int rate;
        bool mono;
        size_t length;
        int samples;
    };
    const Row rows[] = {
        { { 0xff, 0xfb, 0x90, 0x00 }, MpegVersion::Mpeg1, 128, 44100, false, 417, 1152 },
        { { 0xff, 0xfb, 0x92, 0x00 }, MpegVersion::Mpeg1, 128, 44100, false, 418, 1152 }, // padding
        { { 0xff, 0xfb, 0xe4, 0xc0 }, MpegVersion::Mpeg1, 320, 48000, true, 960, 1152 },
        { { 0xff, 0xfb, 0x18, 0x40 }, MpegVersion::Mpeg1, 32, 32000, false, 144, 1152 },
        { { 0xff, 0xf3, 0x40, 0xc0 }, MpegVersion::Mpeg2, 32, 22050, true, 104, 576 },
        { { 0xff, 0xf3, 0xe4, 0x00 }, MpegVersion::Mpeg2, 160, 24000, false, 480, 576 },
        { { 0xff, 0xe3, 0x20, 0xc0 }, MpegVersion::Mpeg25, 16, 11025, true, 104, 576 },
        { { 0xff, 0xe3, 0x18, 0x00 }, MpegVersion::Mpeg25, 8, 8000, false, 72, 576 },
    };
    for (const auto& row : rows) {
        const auto h = parseMp3FrameHeader(row.bytes);
        ASSERT_TRUE(h.has_value()) << row.bitrate << " " << row.rate;
        EXPECT_EQ(h->version, row.version);
        EXPECT_EQ(h->bitrateKbps, row.bitrate);
        EXPECT_EQ(h->sampleRate, row.rate);
        EXPECT_EQ(h->mono, row.mono);
        EXPECT_EQ(h->length, row.length) << row.bitrate << " " << row.rate;
        EXPECT_EQ(h->samplesPerFrame, row.samples);
    }
    const uint8_t invalid[][4] = {
        { 0xff, 0xfd, 0x90, 0x00 }, // layer II
        { 0xff, 0xeb, 0x90, 0x00 }, // reserved version
        { 0xff, 0xfb, 0x00, 0x00 }, // free bitrate
        { 0xff, 0xfb, 0xf0, 0x00 }, // bad bitrate
        { 0xff, 0xfb, 0x9c, 0x00 }, // reserved rate
        { 0xfe, 0xfb, 0x90, 0x00 }, // no sync
    };
    for (const auto& bytes : invalid) {
        EXPECT_FALSE(parseMp3FrameHeader(bytes).has_value());
    }
}

TEST(Mp3, TagsAndInfoFrameAreSkipped)
{
    auto frame = sample::silentMp3Frame();
    std::vector<uint8_t> file = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4, 5 };
    // An Info frame first: "Info" after the 32-byte side information of MPEG-1 stereo.
    auto info = frame;
    std::copy_n("Info", 4, info.begin() + 36);
    file.insert(file.end(), info.begin(), info.end());
    for (int i = 0; i < 3; ++i) {
        file.insert(file.end(), frame.begin(), frame.end());
    }
    std::vector<uint8_t> id3v1(128, ' ');
    std::copy_n("TAG", 3, id3v1.begin());
    file.insert(file.end(), id3v1.begin(), id3v1.end());
    const auto sound = readMp3(file);
    EXPECT_EQ(sound.frameCount(), 3U);
    EXPECT_EQ(sound.sampleCount(), 3U * 1152U);
    EXPECT_EQ(sound.frames.size(), 3 * frame.size());
    EXPECT_EQ(sound.frameOffsets[2], 2 * frame.size());
    EXPECT_TRUE(sound.stereo);
    EXPECT_EQ(sound.sampleRate, 44100);
}

TEST(Mp3, DamagedDataIsRefused)
{
    const auto frame = sample::silentMp3Frame();
    std::vector<uint8_t> two = frame;
    two.insert(two.end(), frame.begin(), frame.end());
    auto broken = two;
    broken[frame.size()] = 0x00; // second header loses its sync
    EXPECT_NE(refusal(broken).find(
                  "damaged audio: no valid MPEG layer III frame header at offset 417, after 1 frames"),
        std::string::npos)
        << refusal(broken);
    // Junk between frames is damage, whatever tags or padding follow.
    auto junkInside = frame;
    appendText(junkInside, "junk");
    append(junkInside, frame);
    append(junkInside, Bytes(64, 0));
    append(junkInside, id3v1());
    EXPECT_NE(refusal(junkInside).find("damaged audio"), std::string::npos) << refusal(junkInside);
    // Trailing tags whose own sizes do not fit.
    auto badApe = two;
    auto ape = apeTag(false);
    ape[ape.size() - 32 + 12] = 0xff;
    ape[ape.size() - 32 + 13] = 0xff;
    append(badApe, ape);
    EXPECT_NE(refusal(badApe).find("damaged APE tag"), std::string::npos) << refusal(badApe);
    auto badLyrics = two;
    auto lyrics = lyrics3v2();
    lyrics[lyrics.size() - 10] = '9'; // the size no longer reaches "LYRICSBEGIN"
    append(badLyrics, lyrics);
    EXPECT_NE(refusal(badLyrics).find("damaged Lyrics3 tag"), std::string::npos) << refusal(badLyrics);
    EXPECT_THROW((void)readMp3(std::vector<uint8_t> {}), ParseError);
    EXPECT_THROW(
        (void)readMp3(std::vector<uint8_t> { 'I', 'D', '3', 3, 0, 0, 0x7f, 0x7f, 0x7f, 0x7f }), ParseError);
    auto mixed = two;
    mixed[frame.size() + 2] = 0x94; // 48 kHz in the middle of a 44.1 kHz stream
    EXPECT_THROW((void)readMp3(mixed), ParseError);
    // A last frame cut short is dropped, not refused.
    auto cut = two;
    cut.resize(cut.size() - 10);
    EXPECT_EQ(readMp3(cut).frameCount(), 1U);
}

TEST(Mp3, TrailingTagsAndPaddingAfterTheLastFrame)
{
    struct Case {
        const char* name;
        std::vector<Bytes> trailer;
    };
    const Case cases[] = {
        { "APEv2 with header, ID3v1", { apeTag(true), id3v1() } },
        { "APE footer only", { apeTag(false) } },
        { "Lyrics3 v2, APEv2, ID3v1", { lyrics3v2(), apeTag(true), id3v1() } },
        { "APEv2, Lyrics3 v2, ID3v1", { apeTag(true), lyrics3v2(), id3v1() } },
        { "Lyrics3 v1, ID3v1", { lyrics3v1(), id3v1() } },
        { "zero padding", { Bytes(1000, 0) } },
        { "zero padding, APEv2", { Bytes(7, 0), apeTag(true) } },
    };
    for (const auto& c : cases) {
        Bytes file = threeFrames();
        for (const auto& part : c.trailer) {
            append(file, part);
        }
        const auto sound = readMp3(file);
        EXPECT_EQ(sound.frameCount(), 3U) << c.name;
        EXPECT_EQ(sound.frames, threeFrames()) << c.name;
    }
}

TEST(Mp3, JunkBeforeTheFirstFrameIsSkippedWithinABound)
{
    const Bytes id3v2 = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 2, 0, 0 };
    // Junk with a false sync (a frame header whose frame does not lead to another one).
    Bytes junk = { 0x00, 'j', 'u', 'n', 'k', 0xff, 0xfb, 0x90, 0x00 };
    junk.resize(300, 'x');
    Bytes file = id3v2;
    append(file, junk);
    append(file, threeFrames());
    const auto sound = readMp3(file);
    EXPECT_EQ(sound.frameCount(), 3U);
    EXPECT_EQ(sound.frames, threeFrames());

    Bytes far = id3v2;
    append(far, Bytes(5000, 'x'));
    append(far, threeFrames());
    EXPECT_NE(refusal(far).find("no MPEG layer III audio within 4096 bytes of offset 12"), std::string::npos)
        << refusal(far);
}

TEST(Mp3, EncodedTonesOfEveryVersion)
{
    struct Case {
        const char* name;
        MpegVersion version;
        int rate;
        bool stereo;
        size_t skipped; // bytes of tags and Info frame (the encoder leaves Info out of small frames)
    };
    const Case cases[] = { { "tone44s", MpegVersion::Mpeg1, 44100, true, 417 },
        { "tone22m", MpegVersion::Mpeg2, 22050, false, 0 },
        { "tone11m", MpegVersion::Mpeg25, 11025, false, 0 },
        { "tone48s_plain", MpegVersion::Mpeg1, 48000, true, 0 },
        { "tone44s_tags", MpegVersion::Mpeg1, 44100, true, 417 + 128 + 10 } };
    for (const auto& c : cases) {
        if (!std::filesystem::exists(mp3Path(c.name))) {
            GTEST_SKIP() << "sox or lame missing: no test MP3s";
        }
        const auto file = readFileBytes(mp3Path(c.name).string());
        const auto sound = readMp3(file);
        EXPECT_EQ(sound.version, c.version) << c.name;
        EXPECT_EQ(sound.sampleRate, c.rate) << c.name;
        EXPECT_EQ(sound.stereo, c.stereo) << c.name;
        // One second of tone plus the encoder's padding, never less than the tone itself.
        EXPECT_GE(sound.sampleCount(), static_cast<uint32_t>(c.rate)) << c.name;
        EXPECT_LT(sound.sampleCount(), static_cast<uint32_t>(c.rate) + 4 * 1152) << c.name;
        if (c.skipped > 0) {
            EXPECT_GE(file.size() - sound.frames.size(), c.skipped) << c.name;
        } else {
            EXPECT_EQ(sound.frames.size(), file.size()) << c.name;
        }
        // Every kept frame starts with a valid header whose length leads to the next frame.
        for (size_t i = 0; i < sound.frameCount(); ++i) {
            const auto h =
                parseMp3FrameHeader(std::span<const uint8_t>(sound.frames).subspan(sound.frameOffsets[i]));
            ASSERT_TRUE(h.has_value()) << c.name << " frame " << i;
            const size_t next = i + 1 < sound.frameCount() ? sound.frameOffsets[i + 1] : sound.frames.size();
            EXPECT_EQ(next - sound.frameOffsets[i], h->length);
        }
    }
}
