// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Picture.h"
#include "imaging/Error.h"
#include "imaging/Format.h"
#include "tests/imaging/TestPictures.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <span>
#include <zlib.h>

using imaging::Format;
using imaging::Picture;
using imaging::Rgb;
using imaging::Size;
namespace tp = testpictures;

namespace {

// One picture of every kind the pickers offer, made once for the whole suite.
struct Kind {
    const char* file;
    const char* convertArguments; // output file appended; empty for the metafile written here
    Format format;
    Size size;
    Rgb centre; // expected colour at (size/4, size/2), alpha composited onto black
    bool alpha;
};

const Kind kKinds[] = {
    { "plain.jpg", "-size 64x48 xc:#FF0000", Format::Jpeg, { 64, 48 }, { 255, 0, 0 }, false },
    { "progressive.jpg", "-size 64x48 xc:#00FF00 -interlace JPEG", Format::Jpeg, { 64, 48 }, { 0, 255, 0 },
        false },
    { "cmyk.jpg", "-size 64x48 xc:#0000FF -colorspace CMYK", Format::Jpeg, { 64, 48 }, { 0, 0, 255 }, false },
    { "grey.jpg", "-size 64x48 xc:#808080 -colorspace Gray", Format::Jpeg, { 64, 48 }, { 128, 128, 128 },
        false },
    // Two frames: the first (red) is the one decoded.
    { "animated.gif", "-delay 10 -size 40x30 xc:#FF0000 xc:#0000FF", Format::Gif, { 40, 30 }, { 255, 0, 0 },
        false },
    // Left half white and opaque, right half transparent.
    { "alpha.png", "-size 64x48 xc:none -fill white -draw \"rectangle 0,0 31,47\" PNG32:", Format::Png,
        { 64, 48 }, { 255, 255, 255 }, true },
    { "plain.bmp", "-size 50x20 xc:#FFFF00 BMP3:", Format::Bmp, { 50, 20 }, { 255, 255, 0 }, false },
    { "icon.ico", "-size 32x32 xc:#FF00FF", Format::Ico, { 32, 32 }, { 255, 0, 255 }, true },
    { "plain.pcx", "-size 30x20 xc:#00FFFF", Format::Pcx, { 30, 20 }, { 0, 255, 255 }, false },
    // 960x720 twips at 96 dpi; the left half is a red rectangle, with text on the right.
    { "drawing.wmf", "", Format::Wmf, { 64, 48 }, { 255, 0, 0 }, true },
};

class PictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!tp::haveConvert()) {
            return;
        }
        s_folder = std::make_unique<tp::TempFolder>();
        try {
            makePictures();
        } catch (const std::exception& e) {
            s_setupError = e.what();
        }
    }

    static void makePictures()
    {
        for (const Kind& kind : kKinds) {
            const auto path = *s_folder / kind.file;
            if (*kind.convertArguments == '\0') {
                tp::writeBytes(path, tp::makeWmf(kind.size.width * 15, kind.size.height * 15, 0x000000FF));
                continue;
            }
            std::string arguments = kind.convertArguments;
            if (arguments.back() == ':') {
                tp::convert(arguments + "'" + path.string() + "'");
            } else {
                tp::convert(arguments + " '" + path.string() + "'");
            }
        }
        tp::convert("-size 2400x2000 gradient:#FF8000-#0080FF '" + (*s_folder / "large.jpg").string() + "'");
        tp::convert("rose: -resize 300x200! '" + (*s_folder / "rose.png").string() + "'");
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override
    {
        if (!s_folder) {
            GTEST_SKIP() << "ImageMagick's command is missing";
        }
        ASSERT_TRUE(s_setupError.empty()) << s_setupError;
    }

    static std::filesystem::path file(const std::string& name) { return *s_folder / name; }

    static std::unique_ptr<tp::TempFolder> s_folder;
    static std::string s_setupError;
};

std::unique_ptr<tp::TempFolder> PictureTest::s_folder;
std::string PictureTest::s_setupError;

void expectNear(Rgb actual, Rgb expected, int tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.red, expected.red, tolerance) << what;
    EXPECT_NEAR(actual.green, expected.green, tolerance) << what;
    EXPECT_NEAR(actual.blue, expected.blue, tolerance) << what;
}

