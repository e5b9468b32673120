// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/SwfFile.h"

#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace swf;

TEST(SwfFile, PlainAndCompressedMoviesReadAlike)
{
    for (const uint8_t version : { 4, 6, 8, 10 }) {
        const auto plain = readSwf(sample::everyIdMovie(version));
        const auto packed = readSwf(sample::everyIdMovie(version, 9));
        EXPECT_FALSE(plain.header.compressed);
        EXPECT_TRUE(packed.header.compressed);
        EXPECT_EQ(plain.header.version, version);
        EXPECT_EQ(packed.header.version, version);
        EXPECT_EQ(plain.header.frame, (Rect { 0, 2000, 0, 2000 }));
        EXPECT_EQ(plain.header.rate, 12 * 256);
        EXPECT_EQ(plain.header.frameCount, 1);
        EXPECT_EQ(plain.header.fileLength, packed.header.fileLength);
        EXPECT_EQ(plain.tags, packed.tags);
        ASSERT_FALSE(plain.tags.empty());
        EXPECT_EQ(plain.tags.back().code, static_cast<uint16_t>(TagCode::ShowFrame));
    }
}

TEST(SwfFile, TagHeadersShortAndLong)
{
    // A 62-byte body keeps the short header; the lossless bitmap always takes the long one.
    const std::vector<Tag> tags = { Tag(uint16_t { 77 }, std::vector<uint8_t>(62, 'a')),
        Tag(uint16_t { 77 }, std::vector<uint8_t>(63, 'b')), sample::losslessBitmap(1) };
    const auto movie = readSwf(sample::movie(6, 1, tags));
    ASSERT_EQ(movie.tags.size(), 3U);
    EXPECT_EQ(movie.tags[0].body.size(), 62U);
    EXPECT_EQ(movie.tags[1].body.size(), 63U);
    EXPECT_EQ(movie.tags[2], tags[2]);
}

TEST(SwfFile, DamagedMoviesAreRefused)
{
    const auto good = sample::everyIdMovie(6);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({ "empty", {}, "too short" });
    cases.push_back(
        { "picture", { 0xff, 0xd8, 0xff, 0xe0, 0, 0x10, 'J', 'F', 'I', 'F' }, "not a Flash file" });
    auto truncated = good;
    truncated.resize(good.size() / 2);
    cases.push_back({ "truncated", truncated, "claims" });
    auto header = good;
    header.resize(10);
    cases.push_back({ "header cut", header, "unexpected end" });
    auto packed = sample::everyIdMovie(6, 9);
    packed[20] ^= 0xff;
    packed[21] ^= 0xff;
    cases.push_back({ "damaged zlib", packed, "" });
    for (const auto& c : cases) {
        try {
            (void)readSwf(c.bytes);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const ParseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

TEST(SwfFile, InflatedSizeIsCapped)
{
    // 80 MB of zeros compress to under 100 KB: the reader must stop at its cap, not allocate it all.
    std::vector<uint8_t> zeros(kMaxMovieSize + 16 * 1024 * 1024, 0);
    uLongf size = compressBound(zeros.size());
    std::vector<uint8_t> packed(size);
    ASSERT_EQ(compress2(packed.data(), &size, zeros.data(), zeros.size(), 9), Z_OK);
    zeros.clear();
    zeros.shrink_to_fit();
    std::vector<uint8_t> file = { 'C', 'W', 'S', 6, 0xff, 0xff, 0xff, 0xff };
    file.insert(file.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW((void)readSwf(file), ParseError);
}

TEST(SwfFile, SpriteTagStreamStopsAtEnd)
{
    const auto s = sample::sprite(3, 1, { sample::showFrame() });
    const auto tags = readTagStream(std::span<const uint8_t>(s.body).subspan(4), "sprite");
    ASSERT_EQ(tags.size(), 1U);
    EXPECT_EQ(tags[0].code, 1);
    EXPECT_STREQ(tagName(39), "DefineSprite");
    EXPECT_STREQ(tagName(999), "Unknown");
}
