// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/FlashFileTest.h"

#include "swf/Movie.h"
#include "swf/Shape.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class FlashFileTestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("flashfiletest-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static std::vector<uint8_t> movie(int compression)
    {
        swf::Movie m(6);
        m.setDimension(50, 50);
        auto shape = std::make_shared<swf::Shape>();
        shape->setRightFill(shape->addSolidFill(swf::Color { 10, 20, 30, 255 }));
        shape->drawLine(50, 0);
        shape->drawLine(0, 50);
        shape->drawLine(-50, 0);
        shape->drawLine(0, -50);
        m.add(shape);
        m.nextFrame();
        return m.toBytes(compression);
    }

    std::filesystem::path m_dir;
};

} // namespace

TEST_F(FlashFileTestTest, MoviesAreAcceptedPicturesRefused)
{
    EXPECT_TRUE(TestFlashFile(write("plain.swf", movie(-1))));
    EXPECT_TRUE(TestFlashFile(write("packed.swf", movie(9))));
    const std::vector<uint8_t> jpeg = { 0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0 };
    EXPECT_FALSE(TestFlashFile(write("picture.swf", jpeg)));
    auto cut = movie(-1);
    cut.resize(cut.size() - 7); // inside the placement
    EXPECT_FALSE(TestFlashFile(write("cut.swf", cut)));
    // ActionScript 3 content cannot play in the gift.
    std::vector<uint8_t> as3 = { 'F', 'W', 'S', 9, 0, 0, 0, 0, 0x08, 0, 12, 1, 0, 0x44, 0x11, 0x08, 0, 0, 0,
        0, 0 };
    EXPECT_FALSE(TestFlashFile(write("as3.swf", as3)));
}

TEST_F(FlashFileTestTest, UntestedPathsAreAccepted)
{
    const std::vector<uint8_t> junk = { 'j', 'u', 'n', 'k' };
    // Upper-case ending, other endings and paths of four characters are not loaded at all.
    EXPECT_TRUE(TestFlashFile(write("junk.SWF", junk)));
    EXPECT_TRUE(TestFlashFile(write("junk.swf.bak", junk)));
    EXPECT_TRUE(TestFlashFile(".swf"));
    EXPECT_TRUE(TestFlashFile(""));
    // A file that cannot be opened gives an empty clip: accepted.
    EXPECT_TRUE(TestFlashFile((m_dir / "missing.swf").string()));
    // Backslashes of stored references reach the file itself.
    const auto bad = write("bad.swf", junk);
    std::string stored = bad;
    std::replace(stored.begin(), stored.end(), '/', '\\');
    EXPECT_FALSE(TestFlashFile(stored));
    EXPECT_STREQ(kStrFlashFileNotSupported, " The version of flash file (swf) is not support.");
}

TEST_F(FlashFileTestTest, ChosenFilesAreTestedInAnyCase)
{
    const std::vector<uint8_t> junk = { 'j', 'u', 'n', 'k' };
    // The dialogs' entry tests an upper-case ending too, and finds the file without regard to case.
    EXPECT_FALSE(TestChosenFlashFile(write("JUNK.SWF", junk)));
    EXPECT_FALSE(TestChosenFlashFile((m_dir / "junk.swf").string()));
    EXPECT_TRUE(TestChosenFlashFile(write("Good.Swf", movie(9))));
    // Not a Flash name, or nothing to find: accepted untested.
    EXPECT_TRUE(TestChosenFlashFile(write("junk.swf.bak", junk)));
    EXPECT_TRUE(TestChosenFlashFile((m_dir / "missing.SWF").string()));
    EXPECT_TRUE(TestChosenFlashFile("wf"));
}
