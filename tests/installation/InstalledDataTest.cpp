// SPDX-License-Identifier: GPL-3.0-or-later
// The DBL pictures and generated movies that the build put into the installation folder.
#include "swf/DblBitmap.h"
#include "swf/read/SwfFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

const std::filesystem::path kHome = MARROWLARK_HOME_DIR;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TEST(InstalledData, EveryDblPictureParsesAndHasItsCompanion)
{
    int count = 0;
    for (const char* folder : { "Background", "Button" }) {
        for (const auto& entry : std::filesystem::directory_iterator(kHome / folder)) {
            if (entry.path().extension() != ".dbl") {
                continue;
            }
            ++count;
            SCOPED_TRACE(entry.path().string());
            const auto bitmap = swf::DblBitmap::fromFile(entry.path());
            EXPECT_GT(bitmap->width(), 0);
            EXPECT_TRUE(std::filesystem::exists(entry.path().string() + ".png"));
            if (std::string(folder) == "Background") {
                EXPECT_GE(bitmap->width(), 640);
                EXPECT_GE(bitmap->height(), 480);
            }
        }
    }
    EXPECT_GE(count, 2);
}

TEST(InstalledData, GeneratedMoviesStartWithAnSwfHeader)
{
    for (const char* relative : { "Background/drifting-lights.swf", "Button/pulse.swf",
             "Resource/soundstop.swf", "Music/music-box.swf" }) {
        SCOPED_TRACE(relative);
        const std::vector<uint8_t> bytes = ReadAll(kHome / relative);
        ASSERT_GE(bytes.size(), 8U);
        EXPECT_EQ(bytes[0], 'F');
        EXPECT_EQ(bytes[1], 'W');
        EXPECT_EQ(bytes[2], 'S');
        const swf::SwfFile movie = swf::readSwf(bytes);
        EXPECT_EQ(movie.header.fileLength, bytes.size());
        EXPECT_GE(movie.header.frameCount, 1);
    }
}

} // namespace
