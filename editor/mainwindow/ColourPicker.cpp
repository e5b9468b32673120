// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/mainwindow/ColourPicker.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

// A fixed size: a swatch that followed the button's size would grow the size hint it comes from.
constexpr QSize kSwatchSize(24, 12);

} // namespace

CColourPicker::CColourPicker(QWidget* pParent)
    : QPushButton(pParent)
    , m_chooseColour(
          [](const QColor& initial, QWidget* pOwner) { return QColorDialog::getColor(initial, pOwner); })
{
    // A swatch is no default action: Enter in a dialog must not open the colour dialog.
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, &CColourPicker::OnClicked);
    UpdateSwatch();
}

void CColourPicker::SetColour(const QColor& colour)
{
    if (!colour.isValid()) {
        return;
    }
    m_colour = colour;
    UpdateSwatch();
}

void CColourPicker::OnClicked()
{
    if (!m_chooseColour) {
        return;
    }
    const QColor chosen = m_chooseColour(m_colour, this);
    if (!chosen.isValid()) {
        return;
    }
    SetColour(chosen);
    Q_EMIT ColourChosen(m_colour);
}

// The swatch is the button's icon, so that a skin may restyle the button without hiding it.
void CColourPicker::UpdateSwatch()
{
    QPixmap pixmap(kSwatchSize);
    pixmap.fill(m_colour);
    QPainter painter(&pixmap);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(0, 0, kSwatchSize.width() - 1, kSwatchSize.height() - 1);
    painter.end();
    setIconSize(kSwatchSize);
    setIcon(QIcon(pixmap));
    setToolTip(m_colour.name(QColor::HexRgb).toUpper());
}