TEST_F(PictureTest, EveryKindDecodesFromFileAndMemory)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.file);
        const auto bytes = tp::readBytes(file(kind.file));
        ASSERT_EQ(imaging::sniffFormat(bytes), kind.format);

        const auto fromFile = Picture::decodeFile(file(kind.file));
        ASSERT_TRUE(fromFile.has_value());
        EXPECT_EQ(fromFile->size(), kind.size);
        EXPECT_EQ(fromFile->hasAlpha(), kind.alpha);
        expectNear(fromFile->pixel(kind.size.width / 4, kind.size.height / 2), kind.centre, 12, "left");

        const auto fromMemory = Picture::decode(bytes);
        ASSERT_TRUE(fromMemory.has_value());
        EXPECT_EQ(fromMemory->size(), kind.size);
        EXPECT_EQ(Picture::probe(bytes), kind.size);
    }
}

TEST_F(PictureTest, AlphaIsCompositedOntoTheBackground)
{
    const auto picture = Picture::decodeFile(file("alpha.png"));
    ASSERT_TRUE(picture.has_value());
    expectNear(picture->pixel(48, 24), { 0, 0, 0 }, 0, "transparent half on black");
    const auto onWhite = picture->flattened(imaging::kWhite);
    EXPECT_FALSE(onWhite.hasAlpha());
    expectNear(onWhite.pixel(48, 24), { 255, 255, 255 }, 0, "transparent half on white");
    const auto rgb = picture->rgb(imaging::kWhite);
    ASSERT_EQ(rgb.size(), 64u * 48u * 3u);
    EXPECT_EQ(rgb[(24 * 64 + 48) * 3], 255);
}

TEST_F(PictureTest, MetafileTextIsDrawn)
{
    // The right half is white but for the word "Hello" in black; a metafile whose fonts cannot be
    // found decodes without its text, or not at all.
    const auto picture = Picture::decodeFile(file("drawing.wmf"));
    ASSERT_TRUE(picture.has_value());
    const auto rgb = picture->rgb();
    int dark = 0;
    for (int y = 20; y < 40; ++y) {
        for (int x = 36; x < 62; ++x) {
            dark += rgb[(y * 64 + x) * 3] < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 5);
    expectNear(picture->pixel(40, 8), { 255, 255, 255 }, 8, "page");
}

TEST_F(PictureTest, JpegOutputIsBaselineRgbWithoutMetadata)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.file);
        const auto picture = Picture::decodeFile(file(kind.file));
        ASSERT_TRUE(picture.has_value());
        for (int quality : { 0, 70, 100 }) {
            const auto frame = tp::inspectJpeg(picture->encodeJpeg(quality));
            EXPECT_EQ(frame.marker, 0xC0) << "quality " << quality;
            EXPECT_EQ(frame.components, 3);
            EXPECT_EQ(frame.width, kind.size.width);
            EXPECT_EQ(frame.height, kind.size.height);
            EXPECT_EQ(frame.metadataSegments, 0);
        }
    }
}

TEST_F(PictureTest, QualityZeroIsTheLowestNotTheDefault)
{
    const auto picture = Picture::decodeFile(file("rose.png"));
    ASSERT_TRUE(picture.has_value());
    const auto q0 = picture->encodeJpeg(0).size();
    const auto q1 = picture->encodeJpeg(1).size();
    const auto q50 = picture->encodeJpeg(50).size();
    const auto q100 = picture->encodeJpeg(100).size();
    EXPECT_EQ(q0, q1);
    EXPECT_LT(q1, q50);
    EXPECT_LT(q50, q100);
    // Out-of-range values are clamped rather than refused.
    EXPECT_EQ(picture->encodeJpeg(-5).size(), q1);
    EXPECT_EQ(picture->encodeJpeg(250).size(), q100);
    // The lowest quality still decodes back.
    const auto back = Picture::decode(picture->encodeJpeg(0));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), (Size { 300, 200 }));
}

TEST_F(PictureTest, ScalingGivesTheExactSize)
{
    const auto picture = Picture::decodeFile(file("alpha.png"));
    ASSERT_TRUE(picture.has_value());
    for (const Size target : { Size { 640, 480 }, Size { 7, 300 }, Size { 1, 1 }, Size { 64, 48 } }) {
        const auto scaled = picture->scaled(target);
        EXPECT_EQ(scaled.size(), target);
    }
    // Stretched 10 times wide: the left half stays white, the right half composites onto black.
    const auto wide = picture->scaled({ 640, 48 });
    expectNear(wide.pixel(100, 24), { 255, 255, 255 }, 2, "opaque half");
    expectNear(wide.pixel(600, 24), { 0, 0, 0 }, 2, "transparent half");
    EXPECT_THROW((void)picture->scaled({ 0, 10 }), imaging::Error);
    EXPECT_THROW((void)picture->scaled({ 10, -1 }), imaging::Error);
    EXPECT_THROW((void)picture->scaled({ 100000, 10 }), imaging::Error);
}

