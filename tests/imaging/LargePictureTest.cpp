// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures beyond what is decoded at full size: how they are reduced or refused, the reasons given,
// and that the metafile reader's complaints never reach the terminal.
#include "imaging/DecodePlan.h"
#include "imaging/Error.h"
#include "imaging/Limits.h"
#include "imaging/Picture.h"
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestPng.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using imaging::DecodeMethod;
using imaging::Format;
using imaging::Picture;
using imaging::Rgb;
using imaging::Size;
namespace tp = testpictures;

namespace {

constexpr std::uint64_t kLimit = imaging::limits::kMaxFullDecodeArea;

TEST(DecodePlanTest, PicturesAreReducedOnlyWhereMemoryNeedsItAndRefusedWithTheirCause)
{
    const Size gift { 640, 480 };
    struct Case {
        Format format;
        Size declared;
        std::optional<Size> hint;
        bool interlaced;
        DecodeMethod method;
        int factor;
        const char* refusal;
    };
    const Case cases[] = {
        // Within the full-decode area everything decodes as it always did; a JPEG still takes
        // the scale its hint allows.
        { Format::Png, { 4000, 3000 }, gift, false, DecodeMethod::Full, 1, "" },
        { Format::Gif, { 4000, 4000 }, std::nullopt, false, DecodeMethod::Full, 1, "" },
        { Format::Jpeg, { 4000, 3000 }, gift, false, DecodeMethod::Full, 4, "" },
        { Format::Jpeg, { 12000, 10000 }, gift, false, DecodeMethod::Full, 8, "" },
        // A JPEG whose hint does not shrink it enough takes a smaller scale than the hint asks.
        { Format::Jpeg, { 16000, 1999 }, Size { 1000, 1000 }, false, DecodeMethod::JpegScaled, 2, "" },
        // PNG and metafiles: reduced as far as the hint allows, further where memory needs it.
        { Format::Png, { 12000, 10000 }, gift, false, DecodeMethod::PngReduced, 18, "" },
        { Format::Png, { 16000, 1999 }, Size { 1000, 1000 }, false, DecodeMethod::PngReduced, 2, "" },
        { Format::Png, { 16000, 1999 }, Size { 1000, 1000 }, true, DecodeMethod::PngReduced, 4, "" },
        { Format::Wmf, { 8000, 6000 }, gift, false, DecodeMethod::WmfDensity, 12, "" },
        // Refused: no hint, a kind that cannot be reduced, a side or an area past the limits.
        { Format::Png, { 8000, 6000 }, std::nullopt, false, DecodeMethod::Full, 1,
            "picture too large to decode at full size: 8000\u00D76000, the limit is 16 megapixels" },
        { Format::Gif, { 8000, 6000 }, gift, false, DecodeMethod::Full, 1,
            "picture too large: 8000\u00D76000, the limit for GIF pictures is 16 megapixels" },
        { Format::Bmp, { 5000, 5000 }, gift, false, DecodeMethod::Full, 1,
            "picture too large: 5000\u00D75000, the limit for BMP pictures is 16 megapixels" },
        { Format::Pcx, { 4000, 4000 }, gift, false, DecodeMethod::Full, 1,
            "picture too large: 4000\u00D74000, the limit for PCX pictures is 8 megapixels" },
        { Format::Jpeg, { 30000, 30000 }, gift, false, DecodeMethod::Full, 1,
            "picture too large: 30000\u00D730000, the limit is 16000 pixels a side" },
        { Format::Png, { 12000, 12000 }, gift, false, DecodeMethod::Full, 1,
            "picture too large: 12000\u00D712000, the limit is 128 megapixels" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(imaging::coderName(c.format)) + " " + imaging::sizeText(c.declared));
        const auto plan = imaging::planDecode(c.format, c.declared, c.hint, kLimit, c.interlaced);
        EXPECT_EQ(plan.refusal, c.refusal);
        if (plan.refusal.empty()) {
            EXPECT_EQ(plan.method, c.method);
            EXPECT_EQ(plan.factor, c.factor);
        }
    }
    // A system granting less pixel memory lowers the limit the reason names.
    EXPECT_EQ(imaging::planDecode(Format::Gif, { 4000, 3000 }, std::nullopt, 6'000'000).refusal,
        "picture too large: 4000\u00D73000, the limit for GIF pictures is 6 megapixels");
}

// Four quadrants of their own colour; with alpha the left half is transparent.
tp::PngPixel quadrant(int x, int y, int width, int height, bool alpha)
{
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    tp::PngPixel p;
    p.red = right ? 255 : 0;
    p.green = bottom ? 255 : 0;
    p.blue = right && bottom ? 0 : 128;
    p.alpha = alpha && !right ? 0 : 255;
    return p;
}

// What a reduced picture shows at the middle of each quadrant, composited onto black.
void expectQuadrants(const Picture& picture, bool alpha)
{
    const Size s = picture.size();
    const auto at = [&](bool right, bool bottom) {
        return picture.pixel(right ? s.width * 3 / 4 : s.width / 4, bottom ? s.height * 3 / 4 : s.height / 4);
    };
    EXPECT_EQ(at(false, false), (alpha ? Rgb { 0, 0, 0 } : Rgb { 0, 0, 128 }));
    EXPECT_EQ(at(true, false), (Rgb { 255, 0, 128 }));
    EXPECT_EQ(at(false, true), (alpha ? Rgb { 0, 0, 0 } : Rgb { 0, 255, 128 }));
    EXPECT_EQ(at(true, true), (Rgb { 255, 255, 0 }));
}

// 27 megapixels: over the full-decode area, which would take 216 MB of pixel cache.
constexpr int kWidth = 6000;
constexpr int kHeight = 4500;

TEST(LargePictureTest, LargePngsAreDecodedReducedRowByRow)
{
    for (const bool interlaced : { false, true }) {
        for (const bool alpha : { false, true }) {
            SCOPED_TRACE(std::string(interlaced ? "interlaced" : "plain") + (alpha ? " with alpha" : ""));
            const auto png = tp::makePng(kWidth, kHeight, alpha, interlaced,
                [&](int x, int y) { return quadrant(x, y, kWidth, kHeight, alpha); });
            std::string failure;
            const auto picture = Picture::decode(png, { Size { 640, 480 } }, &failure);
            ASSERT_TRUE(picture.has_value()) << failure;
            // Nine times smaller each way, as far as the hint allows: 667x500.
            EXPECT_EQ(picture->size(), (Size { 667, 500 }));
            EXPECT_EQ(picture->sourceSize(), (Size { kWidth, kHeight }));
            EXPECT_EQ(picture->hasAlpha(), alpha);
            expectQuadrants(*picture, alpha);
            EXPECT_EQ(Picture::probe(png), (Size { kWidth, kHeight }));
            // The preparation scales on from there.
            EXPECT_EQ(picture->scaled({ 640, 480 }).size(), (Size { 640, 480 }));
        }
    }
}

TEST(LargePictureTest, ALargePngCutShortKeepsItsTopRows)
{
    const auto png = tp::makePng(
        kWidth, kHeight, false, false, [&](int x, int y) { return quadrant(x, y, kWidth, kHeight, false); });
    // Cut in the middle of the pixel data, which is mostly the bottom half's.
    std::vector<std::uint8_t> cut(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    const auto picture = Picture::decode(cut, { Size { 640, 480 } });
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixel(10, 10), (Rgb { 0, 0, 128 }));
    EXPECT_EQ(picture->pixel(10, picture->height() - 1), (Rgb { 0, 0, 0 }));
}

TEST(LargePictureTest, RefusalsNameTheCauseAndTheLimit)
{
    std::string failure;
    EXPECT_FALSE(Picture::probe(tp::makePngHeaderOnly(30000, 30000), &failure).has_value());
    EXPECT_EQ(failure, "picture too large: 30000\u00D730000, the limit is 16000 pixels a side");
    EXPECT_FALSE(Picture::decode(tp::makePngHeaderOnly(12000, 12000), { Size { 640, 480 } }, &failure));
    EXPECT_EQ(failure, "picture too large: 12000\u00D712000, the limit is 128 megapixels");

    const auto png = tp::makePng(kWidth, kHeight, false, false, [](int, int) { return tp::PngPixel {}; });
    EXPECT_FALSE(Picture::decode(png, {}, &failure).has_value());
    EXPECT_EQ(
        failure, "picture too large to decode at full size: 6000\u00D74500, the limit is 16 megapixels");

    // A flat JPEG taller than its hint allows to shrink: decoded at half scale instead of whole.
    const auto jpeg = tp::makeFlatJpeg(16000, 1999);
    const auto reduced = Picture::decode(jpeg, { Size { 1000, 1000 } }, &failure);
    ASSERT_TRUE(reduced.has_value()) << failure;
    EXPECT_EQ(reduced->size(), (Size { 8000, 1000 }));
    EXPECT_EQ(reduced->sourceSize(), (Size { 16000, 1999 }));
    EXPECT_FALSE(Picture::decode(jpeg, {}, &failure).has_value());
    EXPECT_EQ(
        failure, "picture too large to decode at full size: 16000\u00D71999, the limit is 16 megapixels");

    EXPECT_FALSE(Picture::decode(std::vector<std::uint8_t> { 'B', 'A', 'D', '!' }, {}, &failure));
    EXPECT_EQ(failure, "not a picture of a kind that can be read (JPEG, GIF, PNG, BMP, ICO, WMF or PCX)");
    EXPECT_FALSE(Picture::decodeFile("/nonexistent/picture.png", {}, &failure));
    EXPECT_EQ(failure, "the file cannot be read: No such file or directory");
}

// Palette pictures take 10 bytes a pixel of cache: at the full-decode limit each kind still decodes
// and scales to a gift, a panorama included (its resize would hold a 16-megapixel intermediate).
TEST(LargePictureTest, EveryKindDecodesAndScalesAtTheFullDecodeLimit)
{
    tp::TempFolder folder;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> pictures {
        { "square.bmp", tp::makeFlatBmp(4000, 4000) },
        { "square.pcx", tp::makeMonochromePcx(2800, 2800) }, // its own limit: 8 megapixels
        { "square.ico",
            tp::makePngIcon(tp::makePng(4000, 4000, true, false,
                [](int, int) {
                    return tp::PngPixel { 200, 0, 0, 128 };
                })) },
        { "panorama.bmp", tp::makeFlatBmp(16000, 1000) },
    };
    if (tp::haveConvert()) {
        tp::convert("-size 4000x4000 xc:red '" + (folder / "square.gif").string() + "'");
        pictures.emplace_back("square.gif", tp::readBytes(folder / "square.gif"));
    }
    for (const auto& [name, bytes] : pictures) {
        SCOPED_TRACE(name);
        std::string failure;
        const auto picture = Picture::decode(bytes, { Size { 1000, 1000 } }, &failure);
        ASSERT_TRUE(picture.has_value()) << failure;
        try {
            EXPECT_EQ(picture->scaled({ 1000, 1000 }).size(), (Size { 1000, 1000 }));
            EXPECT_EQ(picture->scaled({ 640, 480 }).size(), (Size { 640, 480 }));
        } catch (const imaging::Error& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

// Runs the work with standard error sent to a file, and gives back what was written there.
template<typename Work> std::string stderrDuring(Work work)
{
    tp::TempFolder folder;
    const std::string path = (folder / "stderr.txt").string();
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
    work();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    const auto bytes = tp::readBytes(path);
    return { bytes.begin(), bytes.end() };
}

TEST(LargePictureTest, DamagedMetafilesFailWithoutTerminalOutput)
{
    const auto good = tp::makeWmf(960, 720, 0x000000FF);
    constexpr std::size_t kMetaHeader = 22; // after the placeable header
    // The largest record said to be 65535 words: the reader runs into the end of the file.
    auto longRecord = good;
    longRecord[kMetaHeader + 12] = 0xFF;
    longRecord[kMetaHeader + 13] = 0xFF;
    // A text record claiming 200 characters it does not have.
    auto shortRecord = good;
    for (std::size_t i = kMetaHeader + 18; i + 1 < shortRecord.size(); i += 2) {
        if (shortRecord[i] == 0x21 && shortRecord[i + 1] == 0x05) {
            shortRecord[i + 2] = 200;
            break;
        }
    }
    for (const auto* bytes : { &longRecord, &shortRecord }) {
        std::string failure;
        const std::string printed = stderrDuring([&] {
            (void)Picture::probe(*bytes, &failure);
            (void)Picture::decode(*bytes, {}, &failure);
        });
        EXPECT_EQ(printed, "");
    }
    // Standard error works again afterwards.
    EXPECT_EQ(stderrDuring([] { std::fputs("after", stderr); }), "after");
    EXPECT_TRUE(Picture::decode(good).has_value());
}

} // namespace
