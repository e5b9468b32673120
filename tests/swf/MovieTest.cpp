// SPDX-License-Identifier: GPL-3.0-or-later
#include "SwfTestSupport.h"

#include "swf/Matrix.h"
#include "swf/Movie.h"
#include "swf/Shape.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using swf::TagCode;
using swftest::Bytes;
using swftest::code;

std::shared_ptr<swf::Shape> rectangle(float w, float h, swf::Color color = { 255, 255, 255, 255 })
{
    return swf::Shape::filledRectangle(w, h, color);
}

struct HeaderCase {
    float width;
    float height;
    float rate;
    Bytes rectAndRate; // RECT then UI16 rate
};

// 1x1 needs 6-bit fields: 5 + 4 * 6 = 29 bits, so its RECT is the four bytes 30 0a 00 a0.

TEST(MovieHeader, RectAndRateTable)
{
    const HeaderCase cases[] = {
        { 640, 480, 0, { 0x78, 0x00, 0x06, 0x40, 0x00, 0x00, 0x12, 0xc0, 0x00, 0x00, 0x00 } },
        { 1, 1, 12, { 0x30, 0x0a, 0x00, 0xa0, 0x00, 0x0c } },
        { 1, 1, 0.5F, { 0x30, 0x0a, 0x00, 0xa0, 0x80, 0x00 } },
        { 1, 1, 33, { 0x30, 0x0a, 0x00, 0xa0, 0x00, 0x21 } },
        // 29.97 * 256 = 7672.3, rounded down.
        { 1, 1, 29.97F, { 0x30, 0x0a, 0x00, 0xa0, 0xf8, 0x1d } },
        { 0, 0, 1.0F / 3.0F, { 0x08, 0x00, 0x55, 0x00 } },
    };
    for (const auto& c : cases) {
        swf::Movie movie;
        movie.setDimension(c.width, c.height);
        movie.setRate(c.rate);
        const Bytes file = movie.toBytes();
        const Bytes got(
            file.begin() + 8, file.begin() + 8 + static_cast<std::ptrdiff_t>(c.rectAndRate.size()));
        EXPECT_EQ(got, c.rectAndRate) << c.width << "x" << c.height << " at " << c.rate;
        const auto read = swftest::readMovie(file);
        EXPECT_EQ(read.frame, (swf::Rect { 0, swf::toTwips(c.width), 0, swf::toTwips(c.height) }));
    }
}

TEST(MovieHeader, EmptyMovieIsOneWhiteFrame)
{
    swf::Movie movie;
    movie.setDimension(640, 480);
    movie.setRate(0);
    const Bytes expected { 'F', 'W', 'S', 6, 0x1e, 0, 0, 0, 0x78, 0x00, 0x06, 0x40, 0x00, 0x00, 0x12, 0xc0,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x43, 0x02, 0xff, 0xff, 0xff, 0x40, 0x00, 0x00, 0x00 };
    EXPECT_EQ(movie.toBytes(), expected);
}

TEST(MovieHeader, BackgroundAndVersion)
{
    swf::Movie movie(8);
    movie.setBackground(33, 33, 33);
    const auto read = swftest::readMovie(movie.toBytes());
    EXPECT_EQ(read.version, 8);
    ASSERT_FALSE(read.tags.empty());
    EXPECT_EQ(read.tags[0], (swf::Tag(TagCode::SetBackgroundColor, { 33, 33, 33 })));
    EXPECT_THROW(swf::Movie(0), swf::Error);
}

TEST(MovieShapes, WhiteStageRectangleHasTheReferenceBody)
{
    swf::Movie movie;
    movie.setDimension(640, 480);
    movie.add(rectangle(640, 480));
    const auto read = swftest::readMovie(movie.toBytes());
    const auto shapes = swftest::tagsOf(read, TagCode::DefineShape3);
    ASSERT_EQ(shapes.size(), 1U);
    const Bytes expected { 0x01, 0x00, 0x78, 0x00, 0x06, 0x40, 0x00, 0x00, 0x12, 0xc0, 0x00, 0x01, 0x00, 0xff,
        0xff, 0xff, 0xff, 0x00, 0x10, 0x14, 0x27, 0xd1, 0x90, 0x07, 0xaa, 0x58, 0x0f, 0x49, 0xc0, 0x1e, 0xb6,
        0xa0, 0x00 };
    EXPECT_EQ(shapes[0].body, expected);
}

