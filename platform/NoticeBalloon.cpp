// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NoticeBalloon.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

CNoticeBalloon::CNoticeBalloon(QWidget* pOwner)
    : QLabel(pOwner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setTextFormat(Qt::RichText);
    setWordWrap(false);
    setMargin(8);
    setObjectName(QStringLiteral("NoticeBalloon"));
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void CNoticeBalloon::ShowAt(const QString& strHtml, QPoint screenPoint)
{
    // Plain text keeps its line breaks; HTML is shown as it is.
    QString strText = strHtml;
    if (!Qt::mightBeRichText(strText)) {
        strText = strText.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    }
    setText(strText);
    adjustSize();
    QPoint at = screenPoint;
    if (const QScreen* pScreen = QGuiApplication::screenAt(screenPoint)) {
        const QRect area = pScreen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    raise();
    m_hideTimer.start(kShowMs);
}

void CNoticeBalloon::paintEvent(QPaintEvent* pEvent)
{
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, QColor(240, 247, 255));
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(192, 192, 208));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QLabel::paintEvent(pEvent);
}

void CNoticeBalloon::mousePressEvent(QMouseEvent*)
{
    hide();
}
