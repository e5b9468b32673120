// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/progress/ProgressDialog.h"

#include <QCloseEvent>
#include <QPushButton>

CProgressDialog::CProgressDialog(QWidget* pParent)
    : QProgressDialog(pParent)
{
    // QProgressDialog hides itself on Cancel (its own connection, made by signature) and when the
    // value reaches the end; here the owner decides when it goes.
    disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
    connect(this, &QProgressDialog::canceled, this, &CProgressDialog::OnCanceled);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
}

void CProgressDialog::OnCanceled()
{
    if (m_bCancelRequested) {
        return;
    }
    m_bCancelRequested = true;
    setLabelText(tr("Cancelling..."));
    if (auto* pButton = findChild<QPushButton*>()) {
        pButton->setEnabled(false);
    }
}

void CProgressDialog::reject()
{
    Q_EMIT canceled();
}

void CProgressDialog::closeEvent(QCloseEvent* pEvent)
{
    pEvent->ignore();
    Q_EMIT canceled();
}
