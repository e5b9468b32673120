// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/PicturePreparation.h"
#include "imaging/Picture.h"
#include "swf/JpegBitmap.h"
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestPng.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace tp = testpictures;

namespace {

TEST(FitKeepingRatioTest, OneSideMeetsTheGiftTheOtherFits)
{
    struct Case {
        int w, h, giftW, giftH;
        CPictureSize expected;
    };
    const Case cases[] = {
        { 800, 100, 640, 480, { 640, 80 } }, // wider than the gift: width binds, reduced
        { 100, 300, 640, 480, { 160, 480 } }, // taller: height binds, enlarged
        { 320, 240, 640, 480, { 640, 480 } }, // same ratio: width binds
        { 1000, 2000, 640, 480, { 239, 480 } }, // taller and larger: reduced (1000 / 4.1666... truncated)
        { 300, 50, 640, 480, { 640, 106 } }, // truncated toward zero
        { 1199, 1, 640, 480, { 640, 1 } }, // would truncate to 0: kept at one pixel
        { 640, 480, 640, 480, { 640, 480 } },
        { 0, 10, 640, 480, { 640, 480 } }, // no usable picture size: the gift size
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitKeepingRatio(c.w, c.h, c.giftW, c.giftH), c.expected) << c.w << "x" << c.h;
    }
}

TEST(ShrinkToFitTest, OnlyLargerPicturesShrink)
{
    struct Case {
        int w, h;
        CPictureSize expected;
    };
    const Case cases[] = {
        { 1600, 1200, { 640, 480 } },
        { 1000, 400, { 640, 256 } },
        { 500, 300, { 500, 300 } },
        { 1280, 480, { 640, 240 } },
        { 640, 960, { 320, 480 } },
        { 640, 480, { 640, 480 } },
        { 5000, 1, { 640, 1 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShrinkToFit(c.w, c.h, 640, 480), c.expected) << c.w << "x" << c.h;
    }
}

// An installation folder with a Temp folder and a Pictures folder of test pictures.
class PicturePreparationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tp::haveConvert()) {
            GTEST_SKIP() << "ImageMagick's command is missing";
        }
        std::filesystem::create_directories(m_home / "Temp");
        std::filesystem::create_directories(m_home / "Pictures");
        m_context.appDir = m_home.path();
    }

    // A picture of this size (PNG unless the name says otherwise), made once per test.
    std::string picture(int width, int height, const std::string& name = {}, const std::string& extra = {})
    {
        const std::string file =
            name.empty() ? std::to_string(width) + "x" + std::to_string(height) + ".png" : name;
        const auto path = m_home / "Pictures" / file;
        if (!std::filesystem::exists(path)) {
            tp::convert("-size " + std::to_string(width) + "x" + std::to_string(height) +
                " gradient:#FF0000-#0000FF " + extra + " '" + path.string() + "'");
        }
        return path.string();
    }

    // The output must be a baseline JPEG that the movie writer takes; returns its size.
    static imaging::Size checkOutput(const std::string& output)
    {
        const auto bytes = tp::readBytes(output);
        const auto frame = tp::inspectJpeg(bytes);
        EXPECT_EQ(frame.marker, 0xC0) << output;
        EXPECT_EQ(frame.components, 3) << output;
        const auto bitmap = swf::JpegBitmap::fromBytes(bytes);
        EXPECT_EQ(bitmap->width(), frame.width);
        EXPECT_EQ(bitmap->height(), frame.height);
        return { frame.width, frame.height };
    }

    std::string temp(const std::string& name) const { return (m_home / "Temp" / name).string(); }

    tp::TempFolder m_home;
    CPictureContext m_context;
};

TEST_F(PicturePreparationTest, SizeFollowsThePlacement)
{
    struct Case {
        int w, h, placement;
        imaging::Size expected;
    };
    const Case cases[] = {
        { 2400, 2000, 4, { 2400, 2000 } }, // anchored, at the size limit: kept
        { 2401, 100, 4, { 640, 480 } }, // wider than the limit: the gift size, distorted
        { 100, 2001, 0, { 640, 480 } }, { 300, 200, 9, { 300, 200 } }, // tiled: kept
        { 2401, 100, 9, { 640, 480 } }, { 300, 200, 10, { 640, 480 } }, // stretched: always the gift size
        { 640, 480, 10, { 640, 480 } }, { 800, 100, 11, { 640, 80 } }, // ratio kept
        { 100, 300, 11, { 160, 480 } }, { 320, 240, 11, { 640, 480 } },
        { 1200, 10, 11, { 640, 480 } }, // 1200 wide or more: the gift size
        { 100, 1000, 11, { 640, 480 } }, { 300, 200, 12, { 640, 480 } }, // an unknown code: the gift size
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::to_string(c.w) + "x" + std::to_string(c.h) + " code " + std::to_string(c.placement));
        const std::string output = ConvertPictureToJpeg(m_context, picture(c.w, c.h), number, c.placement, 1);
        ASSERT_EQ(output, temp(std::to_string(number) + ".jpg"));
        EXPECT_EQ(checkOutput(output), c.expected);
        ++number;
    }
}

