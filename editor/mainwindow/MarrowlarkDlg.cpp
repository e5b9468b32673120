// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: initialisation, the command table, hot keys, saving and loading, the recovery
// timer and closing. The tree and the panel are in MarrowlarkDlgTree.cpp.
#include "editor/mainwindow/MarrowlarkDlg.h"

#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/EditorReports.h"
#include "generate/Generator.h"
#include "model/InstallPaths.h"
#include "model/LookValue.h"
#include "model/ProjectFile.h"
#include "platform/FlashPlayerWidget.h"
#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/SettingsFile.h"
#include "platform/Shell.h"
#include "platform/Skin.h"
#include "platform/SkinForm.h"

#include "ui_MarrowlarkDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QVBoxLayout>

#include <filesystem>
#include <map>

namespace {

std::filesystem::path FsPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

const QString kProjectFilter = QStringLiteral("Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||");

bool SameFile(const QString& strA, const QString& strB)
{
    const QFileInfo a(strA);
    const QFileInfo b(strB);
    if (a.exists() && b.exists()) {
        return a.canonicalFilePath() == b.canonicalFilePath();
    }
    return QDir::cleanPath(a.absoluteFilePath()) == QDir::cleanPath(b.absoluteFilePath());
}

} // namespace

CMarrowlarkDlg::CMarrowlarkDlg(CMarrowlarkApp& app, QWidget* pParent)
    : QDialog(pParent)
    , m_app(app)
    , m_pUi(std::make_unique<Ui::CMarrowlarkDlg>())
{
    m_pUi->setupUi(this);
    // A main window, not a dialog: minimise and close buttons, no "?" button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_app.m_pMainDlg = this;
    m_pReports = std::make_unique<CEditorReports>(m_app, *this);
    m_pGenerator = std::make_unique<CGenerator>(Project(), FsPath(m_app.GetInstallDir()), *m_pReports);
    m_pGenerator->LoadFonts(0);
    Project().m_settings.m_strEmail = CSettingsFile(m_app.GetInstallDir()).Email().toStdString();

    CreatePlayer();
    QDir().mkpath(TempFolder());
    BuildPopupMenu();
    ConnectPanel();
    InstallHotKeys();
    m_recoveryTimer.setInterval(kRecoveryTimerMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &CMarrowlarkDlg::OnRecoveryTimer);
    m_recoveryTimer.start();

    // The skin comes before the project: a window that cannot dress itself closes before it has
    // touched the project or Temp, so a recovery copy there survives for the next start.
    if (!LoadSkin()) {
        {
            const CMarrowlarkApp::CModalScope modal(m_app);
            m_app.Prompts().MessageBox(CSkin::LoadFailedMessage(), EPromptButtons::Ok, EPromptIcon::None);
        }
        m_app.m_bKeepTemp = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    m_bInitialised = true;

    const QString strPath = QString::fromStdString(Project().m_settings.m_strProjectPath);
    if (!strPath.isEmpty()) {
        LoadProject(strPath);
    }
    if (Project().CardCount() == 0) {
        // A new project, or a file that could not be read: the starter project.
        Project().BuildStarter();
        RebuildTree();
    }
}

CMarrowlarkDlg::~CMarrowlarkDlg()
{
    m_recoveryTimer.stop();
    if (m_app.m_pMainDlg == this) {
        m_app.m_pMainDlg = nullptr;
    }
}

CProject& CMarrowlarkDlg::Project() const
{
    return m_app.m_project;
}

QTreeWidget* CMarrowlarkDlg::Tree() const
{
    return m_pUi->treeCards;
}

QString CMarrowlarkDlg::TempFolder() const
{
    return m_app.InstallPath("\\Temp");
}

void CMarrowlarkDlg::CreatePlayer()
{
    if (!m_app.Services().m_makePlayer) {
        return;
    }
    auto* pLayout = new QVBoxLayout(m_pUi->framePreview);
    pLayout->setContentsMargins(kPreviewInset, kPreviewInset, kPreviewInset, kPreviewInset);
    m_pPlayer = m_app.Services().m_makePlayer(m_pUi->framePreview);
    m_pPlayer->setObjectName(QStringLiteral("flashPreview"));
    pLayout->addWidget(m_pPlayer);
    connect(m_pPlayer, &CFlashPlayerWidget::LoadFailed, this, &CMarrowlarkDlg::OnPreviewLoadFailed);
}

void CMarrowlarkDlg::BuildPopupMenu()
{
    m_pPopup = new QMenu(QStringLiteral("ALL"), this);
    m_pPopup->setObjectName(QStringLiteral("menuAll"));
    std::map<std::vector<std::string>, QMenu*> submenus;
    const auto menuOf = [&](const std::vector<std::string>& path) {
        QMenu* pMenu = m_pPopup;
        std::vector<std::string> prefix;
        for (const std::string& strName : path) {
            prefix.push_back(strName);
            QMenu*& pSub = submenus[prefix];
            if (pSub == nullptr) {
                pSub = pMenu->addMenu(QString::fromStdString(strName));
            }
            pMenu = pSub;
        }
        return pMenu;
    };
    for (const CMenuEntry& entry : PopupMenuEntries()) {
        QAction* pAction = menuOf(entry.m_path)->addAction(QString::fromStdString(entry.m_strText));
        pAction->setData(entry.m_nId);
        const int nId = entry.m_nId;
        connect(pAction, &QAction::triggered, this, [this, nId] { RunCommand(nId); });
    }
}

void CMarrowlarkDlg::InstallHotKeys()
{
    const auto bind = [this](Qt::Key key, auto handler) {
        auto* pShortcut = new QShortcut(QKeySequence(key), this);
        pShortcut->setContext(Qt::WindowShortcut);
        connect(pShortcut, &QShortcut::activated, this, handler);
    };
    bind(Qt::Key_F1, [this] { ShowHelp(); });
    bind(Qt::Key_F2, [this] { AddCard(EInsertPos::After); });
    bind(Qt::Key_F3, [this] { AddLink(EInsertPos::After); });
    bind(Qt::Key_F4, [this] { Preview(); });
}

bool CMarrowlarkDlg::LoadSkin()
{
    CSkin skin;
    if (!skin.Load(m_app.InstallPath("\\Skin\\heartwood.skn"))) {
        return false;
    }
    skin.ApplyObject(this, QStringLiteral("main"));
    skin.ApplyObject(m_pUi->CHKEmailSend, QStringLiteral("CHKEmailSend"));
    m_pSkinForm = skin.GetForm(this);
    connect(m_pSkinForm, &CSkinForm::Click, this, &CMarrowlarkDlg::OnSkinClick);
    connect(m_pSkinForm, &CSkinForm::State, this, &CMarrowlarkDlg::OnSkinState);
    return true;
}

void CMarrowlarkDlg::OnSkinClick(const QString& strObject)
{
    if (CSkinForm::SameName(strObject, QStringLiteral("MenuButton"))) {
        ShowPopupMenu();
        return;
    }
    if (const std::optional<int> nId = CommandOfSkinObject(strObject.toStdString(), ESkinEvent::Click)) {
        RunCommand(*nId);
    }
}

void CMarrowlarkDlg::OnSkinState(const QString& strObject, int nState, int /*nArg2*/, int /*nArg3*/)
{
    // The e-mail box's own click handler records it; its state event needs nothing more.
    if (nState != 1) {
        return;
    }
    if (const std::optional<int> nId = CommandOfSkinObject(strObject.toStdString(), ESkinEvent::State)) {
        RunCommand(*nId);
    }
}

void CMarrowlarkDlg::ShowPopupMenu()
{
    m_pPopup->popup(frameGeometry().topLeft() + QPoint(500, 100));
}

bool CMarrowlarkDlg::RunCommand(int nCommandId)
{
    if (const std::optional<std::string> strSample = SampleOfCommand(nCommandId)) {
        PlaySample(QString::fromStdString(*strSample));
        return true;
    }
    switch (nCommandId) {
    case kCmdNewProjectCtl:
    case kCmdNew:
    case kCmdStepNew:
        NewProject();
        break;
    case kCmdOpenProjectCtl:
    case kCmdOpen:
    case kCmdStepOpen:
        OpenProject();
        break;
    case kCmdSaveCtl:
    case kCmdSave:
    case kCmdStepSave:
        SaveProject(false);
        break;
    case kCmdProjectSettingsCtl:
    case kCmdProjectSettings:
        ProjectSettings();
        break;
    case kCmdShowGuideCtl:
        ShowGuide();
        break;
    case kCmdPreviewCtl:
    case kCmdStepPreview:
        Preview();
        break;
    case kCmdFinishCtl:
    case kCmdStepFinish:
        Finish();
        break;
    case kCmdExit:
        close();
        break;
    case kCmdUndo:
        EditCommand(EEditCommand::Undo);
        break;
    case kCmdCut:
        EditCommand(EEditCommand::Cut);
        break;
    case kCmdCopy:
        EditCommand(EEditCommand::Copy);
        break;
    case kCmdPaste:
        EditCommand(EEditCommand::Paste);
        break;
    case kCmdPhotoAlbum:
        RunDialog(&IEditorDialogs::PhotoAlbum);
        break;
    case kCmdExpandAll:
        ExpandAllCards(true);
        break;
    case kCmdCollapseAll:
        ExpandAllCards(false);
        break;
    case kCmdAddCardTop:
        AddCard(EInsertPos::Top);
        break;
    case kCmdAddCardBefore:
        AddCard(EInsertPos::Before);
        break;
    case kCmdAddCardAfterCtl:
    case kCmdAddCardAfter:
        AddCard(EInsertPos::After);
        break;
    case kCmdAddCardBottom:
        AddCard(EInsertPos::Bottom);
        break;
    case kCmdDeleteCardCtl:
    case kCmdDeleteCard:
        DeleteCard();
        break;
    case kCmdAddLinkTop:
        AddLink(EInsertPos::Top);
        break;
    case kCmdAddLinkBefore:
        AddLink(EInsertPos::Before);
        break;
    case kCmdAddLinkAfterCtl:
    case kCmdAddLinkAfter:
        AddLink(EInsertPos::After);
        break;
    case kCmdAddLinkBottom:
        AddLink(EInsertPos::Bottom);
        break;
    case kCmdRemoveLinkCtl:
    case kCmdRemoveLink:
        RemoveLink();
        break;
    case kCmdCardBackgroundCtl:
        CardBackground();
        break;
    case kCmdPrintCard:
        RunDialog(&IEditorDialogs::PrintCurrentCard);
        break;
    case kCmdExportSwf:
        RunDialog(&IEditorDialogs::ExportSwf);
        break;
    case kCmdExportExe:
        RunDialog(&IEditorDialogs::ExportExe);
        break;
    case kCmdOpenQuillfen:
    case kCmdDownloadResources:
    case kCmdUploadResource:
    case kCmdUpdateProgram:
        StartPackageManager();
        break;
    case kCmdHelpDocument:
        ShowHelp();
        break;
    case kCmdHotKeys:
        ShowHotKeys();
        break;
    case kCmdTipOfToday:
        ShowTip();
        break;
    case kCmdAbout:
        ShowAbout();
        break;
    default:
        return false;
    }
    return true;
}

bool CMarrowlarkDlg::ConfirmReplace()
{
    if (Tree()->topLevelItemCount() == 0) {
        return true;
    }
    EPromptAnswer answer = EPromptAnswer::Cancel;
    {
        const CMarrowlarkApp::CModalScope modal(m_app);
        answer = m_app.Prompts().MessageBox(QStringLiteral("Do you want to save this gift?"),
            EPromptButtons::YesNoCancel, EPromptIcon::Question);
    }
    if (answer == EPromptAnswer::Cancel) {
        return false;
    }
    // A save that was cancelled or failed keeps the project: nothing is thrown away unsaved.
    return answer != EPromptAnswer::Yes || SaveProject(false) == ESaveResult::Saved;
}

void CMarrowlarkDlg::NewProject()
{
    const bool bHadProject = Tree()->topLevelItemCount() > 0;
    if (bHadProject && !ConfirmReplace()) {
        return;
    }
    StartNewProject(bHadProject);
}

void CMarrowlarkDlg::StartNewProject(bool bClear)
{
    if (bClear) {
        ClearProject();
        DeleteFolderContents(FsPath(TempFolder()));
        Project().m_settings.ResetForNew();
        m_pGenerator->LoadFonts(1);
    }
    Project().BuildStarter();
    RebuildTree();
    ProjectSettings();
}

void CMarrowlarkDlg::OpenProject()
{
    if (!ConfirmReplace()) {
        return;
    }
    QString strPath;
    IEditorDialogs::EOpenResult result = IEditorDialogs::EOpenResult::Cancel;
    {
        const CMarrowlarkApp::CModalScope modal(m_app);
        result = m_app.Services().m_pDialogs->OpenProject(this, strPath);
    }
    switch (result) {
    case IEditorDialogs::EOpenResult::Cancel:
        break;
    case IEditorDialogs::EOpenResult::New:
        // The question was asked before the dialog; New goes straight on.
        StartNewProject(Tree()->topLevelItemCount() > 0);
        break;
    case IEditorDialogs::EOpenResult::Ok:
        LoadProject(strPath);
        break;
    }
}

CMarrowlarkDlg::ESaveResult CMarrowlarkDlg::SaveProject(bool bTemporary)
{
    if (!m_bInitialised || Project().CardCount() == 0) {
        return ESaveResult::NothingToSave;
    }
    QString strPath;
    if (bTemporary) {
        QDir().mkpath(TempFolder());
        strPath = m_app.InstallPath("\\temp\\temp.mlp");
    } else {
        {
            const CMarrowlarkApp::CModalScope modal(m_app);
            strPath = m_app.Prompts().SaveFile(kProjectFilter, QStringLiteral("mlp"),
                QString::fromStdString(Project().m_settings.m_strProjectPath), true);
        }
        if (strPath.isEmpty()) {
            return ESaveResult::Cancelled;
        }
        Project().m_settings.m_strProjectPath = strPath.toStdString();
    }
    const QString strReason = QStringLiteral("Failed to save current project");
    try {
        if (!SaveProjectFile(Project(), FsPath(strPath))) {
            return ESaveResult::NothingToSave;
        }
    } catch (const std::exception&) {
        if (bTemporary) {
            // The recovery copy is written every 15 seconds: one box, then the log only.
            if (m_bRecoveryFailureShown) {
                m_app.LogText(strReason + QLatin1Char('\n'));
            } else {
                m_bRecoveryFailureShown = true;
                m_app.ReportError(strReason);
            }
            return ESaveResult::Failed;
        }
        const int nSavedBefore = m_nSavesCompleted;
        m_app.ReportError(strReason);
        // The report's own save (its Yes) may have completed meanwhile.
        return m_nSavesCompleted > nSavedBefore ? ESaveResult::Saved : ESaveResult::Failed;
    }
    if (bTemporary) {
        m_bRecoveryFailureShown = false;
        return ESaveResult::Saved;
    }
    ++m_nSavesCompleted;
    const CMarrowlarkApp::CModalScope modal(m_app);
    m_app.Prompts().MessageBox(QStringLiteral("Your project has been saved successfully."),
        EPromptButtons::Ok, EPromptIcon::Information);
    return ESaveResult::Saved;
}

void CMarrowlarkDlg::LoadProject(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return;
    }
    const bool bRecoveryCopy = SameFile(strPath, m_app.InstallPath("\\temp\\temp.mlp"));
    // The file is read into a project of its own and swapped in only once all of it was read, so
    // a damaged file leaves the open project as it was.
    CProject loaded;
    loaded.m_settings.m_nQuality = Project().m_settings.m_nQuality;
    bool bLoaded = false;
    try {
        LoadProjectFile(FsPath(strPath), loaded);
        bLoaded = true;
    } catch (const CProjectFileError& error) {
        if (error.Kind() == CProjectFileError::EKind::ReadFailed) {
            m_app.LogText(QString::fromStdString(error.Detail()) + QLatin1Char('\n'));
        }
        const CMarrowlarkApp::CModalScope modal(m_app);
        m_app.Prompts().MessageBox(QString::fromUtf8(error.what()), EPromptButtons::Ok, EPromptIcon::None);
    } catch (const std::exception&) {
        const CMarrowlarkApp::CModalScope modal(m_app);
        m_app.Prompts().MessageBox(
            QString::fromLatin1(kLoadFailureMessage), EPromptButtons::Ok, EPromptIcon::None);
    }
    if (bLoaded) {
        ClearProject();
        Project() = std::move(loaded);
        // A recovered project has no file of its own yet: the recovery copy goes with Temp.
        Project().m_settings.m_strProjectPath = bRecoveryCopy ? std::string() : strPath.toStdString();
        m_pGenerator->LoadFonts(1);
    }
    m_bTreeReady = true;
    m_bPreviewReady = true;
    if (bLoaded) {
        DeleteFolderContents(FsPath(TempFolder()));
        RebuildTree();
        NoticeMissingFiles();
    }
    // A file that could not be read leaves the open project, its prepared pictures and its
    // recovery copy in Temp as they were.
}

