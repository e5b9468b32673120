// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/IniFile.h"
#include "model/ProjectSettings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase)
{
    const CIniFile ini =
        CIniFile::FromText("; c\r\n[Other]\r\nEMAIL=no\r\n[settings]\r\n  email = \"a@b.c\"  \r\nX=1");
    EXPECT_EQ(ini.Value("SETTINGS", "EMAIL"), "a@b.c");
    EXPECT_EQ(ini.Value("Other", "Email"), "no");
    EXPECT_EQ(ini.Value("SETTINGS", "X"), "1");
    EXPECT_EQ(ini.Value("SETTINGS", "Y"), std::nullopt);
    EXPECT_EQ(ini.Value("Missing", "EMAIL"), std::nullopt);
}

TEST(IniFile, WritingAKeyKeepsTheRestOfTheFile)
{
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* after;
    };
    const std::vector<Case> cases = {
        { "[SETTINGS]\r\nEMAIL=", "SETTINGS", "EMAIL", "[SETTINGS]\r\nEMAIL=v" },
        { "[SETTINGS]\r\nEMAIL=old\r\n", "settings", "email", "[SETTINGS]\r\nEMAIL=v\r\n" },
        { "[SETTINGS]\r\nEMAIL=\r\n\r\n[B]\r\nk=1\r\n", "SETTINGS", "NEW",
            "[SETTINGS]\r\nEMAIL=\r\nNEW=v\r\n\r\n[B]\r\nk=1\r\n" },
        { "[SETTINGS]\r\nEMAIL=", "SETTINGS", "NEW", "[SETTINGS]\r\nEMAIL=\r\nNEW=v" },
        { "[A]\nk=1\n", "B", "K", "[A]\nk=1\n[B]\r\nK=v\r\n" },
        { "", "SETTINGS", "EMAIL", "[SETTINGS]\r\nEMAIL=v\r\n" },
        { "[A]\r\nEMAIL=x\r\n[SETTINGS]\r\n", "SETTINGS", "EMAIL",
            "[A]\r\nEMAIL=x\r\n[SETTINGS]\r\nEMAIL=v\r\n" },
    };
    for (const Case& c : cases) {
        CIniFile ini = CIniFile::FromText(c.before);
        ini.SetValue(c.section, c.key, "v");
        EXPECT_EQ(ini.Text(), c.after) << c.before;
        EXPECT_EQ(ini.Value(c.section, c.key), "v") << c.before;
    }
}

TEST(IniFile, ConfigFileCreationAndEmail)
{
    const auto dir =
        std::filesystem::temp_directory_path() / ("model_ini_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / "config.ini";

    EXPECT_EQ(ReadConfigEmail(path), kPlaceholderEmail); // no file
    ASSERT_TRUE(EnsureConfigFile(path));
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "[SETTINGS]\r\nEMAIL=");
    EXPECT_EQ(ReadConfigEmail(path), ""); // a first run starts with an empty address

    CIniFile ini = CIniFile::Load(path);
    ini.SetValue(kConfigSection, kConfigEmailKey, std::string(150, 'e'));
    ini.Save(path);
    EXPECT_EQ(ReadConfigEmail(path), std::string(100, 'e'));
    ASSERT_TRUE(EnsureConfigFile(path)); // an existing file is left alone
    EXPECT_EQ(ReadConfigEmail(path), std::string(100, 'e'));

    {
        std::ofstream(path, std::ios::binary) << "[SETTINGS]\r\n";
    }
    EXPECT_EQ(ReadConfigEmail(path), kPlaceholderEmail); // missing key
    EXPECT_FALSE(EnsureConfigFile(dir / "missing" / "config.ini"));
    std::filesystem::remove_all(dir);
}
