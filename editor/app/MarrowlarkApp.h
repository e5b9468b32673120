// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/app/ErrorLog.h"
#include "model/Project.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class CCloseRequestListener;
class CFlashPlayerWidget;
class CMarrowlarkDlg;
class CTipWindow;
class IEditorDialogs;
class IProjector;
class IPrompts;
class IShell;
class QWidget;

// The desktop services the editor's windows use: the program passes the real ones, tests fakes.
struct CEditorServices {
    IPrompts* m_pPrompts = nullptr;
    IShell* m_pShell = nullptr;
    IProjector* m_pProjector = nullptr;
    IEditorDialogs* m_pDialogs = nullptr;
    // The name under which the running editor answers close requests (and a second start finds
    // it).
    QString m_strInstanceName = QStringLiteral("marrowlark-editor");
    // Makes the embedded movie player of a host window.
    std::function<CFlashPlayerWidget*(QWidget* pParent)> m_makePlayer;
};

// The editor's process-wide state: the installation folder, the project (its settings, cards and
// cursors), the log, and the main window while it runs. Start-up prepares config.ini and Temp,
// offers a recovery copy, lets the user pick a project and runs the main window; exit cleans up.
class CMarrowlarkApp {
public:
    // Opens the log in the installation folder (emptying it); when that fails the user is told
    // "Unable to create log file" and the run goes on without a log.
    CMarrowlarkApp(QString strAppDir, CEditorServices services);
    ~CMarrowlarkApp();
    CMarrowlarkApp(const CMarrowlarkApp&) = delete;
    CMarrowlarkApp& operator=(const CMarrowlarkApp&) = delete;

    // Start-up up to the main window: the log's time stamp, config.ini, the recovery offer, the
    // open-project dialog and the tip window. False when the program ends here (the dialog was
    // cancelled, or the installation folder cannot be written).
    [[nodiscard]] bool StartUp();
    // Constructs the main window, shows it and returns once it has closed.
    void RunMainWindow();
    // Exit: deletes preview.swf and empties Temp (unless the main window asked to keep it).
    void ExitInstance();
    // StartUp, RunMainWindow, ExitInstance; the program's exit status.
    int Run();

    [[nodiscard]] const QString& GetInstallDir() const { return m_strAppDir; }
    // The installation folder joined with a fixed relative part written with backslashes
    // ("\\Temp\\temp.mlp"), the existing part found without regard to case.
    [[nodiscard]] QString InstallPath(const char* strRelative) const;
    [[nodiscard]] const CEditorServices& Services() const { return m_services; }
    // The prompts of every editor window; a call counts as a box open while it runs.
    [[nodiscard]] IPrompts& Prompts() const;

    // The tip-of-the-day window (modeless), made on first use.
    void ShowTipWindow();
    // The About box, modal over the window.
    void ShowAboutBox(QWidget* pParent);

    // The standard error report: the box with the reason, the log line, and on Yes the
    // interactive save of the main window.
    void ReportError(const QString& strReason);
    // Appends the text to the log as it is (nothing when logging is off).
    void LogText(const QString& strText);
    [[nodiscard]] CErrorLog& Log() { return m_log; }

    // True while a message box, file dialog or dialog of the editor is open: timers that would
    // open another one wait.
    [[nodiscard]] bool IsModalOpen() const;
    // Counts a modal box or dialog opened by a window for as long as the guard lives.
    class CModalScope {
    public:
        explicit CModalScope(const CMarrowlarkApp& app);
        ~CModalScope();
        CModalScope(const CModalScope&) = delete;
        CModalScope& operator=(const CModalScope&) = delete;

    private:
        const CMarrowlarkApp& m_app;
    };

    // The project: its settings (m_settings.m_strProjectPath is the project to open or the one
    // last saved), the cards and the current card and link.
    CProject m_project;
    // 1 while the main window shows the card controls, 0 while it shows the link controls.
    bool m_bCardPanel = true;
    CMarrowlarkDlg* m_pMainDlg = nullptr;
    // Set by a main window that closed before its project was safe (its skin failed): exit then
    // leaves Temp, and the recovery copy in it, alone.
    bool m_bKeepTemp = false;

private:
    class CCountingPrompts;

    QString m_strAppDir;
    CEditorServices m_services;
    std::unique_ptr<CCountingPrompts> m_pPrompts;
    CErrorLog m_log;
    mutable int m_nModalDepth = 0;
    QPointer<CTipWindow> m_pTipWindow;
    std::unique_ptr<CCloseRequestListener> m_pCloseListener;
};

// The editor's run: a second start while an editor runs says so and ends before it touches the
// log, Temp or config.ini (both would work in one Temp folder); otherwise CMarrowlarkApp::Run.
int RunEditor(const QString& strAppDir, const CEditorServices& services);

[[nodiscard]] inline QString AlreadyRunningMessage()
{
    return QStringLiteral("Marrowlark is already running.");
}
