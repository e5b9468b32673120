// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-cli build as a process of its own: interrupted while it prepares a large picture, and on
// an installation whose Temp folder cannot be written.
#include "model/ProjectJson.h"
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestPng.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
namespace tp = testpictures;

namespace {

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    return files;
}

std::string ReadText(const fs::path& path)
{
    const auto bytes = tp::readBytes(path);
    return { bytes.begin(), bytes.end() };
}

// A running marrowlark-cli with its standard error in a file.
class CCliProcess {
public:
    // prefix: a program that runs the command line (setpriv and its options), or nothing.
    CCliProcess(const std::vector<std::string>& args, const fs::path& tmpdir, const fs::path& errors,
        const std::vector<std::string>& prefix = {})
    {
        std::vector<std::string> command = prefix;
        command.push_back(MARROWLARK_CLI_PROGRAM);
        command.insert(command.end(), args.begin(), args.end());
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, STDERR_FILENO);
            ::setenv("TMPDIR", tmpdir.c_str(), 1);
            ::unsetenv("MAGICK_TEMPORARY_PATH");
            // Started as from a terminal, whatever the test runner ignores.
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
            std::vector<char*> argv;
            for (std::string& arg : command) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
    }
    [[nodiscard]] pid_t Pid() const { return m_pid; }
    // Bytes the process has read so far.
    [[nodiscard]] long BytesRead() const
    {
        std::ifstream io("/proc/" + std::to_string(m_pid) + "/io");
        for (std::string key; io >> key;) {
            long value = 0;
            io >> value;
            if (key == "rchar:") {
                return value;
            }
        }
        return -1;
    }
    // The wait status.
    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        return status;
    }

private:
    pid_t m_pid = -1;
};

class BuildProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_home / "Temp");
        fs::copy(fs::path(MARROWLARK_STAGED_HOME) / "Font", m_home / "Font", fs::copy_options::recursive);
        fs::create_directories(m_out.path());
        fs::permissions(m_out.path(), fs::perms::all);
    }

    // A one-card project whose background is the picture, stretched over the gift.
    fs::path Project(const fs::path& picture)
    {
        CProject project;
        project.InsertCard(EInsertPos::Bottom);
        project.Card(0).m_bUseProjectBg = 0;
        project.Card(0).m_strBackground = picture.string();
        project.Card(0).m_nBgAlign = 10;
        const fs::path path = m_out / "gift.json";
        std::ofstream(path) << ProjectToJson(project);
        return path;
    }

    tp::TempFolder m_home;
    tp::TempFolder m_out;
    tp::TempFolder m_system; // what the process gets as TMPDIR
};

// 120 megapixels of PNG: over what the earlier limits let ImageMagick spill to disk (32), and
// slow enough to prepare to be interrupted during it.
const std::vector<std::uint8_t>& LargePng()
{
    static const std::vector<std::uint8_t> png = tp::makePng(12000, 10000, false, false, [](int x, int y) {
        return tp::PngPixel { static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(x ^ y),
            static_cast<std::uint8_t>(y * 3), 255 };
    });
    return png;
}

TEST_F(BuildProcessTest, ALargePictureLeavesNothingInTheSystemsTemporaryFolder)
{
    const fs::path picture = m_home / "poster.png";
    tp::writeBytes(picture, LargePng());
    CCliProcess cli({ "build", Project(picture).string(), (m_out / "gift.swf").string(), "--home",
                        m_home.path().string() },
        m_system.path(), m_out / "errors.txt");
    const int status = cli.Wait();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(m_out / "errors.txt");
    EXPECT_TRUE(FilesIn(m_system.path()).empty());
    EXPECT_EQ(FilesIn(m_home / "Temp"), std::vector<fs::path> { m_home / "Temp" / "0.jpg" });
    EXPECT_TRUE(fs::exists(m_out / "gift.swf"));
}

TEST_F(BuildProcessTest, InterruptAndTerminateEndTheBuildWithoutScratchFiles)
{
    const fs::path picture = m_home / "poster.png";
    tp::writeBytes(picture, LargePng());
    const auto size = static_cast<long>(fs::file_size(picture));
    for (const int nSignal : { SIGINT, SIGTERM }) {
        SCOPED_TRACE(nSignal);
        CCliProcess cli({ "build", Project(picture).string(), (m_out / "gift.swf").string(), "--home",
                            m_home.path().string() },
            m_system.path(), m_out / "errors.txt");
        // Once the picture is read in, it is being prepared.
        const auto start = std::chrono::steady_clock::now();
        while (
            cli.BytesRead() < size && std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(cli.Pid(), nSignal);
        const int status = cli.Wait();
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the build was not interrupted: " << ReadText(m_out / "errors.txt");
        EXPECT_EQ(WTERMSIG(status), nSignal);
        EXPECT_NE(ReadText(m_out / "errors.txt").find("interrupted"), std::string::npos);
        EXPECT_TRUE(FilesIn(m_home / "Temp").empty());
        EXPECT_TRUE(FilesIn(m_system.path()).empty());
        EXPECT_FALSE(fs::exists(m_out / "gift.swf"));
    }
}

// The lines of the build's report that name the Temp folder.
std::vector<std::string> TempNotices(const std::string& errors)
{
    std::vector<std::string> lines;
    std::istringstream in(errors);
    for (std::string line; std::getline(in, line);) {
        if (line.find("Temp folder") != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(BuildProcessTest, ATempFolderThatCannotBeWrittenIsNamedOnce)
{
    const fs::path picture = m_home / "sky.jpg";
    tp::writeBytes(picture, tp::makeFlatJpeg(64, 48));
    const fs::path project = Project(picture);
    const fs::path temp = m_home / "Temp";

    // A file where the folder should be.
    fs::remove_all(temp);
    std::ofstream(temp) << "not a folder";
    CCliProcess file(
        { "build", project.string(), (m_out / "a.swf").string(), "--home", m_home.path().string() },
        m_system.path(), m_out / "errors.txt");
    (void)file.Wait();
    std::string errors = ReadText(m_out / "errors.txt");
    EXPECT_EQ(TempNotices(errors),
        std::vector<std::string> {
            "notice: The Temp folder " + temp.string() + " cannot be written: Not a directory." })
        << errors;
    EXPECT_NE(errors.find("Reason: cannot write " + (temp / "0.jpg").string()), std::string::npos) << errors;

    // A folder that cannot be written: for root only as another user.
    fs::remove(temp);
    fs::create_directories(temp);
    fs::permissions(temp,
        fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
            fs::perms::others_read | fs::perms::others_exec);
    std::vector<std::string> prefix;
    if (::geteuid() == 0) {
        prefix = { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" };
    }
    CCliProcess readOnly(
        { "build", project.string(), (m_out / "b.swf").string(), "--home", m_home.path().string() },
        m_system.path(), m_out / "errors.txt", prefix);
    (void)readOnly.Wait();
    errors = ReadText(m_out / "errors.txt");
    EXPECT_EQ(TempNotices(errors),
        std::vector<std::string> {
            "notice: The Temp folder " + temp.string() + " cannot be written: Permission denied." })
        << errors;
    EXPECT_TRUE(fs::exists(m_out / "b.swf")) << errors;
    fs::permissions(temp, fs::perms::owner_all);
}

} // namespace
