// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, exit, the log and error reports, second starts and close requests.
#include "EditorFixture.h"

#include "editor/app/ErrorLog.h"
#include "model/ProjectFile.h"
#include "platform/CloseRequests.h"
#include "platform/SettingsFile.h"

#include <QRegularExpression>
#include <QTimer>

#include <thread>

using namespace editortest;

namespace {

std::filesystem::path FsPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

void WriteProject(const QString& strPath, const std::string& strFirstTitle, int nCards = 2)
{
    CProject project;
    for (int i = 0; i < nCards; ++i) {
        project.InsertCard(EInsertPos::Bottom);
    }
    project.Card(0).m_strTitle = strFirstTitle;
    ASSERT_TRUE(SaveProjectFile(project, FsPath(strPath)));
}

class StartUpTest : public EditorTest { };

TEST_F(StartUpTest, FirstStartWritesConfigAndLogAndCancelEnds)
{
    m_dialogs.m_openResult = IEditorDialogs::EOpenResult::Cancel;
    EXPECT_FALSE(App().StartUp());
    EXPECT_EQ(ReadHomeFile(QStringLiteral("config.ini")), QByteArray("[SETTINGS]\r\nEMAIL="));
    const QString strLog = QString::fromUtf8(ReadHomeFile(QStringLiteral("mlp.log")));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}/[1-9]\\d?/[1-9]\\d?, \\d{1,2}:\\d{1,2}:\\d{1,2} - \n\n$"))
            .match(strLog)
            .hasMatch())
        << strLog.toStdString();
    EXPECT_EQ(m_dialogs.m_calls, QStringList { QStringLiteral("open") });
    EXPECT_EQ(m_prompts.m_nUnscripted, 0);
}

TEST_F(StartUpTest, LogTimeStampHasNoLeadingZeros)
{
    const QDateTime when(QDate(2005, 3, 7), QTime(9, 5, 12), Qt::UTC);
    EXPECT_EQ(CErrorLog::TimeStampText(when), QStringLiteral("2005/3/7, 9:5:12 - \n\n"));
}

TEST_F(StartUpTest, ExistingConfigIsKeptAndItsAddressReachesTheProject)
{
    QFile config(Home(QStringLiteral("config.ini")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[SETTINGS]\r\nEMAIL=me@example.org\r\n");
    config.close();
    ASSERT_TRUE(App().StartUp());
    EXPECT_EQ(
        ReadHomeFile(QStringLiteral("config.ini")), QByteArray("[SETTINGS]\r\nEMAIL=me@example.org\r\n"));
    Window();
    EXPECT_EQ(App().m_project.m_settings.m_strEmail, "me@example.org");
}

TEST_F(StartUpTest, RecoveryYesOpensTheCopyWithoutTheDialog)
{
    WriteProject(Home(QStringLiteral("Temp/temp.mlp")), "Recovered");
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    ASSERT_TRUE(App().StartUp());
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
    Window();
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Recovered"));
    // Loading empties Temp, and the recovered project has no file of its own: Save must not
    // propose the copy that exit deletes.
    EXPECT_FALSE(TempFiles().contains(QStringLiteral("temp.mlp")));
    EXPECT_EQ(App().m_project.m_settings.m_strProjectPath, "");
    EXPECT_EQ(m_prompts.Messages().constFirst(),
        QStringLiteral(
            "We found a unsaved project, you may exit the program with an error\n\nDo you want to open it?"));
}

TEST_F(StartUpTest, RecoveryNoEmptiesTempBeforeTheDialog)
{
    WriteProject(Home(QStringLiteral("Temp/temp.mlp")), "Recovered");
    QFile::copy(Home(QStringLiteral("Temp/temp.mlp")), Home(QStringLiteral("Temp/other.jpg")));
    QStringList tempAtDialog { QStringLiteral("not asked") };
    m_dialogs.m_onOpen = [&] { tempAtDialog = TempFiles(); };
    m_prompts.QueueAnswer(EPromptAnswer::No);
    ASSERT_TRUE(App().StartUp());
    EXPECT_TRUE(tempAtDialog.isEmpty()) << tempAtDialog.join(QLatin1Char(' ')).toStdString();
}

TEST_F(StartUpTest, ASampleFromTheDialogOpensInTheWindow)
{
    m_dialogs.m_openResult = IEditorDialogs::EOpenResult::Ok;
    m_dialogs.m_strOpenPath = Home(QStringLiteral("Themes/Quiz.mlp"));
    ASSERT_TRUE(App().StartUp());
    CProject expected;
    LoadProjectFile(FsPath(m_dialogs.m_strOpenPath), expected);
    Window();
    ASSERT_EQ(Tree()->topLevelItemCount(), static_cast<int>(expected.CardCount()));
    EXPECT_EQ(App().m_project.m_settings.m_strProjectPath, m_dialogs.m_strOpenPath.toStdString());
    EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
    // Only the card selected at the end is previewed.
    EXPECT_EQ(LoadCount(), 1);
}

TEST_F(StartUpTest, ExitDeletesTheWorkingFiles)
{
    ASSERT_TRUE(App().StartUp());
    QFile(Home(QStringLiteral("preview.swf"))).open(QIODevice::WriteOnly);
    QFile(Home(QStringLiteral("Temp/0_1.jpg"))).open(QIODevice::WriteOnly);
    App().ExitInstance();
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("preview.swf"))));
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_TRUE(QDir(Home(QStringLiteral("Temp"))).exists());
}

