// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "generate/GenerationReports.h"

#include <set>
#include <string>
#include <utility>

class CCardInfo;
class CMarrowlarkApp;
class CMarrowlarkDlg;

// Generation's reports in the editor: an error is the standard error report, a notice goes to
// the main window's balloon, a message is a plain box. Within one generation run each distinct
// report is shown once, the first time it comes; every occurrence of an error is still written to
// the log. While the live preview makes a card, a report already shown for that card is only
// logged, so that typing over a damaged picture does not stack one box per keystroke.
class CEditorReports : public IGenerationReports {
public:
    CEditorReports(CMarrowlarkApp& app, CMarrowlarkDlg& window);

    void BeginRun() override { m_runShown.clear(); }
    void EndRun() override { m_runShown.clear(); }
    void ReportError(const std::string& strReason) override;
    void ShowNotice(const std::string& strText) override;
    void ShowMessage(const std::string& strText) override;

    // Reports between these two calls belong to the preview of that card.
    void BeginPreview(const CCardInfo* pCard) { m_pPreviewCard = pCard; }
    void EndPreview() { m_pPreviewCard = nullptr; }
    // The standard report of a preview of that card, shown once for it.
    void ReportPreviewError(const CCardInfo* pCard, const std::string& strReason);
    // Forgets what was shown for a card that is destroyed (or for every card).
    void ForgetCard(const CCardInfo* pCard);
    void ForgetCards() { m_shown.clear(); }

private:
    // True when the text was already shown for the card; logs it then.
    [[nodiscard]] bool ShownBefore(const CCardInfo* pCard, const std::string& strText);
    // True when a report of this kind and text was already shown in the current run.
    [[nodiscard]] bool ShownInRun(char kind, const std::string& strText);

    CMarrowlarkApp& m_app;
    CMarrowlarkDlg& m_window;
    const CCardInfo* m_pPreviewCard = nullptr;
    std::set<std::pair<const CCardInfo*, std::string>> m_shown;
    std::set<std::pair<char, std::string>> m_runShown;
};
