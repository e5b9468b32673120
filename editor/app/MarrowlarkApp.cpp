// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/app/MarrowlarkApp.h"

#include "editor/app/AboutBox.h"
#include "editor/app/TipWindow.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "imaging/Scratch.h"
#include "model/InstallPaths.h"
#include "platform/CloseRequests.h"
#include "platform/Prompts.h"
#include "platform/SettingsFile.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>

namespace {

std::filesystem::path FsPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

} // namespace

// The editor's prompts: each blocking call counts as an open box while it runs, so that timers
// firing inside its event loop know to wait.
class CMarrowlarkApp::CCountingPrompts : public IPrompts {
public:
    CCountingPrompts(IPrompts& inner, int& nDepth)
        : m_inner(inner)
        , m_nDepth(nDepth)
    {
    }

    EPromptAnswer MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon) override
    {
        const CDepth depth(m_nDepth);
        return m_inner.MessageBox(strText, buttons, icon);
    }
    QString OpenFile(
        const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath) override
    {
        const CDepth depth(m_nDepth);
        return m_inner.OpenFile(strFilter, strDefaultExt, strInitialPath);
    }
    QString SaveFile(const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath,
        bool bOverwritePrompt) override
    {
        const CDepth depth(m_nDepth);
        return m_inner.SaveFile(strFilter, strDefaultExt, strInitialPath, bOverwritePrompt);
    }
    QString BrowseFolder(const QString& strPrompt) override
    {
        const CDepth depth(m_nDepth);
        return m_inner.BrowseFolder(strPrompt);
    }
    void ShowNotice(const QString& strHtml, QPoint screenPoint) override
    {
        m_inner.ShowNotice(strHtml, screenPoint);
    }

private:
    struct CDepth {
        explicit CDepth(int& n)
            : m_n(n)
        {
            ++m_n;
        }
        ~CDepth() { --m_n; }
        CDepth(const CDepth&) = delete;
        CDepth& operator=(const CDepth&) = delete;
        int& m_n;
    };

    IPrompts& m_inner;
    int& m_nDepth;
};

CMarrowlarkApp::CModalScope::CModalScope(const CMarrowlarkApp& app)
    : m_app(app)
{
    ++m_app.m_nModalDepth;
}

CMarrowlarkApp::CModalScope::~CModalScope()
{
    --m_app.m_nModalDepth;
}

CMarrowlarkApp::CMarrowlarkApp(QString strAppDir, CEditorServices services)
    : m_strAppDir(std::move(strAppDir))
    , m_services(std::move(services))
    , m_pPrompts(std::make_unique<CCountingPrompts>(*m_services.m_pPrompts, m_nModalDepth))
{
    if (!m_log.Open(QDir(m_strAppDir).filePath(CErrorLog::FileName()))) {
        m_pPrompts->MessageBox(LogCreateFailedMessage(), EPromptButtons::Ok, EPromptIcon::None);
    }
    // Picture work keeps its scratch files in Temp, which start-up makes and exit empties.
    imaging::setScratchFolder(FsPath(InstallPath("\\Temp")));
}

CMarrowlarkApp::~CMarrowlarkApp()
{
    delete m_pTipWindow;
    m_log.Close();
}

IPrompts& CMarrowlarkApp::Prompts() const
{
    return *m_pPrompts;
}

QString CMarrowlarkApp::InstallPath(const char* strRelative) const
{
    return QString::fromStdU16String(::InstallPath(FsPath(m_strAppDir), strRelative).u16string());
}

bool CMarrowlarkApp::IsModalOpen() const
{
    return m_nModalDepth > 0 || QApplication::activeModalWidget() != nullptr;
}

void CMarrowlarkApp::LogText(const QString& strText)
{
    m_log.Write(strText);
}

void CMarrowlarkApp::ReportError(const QString& strReason)
{
    const EPromptAnswer answer =
        Prompts().MessageBox(ErrorBoxText(strReason, m_log.Path()), EPromptButtons::YesNo, EPromptIcon::Stop);
    LogText(strReason + QLatin1Char('\n'));
    if (answer == EPromptAnswer::Yes && m_pMainDlg != nullptr) {
        m_pMainDlg->SaveProject(false);
    }
}

