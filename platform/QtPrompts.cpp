// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPrompts.h"

#include "platform/FilterString.h"
#include "platform/NoticeBalloon.h"

#include <QFileDialog>
#include <QMessageBox>

CQtPrompts::CQtPrompts(QWidget* pOwner, QString strTitle)
    : m_pOwner(pOwner)
    , m_strTitle(std::move(strTitle))
{
}

CQtPrompts::~CQtPrompts()
{
    delete m_pBalloon;
}

EPromptAnswer CQtPrompts::MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon)
{
    QMessageBox box(m_pOwner);
    box.setWindowTitle(m_strTitle);
    box.setText(strText);
    switch (icon) {
    case EPromptIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case EPromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case EPromptIcon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case EPromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case EPromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    switch (buttons) {
    case EPromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case EPromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case EPromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    const int nChoice = box.exec();
    switch (nChoice) {
    case QMessageBox::Yes:
        return EPromptAnswer::Yes;
    case QMessageBox::No:
        return EPromptAnswer::No;
    case QMessageBox::Ok:
        return EPromptAnswer::Ok;
    default:
        // Closing the box by its title bar or Escape: Cancel where there is one, else the
        // answer that changes nothing.
        return buttons == EPromptButtons::YesNo ? EPromptAnswer::No
            : buttons == EPromptButtons::Ok     ? EPromptAnswer::Ok
                                                : EPromptAnswer::Cancel;
    }
}

namespace {

QString RunFileDialog(QWidget* pOwner, QFileDialog::AcceptMode mode, const QString& strFilter,
    const QString& strDefaultExt, const QString& strInitialPath, bool bOverwritePrompt)
{
    QFileDialog dialog(pOwner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = ConvertFilterString(strFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    dialog.setDefaultSuffix(strDefaultExt);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !bOverwritePrompt);
    if (!strInitialPath.isEmpty()) {
        dialog.selectFile(strInitialPath);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString CQtPrompts::OpenFile(
    const QString& strFilter, const QString& strDefaultExt, const QString& strInitialPath)
{
    return RunFileDialog(m_pOwner, QFileDialog::AcceptOpen, strFilter, strDefaultExt, strInitialPath, false);
}

QString CQtPrompts::SaveFile(const QString& strFilter, const QString& strDefaultExt,
    const QString& strInitialPath, bool bOverwritePrompt)
{
    return RunFileDialog(
        m_pOwner, QFileDialog::AcceptSave, strFilter, strDefaultExt, strInitialPath, bOverwritePrompt);
}

QString CQtPrompts::BrowseFolder(const QString& strPrompt)
{
    QFileDialog dialog(m_pOwner);
    dialog.setWindowTitle(QString(strPrompt).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void CQtPrompts::ShowNotice(const QString& strHtml, QPoint screenPoint)
{
    Balloon()->ShowAt(strHtml, screenPoint);
}

CNoticeBalloon* CQtPrompts::Balloon() const
{
    if (m_pBalloon == nullptr) {
        m_pBalloon = new CNoticeBalloon(m_pOwner);
    }
    return m_pBalloon;
}