TEST_F(PicturePreparationTest, GiftSizeComesFromTheContext)
{
    m_context.nWidth = 200;
    m_context.nHeight = 1000;
    EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, picture(300, 200), 0, 10, 1)),
        (imaging::Size { 200, 1000 }));
    EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, picture(300, 200), 1, 11, 1)),
        (imaging::Size { 200, 133 }));
}

TEST_F(PicturePreparationTest, ButtonPictureHasItsOwnName)
{
    for (int number : { 0, 7 }) {
        const std::string output = ConvertPictureToJpeg(m_context, picture(120, 60), number, -1, 1);
        EXPECT_EQ(output, temp("generate_button.jpg"));
        EXPECT_EQ(checkOutput(output), (imaging::Size { 120, 60 }));
    }
    EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, picture(2401, 60), 0, -1, 1)),
        (imaging::Size { 640, 480 }));
    EXPECT_FALSE(std::filesystem::exists(temp("0.jpg")));
}

TEST_F(PicturePreparationTest, EveryQualityGivesAUsableJpeg)
{
    std::map<int, std::uintmax_t> sizes;
    for (int quality : { 0, 1, 70, 100 }) {
        m_context.nQuality = quality;
        const std::string output = ConvertPictureToJpeg(m_context, picture(400, 300), quality, 4, 1);
        ASSERT_FALSE(output.empty());
        checkOutput(output);
        sizes[quality] = std::filesystem::file_size(output);
    }
    EXPECT_EQ(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[70]);
    EXPECT_LT(sizes[70], sizes[100]);
}

TEST_F(PicturePreparationTest, ExistingOutputIsReusedUnlessForced)
{
    const std::string source = picture(300, 200);
    const std::string output = temp("3.jpg");
    tp::writeBytes(output, { 'o', 'l', 'd' });
    // Without force the file stands, even when the source is gone.
    EXPECT_EQ(ConvertPictureToJpeg(m_context, source, 3, 4, 0), output);
    EXPECT_EQ(ConvertPictureToJpeg(m_context, (m_home / "missing.png").string(), 3, 4, 0), output);
    EXPECT_EQ(std::filesystem::file_size(output), 3u);
    // Forced, it is made again.
    EXPECT_EQ(ConvertPictureToJpeg(m_context, source, 3, 4, 1), output);
    EXPECT_EQ(checkOutput(output), (imaging::Size { 300, 200 }));
    // Not there yet: made even without force.
    EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, source, 4, 10, 0)), (imaging::Size { 640, 480 }));
}

