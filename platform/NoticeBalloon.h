// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QTimer>

// A small tip window for notices: simple HTML on a white to pale-blue background with a thin
// grey-blue border, shown at a screen point without taking the focus. It hides itself after a
// while or when clicked.
class CNoticeBalloon : public QLabel {
    Q_OBJECT
public:
    explicit CNoticeBalloon(QWidget* pOwner = nullptr);

    void ShowAt(const QString& strHtml, QPoint screenPoint);

    // How long a notice stays: long enough to read a few lines.
    static constexpr int kShowMs = 6000;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    QTimer m_hideTimer;
};
