// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"

#include "model/ProjectFile.h"
#include "model/ProjectJson.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
            ("cli_test_" + std::to_string(::getpid()) + "_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "home");
        ::setenv("MARROWLARK_HOME", (m_dir / "home").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("MARROWLARK_HOME");
        fs::remove_all(m_dir);
    }
    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        return RunCli(args, m_out, m_err);
    }
    std::string P(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

} // namespace

TEST_F(CliTest, NewWritesTheStarterWithTheConfiguredAddress)
{
    // No config.ini: the address starts empty.
    ASSERT_EQ(Run({ "new", P("a.mlp") }), kExitOk) << m_err.str();
    CProject a;
    LoadProjectFile(P("a.mlp"), a);
    EXPECT_EQ(a.CardCount(), 3U);
    EXPECT_EQ(a.Card(1).LinkCount(), 2U);
    EXPECT_EQ(a.m_settings.m_strEmail, "");
    EXPECT_EQ(a.m_settings.m_strBackground, "#ffffff");
    EXPECT_FALSE(fs::exists(m_dir / "home" / "config.ini")); // the installation is not touched

    std::ofstream(m_dir / "home" / "CONFIG.INI", std::ios::binary)
        << "[SETTINGS]\r\nEMAIL=me@example.org\r\n";
    ASSERT_EQ(Run({ "new", P("b.mlp") }), kExitOk) << m_err.str();
    CProject b;
    LoadProjectFile(P("b.mlp"), b);
    EXPECT_EQ(b.m_settings.m_strEmail, "me@example.org");

    // An existing file is kept unless forced.
    EXPECT_EQ(Run({ "new", P("a.mlp") }), kExitRefused);
    EXPECT_NE(m_err.str().find("exists"), std::string::npos);
    EXPECT_EQ(Run({ "new", "--force", P("a.mlp") }), kExitOk);
    EXPECT_EQ(ReadText(P("a.mlp")), ReadText(P("b.mlp")));
}

TEST_F(CliTest, JsonExportAndImportAreLossless)
{
    CProject p;
    p.BuildStarter();
    p.Card(2).m_strTitle = "Ελληνικά";
    p.Card(0).m_pLinks.reset();
    ASSERT_TRUE(SaveProjectFile(p, P("in.mlp")));
    ASSERT_EQ(Run({ "export-json", P("in.mlp"), P("p.json") }), kExitOk) << m_err.str();
    ASSERT_EQ(Run({ "import-json", P("p.json"), P("out.mlp") }), kExitOk) << m_err.str();
    EXPECT_EQ(ReadText(P("in.mlp")), ReadText(P("out.mlp")));
    ASSERT_EQ(Run({ "show", P("out.mlp") }), kExitOk);
    EXPECT_EQ(m_out.str(), ReadText(P("p.json")));
    EXPECT_NE(m_out.str().find("\"m_strTitle\": \"Ελληνικά\""), std::string::npos);
}

TEST_F(CliTest, RefusedInputsExitWithOne)
{
    std::ofstream(P("damaged.mlp"), std::ios::binary) << "\x01\x00\x00\x00\xFF\xFF";
    EXPECT_EQ(Run({ "show", P("damaged.mlp") }), kExitRefused);
    EXPECT_NE(m_err.str().find("Can not load this saved file because of old version."), std::string::npos);
    EXPECT_EQ(m_out.str(), "");

    EXPECT_EQ(Run({ "show", P("missing.mlp") }), kExitRefused);
    EXPECT_NE(m_err.str().find("missing.mlp"), std::string::npos);

    std::ofstream(P("bad.json")) << R"({"cards": [{"m_nTarget": 1}]})";
    EXPECT_EQ(Run({ "import-json", P("bad.json"), P("x.mlp") }), kExitRefused);
    EXPECT_NE(m_err.str().find("cards[0].m_nTarget: unknown field"), std::string::npos);
    EXPECT_FALSE(fs::exists(P("x.mlp")));

    std::ofstream(P("empty.json")) << "{}";
    EXPECT_EQ(Run({ "import-json", P("empty.json"), P("x.mlp") }), kExitRefused);
    EXPECT_FALSE(fs::exists(P("x.mlp")));

    ASSERT_EQ(Run({ "new", P("ok.mlp") }), kExitOk);
    EXPECT_EQ(Run({ "export-json", P("ok.mlp"), P("nofolder/x.json") }), kExitRefused);
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndHelpWithZero)
{
    EXPECT_EQ(Run({}), kExitUsage);
    EXPECT_NE(m_err.str().find("Usage:"), std::string::npos);
    EXPECT_EQ(Run({ "frobnicate" }), kExitUsage);
    EXPECT_NE(m_err.str().find("unknown command \"frobnicate\""), std::string::npos);
    EXPECT_EQ(Run({ "show" }), kExitUsage);
    EXPECT_EQ(Run({ "export-json", P("a"), P("b"), P("c") }), kExitUsage);
    EXPECT_EQ(Run({ "new", "--fast", P("a.mlp") }), kExitUsage);
    EXPECT_EQ(Run({ "--help" }), kExitOk);
    for (const CCliCommand& c : CliCommands()) {
        EXPECT_NE(m_out.str().find(std::string(c.name)), std::string::npos) << c.name;
    }
    EXPECT_EQ(Run({ "show", "--help" }), kExitOk);
    EXPECT_NE(m_out.str().find("show FILE.mlp"), std::string::npos);
}

TEST_F(CliTest, ProgramReportsTheSameStatuses)
{
    const std::string program = MARROWLARK_CLI_PROGRAM;
    const auto status = [&](const std::string& args) {
        const int raw = std::system((program + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status("--help"), 0);
    EXPECT_EQ(status(""), 2);
    EXPECT_EQ(status("new '" + P("p.mlp") + "'"), 0);
    EXPECT_EQ(status("show '" + P("p.mlp") + "'"), 0);
    EXPECT_EQ(status("show '" + P("none.mlp") + "'"), 1);
}
