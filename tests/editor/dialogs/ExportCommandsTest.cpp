// SPDX-License-Identifier: GPL-3.0-or-later
// The menu's exports: "Generate SWF" through a temporary file and its question, "Generate EXE"
// and "Print Current Card" with their notices per player exit status, and the desktop's Flash
// program as xdg-mime names it.
#include "editor/export/ExportCommands.h"

#include "platform/DesktopMime.h"
#include "tests/editor/dialogs/DialogFixture.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

namespace {

using editortest::CRecordedGeneration;
using editortest::DialogTest;
using editortest::ReadBytes;

class ExportCommandsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("Temp"))));
        ASSERT_TRUE(m_work.isValid());
        m_strTarget = m_work.filePath(QStringLiteral("gift.swf"));
    }

    CExportCommands Commands()
    {
        CExportCommands commands(m_services, [this](const QString& strText) { m_notices << strText; });
        commands.m_hasFlashProgram = [this] { return m_bDesktopHasFlash; };
        commands.m_nextPrintNumber = [] { return 417; };
        return commands;
    }

    QTemporaryDir m_work;
    QString m_strTarget;
    CRecordedGeneration m_generation;
    QStringList m_notices;
    bool m_bDesktopHasFlash = false;
};

TEST_F(ExportCommandsTest, GenerateSwfWritesTheChosenFileAndAsksWithFourBlanks)
{
    m_prompts.QueuePath(m_strTarget);
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Commands().ExportSwf(m_generation.Whole());
    ASSERT_EQ(m_prompts.m_calls.size(), 2U);
    const CFakePrompts::CCall& save = m_prompts.m_calls[0];
    EXPECT_EQ(save.m_kind, CFakePrompts::EKind::SaveFile);
    EXPECT_EQ(save.m_strFilter, QStringLiteral("Macromedia Flash Files(*.swf)|*.swf|All Files (*.*)|*.*||"));
    EXPECT_EQ(save.m_strDefaultExt, QStringLiteral("swf"));
    EXPECT_TRUE(save.m_bOverwritePrompt);
    EXPECT_EQ(m_prompts.m_calls[1].m_strText,
        QStringLiteral("Creating gift successfully, \n    Yes to view it.\n    No to find it from folder"));
    EXPECT_EQ(m_prompts.m_calls[1].m_buttons, EPromptButtons::YesNoCancel);
    EXPECT_EQ(m_prompts.m_calls[1].m_icon, EPromptIcon::Question);
    // The export form, through a file beside the target.
    ASSERT_EQ(m_generation.m_calls.size(), 1);
    EXPECT_TRUE(m_generation.m_calls[0].endsWith(QStringLiteral(" 1")));
    EXPECT_EQ(QFileInfo(m_generation.m_paths[0]).absolutePath(), m_work.path());
    EXPECT_EQ(ReadBytes(m_strTarget), m_generation.m_bytes);
    EXPECT_EQ(QDir(m_work.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("gift.swf") });

    // Cancelled save dialog: nothing generated.
    m_prompts.m_calls.clear();
    m_generation.m_calls.clear();
    Commands().ExportSwf(m_generation.Whole());
    EXPECT_TRUE(m_generation.m_calls.isEmpty());
    EXPECT_EQ(m_prompts.m_calls.size(), 1U);
}

TEST_F(ExportCommandsTest, AFailedGenerationKeepsThePreviousGiftAndAsksNothing)
{
    {
        QFile previous(m_strTarget);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("the gift of yesterday");
    }
    m_generation.m_bWrites = false;
    m_prompts.QueuePath(m_strTarget);
    Commands().ExportSwf(m_generation.Whole());
    EXPECT_EQ(ReadBytes(m_strTarget), QByteArray("the gift of yesterday"));
    EXPECT_TRUE(m_prompts.Messages().isEmpty()); // generation told its own failure
    EXPECT_EQ(QDir(m_work.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("gift.swf") });
}

TEST_F(ExportCommandsTest, YesOpensTheDesktopsFlashProgramOrOurPlayer)
{
    struct Case {
        bool bDesktopHasFlash;
        bool bDesktopOpens;
        EPromptAnswer answer;
        std::vector<CFakeShell::EKind> shell;
        size_t nPlayerShows;
    };
    const Case cases[] = {
        { true, true, EPromptAnswer::Yes, { CFakeShell::EKind::OpenDocument }, 0 },
        { false, true, EPromptAnswer::Yes, {}, 1 },
        // The desktop's program fails to start: our player instead.
        { true, false, EPromptAnswer::Yes, { CFakeShell::EKind::OpenDocument }, 1 },
        { true, true, EPromptAnswer::No, { CFakeShell::EKind::ShowInFolder }, 0 },
        { true, true, EPromptAnswer::Cancel, {}, 0 },
    };
    for (const Case& c : cases) {
        m_shell.m_calls.clear();
        m_projector.m_calls.clear();
        m_bDesktopHasFlash = c.bDesktopHasFlash;
        m_shell.m_bResult = c.bDesktopOpens;
        m_prompts.QueuePath(m_strTarget);
        m_prompts.QueueAnswer(c.answer);
        Commands().ExportSwf(m_generation.Whole());
        ASSERT_EQ(m_shell.m_calls.size(), c.shell.size());
        for (size_t i = 0; i < c.shell.size(); ++i) {
            EXPECT_EQ(m_shell.m_calls[i].m_kind, c.shell[i]);
            EXPECT_EQ(m_shell.m_calls[i].m_strPath, m_strTarget);
        }
        ASSERT_EQ(m_projector.m_calls.size(), c.nPlayerShows);
        if (c.nPlayerShows > 0) {
            EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Show);
            EXPECT_EQ(m_projector.m_calls[0].m_strMovie, m_strTarget);
        }
    }
}

