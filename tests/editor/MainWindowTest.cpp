// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: New, Open, Save, Close, hot keys, the menu, skin objects, program
// starts and the recovery timer.
#include "EditorFixture.h"

#include "editor/mainwindow/EditorCommands.h"
#include "model/ProjectFile.h"
#include "platform/SkinForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace editortest;

namespace {

std::filesystem::path FsPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

class MainWindowTest : public EditorTest {
protected:
    // Types a title into the first card so that the project differs from the starter.
    void EditFirstTitle(const QString& strText)
    {
        auto* pTitle = Control<QLineEdit>("editTitle");
        pTitle->selectAll();
        QTest::keyClicks(pTitle, strText);
    }

    QList<QAction*> AllActions(QMenu* pMenu)
    {
        QList<QAction*> actions;
        for (QAction* pAction : pMenu->actions()) {
            if (pAction->menu() != nullptr) {
                actions += AllActions(pAction->menu());
            } else {
                actions << pAction;
            }
        }
        return actions;
    }
};

TEST_F(MainWindowTest, AnEmptyPathStartsTheStarterProjectWithoutSettings)
{
    Window();
    EXPECT_EQ(TreeLabels(),
        (QStringList { QStringLiteral("Card 1: {2}"), QStringLiteral("  Link 1 (Card 2:)"),
            QStringLiteral("  Link 2 (Card 2:)"), QStringLiteral("Card 2: {2}"),
            QStringLiteral("  Link 1 (Card 3:)"), QStringLiteral("  Link 2 (Card 3:)"),
            QStringLiteral("Card 3:") }));
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Marrowlark Heartwood Edition V2.2"));
    EXPECT_TRUE(Window().IsInitialised());
}

TEST_F(MainWindowTest, NewAsksAndCancelOrNoDecide)
{
    EditFirstTitle(QStringLiteral("Mine"));
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Window().NewProject();
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Mine");
    EXPECT_EQ(m_prompts.Messages().constLast(), QStringLiteral("Do you want to save this gift?"));
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());

    App().m_project.m_settings.m_nWidth = 300;
    App().m_project.m_settings.m_strAuthor = "Ann";
    m_prompts.QueueAnswer(EPromptAnswer::No);
    Window().NewProject();
    EXPECT_EQ(App().m_project.CardCount(), 3U);
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Card 1:");
    EXPECT_EQ(App().m_project.m_settings.m_nWidth, 640);
    EXPECT_EQ(App().m_project.m_settings.m_strAuthor, "Ann");
    EXPECT_EQ(m_dialogs.m_calls, QStringList { QStringLiteral("settings") });
}

TEST_F(MainWindowTest, NewOrCloseKeepTheProjectWhenTheirSaveDoesNotComplete)
{
    EditFirstTitle(QStringLiteral("Mine"));
    // Yes, then the file dialog is cancelled.
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().NewProject();
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Mine");
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().close();
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(App().m_project.CardCount(), 3U);
    // Yes, then a save that fails (the chosen path is a folder) and the report's No.
    ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("folder.mlp"))));
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    m_prompts.QueuePath(Home(QStringLiteral("folder.mlp")));
    m_prompts.QueueAnswer(EPromptAnswer::No);
    Window().close();
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Mine");
}

TEST_F(MainWindowTest, CloseWithAnEmptyProjectAsksNothing)
{
    Window();
    while (Tree()->topLevelItemCount() > 0) {
        Tree()->setCurrentItem(Tree()->topLevelItem(0));
        m_prompts.QueueAnswer(EPromptAnswer::Yes);
        Window().DeleteCard();
    }
    const qsizetype nAsked = m_prompts.m_calls.size();
    Window().close();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(m_prompts.m_calls.size(), nAsked);
}

TEST_F(MainWindowTest, SaveWritesTheFileAndSaysSo)
{
    Window();
    m_prompts.QueuePath(Home(QStringLiteral("gift.mlp")));
    EXPECT_EQ(Window().SaveProject(false), CMarrowlarkDlg::ESaveResult::Saved);
    EXPECT_EQ(m_prompts.Messages().constLast(), QStringLiteral("Your project has been saved successfully."));
    const auto saveCall = [this] {
        auto it = std::find_if(m_prompts.m_calls.rbegin(), m_prompts.m_calls.rend(),
            [](const CFakePrompts::CCall& call) { return call.m_kind == CFakePrompts::EKind::SaveFile; });
        return it == m_prompts.m_calls.rend() ? CFakePrompts::CCall {} : *it;
    };
    EXPECT_EQ(saveCall().m_strDefaultExt, QStringLiteral("mlp"));
    EXPECT_TRUE(saveCall().m_bOverwritePrompt);
    CProject saved;
    LoadProjectFile(FsPath(Home(QStringLiteral("gift.mlp"))), saved);
    EXPECT_EQ(saved.CardCount(), 3U);
    EXPECT_EQ(App().m_project.m_settings.m_strProjectPath, Home(QStringLiteral("gift.mlp")).toStdString());
    // The next save proposes that file.
    Window().SaveProject(false);
    EXPECT_EQ(saveCall().m_strInitialPath, Home(QStringLiteral("gift.mlp")));
}