TEST_F(PicturePreparationTest, UnusableSourceGivesNothingAndLeavesNoStaleOutput)
{
    const auto notAPicture = m_home / "Pictures" / "notes.jpg";
    tp::writeBytes(notAPicture, { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e' });
    const auto dbl = m_home / "Pictures" / "button.dbl";
    tp::writeBytes(dbl, { 'D', 'B', 'l', 2, 0, 0, 0, 0 });
    const std::string output = temp("5.jpg");
    for (const auto& source : { notAPicture, dbl, m_home / "Pictures" / "missing.png" }) {
        SCOPED_TRACE(source.string());
        tp::writeBytes(output, { 'o', 'l', 'd' });
        EXPECT_EQ(ConvertPictureToJpeg(m_context, source.string(), 5, 4, 1), "");
        EXPECT_FALSE(std::filesystem::exists(output));
    }
}

TEST_F(PicturePreparationTest, MissingTempFolderGivesNothing)
{
    std::filesystem::remove_all(m_home / "Temp");
    std::string strReason;
    EXPECT_EQ(ConvertPictureToJpeg(m_context, picture(300, 200), 0, 4, 1, &strReason), "");
    EXPECT_EQ(strReason, "cannot write " + temp("0.jpg") + ": No such file or directory");
}

TEST_F(PicturePreparationTest, AFailureGivesItsCause)
{
    std::string strReason;
    EXPECT_EQ(
        ConvertPictureToJpeg(m_context, (m_home / "Pictures" / "gone.png").string(), 0, 4, 1, &strReason),
        "");
    EXPECT_EQ(strReason, "the file cannot be found");
    const auto huge = m_home / "Pictures" / "huge.png";
    tp::writeBytes(huge, tp::makePngHeaderOnly(30000, 30000));
    EXPECT_EQ(ConvertPictureToJpeg(m_context, huge.string(), 0, 10, 1, &strReason), "");
    EXPECT_EQ(strReason, "picture too large: 30000\u00D730000, the limit is 16000 pixels a side");
    // A success leaves the reason alone.
    strReason = "untouched";
    EXPECT_EQ(ConvertPictureToJpeg(m_context, picture(300, 200), 0, 4, 1, &strReason), temp("0.jpg"));
    EXPECT_EQ(strReason, "untouched");
}

TEST_F(PicturePreparationTest, APngTooLargeForMemoryIsPreparedFromAReducedDecode)
{
    // 30 megapixels, more than is decoded at full size: anchored or stretched it becomes the gift
    // size, its colours where they were.
    const auto png = m_home / "Pictures" / "poster.png";
    tp::writeBytes(png, tp::makePng(6000, 5000, false, false, [](int x, int) {
        return x < 3000 ? tp::PngPixel { 255, 0, 0, 255 } : tp::PngPixel { 0, 0, 255, 255 };
    }));
    for (const int placement : { 4, 10, 11 }) {
        SCOPED_TRACE(placement);
        const std::string output = ConvertPictureToJpeg(m_context, png.string(), 0, placement, 1);
        ASSERT_EQ(checkOutput(output), (imaging::Size { 640, 480 }));
        const auto prepared = imaging::Picture::decodeFile(output);
        ASSERT_TRUE(prepared.has_value());
        EXPECT_GT(prepared->pixel(100, 240).red, 240);
        EXPECT_GT(prepared->pixel(540, 240).blue, 240);
    }
}

TEST_F(PicturePreparationTest, SourceIsFoundWithoutRegardToCase)
{
    std::filesystem::create_directories(m_home / "Background");
    const auto real = m_home / "Background" / "Sea.JPG";
    tp::convert("-size 64x48 xc:#3366CC '" + real.string() + "'");
    const std::string output = temp("0.jpg");
    EXPECT_EQ(ConvertPictureToJpeg(m_context, (m_home / "background" / "sea.jpg").string(), 0, 4, 1), output);
    EXPECT_EQ(checkOutput(output), (imaging::Size { 64, 48 }));
    // A stored reference with a backslash separator.
    EXPECT_EQ(ConvertPictureToJpeg(m_context, m_home.path().string() + "/BACKGROUND\\sea.jpg", 1, 4, 1),
        temp("1.jpg"));
    // Nothing on disk was renamed.
    EXPECT_TRUE(std::filesystem::exists(real));
}

TEST_F(PicturePreparationTest, EveryPictureKindIsPrepared)
{
    struct Kind {
        const char* name;
        const char* options; // convert options after the 48x32 gradient
        const char* prefix; // output format prefix
    };
    const Kind kinds[] = {
        { "progressive.jpg", "-interlace JPEG", "" },
        { "cmyk.jpg", "-colorspace CMYK", "" },
        { "animated.gif", "-size 48x32 xc:#00FF00", "" },
        { "alpha.png", "-alpha set -channel A -evaluate set 50% +channel", "PNG32:" },
        { "plain.bmp", "", "BMP3:" },
        { "icon.ico", "", "" },
        { "plain.pcx", "", "" },
    };
    const imaging::Size own { 48, 32 };
    const imaging::Size gift { 640, 480 };
    int number = 0;
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const auto path = m_home / "Pictures" / kind.name;
        tp::convert(std::string("-size 48x32 gradient:#FF0000-#0000FF ") + kind.options + " '" + kind.prefix +
            path.string() + "'");
        EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, path.string(), number++, 4, 1)), own);
        EXPECT_EQ(checkOutput(ConvertPictureToJpeg(m_context, path.string(), number++, 10, 1)), gift);
    }
    const auto wmf = m_home / "Pictures" / "drawing.wmf";
    tp::writeBytes(wmf, tp::makeWmf(1440, 960, 0x000000FF));
    EXPECT_EQ(
        checkOutput(ConvertPictureToJpeg(m_context, wmf.string(), number, 4, 1)), (imaging::Size { 96, 64 }));
}

TEST_F(PicturePreparationTest, LargePhotoIsPreparedThroughTheSizeHint)
{
    // 12000 x 9000 decodes within the memory limits only because the decoder reduces it first.
    const auto photo = m_home / "Pictures" / "photo.jpg";
    tp::writeBytes(photo, tp::makeFlatJpeg(12000, 9000));
    EXPECT_EQ(
        checkOutput(ConvertPictureToJpeg(m_context, photo.string(), 0, 4, 1)), (imaging::Size { 640, 480 }));
    EXPECT_EQ(
        checkOutput(ConvertPictureToJpeg(m_context, photo.string(), 1, 11, 1)), (imaging::Size { 640, 480 }));
}