TEST(MoviePlacement, PlaceObject2Table)
{
    swf::Movie movie;
    movie.add(rectangle(10, 10));
    auto second = movie.add(rectangle(20, 20));
    second.moveTo(5, 5);
    second.moveTo(10, 40); // folds into the placement
    movie.nextFrame();
    second.moveTo(0, 0);
    second.multColor(1, 1, 1, 0.5F);
    movie.nextFrame();
    const auto read = swftest::readMovie(movie.toBytes());
    const auto places = swftest::tagsOf(read, TagCode::PlaceObject2);
    ASSERT_EQ(places.size(), 3U);
    EXPECT_EQ(places[0].body, (Bytes { 0x06, 0x01, 0x00, 0x01, 0x00, 0x00 }));
    EXPECT_EQ(places[1].body, (Bytes { 0x06, 0x02, 0x00, 0x02, 0x00, 0x16, 0x32, 0x19, 0x00 }));
    // Move + matrix + colour transform: matrix 00, CXFORMWITHALPHA with multipliers only in
    // 10 bits: 256, 256, 256, 128.
    swf::ByteWriter cx;
    cx.ubits(0, 1);
    cx.ubits(1, 1);
    cx.ubits(10, 4);
    for (int32_t v : { 256, 256, 256, 128 }) {
        cx.sbits(v, 10);
    }
    Bytes expected { 0x0d, 0x02, 0x00, 0x00 };
    const Bytes cxBytes = cx.take();
    expected.insert(expected.end(), cxBytes.begin(), cxBytes.end());
    EXPECT_EQ(places[2].body, expected);
    // The same record read back.
    swf::ByteReader in(std::span<const uint8_t>(places[2].body).subspan(3));
    EXPECT_EQ(swf::readMatrix(in), swf::Matrix {});
    EXPECT_FLOAT_EQ(swf::readColorTransform(in).alphaMult, 0.5F);
}

TEST(MoviePlacement, DepthsAreNeverReused)
{
    swf::Movie movie;
    auto shape = rectangle(1, 1);
    auto a = movie.add(shape);
    movie.remove(a);
    auto b = movie.add(shape);
    auto c = movie.add(shape);
    EXPECT_EQ(a.depth(), 1);
    EXPECT_EQ(b.depth(), 2);
    EXPECT_EQ(c.depth(), 3);
    // One character, placed three times, is defined once.
    const auto read = swftest::readMovie(movie.toBytes());
    EXPECT_EQ(swftest::tagsOf(read, TagCode::DefineShape3).size(), 1U);
    EXPECT_THROW(movie.add(nullptr), swf::Error);
    EXPECT_THROW(swf::DisplayItem {}.moveTo(1, 1), swf::Error);
}

TEST(MovieFrames, RemovalsGoIntoTheNextFrameAndNeverAddOne)
{
    const uint16_t place = code(TagCode::PlaceObject2);
    const uint16_t remove = code(TagCode::RemoveObject2);
    const uint16_t show = code(TagCode::ShowFrame);
    const uint16_t define = code(TagCode::DefineShape3);
    const uint16_t background = code(TagCode::SetBackgroundColor);
    const uint16_t end = code(TagCode::End);

    swf::Movie movie;
    auto shape = rectangle(4, 4);
    auto first = movie.add(shape);
    movie.nextFrame();
    movie.remove(first);
    first.remove(); // a second removal writes nothing
    auto second = movie.add(shape);
    movie.nextFrame();
    movie.remove(second); // after the last frame: dropped, no blank frame
    const auto read = swftest::readMovie(movie.toBytes());
    EXPECT_EQ(read.frames, 2);
    EXPECT_EQ(swftest::codesOf(read),
        (std::vector<uint16_t> { background, define, place, show, remove, place, show, end }));
    EXPECT_EQ(swftest::tagsOf(read, TagCode::RemoveObject2)[0].body, (Bytes { 0x01, 0x00 }));
}