TEST_F(MainWindowTest, OpenAsksBeforeTheDialogAndKeepsTheProjectOnCancel)
{
    EditFirstTitle(QStringLiteral("Mine"));
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Window().OpenProject();
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
    EXPECT_EQ(m_prompts.Messages().constLast(), QStringLiteral("Do you want to save this gift?"));

    m_prompts.QueueAnswer(EPromptAnswer::No);
    m_dialogs.m_openResult = IEditorDialogs::EOpenResult::Ok;
    m_dialogs.m_strOpenPath = Home(QStringLiteral("Themes/Birthday.mlp"));
    Window().OpenProject();
    CProject expected;
    LoadProjectFile(FsPath(m_dialogs.m_strOpenPath), expected);
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, expected.Card(0).m_strTitle);
}

TEST_F(MainWindowTest, ADamagedFileLeavesTheOpenProject)
{
    EditFirstTitle(QStringLiteral("Mine"));
    // A file cut off inside its settings: the cards read fine, the settings do not.
    const std::vector<uint8_t> bytes = SaveProjectBytes(App().m_project);
    QFile damaged(Home(QStringLiteral("damaged.mlp")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size() - 12));
    damaged.close();
    App().m_project.m_settings.m_strAuthor = "Kept";
    Window().OnRecoveryTimer();
    Window().LoadProject(Home(QStringLiteral("damaged.mlp")));
    EXPECT_EQ(m_prompts.Messages().constLast(),
        QStringLiteral("Can not load this saved file because of old version."));
    EXPECT_EQ(App().m_project.CardCount(), 3U);
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Mine");
    EXPECT_EQ(App().m_project.m_settings.m_strAuthor, "Kept");
    EXPECT_EQ(Tree()->topLevelItemCount(), 3);
    // Its recovery copy stays in Temp.
    EXPECT_TRUE(TempFiles().contains(QStringLiteral("temp.mlp")));
}

TEST_F(MainWindowTest, MissingFilesGiveOneNoticeAfterALoad)
{
    Window();
    App().m_project.Card(0).m_strBackground = "Background\\gone.jpg";
    App().m_project.Card(0).m_bUseProjectBg = 0;
    App().m_project.Card(1).m_strBackground = "/nowhere/film.swf";
    App().m_project.Card(1).m_bUseProjectBg = 0;
    App().m_project.m_settings.m_strMusic = "Music\\gone.mp3";
    m_prompts.QueuePath(Home(QStringLiteral("refs.mlp")));
    ASSERT_EQ(Window().SaveProject(false), CMarrowlarkDlg::ESaveResult::Saved);
    Window().LoadProject(Home(QStringLiteral("refs.mlp")));
    const QStringList notices = m_prompts.Notices();
    ASSERT_EQ(notices.filter(QStringLiteral("not found")).size(), 1);
    const QString strNotice = notices.filter(QStringLiteral("not found")).constFirst();
    EXPECT_TRUE(strNotice.contains(QStringLiteral("Background\\gone.jpg")));
    EXPECT_TRUE(strNotice.contains(QStringLiteral("/nowhere/film.swf")));
    EXPECT_TRUE(strNotice.contains(QStringLiteral("Music\\gone.mp3")));
    // The references stay as they were.
    EXPECT_EQ(App().m_project.Card(0).m_strBackground, "Background\\gone.jpg");
}

