// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "editor/export/MovieExport.h"
#include "editor/finish/FinishFlow.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

namespace Ui {
class DlgFinish;
}

// "Finish your e-gift": where the gift goes (a save dialog), whether a folder of the user's files
// goes with it in a locked archive (the folder browser, and the password), whether a mail takes
// them, and two things done at once while the dialog stays open: a self-running copy made by the
// player program (box "RunEveryWhere") and a printout ("Print"). The Finish flow reads the choice
// once the dialog has closed with "Finish".
class CDlgFinish : public QDialog {
    Q_OBJECT
public:
    // The password edit takes this many characters.
    static constexpr int kMaxPasswordChars = 100;

    CDlgFinish(const CDialogServices& services, WholeMovieFn generate, QWidget* pParent = nullptr);
    ~CDlgFinish() override;

    CDlgFinish(const CDlgFinish&) = delete;
    CDlgFinish& operator=(const CDlgFinish&) = delete;

    // What the user chose, as the controls held it when "Finish" was pressed.
    [[nodiscard]] CFinishChoice Choice() const;

    [[nodiscard]] static QString NoPasswordMessage()
    {
        return QStringLiteral("Please type a password for the locked archive.");
    }

private Q_SLOTS:
    void OnChoosePath();
    void OnLockClicked();
    void OnMakeExeClicked();
    void OnPrint();
    void OnFinish();

private:
    // The controls into the members, and the lock flag and folder back into the controls.
    void TakeControls();
    void ShowLock();

    std::unique_ptr<Ui::DlgFinish> m_pUi;
    CDialogServices m_services;
    WholeMovieFn m_generate;

    QString m_strTarget;
    QString m_strLockFolder;
    int32_t m_bLock = 0;
    int32_t m_bSendMail = 0;
    QString m_strPassword;
    int32_t m_bMakeExe = 0;
};