TEST_F(PicturePreparationTest, AlbumCopiesAreShrunkIntoTheOutputFolder)
{
    struct Case {
        int w, h;
        int expectedW, expectedH;
    };
    const Case cases[] = { { 1600, 1200, 640, 480 }, { 1000, 400, 640, 256 }, { 500, 300, 500, 300 } };
    const auto out = m_home / "Temp";
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const std::string source = picture(c.w, c.h);
        const CAlbumPicture result = ConvertAlbumPicture(source, out, number, 640, 480);
        EXPECT_TRUE(result.IsCopied()) << result.strError;
        EXPECT_EQ(result.strPath, (out / (std::to_string(number) + ".jpg")).string());
        EXPECT_EQ(result.nWidth, c.expectedW);
        EXPECT_EQ(result.nHeight, c.expectedH);
        EXPECT_EQ(checkOutput(result.strPath), (imaging::Size { c.expectedW, c.expectedH }));
        EXPECT_FALSE(std::filesystem::exists(source + ".jpg")); // nothing beside the user's picture
        ++number;
    }
    // Always at the highest quality: larger than the same picture at the project's default.
    const std::string kept = picture(500, 300, "noise.png", "-attenuate 0.3 +noise Gaussian");
    const std::string album = ConvertAlbumPicture(kept, out, number, 640, 480).strPath;
    m_context.nQuality = 70;
    const std::string card = ConvertPictureToJpeg(m_context, kept, 0, 4, 1);
    EXPECT_GT(std::filesystem::file_size(album), std::filesystem::file_size(card));
}

TEST_F(PicturePreparationTest, AlbumSourceIsFoundWithoutRegardToCaseAndLeftAlone)
{
    std::filesystem::create_directories(m_home / "Photos");
    const auto real = m_home / "Photos" / "Beach.JPG";
    tp::convert("-size 800x600 xc:#3366CC '" + real.string() + "'");
    // A file that happens to carry the name the copy had beside the source stays as it is.
    const auto neighbour = m_home / "Photos" / "Beach.JPG.jpg";
    tp::writeBytes(neighbour, { 'k', 'e', 'e', 'p' });
    const CAlbumPicture result =
        ConvertAlbumPicture(m_home.path().string() + "/PHOTOS\\beach.jpg", m_home / "Temp", 7, 640, 480);
    EXPECT_EQ(result.strPath, (m_home / "Temp" / "7.jpg").string());
    EXPECT_EQ(checkOutput(result.strPath), (imaging::Size { 640, 480 }));
    EXPECT_EQ(tp::readBytes(neighbour), (std::vector<uint8_t> { 'k', 'e', 'e', 'p' }));

    // A picture that cannot be decoded comes back as the file found, with the reason.
    const auto broken = m_home / "Photos" / "Broken.png";
    tp::writeBytes(broken, { 1, 2, 3, 4 });
    const CAlbumPicture refused =
        ConvertAlbumPicture((m_home / "photos" / "broken.PNG").string(), m_home / "Temp", 8, 640, 480);
    EXPECT_EQ(refused.strPath, broken.string());
    EXPECT_EQ(refused.strError, "cannot be decoded as a picture");
    EXPECT_EQ(refused.nWidth, 0);
    EXPECT_FALSE(std::filesystem::exists(m_home / "Temp" / "8.jpg"));

    const CAlbumPicture missing =
        ConvertAlbumPicture((m_home / "gone.png").string(), m_home / "Temp", 9, 640, 480);
    EXPECT_EQ(missing.strError, "cannot be found");
}

TEST_F(PicturePreparationTest, AlbumCopyThatCannotBeWrittenIsReported)
{
    // The output folder is missing: the source comes back, with its fitted size and the reason.
    const std::string source = picture(1600, 1200);
    const CAlbumPicture unwritable = ConvertAlbumPicture(source, m_home / "missing", 0, 640, 480);
    EXPECT_FALSE(unwritable.IsCopied());
    EXPECT_EQ(unwritable.strError.rfind("the copy cannot be written: ", 0), 0U) << unwritable.strError;
    EXPECT_EQ(unwritable.strPath, source);
    EXPECT_EQ(unwritable.nWidth, 640);
    EXPECT_EQ(unwritable.nHeight, 480);
    EXPECT_FALSE(std::filesystem::exists(m_home / "missing"));
}

} // namespace
