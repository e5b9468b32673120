// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/mainwindow/ColourPicker.h"

#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <vector>

namespace {

QColor SwatchCentre(const CColourPicker& picker)
{
    const QImage image = picker.icon().pixmap(picker.iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(ColourPicker, ShowsItsColourAndReportsEachChoice)
{
    CColourPicker picker;
    EXPECT_FALSE(picker.autoDefault());
    QSignalSpy chosen(&picker, &CColourPicker::ColourChosen);
    picker.SetColour(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(picker.Colour(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(SwatchCentre(picker), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(chosen.count(), 0); // setting the colour is not a choice

    std::vector<QColor> initials;
    QWidget* pAskedParent = nullptr;
    QColor answer(Qt::red);
    picker.m_chooseColour = [&](const QColor& initial, QWidget* pParent) {
        initials.push_back(initial);
        pAskedParent = pParent;
        return answer;
    };
    picker.click();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(picker.Colour(), QColor(Qt::red));
    EXPECT_EQ(SwatchCentre(picker), QColor(Qt::red));
    EXPECT_EQ(pAskedParent, &picker);

    // The same colour again is still a choice: the caller may apply it to another card.
    picker.click();
    EXPECT_EQ(chosen.count(), 2);
    ASSERT_EQ(initials.size(), 2U);
    EXPECT_EQ(initials[0], QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(initials[1], QColor(Qt::red));
}

TEST(ColourPicker, CancelChangesNothing)
{
    CColourPicker picker;
    picker.SetColour(QColor(Qt::green));
    QSignalSpy chosen(&picker, &CColourPicker::ColourChosen);
    picker.m_chooseColour = [](const QColor&, QWidget*) { return QColor(); };
    picker.click();
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(picker.Colour(), QColor(Qt::green));
    EXPECT_EQ(SwatchCentre(picker), QColor(Qt::green));
}

} // namespace
