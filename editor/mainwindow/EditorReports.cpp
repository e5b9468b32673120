// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/mainwindow/EditorReports.h"

#include "editor/app/MarrowlarkApp.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "platform/Prompts.h"

#include <iterator>

CEditorReports::CEditorReports(CMarrowlarkApp& app, CMarrowlarkDlg& window)
    : m_app(app)
    , m_window(window)
{
}

bool CEditorReports::ShownBefore(const CCardInfo* pCard, const std::string& strText)
{
    if (pCard == nullptr) {
        return false;
    }
    if (!m_shown.emplace(pCard, strText).second) {
        m_app.LogText(QString::fromStdString(strText) + QLatin1Char('\n'));
        return true;
    }
    return false;
}

bool CEditorReports::ShownInRun(char kind, const std::string& strText)
{
    return !m_runShown.emplace(kind, strText).second;
}

void CEditorReports::ReportError(const std::string& strReason)
{
    if (ShownInRun('e', strReason)) {
        m_app.LogText(QString::fromStdString(strReason) + QLatin1Char('\n'));
        return;
    }
    if (!ShownBefore(m_pPreviewCard, strReason)) {
        m_app.ReportError(QString::fromStdString(strReason));
    }
}

void CEditorReports::ReportPreviewError(const CCardInfo* pCard, const std::string& strReason)
{
    if (!ShownBefore(pCard, strReason)) {
        m_app.ReportError(QString::fromStdString(strReason));
    }
}

void CEditorReports::ShowNotice(const std::string& strText)
{
    if (!ShownInRun('n', strText)) {
        m_window.ShowNotice(QString::fromStdString(strText));
    }
}

void CEditorReports::ShowMessage(const std::string& strText)
{
    if (!ShownInRun('m', strText) && !ShownBefore(m_pPreviewCard, strText)) {
        m_app.Prompts().MessageBox(QString::fromStdString(strText), EPromptButtons::Ok, EPromptIcon::None);
    }
}

void CEditorReports::ForgetCard(const CCardInfo* pCard)
{
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        it = it->first == pCard ? m_shown.erase(it) : std::next(it);
    }
}