void CMarrowlarkDlg::ProjectSettings()
{
    SaveProject(true);
    bool bOk = false;
    {
        const CMarrowlarkApp::CModalScope modal(m_app);
        bOk = m_app.Services().m_pDialogs->ProjectSettings(*this);
    }
    if (bOk) {
        RefreshPreview(1);
    }
}

void CMarrowlarkDlg::ShowGuide()
{
    if (m_pPlayer != nullptr) {
        m_pPlayer->LoadMovie(0, m_app.InstallPath("\\Resource\\guide.swf"));
    }
}

void CMarrowlarkDlg::Preview()
{
    SaveProject(true);
    RunDialog(&IEditorDialogs::Preview);
}

void CMarrowlarkDlg::Finish()
{
    SaveProject(true);
    RunDialog(&IEditorDialogs::Finish);
}

void CMarrowlarkDlg::RunDialog(void (IEditorDialogs::*dialog)(CMarrowlarkDlg&))
{
    const CMarrowlarkApp::CModalScope modal(m_app);
    (m_app.Services().m_pDialogs->*dialog)(*this);
}

void CMarrowlarkDlg::PlaySample(const QString& strRelative)
{
    if (!m_app.Services().m_pProjector->ShowMovie(
            m_app.InstallPath(strRelative.toUtf8().constData()), false)) {
        ShowNotice(QStringLiteral("The program %1 could not be started.").arg(PlayerProgramName()));
    }
}

