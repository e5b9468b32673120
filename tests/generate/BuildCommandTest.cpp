// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"
#include "model/AtomicFile.h"
#include "model/ProjectFile.h"
#include "tests/generate/GenerationTestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct CRun {
    int status = 0;
    std::string out;
    std::string err;
};

CRun Cli(std::vector<std::string> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CRun run;
    run.status = RunCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

class BuildCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        CProject project;
        project.BuildStarter();
        project.Card(2).m_bEmail = 1;
        ASSERT_TRUE(SaveProjectFile(project, (m_home.Path() / "gift.mlp").string()));
    }
    [[nodiscard]] std::string Path(const std::string& name) const { return (m_home.Path() / name).string(); }
    gentest::CTestHome m_home { "build-command" };
};

TEST_F(BuildCommandTest, WholeMovieAndOneCard)
{
    CRun run = Cli({ "build", Path("gift.mlp"), Path("whole.swf"), "--home", m_home.Path().string() });
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string whole = gentest::DumpFile(Path("whole.swf"));
    EXPECT_NE(whole.find("frames 3"), std::string::npos);
    EXPECT_NE(whole.find("emailalert.php"), std::string::npos);

    run = Cli({ "build", Path("gift.mlp"), Path("card.swf"), "--card", "2", "--force", "0", "--home",
        m_home.Path().string() });
    EXPECT_EQ(run.status, kExitOk) << run.err;
    const std::string card = gentest::DumpFile(Path("card.swf"));
    EXPECT_NE(card.find("frames 1"), std::string::npos);
    EXPECT_EQ(card.find("DoAction"), std::string::npos); // single-card mode has no scripts
}

TEST_F(BuildCommandTest, ReportsGoToStderrAndAnErrorFailsTheRun)
{
    gentest::CTestHome bare("build-command-no-fonts", false);
    CRun run = Cli({ "build", Path("gift.mlp"), Path("bare.swf"), "--home", bare.Path().string() });
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_NE(run.err.find("notice: The font file "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("error: Error when creating title (3 times)\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(Path("bare.swf"))); // the movie is still written

    run = Cli({ "build", Path("gift.mlp"), Path("missing/x.swf"), "--home", m_home.Path().string() });
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_NE(run.err.find("error: Failed to write the e-gift"), std::string::npos) << run.err;
}

// Lines of text, and how many of them are exactly this one.
size_t CountLines(const std::string& text, const std::string& line)
{
    size_t n = 0;
    std::istringstream lines(text);
    for (std::string each; std::getline(lines, each);) {
        n += each == line ? 1 : 0;
    }
    return n;
}

TEST_F(BuildCommandTest, EachReasonIsPrintedOnceWithItsCount)
{
    // The text font cut to 10 bytes: one notice names it, and each step that needed it is one line.
    const fs::path font = m_home.Path() / "Font" / "Sans.fdb";
    const std::vector<uint8_t> bytes = ReadWholeFile(font);
    std::ofstream(font, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), 10);
    const CRun run = Cli({ "build", Path("gift.mlp"), Path("cut.swf"), "--home", m_home.Path().string() });
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_EQ(
        CountLines(run.err,
            "notice: The font file " + font.string() + " could not be loaded; texts in it are left out."),
        1U)
        << run.err;
    // Three cards, the first two with two links each.
    EXPECT_EQ(
        CountLines(run.err, "notice: Error when add comment to the e-gift, please try it again. (3 times)"),
        1U)
        << run.err;
    EXPECT_EQ(CountLines(run.err,
                  "error: Error when adding the title of link, please restart the program (4 times)"),
        1U)
        << run.err;
    EXPECT_EQ(CountLines(run.err, "error: Failed to move the title of the button (4 times)"), 1U) << run.err;
    EXPECT_EQ(CountLines(run.err, "marrowlark-cli build: the gift was generated with errors"), 1U);
    // Nothing else: one line per distinct reason.
    EXPECT_EQ(CountLines(run.err, ""), 0U);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 5) << run.err;
}

TEST_F(BuildCommandTest, UsageErrors)
{
    EXPECT_EQ(Cli({ "build", Path("gift.mlp") }).status, kExitUsage);
    EXPECT_EQ(Cli({ "build", Path("gift.mlp"), Path("o.swf"), "--force", "2" }).status, kExitUsage);
    EXPECT_EQ(Cli({ "build", Path("gift.mlp"), Path("o.swf"), "--card", "x" }).status, kExitUsage);
    EXPECT_EQ(Cli({ "build", Path("gift.mlp"), Path("o.swf"), "--card" }).status, kExitUsage);
    EXPECT_EQ(Cli({ "build", Path("gift.mlp"), Path("o.swf"), "--bogus" }).status, kExitUsage);
    // A card the project does not have, and a project that cannot be read, are refused.
    EXPECT_EQ(
        Cli({ "build", Path("gift.mlp"), Path("o.swf"), "--card", "3", "--home", m_home.Path().string() })
            .status,
        kExitRefused);
    EXPECT_EQ(Cli({ "build", Path("none.mlp"), Path("o.swf"), "--home", m_home.Path().string() }).status,
        kExitRefused);
}

} // namespace
