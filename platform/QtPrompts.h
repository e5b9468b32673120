// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Prompts.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class CNoticeBalloon;

// Prompts over QMessageBox and QFileDialog, owned by the window they belong to.
class CQtPrompts : public IPrompts {
public:
    explicit CQtPrompts(QWidget* pOwner, QString strTitle = QStringLiteral("Marrowlark"));
    ~CQtPrompts() override;

    EPromptAnswer MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon) override;
    QString OpenFile(
        const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath) override;
    QString SaveFile(const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath,
        bool bOverwritePrompt) override;
    QString BrowseFolder(const QString& strPrompt) override;
    void ShowNotice(const QString& strHtml, QPoint screenPoint) override;

    [[nodiscard]] CNoticeBalloon* Balloon() const;

private:
    QPointer<QWidget> m_pOwner;
    QString m_strTitle;
    mutable QPointer<CNoticeBalloon> m_pBalloon;
};
