// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/dialogs/EditorDialogs.h"

#include "editor/app/MarrowlarkApp.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "editor/preview/DlgPreview.h"
#include "generate/Generator.h"

#include <QSize>

CEditorDialogs::CEditorDialogs(QString strAppDir, IPrompts& prompts, ISoundPlayer* pSound)
    : m_strAppDir(std::move(strAppDir))
    , m_prompts(prompts)
    , m_pSound(pSound)
{
}

CEditorDialogs::~CEditorDialogs() = default;

CDialogServices CEditorDialogs::ServicesFor(CMarrowlarkDlg& window) const
{
    CMarrowlarkApp& app = window.App();
    CDialogServices services;
    services.m_strAppDir = app.GetInstallDir();
    services.m_pPrompts = &app.Prompts();
    services.m_pShell = app.Services().m_pShell;
    services.m_pProjector = app.Services().m_pProjector;
    services.m_pSound = m_pSound;
    services.m_makePlayer = app.Services().m_makePlayer;
    services.m_log = [&app](const QString& strLine) { app.LogText(strLine); };
    return services;
}

bool CEditorDialogs::ProjectSettings(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
    return false;
}

std::optional<CLookChoice> CEditorDialogs::CardBackground(
    CMarrowlarkDlg& window, const std::string& /*strValue*/, int32_t /*nAlign*/)
{
    window.ShowNotice(LaterVersionNotice());
    return std::nullopt;
}

void CEditorDialogs::Preview(CMarrowlarkDlg& window)
{
    // The movie at opening has every picture prepared afresh; reloads reuse them.
    const QString strMovie = window.App().InstallPath("\\Temp\\preview.swf");
    CGenerator& generator = window.Generator();
    generator.GenerateSWF(strMovie.toStdString(), nullptr, 1, 0);
    const CProjectSettings& settings = window.Project().m_settings;
    CDlgPreview dialog(
        ServicesFor(window), strMovie, QSize(settings.m_nWidth, settings.m_nHeight),
        [&generator](const QString& strPath, int bForce) {
            generator.GenerateSWF(strPath.toStdString(), nullptr, bForce, 0);
        },
        &window);
    dialog.exec();
}

void CEditorDialogs::Finish(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
}

void CEditorDialogs::PrintCurrentCard(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
}

void CEditorDialogs::ExportSwf(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
}

void CEditorDialogs::ExportExe(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
}

void CEditorDialogs::PhotoAlbum(CMarrowlarkDlg& window)
{
    window.ShowNotice(LaterVersionNotice());
}
