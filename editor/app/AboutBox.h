// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutBox;
}

// The About box: the edition, what the program makes, its licence and where the fonts come from.
class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* pParent = nullptr);
    ~CAboutBox() override;

private:
    std::unique_ptr<Ui::AboutBox> m_pUi;
};