TEST_F(MainWindowTest, EnterNeverClosesTheWindow)
{
    Window();
    auto* pTitle = Control<QLineEdit>("editTitle");
    pTitle->setFocus();
    QTest::keyClick(pTitle, Qt::Key_Return);
    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Card 1:");
    auto* pComment = Control<QPlainTextEdit>("editComment");
    pComment->setFocus();
    pComment->moveCursor(QTextCursor::End);
    QTest::keyClick(pComment, Qt::Key_Return);
    QTest::keyClicks(pComment, QStringLiteral("C."));
    EXPECT_EQ(App().m_project.Card(0).m_strComment, "Type your Card 1: here.\r\n\r\nA.\r\nB.\r\n\r\nC.");
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(MainWindowTest, HotKeysAddAndPreview)
{
    QApplication::setActiveWindow(&Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    auto* pTitle = Control<QLineEdit>("editTitle");
    pTitle->setFocus();
    QTest::keyClick(pTitle, Qt::Key_F2);
    EXPECT_EQ(App().m_project.CardCount(), 4U);
    EXPECT_EQ(Tree()->indexOfTopLevelItem(Tree()->currentItem()), 1);
    QTest::keyClick(Control<QLineEdit>("editTitle"), Qt::Key_F3);
    EXPECT_EQ(App().m_project.Card(1).LinkCount(), 1U);
    QTest::keyClick(Control<QLineEdit>("editLinkTitle"), Qt::Key_F4);
    EXPECT_EQ(m_dialogs.m_calls, QStringList { QStringLiteral("preview") });
    // Preview writes the recovery copy first.
    EXPECT_TRUE(QFile::exists(Home(QStringLiteral("Temp/temp.mlp"))));
    QTest::keyClick(Control<QLineEdit>("editLinkTitle"), Qt::Key_F1);
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("MLPHelp.swf")));
    EXPECT_TRUE(m_projector.m_calls[0].m_bMaximised);
}

TEST_F(MainWindowTest, SkinObjectsInAnyCaseRunTheirCommandsOnce)
{
    CSkinForm* pForm = Window().SkinForm();
    ASSERT_NE(pForm, nullptr);
    Q_EMIT pForm->Click(QStringLiteral("btnaddcard"));
    EXPECT_EQ(App().m_project.CardCount(), 4U);
    // A real push of the button goes through the skin form: one card more, not two.
    Control<QPushButton>("BTNAddCard")->click();
    EXPECT_EQ(App().m_project.CardCount(), 5U);
    Q_EMIT pForm->State(QStringLiteral("rdostep2"), 0, 0, 0);
    EXPECT_TRUE(m_dialogs.m_calls.isEmpty());
    Q_EMIT pForm->State(QStringLiteral("rdostep2"), 1, 0, 0);
    EXPECT_EQ(m_dialogs.m_calls, QStringList { QStringLiteral("settings") });
    Control<QPushButton>("RDOStep5")->click();
    EXPECT_EQ(m_dialogs.m_calls.constLast(), QStringLiteral("finish"));
    Control<QPushButton>("MenuButton")->click();
    EXPECT_TRUE(Window().PopupMenu()->isVisible());
    Window().PopupMenu()->hide();
}

TEST_F(MainWindowTest, TheMenuHoldsEveryCommandAndTheyRun)
{
    const QList<QAction*> actions = AllActions(Window().PopupMenu());
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(PopupMenuEntries().size()));
    for (size_t i = 0; i < PopupMenuEntries().size(); ++i) {
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->data().toInt(), PopupMenuEntries()[i].m_nId);
        EXPECT_EQ(actions[static_cast<qsizetype>(i)]->text().toStdString(), PopupMenuEntries()[i].m_strText);
    }
    for (int nId : { kCmdOpenQuillfen, kCmdDownloadResources, kCmdUploadResource, kCmdUpdateProgram }) {
        EXPECT_TRUE(Window().RunCommand(nId));
    }
    ASSERT_EQ(m_shell.m_calls.size(), 4U);
    for (const CFakeShell::CCall& call : m_shell.m_calls) {
        EXPECT_EQ(call.m_strPath, QStringLiteral("quillfen"));
        EXPECT_TRUE(call.m_arguments.isEmpty());
    }
    EXPECT_TRUE(Window().RunCommand(kCmdSampleMensaTest));
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Samples/MensaTest.swf")));
    EXPECT_FALSE(m_projector.m_calls[0].m_bMaximised);
    EXPECT_TRUE(Window().RunCommand(kCmdHotKeys));
    EXPECT_EQ(m_prompts.Notices().constLast(),
        QStringLiteral("F1:  Help Center\nF2:  Add new card\nF3:  Add new link\nF4:  Preview Flash e-gift"));
    EXPECT_TRUE(Window().RunCommand(kCmdExportSwf));
    EXPECT_TRUE(Window().RunCommand(kCmdPhotoAlbum));
    EXPECT_EQ(m_dialogs.m_calls, (QStringList { QStringLiteral("swf"), QStringLiteral("album") }));
    EXPECT_TRUE(Window().RunCommand(kCmdCollapseAll));
    EXPECT_FALSE(Tree()->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(Window().RunCommand(kCmdExpandAll));
    EXPECT_TRUE(Tree()->topLevelItem(0)->isExpanded());
    EXPECT_FALSE(Window().RunCommand(12345));
}