void CMarrowlarkDlg::ShowHelp()
{
    if (!m_app.Services().m_pProjector->ShowMovie(m_app.InstallPath("\\MLPHelp.swf"), true)) {
        ShowNotice(QStringLiteral("The program %1 could not be started.").arg(PlayerProgramName()));
    }
}

void CMarrowlarkDlg::StartPackageManager()
{
    const QString strProgram = QStringLiteral("quillfen");
    if (!m_app.Services().m_pShell->StartProgram(strProgram, {}, EShowMode::Normal)) {
        ShowNotice(QStringLiteral("The program %1 could not be started.").arg(strProgram));
    }
}

void CMarrowlarkDlg::ExpandAllCards(bool bExpand)
{
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        Tree()->topLevelItem(i)->setExpanded(bExpand);
    }
}

void CMarrowlarkDlg::EditCommand(EEditCommand command)
{
    QWidget* pFocus = QApplication::focusWidget();
    if (pFocus == nullptr) {
        return;
    }
    const char* strSlot = "undo";
    switch (command) {
    case EEditCommand::Undo:
        strSlot = "undo";
        break;
    case EEditCommand::Cut:
        strSlot = "cut";
        break;
    case EEditCommand::Copy:
        strSlot = "copy";
        break;
    case EEditCommand::Paste:
        strSlot = "paste";
        break;
    }
    // Edits, text boxes and spin boxes' editors offer these slots; other widgets ignore them.
    QMetaObject::invokeMethod(pFocus, strSlot);
}