bool CMarrowlarkApp::StartUp()
{
    m_log.WriteTimeStamp();
    if (!CSettingsFile(m_strAppDir).EnsureExists()) {
        Prompts().MessageBox(CSettingsFile::CreateFailedMessage(), EPromptButtons::Ok, EPromptIcon::None);
    }
    // Temp holds the previews, the prepared pictures and the recovery copy: without it nothing
    // the editor makes could be shown or kept.
    const QString strTemp = InstallPath("\\Temp");
    QString strWhy;
    if (!QDir().mkpath(strTemp)) {
        strWhy = QStringLiteral("the folder Temp can not be created");
    } else {
        QTemporaryFile probe(QDir(strTemp).filePath(QStringLiteral("probe-XXXXXX")));
        if (!probe.open()) {
            strWhy = probe.errorString();
        }
    }
    if (!strWhy.isEmpty()) {
        Prompts().MessageBox(
            QStringLiteral("Marrowlark can not write to its installation folder %1 (%2).\n\n"
                           "It keeps its log, settings and working files there: copy the "
                           "installation to a folder you can write to and start it from there.")
                .arg(QDir::toNativeSeparators(m_strAppDir), strWhy),
            EPromptButtons::Ok, EPromptIcon::Stop);
        return false;
    }

    bool bRecovered = false;
    const QString strRecovery = InstallPath("\\temp\\temp.mlp");
    if (QFileInfo(strRecovery).isFile()) {
        const EPromptAnswer answer =
            Prompts().MessageBox(QStringLiteral("We found a unsaved project, you may exit the program with "
                                                "an error\n\nDo you want to open it?"),
                EPromptButtons::YesNo, EPromptIcon::Question);
        if (answer == EPromptAnswer::Yes) {
            m_project.m_settings.m_strProjectPath = strRecovery.toStdString();
            bRecovered = true;
        } else {
            DeleteFolderContents(FsPath(strTemp));
        }
    }
    if (!bRecovered) {
        QString strPath;
        IEditorDialogs::EOpenResult result = IEditorDialogs::EOpenResult::Cancel;
        {
            const CModalScope modal(*this);
            result = m_services.m_pDialogs->OpenProject(nullptr, strPath);
        }
        if (result == IEditorDialogs::EOpenResult::Cancel) {
            return false;
        }
        if (result == IEditorDialogs::EOpenResult::Ok) {
            m_project.m_settings.m_strProjectPath = strPath.toStdString();
        }
    }
    if (CTipWindow::ShowAtStartup()) {
        ShowTipWindow();
        // Above every other window, the main window that opens next included.
        m_pTipWindow->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        m_pTipWindow->show();
    }
    return true;
}

void CMarrowlarkApp::RunMainWindow()
{
    CMarrowlarkDlg window(*this);
    QEventLoop loop;
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::quit);
    if (m_pCloseListener) {
        QObject::connect(
            m_pCloseListener.get(), &CCloseRequestListener::CloseRequested, &window, &QWidget::close);
    }
    window.show();
    // The tip window opened first stays in front of the main window.
    if (m_pTipWindow != nullptr && m_pTipWindow->isVisible()) {
        m_pTipWindow->raise();
    }
    loop.exec();
}

void CMarrowlarkApp::ExitInstance()
{
    QFile::remove(InstallPath("\\preview.swf"));
    if (!m_bKeepTemp) {
        DeleteFolderContents(FsPath(InstallPath("\\Temp")));
    }
    delete m_pTipWindow;
}

int CMarrowlarkApp::Run()
{
    m_pCloseListener = std::make_unique<CCloseRequestListener>(m_services.m_strInstanceName);
    if (!m_pCloseListener->Listen()) {
        m_pCloseListener.reset();
    }
    if (!StartUp()) {
        ExitInstance();
        return 0;
    }
    RunMainWindow();
    ExitInstance();
    return 0;
}

void CMarrowlarkApp::ShowTipWindow()
{
    if (m_pTipWindow == nullptr) {
        m_pTipWindow = new CTipWindow(m_strAppDir);
    }
    m_pTipWindow->show();
    m_pTipWindow->raise();
    m_pTipWindow->activateWindow();
}

void CMarrowlarkApp::ShowAboutBox(QWidget* pParent)
{
    CAboutBox box(pParent);
    box.exec();
}

int RunEditor(const QString& strAppDir, const CEditorServices& services)
{
    if (!RunningInstances(services.m_strInstanceName).isEmpty()) {
        services.m_pPrompts->MessageBox(
            AlreadyRunningMessage(), EPromptButtons::Ok, EPromptIcon::Information);
        return 0;
    }
    CMarrowlarkApp app(strAppDir, services);
    return app.Run();
}
