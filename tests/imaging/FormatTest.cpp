// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Format.h"
#include "imaging/FindFileNoCase.h"
#include "tests/imaging/TestPictures.h"

#include <gtest/gtest.h>
#include <optional>

using imaging::Format;
namespace tp = testpictures;

namespace {

std::vector<std::uint8_t> metafile()
{
    return tp::makeWmf(960, 720, 0x000000FF);
}

// The metafile without its placeable header.
std::vector<std::uint8_t> plainMetafile()
{
    const auto bytes = metafile();
    return { bytes.begin() + 22, bytes.end() };
}

TEST(FormatTest, PicturesAreRecognisedByTheirFirstBytes)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<Format> expected;
    };
    auto noEnd = metafile();
    noEnd.resize(noEnd.size() - 6); // without its end-of-file record
    auto badRecord = metafile();
    badRecord[22 + 18] = 2; // first record shorter than a record header
    auto hugeRecord = metafile();
    hugeRecord[22 + 18 + 3] = 0x7F; // first record longer than the file
    auto badVersion = metafile();
    badVersion[22 + 5] = 0x02;
    const Case cases[] = {
        { "jpeg", { 0xFF, 0xD8, 0xFF, 0xE0 }, Format::Jpeg },
        { "jpeg cut", { 0xFF, 0xD8 }, std::nullopt },
        { "png", { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A }, Format::Png },
        { "png without its line ending", { 0x89, 'P', 'N', 'G', 0x0D, 0x0A }, std::nullopt },
        { "gif87", { 'G', 'I', 'F', '8', '7', 'a' }, Format::Gif },
        { "gif89", { 'G', 'I', 'F', '8', '9', 'a' }, Format::Gif },
        { "gif of an unknown version", { 'G', 'I', 'F', '9', '0', 'a' }, std::nullopt },
        { "bmp", { 'B', 'M', 0, 0 }, Format::Bmp },
        { "ico", { 0, 0, 1, 0, 1, 0 }, Format::Ico },
        { "ico without images", { 0, 0, 1, 0, 0, 0 }, std::nullopt },
        { "cursor", { 0, 0, 2, 0, 1, 0 }, std::nullopt },
        { "pcx", { 0x0A, 5, 1, 8 }, Format::Pcx },
        { "pcx of an unknown version", { 0x0A, 6, 1, 8 }, std::nullopt },
        { "pcx of an unknown encoding", { 0x0A, 5, 2, 8 }, std::nullopt },
        { "placeable metafile", metafile(), Format::Wmf },
        { "plain metafile", plainMetafile(), Format::Wmf },
        { "metafile without its end", noEnd, std::nullopt },
        { "metafile with a short record", badRecord, std::nullopt },
        { "metafile with an overlong record", hugeRecord, std::nullopt },
        { "metafile of an unknown version", badVersion, std::nullopt },
        { "metafile header alone", { 0xD7, 0xCD, 0xC6, 0x9A }, std::nullopt },
        { "dbl bitmap", { 'D', 'B', 'l', 2 }, std::nullopt },
        { "svg", { '<', 's', 'v', 'g' }, std::nullopt },
        { "empty", {}, std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(imaging::sniffFormat(c.bytes), c.expected) << c.what;
    }
    EXPECT_EQ(imaging::coderName(Format::Jpeg), "JPEG");
    EXPECT_EQ(imaging::coderName(Format::Wmf), "WMF");
}

TEST(FindFileNoCaseTest, EachComponentIsMatchedWithoutRegardToCase)
{
    tp::TempFolder folder;
    std::filesystem::create_directories(folder / "Background" / "Summer");
    tp::writeBytes(folder / "Background" / "Summer" / "Sea.JPG", { 1 });
    tp::writeBytes(folder / "Background" / "sea.jpg", { 2 });
    tp::writeBytes(folder / "Background" / "SEA.jpg", { 3 });

    const auto real = folder / "Background" / "Summer" / "Sea.JPG";
    EXPECT_EQ(imaging::findFileNoCase(real), real);
    EXPECT_EQ(imaging::findFileNoCase(folder / "background" / "SUMMER" / "sea.jpg"), real);
    // An exact spelling wins; among other spellings the first in name order.
    EXPECT_EQ(imaging::findFileNoCase(folder / "BACKGROUND" / "sea.jpg"), folder / "Background" / "sea.jpg");
    EXPECT_EQ(imaging::findFileNoCase(folder / "background" / "Sea.jpg"), folder / "Background" / "SEA.jpg");
    EXPECT_EQ(imaging::findFileNoCase(folder / "background" / "summer" / ".." / "SEA.JPG"),
        folder / "Background" / "Summer" / ".." / "SEA.jpg");
    EXPECT_FALSE(imaging::findFileNoCase(folder / "background" / "lake.jpg").has_value());
    EXPECT_FALSE(imaging::findFileNoCase(folder / "back" / "sea.jpg").has_value());
    EXPECT_FALSE(imaging::findFileNoCase({}).has_value());
}

} // namespace