void CMarrowlarkDlg::ShowHotKeys()
{
    ShowNotice(QString::fromLatin1(kHotKeysNotice));
}

void CMarrowlarkDlg::ShowTip()
{
    m_app.ShowTipWindow();
}

void CMarrowlarkDlg::ShowAbout()
{
    const CMarrowlarkApp::CModalScope modal(m_app);
    m_app.ShowAboutBox(this);
}

void CMarrowlarkDlg::ShowNotice(const QString& strText)
{
    m_app.Prompts().ShowNotice(strText, NoticePoint());
}

QPoint CMarrowlarkDlg::NoticePoint() const
{
    const QWidget* pFrame = m_pUi->framePreview;
    return pFrame->mapToGlobal(QPoint(pFrame->width(), pFrame->height() + 20));
}

void CMarrowlarkDlg::OnRecoveryTimer()
{
    // Qt timers also fire inside the event loops of boxes and dialogs; a tick then waits.
    if (m_app.IsModalOpen()) {
        return;
    }
    SaveProject(true);
}

bool CMarrowlarkDlg::ConfirmClose()
{
    try {
        if (Tree()->topLevelItemCount() > 0) {
            EPromptAnswer answer = EPromptAnswer::Cancel;
            {
                const CMarrowlarkApp::CModalScope modal(m_app);
                answer = m_app.Prompts().MessageBox(QStringLiteral("Do you want to save this project?"),
                    EPromptButtons::YesNoCancel, EPromptIcon::Question);
            }
            if (answer == EPromptAnswer::Cancel) {
                return false;
            }
            if (answer == EPromptAnswer::Yes && SaveProject(false) != ESaveResult::Saved) {
                return false;
            }
        }
        ClearProject();
    } catch (const std::exception&) {
        m_app.ReportError(QStringLiteral("Exception in CMarrowlarkDlg::OnClose"));
    }
    return true;
}

void CMarrowlarkDlg::closeEvent(QCloseEvent* pEvent)
{
    if (!ConfirmClose()) {
        pEvent->ignore();
        return;
    }
    m_recoveryTimer.stop();
    pEvent->accept();
    done(QDialog::Accepted);
}

void CMarrowlarkDlg::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F11:
    case Qt::Key_F12:
        // Enter reaches the window only from fields that do not take it (the comment does):
        // it never closes the window, and neither does Escape.
        pEvent->accept();
        return;
    default:
        QDialog::keyPressEvent(pEvent);
    }
}
