// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class TipWindow;
}

// The modeless tip of the day. The tips come from the installation's Tips.txt (UTF-8, one a line;
// blank lines and lines starting with '#' are skipped). Whether it shows at start-up and which tip
// comes next are kept per user; every opening shows the next tip.
class CTipWindow : public QDialog {
    Q_OBJECT
public:
    explicit CTipWindow(QString strAppDir, QWidget* pParent = nullptr);
    ~CTipWindow() override;

    // The user's choice of the check box; on until it is cleared.
    [[nodiscard]] static bool ShowAtStartup();
    [[nodiscard]] QString CurrentTip() const;

    // Tips.txt bigger than this is not a tips file of ours; only its start is read.
    static constexpr qint64 kMaxTipsBytes = 1024 * 1024;

public Q_SLOTS:
    void ShowNextTip();

private:
    void ShowTip(qsizetype nIndex);

    std::unique_ptr<Ui::TipWindow> m_pUi;
    QStringList m_tips;
    qsizetype m_nCurrent = 0;
};
