// SPDX-License-Identifier: GPL-3.0-or-later
// "Finish your e-gift": its controls, the target label, the lock box and its folder browser, and
// the two things it does at once (a printout, a self-running copy) per player exit status.
#include "editor/export/ExportTexts.h"
#include "editor/finish/DlgFinish.h"
#include "editor/finish/TargetLabel.h"

#include "tests/editor/dialogs/DialogFixture.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using editortest::CRecordedGeneration;
using editortest::DialogTest;

class FinishDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LinkStagedFolder("Skin");
        ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("Temp"))));
        m_pDialog = std::make_unique<CDlgFinish>(m_services, m_generation.Whole());
    }

    template<typename T> T* Control(const char* strName)
    {
        T* pControl = m_pDialog->findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pControl, nullptr) << strName;
        return pControl;
    }
    void Click(const char* strName) { Control<QAbstractButton>(strName)->click(); }
    [[nodiscard]] bool PasswordEnabled()
    {
        return Control<QLineEdit>("editPassword")->isEnabled() &&
            Control<QLabel>("labelPassword")->isEnabled();
    }

    CRecordedGeneration m_generation;
    std::unique_ptr<CDlgFinish> m_pDialog;
};

TEST(TargetLabel, ShowsThirtyCharactersWholeAndShortensLongerPaths)
{
    const QString str30 = QStringLiteral("/home/anna/gifts/for-mum-1.swf");
    ASSERT_EQ(str30.size(), 30);
    EXPECT_EQ(TargetLabelText(str30), str30);
    const QString str31 = QStringLiteral("/home/anna/gifts/for-mum-12.swf");
    ASSERT_EQ(str31.size(), 31);
    EXPECT_EQ(TargetLabelText(str31), QStringLiteral("/home/anna...gifts/for-mum-12.swf"));
    EXPECT_EQ(TargetLabelText(QString()), QString());
}

TEST_F(FinishDialogTest, TheChosenTargetIsKeptAndShownShortened)
{
    // A cancelled save dialog changes nothing.
    m_prompts.QueuePath(QString());
    Click("btnChoosePath");
    EXPECT_EQ(Control<QLabel>("labelTarget")->text(), QString());
    ASSERT_EQ(m_prompts.m_calls.size(), 1U);
    const CFakePrompts::CCall& call = m_prompts.m_calls[0];
    EXPECT_EQ(call.m_kind, CFakePrompts::EKind::SaveFile);
    EXPECT_EQ(call.m_strFilter, QStringLiteral("Macromedia Flash Files(*.swf)|*.swf|All Files (*.*)|*.*||"));
    EXPECT_EQ(call.m_strDefaultExt, QStringLiteral("swf"));
    EXPECT_EQ(call.m_strInitialPath, QString());
    EXPECT_TRUE(call.m_bOverwritePrompt);

    // The skin dresses the dialog; nothing is chosen yet.
    EXPECT_FALSE(m_pDialog->styleSheet().isEmpty());
    EXPECT_FALSE(PasswordEnabled());
    const QString strTarget = QStringLiteral("/home/anna/Documents/gifts/birthday.swf");
    m_prompts.QueuePath(strTarget);
    Click("btnChoosePath");
    EXPECT_EQ(Control<QLabel>("labelTarget")->text(), QStringLiteral("/home/anna...s/gifts/birthday.swf"));
    EXPECT_EQ(m_pDialog->Choice().m_strTarget, strTarget);
}

TEST_F(FinishDialogTest, TheLockBoxHoldsATickExactlyWhileAFolderIsHeld)
{
    // The browser cancelled: no tick, the password stays disabled.
    m_prompts.QueuePath(QString());
    Click("checkLock");
    ASSERT_EQ(m_prompts.m_calls.size(), 1U);
    EXPECT_EQ(m_prompts.m_calls[0].m_kind, CFakePrompts::EKind::BrowseFolder);
    EXPECT_EQ(m_prompts.m_calls[0].m_strText,
        QStringLiteral("Choose the folder you want to lock and append\n(If you need only one file, please "
                       "move it into a folder too)"));
    EXPECT_FALSE(Control<QCheckBox>("checkLock")->isChecked());
    EXPECT_FALSE(PasswordEnabled());
    EXPECT_FALSE(m_pDialog->Choice().m_bLock);

    // A folder chosen: ticked, the password can be typed.
    m_prompts.QueuePath(QStringLiteral("/home/anna/Pictures"));
    Click("checkLock");
    EXPECT_TRUE(Control<QCheckBox>("checkLock")->isChecked());
    EXPECT_TRUE(PasswordEnabled());
    EXPECT_TRUE(m_pDialog->Choice().m_bLock);
    EXPECT_EQ(m_pDialog->Choice().m_strLockFolder, QStringLiteral("/home/anna/Pictures"));
    Control<QLineEdit>("editPassword")->setText(QStringLiteral("geheim"));

    // Unticked: the folder is forgotten, the password disabled (its text stays, unused).
    Click("checkLock");
    EXPECT_FALSE(Control<QCheckBox>("checkLock")->isChecked());
    EXPECT_FALSE(PasswordEnabled());
    EXPECT_EQ(Control<QLineEdit>("editPassword")->text(), QStringLiteral("geheim"));
    EXPECT_EQ(m_prompts.m_calls.size(), 2U); // no browser for the untick
    Click("btnFinish");
    EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
    EXPECT_FALSE(m_pDialog->Choice().m_bLock);
    EXPECT_EQ(m_pDialog->Choice().m_strLockFolder, QString());
}

