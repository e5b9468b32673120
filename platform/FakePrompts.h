// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <vector>

// Prompts for tests: answers come from a script, every question is recorded. A question with no
// scripted answer gets the answer that changes nothing (No, Cancel or OK; an empty path) and is
// counted in m_nUnscripted.
class CFakePrompts : public IPrompts {
public:
    enum class EKind { Message, OpenFile, SaveFile, BrowseFolder, Notice };
    struct CCall {
        EKind m_kind = EKind::Message;
        QString m_strText; // message, notice or folder prompt
        EPromptButtons m_buttons = EPromptButtons::Ok;
        EPromptIcon m_icon = EPromptIcon::None;
        QString m_strFilter;
        QString m_strDefaultExt;
        QString m_strInitialPath;
        bool m_bOverwritePrompt = false;
        QPoint m_point;
    };

    void QueueAnswer(EPromptAnswer answer) { m_answers.push_back(answer); }
    // A path for the next file or folder dialog; empty means the user cancels.
    void QueuePath(const QString& strPath) { m_paths.push_back(strPath); }

    EPromptAnswer MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon) override;
    QString OpenFile(
        const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath) override;
    QString SaveFile(const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath,
        bool bOverwritePrompt) override;
    QString BrowseFolder(const QString& strPrompt) override;
    void ShowNotice(const QString& strHtml, QPoint screenPoint) override;

    // Texts of the message boxes and notices asked so far, in order.
    [[nodiscard]] QStringList Messages() const;
    [[nodiscard]] QStringList Notices() const;

    std::vector<CCall> m_calls;
    int m_nUnscripted = 0;

private:
    QString NextPath();

    std::deque<EPromptAnswer> m_answers;
    std::deque<QString> m_paths;
};
