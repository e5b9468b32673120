// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"

#include "swf/read/SwfFile.h"
#include "tests/imaging/TestPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;
namespace tp = testpictures;

namespace {

// An installation folder without a Temp folder, a folder of pictures and a target folder.
class AlbumCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "home");
        fs::create_directories(m_pictures);
        ::setenv("MARROWLARK_HOME", (m_root / "home").c_str(), 1);
        // Baseline JPEGs written directly: no picture tool needed.
        tp::writeBytes(m_pictures / "a.jpg", tp::makeFlatJpeg(64, 48));
        tp::writeBytes(m_pictures / "B.JPG", tp::makeFlatJpeg(32, 24));
    }
    void TearDown() override { ::unsetenv("MARROWLARK_HOME"); }

    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        return RunCli(args, m_out, m_err);
    }

    [[nodiscard]] int FrameCount() const { return swf::readSwf(tp::readBytes(m_movie)).header.frameCount; }

    tp::TempFolder m_root;
    fs::path m_pictures = m_root / "pictures";
    fs::path m_movie = m_root / "album.swf";
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(AlbumCommandTest, WritesTheAlbumAndReplacesAnOlderOne)
{
    std::ofstream(m_movie, std::ios::binary) << "older";
    std::ofstream(m_pictures / "notes.txt") << "other kinds are ignored, not reported";
    ASSERT_EQ(Run({ "album", m_pictures.string(), m_movie.string() }), kExitOk) << m_err.str();
    EXPECT_EQ(m_err.str(), "");
    EXPECT_EQ(FrameCount(), 1 + 2 * 80 + 1);
    // The installation's Temp was made for the copies, and nothing of them is left in it.
    ASSERT_TRUE(fs::is_directory(m_root / "home" / "Temp"));
    EXPECT_TRUE(fs::is_empty(m_root / "home" / "Temp"));
    EXPECT_EQ(
        std::distance(fs::directory_iterator(m_root.path()), fs::directory_iterator()), 3); // no temporary

    // An empty folder still gives an album: the script frame and the final frame.
    fs::create_directories(m_root / "empty");
    ASSERT_EQ(Run({ "album", (m_root / "empty").string(), m_movie.string() }), kExitOk) << m_err.str();
    EXPECT_EQ(FrameCount(), 2);
}

TEST_F(AlbumCommandTest, EachPictureLeftOutIsAWarningAndExitsWithOne)
{
    tp::writeBytes(m_pictures / "broken.png", { 1, 2, 3 });
    fs::create_symlink("gone.gif", m_pictures / "link.gif");
    ASSERT_EQ(Run({ "album", m_pictures.string(), m_movie.string() }), kExitRefused);
    const std::string err = m_err.str();
    EXPECT_NE(err.find("warning: " + (m_pictures / "link.gif").string() + ": a link to nothing\n"),
        std::string::npos)
        << err;
    EXPECT_NE(
        err.find("warning: " + (m_pictures / "broken.png").string() + ": cannot be decoded as a picture\n"),
        std::string::npos)
        << err;
    EXPECT_NE(err.find("2 items were left out of the album; the other 2 went in"), std::string::npos) << err;
    // The album is complete with the pictures that could be used.
    EXPECT_EQ(FrameCount(), 1 + 2 * 80 + 1);
}

TEST_F(AlbumCommandTest, NothingWrittenExitsWithOneAndKeepsTheOlderFile)
{
    std::ofstream(m_movie, std::ios::binary) << "older";
    EXPECT_EQ(Run({ "album", (m_root / "missing").string(), m_movie.string() }), kExitRefused);
    EXPECT_NE(m_err.str().find("the album was not written: "), std::string::npos) << m_err.str();
    const auto bytes = tp::readBytes(m_movie);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "older");

    EXPECT_EQ(Run({ "album", m_pictures.string(), (m_root / "nowhere" / "x.swf").string() }), kExitRefused);
    EXPECT_FALSE(fs::exists(m_root / "nowhere"));
}

TEST_F(AlbumCommandTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(Run({ "album" }), kExitUsage);
    EXPECT_EQ(Run({ "album", m_pictures.string() }), kExitUsage);
    EXPECT_NE(m_err.str().find("Usage: marrowlark-cli album FOLDER OUT.swf"), std::string::npos)
        << m_err.str();
    EXPECT_EQ(Run({ "album", m_pictures.string(), m_movie.string(), "extra" }), kExitUsage);
    EXPECT_EQ(Run({ "album", "--recursive", m_pictures.string(), m_movie.string() }), kExitUsage);
    EXPECT_FALSE(fs::exists(m_movie));
}

TEST_F(AlbumCommandTest, ProgramGivesTheSameStatuses)
{
    tp::writeBytes(m_pictures / "broken.gif", { 1 });
    const auto status = [&](const std::string& arguments) {
        const std::string command =
            std::string(MARROWLARK_CLI_PROGRAM) + " album " + arguments + " 2>/dev/null";
        const int result = std::system(command.c_str());
        return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    };
    EXPECT_EQ(status("'" + m_pictures.string() + "' '" + m_movie.string() + "'"), kExitRefused);
    EXPECT_EQ(FrameCount(), 1 + 2 * 80 + 1);
    fs::remove(m_pictures / "broken.gif");
    EXPECT_EQ(status("'" + m_pictures.string() + "' '" + m_movie.string() + "'"), kExitOk);
    EXPECT_EQ(status("'" + m_pictures.string() + "'"), kExitUsage);
}

} // namespace
