// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/InstallPaths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

class InstallPathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = fs::temp_directory_path() /
            ("model_paths_test_" + std::to_string(::getpid()) + "_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_home);
        fs::create_directories(m_home / "Temp" / "Sub");
        fs::create_directories(m_home / "Background");
        std::ofstream(m_home / "Temp" / "temp.mlp") << "x";
        std::ofstream(m_home / "Temp" / "Sub" / "a.jpg") << "x";
        std::ofstream(m_home / "Background" / "Sky.JPG") << "x";
    }
    void TearDown() override { fs::remove_all(m_home); }
    fs::path m_home;
};

TEST_F(InstallPathsTest, JoinConvertsBackslashes)
{
    EXPECT_EQ(JoinInstallPath("/opt/m", "\\Temp\\temp.mlp"), fs::path("/opt/m/Temp/temp.mlp"));
    EXPECT_EQ(JoinInstallPath("/opt/m", "Background\\sky.jpg"), fs::path("/opt/m/Background/sky.jpg"));
    EXPECT_EQ(JoinInstallPath("/opt/m", "\\config.ini"), fs::path("/opt/m/config.ini"));
    EXPECT_EQ(JoinInstallPath("/opt/m", "a//b/"), fs::path("/opt/m/a/b"));
}

TEST_F(InstallPathsTest, FindFileNoCaseMatchesEachComponent)
{
    EXPECT_EQ(FindFileNoCase(m_home / "temp" / "TEMP.MLP"), m_home / "Temp" / "temp.mlp");
    EXPECT_EQ(FindFileNoCase(m_home / "background" / "sky.jpg"), m_home / "Background" / "Sky.JPG");
    EXPECT_EQ(FindFileNoCase(m_home / "Temp" / "none.mlp"), std::nullopt);
    // The real path's own spelling is never changed.
    EXPECT_EQ(FindFileNoCase(m_home / "Temp"), m_home / "Temp");
    // The exact match wins over another spelling.
    std::ofstream(m_home / "Background" / "sky.jpg") << "y";
    EXPECT_EQ(FindFileNoCase(m_home / "Background" / "sky.jpg"), m_home / "Background" / "sky.jpg");
}

TEST_F(InstallPathsTest, InstallPathFindsExistingFoldersForNewFiles)
{
    EXPECT_EQ(InstallPath(m_home, "\\temp\\new.mlp"), m_home / "Temp" / "new.mlp");
    EXPECT_EQ(InstallPath(m_home, "\\temp\\temp.mlp"), m_home / "Temp" / "temp.mlp");
    EXPECT_EQ(InstallPath(m_home, "\\Nope\\x"), m_home / "Nope" / "x");
}

TEST_F(InstallPathsTest, DeleteFolderContentsKeepsTheFolder)
{
    const fs::path outside = m_home / "Background";
    fs::create_directory_symlink(outside, m_home / "Temp" / "link");
    DeleteFolderContents(m_home / "Temp");
    EXPECT_TRUE(fs::is_directory(m_home / "Temp"));
    EXPECT_TRUE(fs::is_empty(m_home / "Temp"));
    // The link went, not what it pointed at.
    EXPECT_TRUE(fs::exists(outside / "Sky.JPG"));
    DeleteFolderContents(m_home / "missing"); // ignored
}

TEST_F(InstallPathsTest, HomeVariableOverridesTheProgramFolder)
{
    ::setenv(kHomeVariable, m_home.c_str(), 1);
    EXPECT_EQ(InstallFolder(), m_home);
    ::setenv(kHomeVariable, "", 1);
    EXPECT_EQ(InstallFolder(), fs::read_symlink("/proc/self/exe").parent_path());
    ::unsetenv(kHomeVariable);
}
