// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finish/DlgFinish.h"
#include "editor/dialogs/DialogPaths.h"
#include "editor/export/ExportTexts.h"
#include "editor/finish/TargetLabel.h"

#include "ui_DlgFinish.h"

#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/Skin.h"

#include <utility>

CDlgFinish::CDlgFinish(const CDialogServices& services, WholeMovieFn generate, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgFinish>())
    , m_services(services)
    , m_generate(std::move(generate))
{
    m_pUi->setupUi(this);
    m_pUi->editPassword->setMaxLength(kMaxPasswordChars);
    connect(m_pUi->btnChoosePath, &QPushButton::clicked, this, &CDlgFinish::OnChoosePath);
    connect(m_pUi->checkLock, &QCheckBox::clicked, this, &CDlgFinish::OnLockClicked);
    connect(m_pUi->checkMakeExe, &QCheckBox::clicked, this, &CDlgFinish::OnMakeExeClicked);
    connect(m_pUi->btnPrint, &QPushButton::clicked, this, &CDlgFinish::OnPrint);
    connect(m_pUi->btnFinish, &QPushButton::clicked, this, &CDlgFinish::OnFinish);
    connect(m_pUi->btnCancel, &QPushButton::clicked, this, &CDlgFinish::reject);
    ShowLock();

    // Without its skin the dialog still works, in the plain look.
    CSkin skin;
    if (skin.Load(AppPath(m_services.m_strAppDir, "\\Skin\\vwinaqua.skn"))) {
        skin.Apply(this);
    }
}

CDlgFinish::~CDlgFinish() = default;

CFinishChoice CDlgFinish::Choice() const
{
    CFinishChoice choice;
    choice.m_strTarget = m_strTarget;
    choice.m_bLock = m_bLock != 0;
    choice.m_strLockFolder = m_strLockFolder;
    choice.m_strPassword = m_strPassword;
    choice.m_bSendMail = m_bSendMail != 0;
    return choice;
}

void CDlgFinish::TakeControls()
{
    m_bLock = m_pUi->checkLock->isChecked() ? 1 : 0;
    m_strPassword = m_pUi->editPassword->text();
    m_bSendMail = m_pUi->checkSendMail->isChecked() ? 1 : 0;
    m_bMakeExe = m_pUi->checkMakeExe->isChecked() ? 1 : 0;
}

void CDlgFinish::ShowLock()
{
    // The box shows a tick exactly when a folder is held, whatever the click did to it.
    m_pUi->checkLock->setChecked(m_bLock != 0);
    m_pUi->labelPassword->setEnabled(m_bLock != 0);
    m_pUi->editPassword->setEnabled(m_bLock != 0);
}

void CDlgFinish::OnChoosePath()
{
    const QString strPath =
        m_services.m_pPrompts->SaveFile(GiftFileFilter(), QStringLiteral("swf"), QString(), true);
    if (strPath.isEmpty()) {
        return;
    }
    m_strTarget = strPath;
    m_pUi->labelTarget->setText(TargetLabelText(strPath));
    m_pUi->labelTarget->setToolTip(strPath);
}

void CDlgFinish::OnLockClicked()
{
    // Works from the flag, not from the box the click has just toggled.
    if (m_bLock != 0) {
        m_bLock = 0;
        m_strLockFolder.clear();
    } else {
        const QString strFolder = m_services.m_pPrompts->BrowseFolder(LockFolderPrompt());
        if (!strFolder.isEmpty()) {
            m_strLockFolder = strFolder;
            m_bLock = 1;
        }
    }
    ShowLock();
    if (m_bLock != 0) {
        m_pUi->editPassword->setFocus();
    }
}

void CDlgFinish::OnMakeExeClicked()
{
    TakeControls();
    if (m_bMakeExe == 0) {
        return;
    }
    // The copy is made of a movie generated now: the target may not exist yet (the Finish flow
    // writes it only at the end) or may hold an older gift.
    const QString strMovie = AppPath(m_services.m_strAppDir, "\\Temp\\generate.swf");
    const bool bMovie = WriteWorkingMovie(
        [this](const QString& strPath) {
            if (m_generate) {
                m_generate(strPath, 1);
            }
        },
        strMovie);
    // A movie that could not be written has been reported by generation.
    if (!bMovie || m_services.m_pProjector == nullptr) {
        return;
    }
    const EPlayerExit result = m_services.m_pProjector->MakeSelfRunningCopy(strMovie);
    if (result == EPlayerExit::Ok || result == EPlayerExit::Cancelled) {
        return;
    }
    m_services.m_pPrompts->MessageBox(CannotGenerateMessage(), EPromptButtons::Ok, EPromptIcon::None);
}

void CDlgFinish::OnPrint()
{
    const QString strMovie = AppPath(m_services.m_strAppDir, "\\Temp\\preview.swf");
    const bool bMovie = WriteWorkingMovie(
        [this](const QString& strPath) {
            if (m_generate) {
                m_generate(strPath, 0);
            }
        },
        strMovie);
    if (!bMovie || m_services.m_pProjector == nullptr) {
        return;
    }
    const EPlayerExit result = m_services.m_pProjector->PrintMovie(strMovie);
    if (result == EPlayerExit::Ok || result == EPlayerExit::Cancelled) {
        return;
    }
    m_services.m_pPrompts->MessageBox(CannotPrintMessage(), EPromptButtons::Ok, EPromptIcon::None);
}

void CDlgFinish::OnFinish()
{
    TakeControls();
    // An empty password would give an archive anyone can open, sent as the locked one.
    if (m_bLock != 0 && m_strPassword.isEmpty()) {
        m_services.m_pPrompts->MessageBox(NoPasswordMessage(), EPromptButtons::Ok, EPromptIcon::Warning);
        m_pUi->editPassword->setFocus();
        return;
    }
    accept();
}
