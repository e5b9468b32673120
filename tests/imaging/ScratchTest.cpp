// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch files of picture work: only in the folder given, removed when the work is done or when an
// interrupted program asks. The whole test program works with a private scratch folder, which must
// be empty at its end.
#include "imaging/Scratch.h"
#include "imaging/Picture.h"
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestPng.h"

#include <Magick++.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tp = testpictures;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    return files;
}

class ScratchEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        m_folder = std::make_unique<tp::TempFolder>();
        imaging::setScratchFolder(m_folder->path());
    }
    void TearDown() override
    {
        EXPECT_TRUE(filesIn(m_folder->path()).empty()) << "picture work left scratch files behind";
        m_folder.reset();
    }

private:
    std::unique_ptr<tp::TempFolder> m_folder;
};

[[maybe_unused]] testing::Environment* const g_scratch =
    testing::AddGlobalTestEnvironment(new ScratchEnvironment);

// Moves the scratch to a folder of the test's own and back.
class ScratchTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = imaging::scratchFolder();
        imaging::setScratchFolder(m_folder.path());
    }
    void TearDown() override { imaging::setScratchFolder(m_previous); }

    tp::TempFolder m_folder;
    fs::path m_previous;
};

TEST_F(ScratchTest, ImageMagicksTemporaryFilesGoToTheFolderAndAreRemovedOnRequest)
{
    EXPECT_EQ(imaging::scratchFolder(), m_folder.path());
    char path[4096] = {};
    const int fd = MagickCore::AcquireUniqueFileResource(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(fs::path(path).parent_path(), m_folder.path());
    EXPECT_TRUE(fs::exists(path));

    const fs::path partial = m_folder / "0.jpg.part";
    tp::writeBytes(partial, { 1, 2, 3 });
    {
        imaging::ScratchFile scratch(partial);
        imaging::removeScratchFiles();
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(fs::exists(partial));
    }
    (void)MagickCore::RelinquishUniqueFileResource(path);

    // A scratch file released after its rename stays; one that was not is removed with its owner.
    tp::writeBytes(partial, { 1 });
    {
        imaging::ScratchFile kept(partial);
        kept.release();
    }
    EXPECT_TRUE(fs::exists(partial));
    {
        imaging::ScratchFile dropped(partial);
    }
    EXPECT_FALSE(fs::exists(partial));
}

TEST_F(ScratchTest, APictureTooLargeForMemoryWritesNothingAnywhere)
{
    // 30 megapixels of PNG over the area decoded at full size: today it takes no scratch file at
    // all, wherever TMPDIR points; a JPEG of it is written beside the output only while it is made.
    tp::TempFolder system;
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", system.path().c_str(), 1);
    const auto png = tp::makePng(6000, 5000, false, false, [](int x, int) {
        return tp::PngPixel { static_cast<std::uint8_t>(x), 0, 0, 255 };
    });
    const auto picture = imaging::Picture::decode(png, { imaging::Size { 640, 480 } });
    ASSERT_TRUE(picture.has_value());
    picture->scaled({ 640, 480 }).saveJpeg(m_folder / "0.jpg", 70);
    if (previous != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_TRUE(filesIn(system.path()).empty());
    EXPECT_EQ(filesIn(m_folder.path()), std::vector<fs::path> { m_folder / "0.jpg" });
}

} // namespace
