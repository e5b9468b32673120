// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>

enum class EPromptButtons { Ok, YesNo, YesNoCancel };
enum class EPromptIcon { None, Question, Stop, Information, Warning };
enum class EPromptAnswer { Ok, Yes, No, Cancel };

// The questions the windows ask: message boxes, file and folder dialogs, and the notice balloon.
// Filters are dialog filter strings such as "Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||".
// An empty path from a dialog means the user cancelled.
class IPrompts {
public:
    virtual ~IPrompts() = default;

    virtual EPromptAnswer MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon) = 0;
    virtual QString OpenFile(
        const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath) = 0;
    // bOverwritePrompt asks before an existing file is replaced.
    virtual QString SaveFile(const QString& strFilter, const QString& strDefaultExt,
        const QString& strInitialPath, bool bOverwritePrompt) = 0;
    virtual QString BrowseFolder(const QString& strPrompt) = 0;
    // Non-blocking: simple HTML shown near a screen point; no answer.
    virtual void ShowNotice(const QString& strHtml, QPoint screenPoint) = 0;
};
