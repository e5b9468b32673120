// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/app/AboutBox.h"

#include "ui_AboutBox.h"

CAboutBox::CAboutBox(QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::AboutBox>())
{
    m_pUi->setupUi(this);
    connect(m_pUi->btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutBox::~CAboutBox() = default;