TEST_F(MainWindowTest, EditCommandsGoToTheFocusedField)
{
    QApplication::setActiveWindow(&Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    auto* pTitle = Control<QLineEdit>("editTitle");
    pTitle->setFocus();
    pTitle->selectAll();
    EXPECT_TRUE(Window().RunCommand(kCmdCut));
    EXPECT_EQ(pTitle->text(), QString());
    EXPECT_TRUE(Window().RunCommand(kCmdPaste));
    EXPECT_TRUE(Window().RunCommand(kCmdPaste));
    EXPECT_EQ(pTitle->text(), QStringLiteral("Card 1:Card 1:"));
    // The field's edits reach the card as typing does.
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Card 1:Card 1:");
    EXPECT_TRUE(Window().RunCommand(kCmdUndo));
    EXPECT_EQ(pTitle->text(), QStringLiteral("Card 1:"));
}

TEST_F(MainWindowTest, ProgramsThatWillNotStartAreNamed)
{
    m_shell.m_bResult = false;
    m_projector.m_bStarts = false;
    Window().RunCommand(kCmdOpenQuillfen);
    Window().RunCommand(kCmdSampleFun);
    const QStringList notices = m_prompts.Notices();
    EXPECT_TRUE(notices.contains(QStringLiteral("The program quillfen could not be started.")));
    EXPECT_TRUE(notices.contains(QStringLiteral("The program marrowlark-player could not be started.")));
}

TEST_F(MainWindowTest, PublishingCommandsOpenTheirDialogs)
{
    CEditorDialogs dialogs(Home(), m_prompts);
    m_services.m_pDialogs = &dialogs;
    QString strTitle;
    QTimer::singleShot(0, [&strTitle] {
        QWidget* pDialog = QApplication::activeModalWidget();
        ASSERT_NE(pDialog, nullptr);
        strTitle = pDialog->windowTitle();
        pDialog->close();
    });
    Window().RunCommand(kCmdFinishCtl);
    EXPECT_EQ(strTitle, QStringLiteral("Finish your e-gift"));
    // The album asks for its folder first (unanswered: the user cancels).
    Window().RunCommand(kCmdPhotoAlbum);
    ASSERT_FALSE(m_prompts.m_calls.empty());
    EXPECT_EQ(m_prompts.m_calls.back().m_kind, CFakePrompts::EKind::BrowseFolder);
    EXPECT_TRUE(m_prompts.Notices().isEmpty());
}

TEST_F(MainWindowTest, SettingsOkRefreshesWithPicturesPreparedAgain)
{
    Window();
    const int nBefore = LoadCount();
    m_dialogs.m_bSettingsOk = false;
    Window().ProjectSettings();
    EXPECT_EQ(LoadCount(), nBefore);
    m_dialogs.m_bSettingsOk = true;
    Window().ProjectSettings();
    EXPECT_EQ(LoadCount(), nBefore + 1);
}

TEST_F(MainWindowTest, RecoveryTickWritesTheCopy)
{
    Window();
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("Temp/temp.mlp"))));
    EXPECT_EQ(Window().RecoveryTimer().interval(), 15000);
    EXPECT_TRUE(Window().RecoveryTimer().isActive());
    ASSERT_TRUE(QMetaObject::invokeMethod(&Window().RecoveryTimer(), "timeout"));
    CProject copy;
    LoadProjectFile(FsPath(Home(QStringLiteral("Temp/temp.mlp"))), copy);
    EXPECT_EQ(copy.CardCount(), 3U);
}

TEST_F(MainWindowTest, RecoveryTicksWaitWhileABoxIsOpen)
{
    Window();
    bool bWritten = true;
    m_prompts.m_whileOpen = [&] {
        Window().OnRecoveryTimer();
        bWritten = QFile::exists(Home(QStringLiteral("Temp/temp.mlp")));
    };
    m_prompts.QueueAnswer(EPromptAnswer::No);
    Window().DeleteCard();
    EXPECT_FALSE(bWritten);
}

TEST_F(MainWindowTest, AFailingRecoveryCopyIsReportedOnceThenLogged)
{
    Window();
    // A folder in the copy's place: writing it fails every time.
    ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("Temp/temp.mlp/x"))));
    for (int i = 0; i < 3; ++i) {
        Window().OnRecoveryTimer();
    }
    EXPECT_EQ(m_prompts.Messages().filter(QStringLiteral("Failed to save current project")).size(), 1);
    const QString strLog = QString::fromUtf8(ReadHomeFile(QStringLiteral("mlp.log")));
    EXPECT_EQ(strLog.count(QStringLiteral("Failed to save current project\n")), 3) << strLog.toStdString();
}

} // namespace
