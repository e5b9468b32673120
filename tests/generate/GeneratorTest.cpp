// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Generator.h"
#include "model/AtomicFile.h"
#include "tests/generate/GenerationTestHome.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

CProject OneCardProject(const std::string& strTitle = "Card")
{
    CProject project;
    project.InsertCard(EInsertPos::Bottom);
    project.Card(0).m_strTitle = strTitle;
    project.Card(0).m_strComment.clear();
    project.m_settings.m_bPromoteLastCard = 0;
    return project;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(GeneratorTest, UnwritableOutputIsReportedAndTheCallReturns)
{
    gentest::CTestHome home("unwritable");
    CProject project = OneCardProject();
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    const fs::path output = home.Path() / "no such folder" / "gift.swf";
    EXPECT_EQ(generator.GenerateSWF(output.string(), nullptr, 1, 0), 1);
    EXPECT_FALSE(fs::exists(output));
    ASSERT_EQ(reports.ErrorCount(), 1U) << reports.Text();
    EXPECT_NE(reports.lines[0].find("Failed to write the e-gift"), std::string::npos);
}

TEST(GeneratorTest, BrokenFlashButtonTurnsTheSettingWhite)
{
    gentest::CTestHome home("broken-flash-button");
    fs::create_directories(home.Path() / "Button");
    std::ofstream(home.Path() / "Button" / "bad.swf") << "not a flash file";
    CProject project = OneCardProject();
    project.m_settings.m_strButton = "Button\\bad.swf";
    CCardInfo& card = project.Card(0);
    card.m_pLinks = CLinks::CreateWithList();
    card.LinkList()->push_back(std::make_unique<CLinkInfo>("one", 0, 0, "", 0, 0));
    card.LinkList()->push_back(std::make_unique<CLinkInfo>("two", 0, 0, "", 0, 0));
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    const fs::path output = home.Path() / "out.swf";
    (void)generator.GenerateSWF(output.string(), nullptr, 1, 0);
    EXPECT_EQ(project.m_settings.m_strButton, "#FFFFFF");
    EXPECT_EQ(reports.ErrorCount(), 0U) << reports.Text();
    ASSERT_EQ(reports.lines.size(), 1U) << reports.Text(); // one notice: the second link is a colour button
    EXPECT_NE(reports.lines[0].find("of button may not work well"), std::string::npos);
    const std::string dump = gentest::DumpFile(output);
    EXPECT_EQ(Count(dump, "DefineButton2"), 2U);
    // The run began with the transparent face; the colour kind then adds its over state.
    EXPECT_NE(dump.find("solid #FFFFFF00"), std::string::npos);
    EXPECT_NE(dump.find("solid #EBEBEBFF"), std::string::npos);
}

TEST(GeneratorTest, EveryCommentLineIsKeptBeyondTwenty)
{
    gentest::CTestHome home("long-comment");
    CProject project = OneCardProject();
    std::string comment;
    for (int i = 0; i < 45; ++i) {
        comment += "line " + std::to_string(i) + "\r\n";
    }
    project.Card(0).m_strComment = comment;
    project.InsertCard(EInsertPos::Bottom);
    project.Card(1).m_strComment = "other";
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    const fs::path output = home.Path() / "out.swf";
    (void)generator.GenerateSWF(output.string(), nullptr, 1, 0);
    EXPECT_TRUE(reports.lines.empty()) << reports.Text();
    const std::string dump = gentest::DumpFile(output);
    // Line 44 sits at baseline 100 + 20 * 44 = 980 pixels.
    EXPECT_NE(dump.find("[translate 200 19600]"), std::string::npos);
    // The second card's comment is placed at its own first baseline.
    EXPECT_EQ(Count(dump, "[translate 200 2000]"), 2U);
}

TEST(GeneratorTest, FontsStayLoadedAcrossRunsUntilAForcedReload)
{
    gentest::CTestHome home("fonts-kept");
    CProject project = OneCardProject();
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    generator.LoadFonts(1);
    ASSERT_TRUE(generator.HasTextFont());
    fs::remove_all(home.Path() / "Font");
    const fs::path output = home.Path() / "out.swf";
    (void)generator.GenerateSWF(output.string(), nullptr, 1, 0);
    EXPECT_TRUE(reports.lines.empty()) << reports.Text();
    generator.LoadFonts(1);
    EXPECT_FALSE(generator.HasTextFont());
    EXPECT_FALSE(generator.HasTitleFont());
}

TEST(GeneratorTest, ChosenFontWithoutTitleFileUsesTheTextFontForBoth)
{
    gentest::CTestHome home("font-choice");
    CProject project = OneCardProject();
    project.m_settings.m_strFont = "Mono";
    fs::remove(home.Path() / "Font" / "_Mono.fdb");
    fs::remove(home.Path() / "Font" / "Sans.fdb");
    gentest::CRecordingReports reports;
    CGenerator generator(project, home.Path(), reports);
    generator.LoadFonts(1);
    EXPECT_TRUE(generator.HasTextFont());
    EXPECT_TRUE(generator.HasTitleFont());
}

} // namespace