TEST_F(PictureTest, ThumbnailsHaveTheExactSize)
{
    for (const char* name : { "large.jpg", "rose.png", "animated.gif", "drawing.wmf", "icon.ico" }) {
        SCOPED_TRACE(name);
        const auto thumbnail = imaging::makeThumbnail(file(name), { 120, 100 });
        ASSERT_TRUE(thumbnail.has_value());
        EXPECT_EQ(thumbnail->size(), (Size { 120, 100 }));
    }
    EXPECT_FALSE(imaging::makeThumbnail(file("missing.png"), { 120, 100 }).has_value());
    EXPECT_FALSE(imaging::makeThumbnail(file("rose.png"), { 0, 100 }).has_value());
}

TEST_F(PictureTest, SizeHintReducesOnlyJpegDecoding)
{
    const Size hint { 640, 480 };
    const auto large = Picture::decodeFile(file("large.jpg"), { hint });
    ASSERT_TRUE(large.has_value());
    EXPECT_GE(large->width(), hint.width);
    EXPECT_GE(large->height(), hint.height);
    EXPECT_LT(large->width(), 2400);
    EXPECT_EQ(Picture::probeFile(file("large.jpg")), (Size { 2400, 2000 }));
    // Not a JPEG: decoded at full size whatever the hint.
    const auto png = Picture::decodeFile(file("rose.png"), { Size { 30, 20 } });
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->size(), (Size { 300, 200 }));
}

TEST_F(PictureTest, CopiesAreIndependent)
{
    auto picture = Picture::decodeFile(file("plain.bmp"));
    ASSERT_TRUE(picture.has_value());
    Picture copy = *picture;
    *picture = picture->scaled({ 5, 5 });
    EXPECT_EQ(copy.size(), (Size { 50, 20 }));
    EXPECT_EQ(picture->size(), (Size { 5, 5 }));
    EXPECT_THROW((void)copy.pixel(50, 0), imaging::Error);
}

TEST_F(PictureTest, SaveJpegLeavesNoPartialFile)
{
    const auto picture = Picture::decodeFile(file("rose.png"));
    ASSERT_TRUE(picture.has_value());
    const auto output = file("saved.jpg");
    picture->saveJpeg(output, 70);
    EXPECT_EQ(tp::inspectJpeg(tp::readBytes(output)).marker, 0xC0);
    const auto unwritable = file("no-such-folder") / "out.jpg";
    EXPECT_THROW(picture->saveJpeg(unwritable, 70), imaging::Error);
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

// Input that must give an empty result: not a picture kind we read, damaged, or a bomb.
TEST_F(PictureTest, HostileAndBrokenInputGivesNoPicture)
{
    auto plain = tp::readBytes(file("plain.jpg"));
    auto png = tp::readBytes(file("rose.png"));
    std::vector<std::vector<std::uint8_t>> inputs;
    inputs.push_back({});
    inputs.push_back({ 'h', 'e', 'l', 'l', 'o' });
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'/>";
    inputs.emplace_back(svg.begin(), svg.end());
    const std::string mvg = "push graphic-context\nviewbox 0 0 10 10\nimage over 0,0 0,0 '/etc/passwd'\n";
    inputs.emplace_back(mvg.begin(), mvg.end());
    inputs.push_back(std::vector<std::uint8_t>(plain.begin(), plain.begin() + 20)); // JPEG cut in its header
    inputs.push_back(std::vector<std::uint8_t>(png.begin(), png.begin() + 40)); // PNG cut after IHDR
    // A BMP header declaring 30000 x 30000 pixels with no pixel data.
    std::vector<std::uint8_t> bmp { 'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 0x30, 0x75, 0,
        0, 0x30, 0x75, 0, 0, 1, 0, 24, 0 };
    bmp.resize(54, 0);
    inputs.push_back(bmp);
    // A PCX header declaring 12001 x 12001 pixels (inside the side limit, beyond the area limit).
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 0xE0;
    pcx[9] = 0x2E;
    pcx[10] = 0xE0;
    pcx[11] = 0x2E;
    pcx[65] = 3;
    pcx[66] = 0xE2;
    pcx[67] = 0x2E;
    inputs.push_back(pcx);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE("input " + std::to_string(i));
        EXPECT_FALSE(Picture::decode(inputs[i]).has_value());
        EXPECT_FALSE(Picture::probe(inputs[i]).has_value());
    }
    EXPECT_FALSE(Picture::decodeFile(file("missing.jpg")).has_value());
    EXPECT_FALSE(Picture::decodeFile(s_folder->path()).has_value());
}

