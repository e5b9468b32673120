// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FakePrompts.h"

#include <QStringList>

EPromptAnswer CFakePrompts::MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon)
{
    CCall call;
    call.m_kind = EKind::Message;
    call.m_strText = strText;
    call.m_buttons = buttons;
    call.m_icon = icon;
    m_calls.push_back(call);
    if (m_answers.empty()) {
        ++m_nUnscripted;
        return buttons == EPromptButtons::Ok   ? EPromptAnswer::Ok
            : buttons == EPromptButtons::YesNo ? EPromptAnswer::No
                                               : EPromptAnswer::Cancel;
    }
    const EPromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString CFakePrompts::NextPath()
{
    if (m_paths.empty()) {
        ++m_nUnscripted;
        return {};
    }
    QString strPath = m_paths.front();
    m_paths.pop_front();
    return strPath;
}

QString CFakePrompts::OpenFile(
    const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath)
{
    CCall call;
    call.m_kind = EKind::OpenFile;
    call.m_strFilter = strFilter;
    call.m_strDefaultExt = strDefaultExt;
    call.m_strInitialPath = strInitialPath;
    m_calls.push_back(call);
    return NextPath();
}

QString CFakePrompts::SaveFile(const QString& strFilter, const QString& strDefaultExt,
    const QString& strInitialPath, bool bOverwritePrompt)
{
    CCall call;
    call.m_kind = EKind::SaveFile;
    call.m_strFilter = strFilter;
    call.m_strDefaultExt = strDefaultExt;
    call.m_strInitialPath = strInitialPath;
    call.m_bOverwritePrompt = bOverwritePrompt;
    m_calls.push_back(call);
    return NextPath();
}

QString CFakePrompts::BrowseFolder(const QString& strPrompt)
{
    CCall call;
    call.m_kind = EKind::BrowseFolder;
    call.m_strText = strPrompt;
    m_calls.push_back(call);
    return NextPath();
}

void CFakePrompts::ShowNotice(const QString& strHtml, QPoint screenPoint)
{
    CCall call;
    call.m_kind = EKind::Notice;
    call.m_strText = strHtml;
    call.m_point = screenPoint;
    m_calls.push_back(call);
}

QStringList CFakePrompts::Messages() const
{
    QStringList texts;
    for (const CCall& c : m_calls) {
        if (c.m_kind == EKind::Message) {
            texts.append(c.m_strText);
        }
    }
    return texts;
}

QStringList CFakePrompts::Notices() const
{
    QStringList texts;
    for (const CCall& c : m_calls) {
        if (c.m_kind == EKind::Notice) {
            texts.append(c.m_strText);
        }
    }
    return texts;
}