TEST(MovieFrames, AnOpenFrameWithContentIsClosedAtOutput)
{
    swf::Movie movie;
    movie.nextFrame();
    movie.addAction({ 0x07, 0x00 });
    auto read = swftest::readMovie(movie.toBytes());
    EXPECT_EQ(read.frames, 2);
    EXPECT_EQ(movie.frameCount(), 1);

    swf::Movie other;
    swf::DisplayItem never;
    other.remove(never);
    other.remove(movie.add(rectangle(1, 1))); // an item of another movie
    read = swftest::readMovie(other.toBytes());
    EXPECT_EQ(read.frames, 1);
    EXPECT_TRUE(swftest::tagsOf(read, TagCode::RemoveObject2).empty());
}

TEST(MovieFrames, ActionsAndRawTagsKeepTheirOrder)
{
    swf::Movie movie;
    movie.addAction({ 0x96, 0x02, 0x00, 0x08, 0x00, 0x00 });
    movie.addTag(swf::Tag(TagCode::FrameLabel, { 'a', 0 }));
    auto shape = rectangle(2, 2);
    movie.addTag([shape](swf::DefinitionContext& context) {
        swf::ByteWriter w;
        w.u16(context.define(*shape));
        return swf::Tag(TagCode::StartSound, w.take());
    });
    movie.nextFrame();
    const auto read = swftest::readMovie(movie.toBytes());
    EXPECT_EQ(swftest::codesOf(read),
        (std::vector<uint16_t> { code(TagCode::SetBackgroundColor), code(TagCode::DoAction),
            code(TagCode::FrameLabel), code(TagCode::DefineShape3), code(TagCode::StartSound),
            code(TagCode::ShowFrame), code(TagCode::End) }));
    EXPECT_EQ(swftest::tagsOf(read, TagCode::StartSound)[0].body, (Bytes { 0x01, 0x00 }));
}

swf::Movie buildSample()
{
    swf::Movie movie;
    movie.setDimension(320, 200);
    movie.setRate(0);
    auto back = rectangle(320, 200, { 10, 20, 30, 255 });
    for (int frame = 0; frame < 3; ++frame) {
        auto a = movie.add(back);
        auto b = movie.add(rectangle(10.5F * static_cast<float>(frame + 1), 7));
        b.moveTo(3.25F, 4.75F);
        movie.nextFrame();
        a.remove();
        b.remove();
    }
    return movie;
}

TEST(MovieOutput, TwoMoviesFromTheSameCallsAreIdentical)
{
    const Bytes first = buildSample().toBytes();
    const Bytes second = buildSample().toBytes();
    EXPECT_EQ(first, second);
    const swf::Movie movie = buildSample();
    EXPECT_EQ(movie.toBytes(), movie.toBytes());
    EXPECT_EQ(movie.toBytes(), first);
}

TEST(MovieOutput, CompressedMovieInflatesToTheUncompressedBytes)
{
    const swf::Movie movie = buildSample();
    const Bytes plain = movie.toBytes();
    for (int level : { 0, 1, 6, 9 }) {
        const Bytes packed = movie.toBytes(level);
        const auto read = swftest::readMovie(packed);
        EXPECT_EQ(read.signature, "CWS");
        EXPECT_EQ(read.length, plain.size());
        EXPECT_EQ(read.uncompressed, plain) << "level " << level;
    }
    EXPECT_THROW((void)movie.toBytes(10), swf::Error);
    EXPECT_THROW((void)movie.toBytes(-2), swf::Error);
}

TEST(MovieOutput, WritesFilesWhole)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("swfw_movie_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "movie.swf";
    const swf::Movie movie = buildSample();
    movie.write(path);
    std::ifstream file(path, std::ios::binary);
    const Bytes written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, movie.toBytes());
    EXPECT_FALSE(std::filesystem::exists(folder / "movie.swf.part"));
    EXPECT_THROW(movie.write(folder / "missing" / "movie.swf"), swf::Error);
    std::filesystem::remove_all(folder);
}

} // namespace
