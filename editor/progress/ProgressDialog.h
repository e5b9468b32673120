// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressDialog>

// A progress dialog that stays open until its work has ended. Cancel, Escape and the window's
// close button only ask the work to stop (the canceled signal, then the button is disabled and
// the label says so); the owner closes the dialog once the work has returned, so the user never
// reaches the window behind it while the work still runs.
class CProgressDialog : public QProgressDialog {
    Q_OBJECT
public:
    explicit CProgressDialog(QWidget* pParent = nullptr);

    [[nodiscard]] bool IsCancelRequested() const { return m_bCancelRequested; }

    // Escape.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void OnCanceled();

    bool m_bCancelRequested = false;
};
