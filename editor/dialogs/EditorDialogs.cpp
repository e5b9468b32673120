// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/dialogs/EditorDialogs.h"

#include "editor/mainwindow/MarrowlarkDlg.h"

CEditorDialogs::CEditorDialogs(QString strAppDir, IPrompts& prompts)
    : m_strAppDir(std::move(strAppDir))
    , m_prompts(prompts)
{
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
    window.ShowNotice(LaterVersionNotice());
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
