// SPDX-License-Identifier: GPL-3.0-or-later
// Projects no editor would make: texts past what the movie's records hold, an installation whose
// Temp folder cannot be written. The movie is still written, and each cause is named once.
#include "generate/Generator.h"
#include "generate/ScriptTexts.h"
#include "tests/generate/GenerationTestHome.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

std::string Repeat(const std::string& piece, size_t nTimes)
{
    std::string text;
    text.reserve(piece.size() * nTimes);
    for (size_t i = 0; i < nTimes; ++i) {
        text += piece;
    }
    return text;
}

// One card with two links to itself, the e-mail alert on, and the credit line with an author
// button, so that every script carrying a text is made.
CProject ScriptedProject()
{
    CProject project;
    project.InsertCard(EInsertPos::Bottom);
    CCardInfo& card = project.Card(0);
    card.m_strTitle = "Card";
    card.m_strComment = "Comment";
    card.m_bEmail = 1;
    card.LinkList()->push_back(std::make_unique<CLinkInfo>("First", 0, 1, "", 0, 0));
    card.LinkList()->push_back(std::make_unique<CLinkInfo>("Second", 0, 2, ">=", 5, 0));
    project.m_settings.m_bPromoteLastCard = 1;
    project.m_settings.m_bPromoteEachCard = 1;
    project.m_settings.m_strAuthor = "Someone";
    project.m_settings.m_strEmail = "someone@example.com";
    return project;
}

struct CRun {
    std::string strDump;
    gentest::CRecordingReports reports;
};

CRun Generate(CProject& project, const gentest::CTestHome& home, const CCardInfo* pCard = nullptr)
{
    CRun run;
    CGenerator generator(project, home.Path(), run.reports);
    const fs::path output = home.Path() / "out.swf";
    fs::remove(output);
    EXPECT_EQ(generator.GenerateSWF(output.string(), pCard, 1, 0), 1);
    EXPECT_TRUE(fs::exists(output)) << run.reports.Text();
    if (fs::exists(output)) {
        run.strDump = gentest::DumpFile(output);
    }
    return run;
}

// Both link buttons keep their scripts, the frame its alert, the author button its mail.
void ExpectEveryScript(const CRun& run)
{
    EXPECT_EQ(run.reports.ErrorCount(), 0U) << run.reports.Text();
    EXPECT_EQ(Count(run.strDump, "DefineButton2"), 4U); // two links, promote and author
    EXPECT_EQ(Count(run.strDump, "condition "), 4U) << "a button lost its script";
    EXPECT_NE(run.strDump.find("emailalert.php?title="), std::string::npos);
    EXPECT_NE(run.strDump.find("mailto:"), std::string::npos);
}

TEST(ScriptTextsTest, TextsAreCutAtCharacterBoundariesWithinTheirBudget)
{
    EXPECT_EQ(ShortenUtf8("abcdef", 4), "abcd");
    EXPECT_EQ(ShortenUtf8("abc", 10), "abc");
    // Greek letters take two bytes each: a budget of five keeps two.
    EXPECT_EQ(ShortenUtf8("\u03BA\u03BA\u03BA", 5), "\u03BA\u03BA");
    EXPECT_EQ(ShortenUtf8("\u03BA\u03BA\u03BA", 1), "");
    // Percent-encoded, a letter takes six bytes and a plain character one.
    EXPECT_EQ(ShortenUtf8("a\u03BA\u03BAb", 12, true), "a\u03BA");
    EXPECT_EQ(ShortenUtf8("a b", 3, true), "a");
    EXPECT_EQ(EncodedBytes("a \u03BA"), 1U + 3U + 6U);
    EXPECT_EQ(CountCharacters("a\u03BA\u03BA"), 3U);
}

