// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"

#include "tests/publish/ArchiveTools.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
namespace at = archivetools;

namespace {

class ZipCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
            ("zip_command_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "folder" / "sub");
        std::ofstream(m_dir / "folder" / "a.txt") << "a\n";
        std::ofstream(m_dir / "folder" / "sub" / "b.txt") << "b\n";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        return RunCli(args, m_out, m_err);
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }
    int UnzipTest(const std::string& password)
    {
        return at::Run("unzip -t -P " + at::Quote(password) + " " + at::Quote(P("out.zip"))).status;
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

} // namespace

TEST_F(ZipCommandTest, PacksWithThePasswordOrThePasswordFilesFirstLine)
{
    ASSERT_EQ(Run({ "zip", P("folder"), P("out.zip"), "--password", "s\xC3\xA9same" }), kExitOk)
        << m_err.str();
    EXPECT_EQ(m_err.str(), "");
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(UnzipTest("s\xC3\xA9same"), 0);
    EXPECT_NE(UnzipTest("sesame"), 0);

    // The first line, without its line end (a Windows one too); the rest of the file is not used.
    std::ofstream(P("pw.txt"), std::ios::binary) << "open sesame\r\nsecond line\n";
    ASSERT_EQ(Run({ "zip", "--password-file", P("pw.txt"), P("folder"), P("out.zip") }), kExitOk)
        << m_err.str();
    EXPECT_EQ(UnzipTest("open sesame"), 0);
}

TEST_F(ZipCommandTest, LeftOutItemsAreWarnedOfWithStatusOne)
{
    ASSERT_EQ(::mkfifo(P("folder/pipe").c_str(), 0644), 0);
    fs::create_symlink("missing", P("folder/sub/dangling"));
    EXPECT_EQ(Run({ "zip", P("folder"), P("out.zip"), "--password", "pw" }), kExitRefused);
    EXPECT_EQ(m_err.str(),
        "warning: " + P("folder/pipe") + ": a special file (FIFO)\n" +
            "warning: " + P("folder/sub/dangling") + ": a dangling link (it names nothing)\n" +
            "marrowlark-cli zip: 2 items were left out of " + P("out.zip") + "\n");
    // The archive is complete all the same.
    EXPECT_EQ(UnzipTest("pw"), 0);
}

TEST_F(ZipCommandTest, NothingWrittenIsStatusOneAndNoOutput)
{
    EXPECT_EQ(Run({ "zip", P("missing"), P("out.zip"), "--password", "pw" }), kExitRefused);
    EXPECT_EQ(m_err.str(),
        "marrowlark-cli zip: Cannot read the folder " + P("missing") + ": No such file or directory\n");
    EXPECT_FALSE(fs::exists(P("out.zip")));

    EXPECT_EQ(Run({ "zip", P("folder"), P("nowhere/out.zip"), "--password", "pw" }), kExitRefused);
    EXPECT_FALSE(fs::exists(P("nowhere")));
}

TEST_F(ZipCommandTest, UsageErrorsIncludingAMissingOrEmptyPasswordAreStatusTwo)
{
    std::ofstream(P("empty.txt")) << "\n";
    const std::vector<std::vector<std::string>> wrong {
        { "zip", P("folder"), P("out.zip") },
        { "zip", P("folder"), P("out.zip"), "--password", "" },
        { "zip", P("folder"), P("out.zip"), "--password-file", P("empty.txt") },
        { "zip", P("folder"), P("out.zip"), "--password-file", P("no-such-file") },
        { "zip", P("folder"), P("out.zip"), "--password" },
        { "zip", P("folder"), P("out.zip"), "--password", "a", "--password", "b" },
        { "zip", P("folder"), "--password", "pw" },
        { "zip", P("folder"), P("out.zip"), P("third"), "--password", "pw" },
        { "zip", P("folder"), P("out.zip"), "--pasword", "pw" },
    };
    for (const std::vector<std::string>& args : wrong) {
        SCOPED_TRACE(args.size());
        EXPECT_EQ(Run(args), kExitUsage) << m_err.str();
        EXPECT_NE(m_err.str().find("Usage: marrowlark-cli zip FOLDER OUT.zip"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(P("out.zip")));

    // The program itself reports the same statuses.
    const std::string program = MARROWLARK_CLI_PROGRAM;
    EXPECT_EQ(at::Run(program + " zip " + at::Quote(P("folder")) + " " + at::Quote(P("out.zip"))).status, 2);
    EXPECT_EQ(
        at::Run(program + " zip " + at::Quote(P("folder")) + " " + at::Quote(P("out.zip")) + " --password pw")
            .status,
        0);
    EXPECT_EQ(UnzipTest("pw"), 0);
}
