// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SkinForm.h"

#include <QAbstractButton>
#include <QWidget>

CSkinForm::CSkinForm(QWidget* pWindow)
    : QObject(pWindow)
    , m_pWindow(pWindow)
{
    Refresh();
}

void CSkinForm::Refresh()
{
    const QList<QAbstractButton*> buttons = m_pWindow->findChildren<QAbstractButton*>();
    for (QAbstractButton* pButton : buttons) {
        if (!pButton->objectName().isEmpty() && !m_connected.contains(pButton)) {
            Connect(pButton);
        }
    }
}

void CSkinForm::Connect(QAbstractButton* pButton)
{
    m_connected.insert(pButton);
    connect(pButton, &QObject::destroyed, this, [this, pButton] { m_connected.remove(pButton); });
    connect(pButton, &QAbstractButton::clicked, this, [this, pButton] {
        const QString strName = pButton->objectName();
        if (!pButton->isCheckable()) {
            Q_EMIT State(strName, 1, 0, 0);
        }
        Q_EMIT Click(strName);
    });
    connect(pButton, &QAbstractButton::toggled, this,
        [this, pButton](bool bChecked) { Q_EMIT State(pButton->objectName(), bChecked ? 1 : 0, 0, 0); });
}