TEST_F(ExportCommandsTest, GenerateExeReportsThePlayersOutcomeInTheNotice)
{
    struct Case {
        EPlayerExit exit;
        QStringList notices;
    };
    const Case cases[] = { { EPlayerExit::Ok, { QStringLiteral("Creating e-gift successfully") } },
        { EPlayerExit::Cancelled, {} },
        { EPlayerExit::Failed,
            { QStringLiteral("Can not generate FlashPlayer, can not open Flash Player") } } };
    for (const Case& c : cases) {
        m_notices.clear();
        m_projector.m_calls.clear();
        m_generation.m_calls.clear();
        m_projector.m_result = c.exit;
        Commands().ExportExe(m_generation.Whole());
        EXPECT_EQ(m_generation.m_calls, QStringList { QStringLiteral("generate.swf 1") });
        ASSERT_EQ(m_projector.m_calls.size(), 1U);
        EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::MakeExe);
        EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/generate.swf")));
        EXPECT_EQ(m_notices, c.notices) << static_cast<int>(c.exit);
        EXPECT_TRUE(m_prompts.m_calls.empty());
    }
    // No movie: no copy of an older one, no success notice.
    m_notices.clear();
    m_projector.m_calls.clear();
    m_generation.m_bWrites = false;
    Commands().ExportExe(m_generation.Whole());
    EXPECT_TRUE(m_projector.m_calls.empty());
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(ExportCommandsTest, PrintCurrentCardPrintsTheCardAloneAndNoticesAFailure)
{
    struct Case {
        EPlayerExit exit;
        QStringList notices;
    };
    const Case cases[] = { { EPlayerExit::Ok, {} }, { EPlayerExit::Cancelled, {} },
        { EPlayerExit::Failed, { QStringLiteral("Can not print, can not open Flash Player") } } };
    for (const Case& c : cases) {
        m_notices.clear();
        m_projector.m_calls.clear();
        m_generation.m_calls.clear();
        m_projector.m_result = c.exit;
        Commands().PrintCurrentCard(2, m_generation.Card());
        EXPECT_EQ(m_generation.m_calls, QStringList { QStringLiteral("2_417.swf 0") });
        ASSERT_EQ(m_projector.m_calls.size(), 1U);
        EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Print);
        EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/2_417.swf")));
        EXPECT_EQ(m_notices, c.notices) << static_cast<int>(c.exit);
    }
    // A card that could not be generated is not printed, silently.
    m_projector.m_calls.clear();
    m_notices.clear();
    m_generation.m_bWrites = false;
    Commands().PrintCurrentCard(2, m_generation.Card());
    EXPECT_TRUE(m_projector.m_calls.empty());
    EXPECT_TRUE(m_notices.isEmpty());
}

// A stand-in xdg-mime that answers with the given output and status.
class DesktopMimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bin.isValid());
        m_strOldPath = qEnvironmentVariable("PATH");
        qputenv("PATH", (m_bin.path() + QStringLiteral(":/usr/bin:/bin")).toLocal8Bit());
    }
    void TearDown() override { qputenv("PATH", m_strOldPath.toLocal8Bit()); }

    void Answer(const char* strScript)
    {
        QFile script(m_bin.filePath(QStringLiteral("xdg-mime")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QByteArray("#!/bin/sh\n") + strScript + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir m_bin;
    QString m_strOldPath;
};

TEST_F(DesktopMimeTest, NamesTheDesktopEntryOrNothing)
{
    // The query as asked.
    Answer("[ \"$1 $2 $3\" = \"query default application/x-shockwave-flash\" ] && echo ruffle.desktop");
    EXPECT_EQ(DefaultDesktopEntry(QString::fromLatin1(kFlashMimeType)), QStringLiteral("ruffle.desktop"));
    Answer("exit 0"); // no program for the type
    EXPECT_EQ(DefaultDesktopEntry(QString::fromLatin1(kFlashMimeType)), QString());
    Answer("echo 'xdg-mime: no method available'; exit 3");
    EXPECT_EQ(DefaultDesktopEntry(QString::fromLatin1(kFlashMimeType)), QString());
    QFile::remove(m_bin.filePath(QStringLiteral("xdg-mime")));
    qputenv("PATH", m_bin.path().toLocal8Bit());
    EXPECT_EQ(DefaultDesktopEntry(QString::fromLatin1(kFlashMimeType)), QString());
}

} // namespace