// A chunk with its length and check sum, for building damaged PNG files.
std::vector<std::uint8_t> pngChunk(const char (&type)[5], std::span<const std::uint8_t> data,
    std::optional<std::uint32_t> declaredLength = std::nullopt)
{
    const std::uint32_t length = declaredLength.value_or(static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> chunk(4 + 4 + data.size() + 4);
    for (int i = 0; i < 4; ++i) {
        chunk[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
        chunk[static_cast<std::size_t>(4 + i)] = static_cast<std::uint8_t>(type[i]);
    }
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    const auto crc = crc32(0, chunk.data() + 4, static_cast<uInt>(4 + data.size()));
    for (int i = 0; i < 4; ++i) {
        chunk[8 + data.size() + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return chunk;
}

// The PNG file with a chunk put in straight after its header chunk.
std::vector<std::uint8_t> withChunkAfterHeader(
    std::vector<std::uint8_t> png, const std::vector<std::uint8_t>& chunk)
{
    constexpr std::ptrdiff_t kAfterHeader = 8 + 8 + 13 + 4;
    png.insert(png.begin() + kAfterHeader, chunk.begin(), chunk.end());
    return png;
}

// Chunk lengths are read before the chunk: a damaged one must not make the decoder take the memory it
// declares, and compressed text must not be inflated at all.
TEST_F(PictureTest, PngChunksCannotAskForUnboundedMemory)
{
    const auto png = tp::readBytes(file("rose.png"));
    const auto rose = Picture::decode(png);
    ASSERT_TRUE(rose.has_value());
    EXPECT_FALSE(imaging::safePngCopy(png).has_value()) << "a sound file is decoded as it is";

    // A chunk declaring almost 2 GB in a file of a few hundred bytes, before the pixel data.
    const std::vector<std::uint8_t> text { 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x' };
    for (const auto& type : { "tEXt", "zTXt", "iCCP", "abCd" }) {
        SCOPED_TRACE(type);
        char name[5] {};
        std::copy_n(type, 4, name);
        const auto damaged = withChunkAfterHeader(png, pngChunk(name, text, 0x79000026U));
        const auto copy = imaging::safePngCopy(damaged);
        ASSERT_TRUE(copy.has_value());
        EXPECT_LT(copy->size(), 64U) << "nothing after the damaged chunk is kept";
        EXPECT_FALSE(Picture::decode(damaged).has_value());
        EXPECT_FALSE(Picture::probe(damaged).has_value());
    }

    // The same damage after the pixel data: the picture is all there.
    auto trailing = png;
    const auto textChunk = pngChunk("tEXt", text, 0x79000026U);
    trailing.insert(trailing.end() - 12, textChunk.begin(), textChunk.end());
    trailing.resize(trailing.size() - 12);
    const auto repaired = Picture::decode(trailing);
    ASSERT_TRUE(repaired.has_value());
    EXPECT_EQ(repaired->rgb(), rose->rgb());

    // 64 MB of compressed text in 64 KB: the picture decodes as if the text were not there.
    std::vector<std::uint8_t> inflated(std::size_t { 64 } << 20, 'a');
    std::vector<std::uint8_t> deflated(compressBound(static_cast<uLong>(inflated.size())));
    uLongf deflatedSize = static_cast<uLongf>(deflated.size());
    ASSERT_EQ(
        compress2(deflated.data(), &deflatedSize, inflated.data(), static_cast<uLong>(inflated.size()), 9),
        Z_OK);
    const std::string keyword("Comment\0\0", 9);
    std::vector<std::uint8_t> bomb(keyword.size() + deflatedSize);
    std::copy(keyword.begin(), keyword.end(), bomb.begin());
    std::copy_n(deflated.begin(), deflatedSize, bomb.begin() + static_cast<std::ptrdiff_t>(keyword.size()));
    const auto withBomb = withChunkAfterHeader(png, pngChunk("zTXt", bomb));
    EXPECT_EQ(imaging::safePngCopy(withBomb), png);
    const auto decoded = Picture::decode(withBomb);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->size(), rose->size());
    EXPECT_EQ(decoded->rgb(), rose->rgb());
}

} // namespace