TEST_F(StartUpTest, UnwritableInstallationEndsBeforeAnyWindow)
{
    // Running as root, permissions do not stop a write: names taken by the wrong kind of entry do.
    ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("mlp.log"))));
    // A link into a folder that does not exist: the file can neither be found nor created.
    ASSERT_TRUE(QFile::link(Home(QStringLiteral("missing/config.ini")), Home(QStringLiteral("config.ini"))));
    ASSERT_TRUE(QDir().rmdir(Home(QStringLiteral("Temp"))));
    QFile(Home(QStringLiteral("Temp"))).open(QIODevice::WriteOnly);
    EXPECT_FALSE(App().StartUp());
    const QStringList messages = m_prompts.Messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], QStringLiteral("Unable to create log file"));
    EXPECT_EQ(messages[1], QStringLiteral("Error when creating config.ini"));
    EXPECT_TRUE(messages[2].contains(QDir::toNativeSeparators(Home()))) << messages[2].toStdString();
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
}

TEST_F(StartUpTest, ErrorReportsBoxLogAndOptionalSave)
{
    ASSERT_TRUE(App().StartUp());
    Window();
    m_prompts.QueueAnswer(EPromptAnswer::No);
    App().ReportError(QStringLiteral("Failed to add button to the card"));
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    m_prompts.QueuePath(Home(QStringLiteral("saved.mlp")));
    App().ReportError(QStringLiteral("Error when creating a Shape"));
    const QStringList messages = m_prompts.Messages();
    ASSERT_GE(messages.size(), 2);
    EXPECT_EQ(messages[0],
        QStringLiteral(
            "You have encoutered an error when using Marrowlark\nIf you still encounter problems, please "
            "try Help or contact support@example.com\nMore details in ") +
            Home(QStringLiteral("mlp.log")) +
            QStringLiteral(" files\n\nReason:\n    Failed to add button to the card\nDo you want to save "
                           "current project?"));
    EXPECT_EQ(m_prompts.m_calls[0].m_icon, EPromptIcon::Stop);
    EXPECT_TRUE(QFile::exists(Home(QStringLiteral("saved.mlp"))));
    const QString strLog = QString::fromUtf8(ReadHomeFile(QStringLiteral("mlp.log")));
    EXPECT_TRUE(strLog.endsWith(
        QStringLiteral(" - \n\nFailed to add button to the card\nError when creating a Shape\n")))
        << strLog.toStdString();
}

TEST_F(StartUpTest, SecondStartEndsBeforeTouchingAnything)
{
    CCloseRequestListener running(m_services.m_strInstanceName);
    ASSERT_TRUE(running.Listen());
    QFile(Home(QStringLiteral("Temp/keep.jpg"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(RunEditor(Home(), m_services), 0);
    EXPECT_EQ(m_prompts.Messages(), QStringList { QStringLiteral("Marrowlark is already running.") });
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("mlp.log"))));
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("config.ini"))));
    EXPECT_EQ(TempFiles(), QStringList { QStringLiteral("keep.jpg") });
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
}

TEST_F(StartUpTest, ACloseRequestClosesTheRunningEditor)
{
    // New from the dialog, then the updater's request from another thread; the window asks
    // whether to save the starter project and is told No.
    m_prompts.QueueAnswer(EPromptAnswer::No);
    int nAccepted = -1;
    std::thread requester;
    QTimer::singleShot(300, [&] {
        requester = std::thread([&] { nAccepted = RequestCloseAll(m_services.m_strInstanceName, 5000); });
    });
    EXPECT_EQ(App().Run(), 0);
    requester.join();
    EXPECT_EQ(nAccepted, 1);
    EXPECT_TRUE(m_prompts.Messages().contains(QStringLiteral("Do you want to save this project?")));
}

TEST_F(StartUpTest, ASkinThatFailsAfterARecoveredStartKeepsTheCopy)
{
    // A private Skin folder whose main window skin is not a style sheet.
    ASSERT_TRUE(QFile::remove(Home(QStringLiteral("Skin"))));
    ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("Skin"))));
    QFile skin(Home(QStringLiteral("Skin/heartwood.skn")));
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write("QWidget { color: red;");
    skin.close();
    WriteProject(Home(QStringLiteral("Temp/temp.mlp")), "Unsaved work");
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    EXPECT_EQ(App().Run(), 0);
    EXPECT_TRUE(m_prompts.Messages().contains(QStringLiteral("Could not load the skin.")));
    EXPECT_TRUE(TempFiles().contains(QStringLiteral("temp.mlp")));
    CProject kept;
    LoadProjectFile(FsPath(Home(QStringLiteral("Temp/temp.mlp"))), kept);
    EXPECT_EQ(kept.Card(0).m_strTitle, "Unsaved work");
}

} // namespace