TEST_F(FinishDialogTest, FinishWithTheLockAndNoPasswordStaysOpen)
{
    m_prompts.QueuePath(QStringLiteral("/home/anna/Pictures"));
    Click("checkLock");
    m_pDialog->show();
    Click("btnFinish");
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral("Please type a password for the locked archive.") });
    EXPECT_TRUE(m_pDialog->isVisible());
    EXPECT_EQ(m_pDialog->result(), 0);

    Control<QLineEdit>("editPassword")->setText(QStringLiteral("ünïcode pass"));
    Control<QCheckBox>("checkSendMail")->setChecked(true);
    Click("btnFinish");
    EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
    const CFinishChoice choice = m_pDialog->Choice();
    EXPECT_TRUE(choice.m_bLock);
    EXPECT_EQ(choice.m_strPassword, QStringLiteral("ünïcode pass"));
    EXPECT_TRUE(choice.m_bSendMail);
    // No generation happens in the dialog for Finish: the flow writes the gift.
    EXPECT_TRUE(m_generation.m_calls.isEmpty());
}

TEST_F(FinishDialogTest, PrintGeneratesThePreviewFormAndTellsWhenThePlayerFails)
{
    struct Case {
        EPlayerExit exit;
        QStringList messages;
    };
    const Case cases[] = { { EPlayerExit::Ok, {} }, { EPlayerExit::Cancelled, {} },
        { EPlayerExit::Failed, { QStringLiteral("Can not print, can not open Flash Player") } } };
    for (const Case& c : cases) {
        m_prompts.m_calls.clear();
        m_projector.m_calls.clear();
        m_generation.m_calls.clear();
        m_projector.m_result = c.exit;
        Click("btnPrint");
        EXPECT_EQ(m_generation.m_calls, QStringList { QStringLiteral("preview.swf 0") });
        ASSERT_EQ(m_projector.m_calls.size(), 1U);
        EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Print);
        EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/preview.swf")));
        EXPECT_EQ(m_prompts.Messages(), c.messages) << static_cast<int>(c.exit);
    }

    // A preview that generation could not write is not printed, nor an older one.
    m_projector.m_calls.clear();
    m_generation.m_bWrites = false;
    Click("btnPrint");
    EXPECT_TRUE(m_projector.m_calls.empty());
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("Temp/preview.swf"))));
}

TEST_F(FinishDialogTest, RunEveryWhereMakesTheCopyOfAFreshMovie)
{
    struct Case {
        EPlayerExit exit;
        QStringList messages;
    };
    const Case cases[] = { { EPlayerExit::Ok, {} }, { EPlayerExit::Cancelled, {} },
        { EPlayerExit::Failed,
            { QStringLiteral("Can not generate FlashPlayer, can not open Flash Player") } },
        { EPlayerExit::Usage,
            { QStringLiteral("Can not generate FlashPlayer, can not open Flash Player") } } };
    auto* pBox = Control<QCheckBox>("checkMakeExe");
    for (const Case& c : cases) {
        pBox->setChecked(false);
        m_prompts.m_calls.clear();
        m_projector.m_calls.clear();
        m_generation.m_calls.clear();
        m_projector.m_result = c.exit;
        Click("checkMakeExe");
        ASSERT_TRUE(pBox->isChecked());
        // The export form, generated now: the target may be missing or hold an older gift.
        EXPECT_EQ(m_generation.m_calls, QStringList { QStringLiteral("generate.swf 1") });
        ASSERT_EQ(m_projector.m_calls.size(), 1U);
        EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::MakeExe);
        EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/generate.swf")));
        EXPECT_EQ(m_prompts.Messages(), c.messages) << static_cast<int>(c.exit);
    }

    // Unticking does nothing.
    m_projector.m_calls.clear();
    m_generation.m_calls.clear();
    Click("checkMakeExe");
    EXPECT_FALSE(pBox->isChecked());
    EXPECT_TRUE(m_generation.m_calls.isEmpty());
    EXPECT_TRUE(m_projector.m_calls.empty());

    // No movie, no copy (and no stale movie handed on).
    m_generation.m_bWrites = false;
    Click("checkMakeExe");
    EXPECT_TRUE(m_projector.m_calls.empty());
}

TEST_F(FinishDialogTest, CancelClosesWithCancel)
{
    m_pDialog->show();
    Click("btnCancel");
    EXPECT_EQ(m_pDialog->result(), QDialog::Rejected);
    EXPECT_FALSE(m_pDialog->isVisible());
}

} // namespace
