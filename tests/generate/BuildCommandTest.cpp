// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"
#include "model/ProjectFile.h"
#include "tests/generate/GenerationTestHome.h"

#include <gtest/gtest.h>

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
    EXPECT_NE(run.err.find("error: Error when creating title\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(Path("bare.swf"))); // the movie is still written

    run = Cli({ "build", Path("gift.mlp"), Path("missing/x.swf"), "--home", m_home.Path().string() });
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_NE(run.err.find("error: Failed to write the e-gift"), std::string::npos) << run.err;
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