TEST(HostileInputTest, TitlesAndCommentsOfSeventyThousandCharactersKeepTheScripts)
{
    gentest::CTestHome home("long-texts");
    for (const char* piece : { "a", "\u03BA" }) {
        SCOPED_TRACE(piece);
        CProject project = ScriptedProject();
        project.Card(0).m_strTitle = Repeat(piece, 70'000);
        project.Card(0).m_strComment = Repeat(piece, 70'000);
        const CRun run = Generate(project, home);
        ExpectEveryScript(run);
        // One notice for the title; the comment is drawn as its first 100 characters, which any
        // record holds.
        ASSERT_EQ(run.reports.lines.size(), 1U) << run.reports.Text();
        EXPECT_TRUE(run.reports.lines[0].starts_with("notice: The title of card 1 is longer than a script of "
                                                     "the movie holds; the scripts carry its first "))
            << run.reports.lines[0];
    }
}

TEST(HostileInputTest, ATitleIsShortenedOnlyPastWhatTheTraceHolds)
{
    gentest::CTestHome home("trace-limit");
    // Without the alert, the trace entry binds: both titles and its two marks.
    const size_t nFits = kMaxTraceBytes - kTraceMarkBytes - std::string("Second").size();
    for (const size_t nLength : { nFits, nFits + 1 }) {
        SCOPED_TRACE(nLength);
        CProject project = ScriptedProject();
        project.Card(0).m_bEmail = 0;
        project.Card(0).m_strTitle = std::string(nLength, 't');
        const CRun run = Generate(project, home);
        EXPECT_EQ(Count(run.strDump, "condition "), 4U) << run.reports.Text();
        EXPECT_EQ(run.reports.lines.size(), nLength == nFits ? 0U : 1U) << run.reports.Text();
    }
    // The length that used to end the build with the link script's error.
    CProject project = ScriptedProject();
    project.Card(0).m_strTitle = std::string(65'434, 't');
    ExpectEveryScript(Generate(project, home));
}

TEST(HostileInputTest, LongLinkTitlesAndAddressesAreShortenedWithOneNoticeEach)
{
    gentest::CTestHome home("long-fields");
    CProject project = ScriptedProject();
    project.Card(0).LinkList()->at(1)->m_strTitle = std::string(70'000, 'l');
    project.m_settings.m_strEmail = std::string(70'000, 'e') + "@example.com";
    const CRun run = Generate(project, home);
    ExpectEveryScript(run);
    ASSERT_EQ(run.reports.lines.size(), 2U) << run.reports.Text();
    EXPECT_NE(
        run.reports.Text().find("notice: The e-mail address of the project is longer"), std::string::npos);
    EXPECT_NE(run.reports.Text().find("notice: The title of link 2 of card 1 is longer"), std::string::npos);

    // The live preview of a card makes no scripts, so nothing there is shortened.
    CProject preview = ScriptedProject();
    preview.Card(0).m_strTitle = std::string(70'000, 'a');
    EXPECT_TRUE(Generate(preview, home, &preview.Card(0)).reports.lines.empty());
}

TEST(HostileInputTest, ACommentOfTooManyLinesKeepsTheMovieWithinItsCharacterIds)
{
    gentest::CTestHome home("many-lines");
    CProject project = ScriptedProject();
    project.Card(0).m_strComment = Repeat("x\r\n", 70'000);
    const CRun run = Generate(project, home);
    ExpectEveryScript(run);
    ASSERT_EQ(run.reports.lines.size(), 1U) << run.reports.Text();
    EXPECT_EQ(run.reports.lines[0],
        "notice: The comment of card 1 has more lines than a movie holds for a card; its first 250 lines are "
        "drawn.");
}

// The background picture and the music need Temp; the notice names it once, before the steps that
// fail there report as they always do.
void ExpectTempNamedOnce(
    const gentest::CRecordingReports& reports, const fs::path& temp, const std::string& strWhy)
{
    ASSERT_FALSE(reports.lines.empty());
    EXPECT_EQ(
        reports.lines[0], "notice: The Temp folder " + temp.string() + " cannot be written: " + strWhy + ".");
    EXPECT_EQ(Count(reports.Text(), "The Temp folder"), 1U) << reports.Text();
    EXPECT_NE(reports.Text().find("error: Failed to add music to the e-gift, please try it again."),
        std::string::npos)
        << reports.Text();
    EXPECT_NE(reports.Text().find(
                  "failed, please try it again.\nReason: cannot write " + (temp / "0.jpg").string()),
        std::string::npos)
        << reports.Text();
}

TEST(HostileInputTest, ATempFolderThatIsAFileIsNamedOnce)
{
    gentest::CTestHome home("temp-file");
    home.MakePicture("Background/sky.jpg", 64, 48, "#3366CC");
    home.MakeFlash("Music/tune.swf", 10, 10, 0x123456);
    fs::remove_all(home.Path() / "Temp");
    std::ofstream(home.Path() / "Temp") << "not a folder";
    CProject project = ScriptedProject();
    project.Card(0).m_bUseProjectBg = 0;
    project.Card(0).m_strBackground = "Background\\sky.jpg";
    project.m_settings.m_strMusic = "Music\\tune.swf";
    const CRun run = Generate(project, home);
    ExpectTempNamedOnce(run.reports, home.Path() / "Temp", "Not a directory");
}

} // namespace
