// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPushButton>

#include <functional>

// A push button that shows a colour as a swatch and lets the user pick another one. The choice is
// reported by ColourChosen, also when the same colour is picked again; cancelling changes nothing.
class CColourPicker : public QPushButton {
    Q_OBJECT
public:
    explicit CColourPicker(QWidget* pParent = nullptr);

    void SetColour(const QColor& colour);
    [[nodiscard]] QColor Colour() const { return m_colour; }

    // Asks for a colour starting from the current one; an invalid colour means cancelled. The
    // colour dialog unless replaced (tests script it).
    std::function<QColor(const QColor& initial, QWidget* pParent)> m_chooseColour;

Q_SIGNALS:
    void ColourChosen(const QColor& colour);

private:
    void OnClicked();
    void UpdateSwatch();

    QColor m_colour = Qt::black;
};
