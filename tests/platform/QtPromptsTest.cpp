// SPDX-License-Identifier: GPL-3.0-or-later
// The real prompts, answered by a timer that finds the open modal box or dialog.
#include "platform/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `answer` on the first modal widget that opens.
void WhenModalOpens(const std::function<void(QWidget*)>& answer)
{
    auto* pTimer = new QTimer;
    pTimer->setInterval(10);
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, answer] {
        if (QWidget* pModal = QApplication::activeModalWidget()) {
            pTimer->stop();
            pTimer->deleteLater();
            answer(pModal);
        }
    });
    pTimer->start();
}

TEST(QtPrompts, MessageBoxesShowTheAskedButtonsAndIcon)
{
    QWidget owner;
    CQtPrompts prompts(&owner);
    struct Case {
        EPromptButtons buttons;
        EPromptIcon icon;
        QMessageBox::StandardButtons expectedButtons;
        QMessageBox::Icon expectedIcon;
        QMessageBox::StandardButton press;
        EPromptAnswer answer;
    };
    const Case cases[] = {
        { EPromptButtons::YesNo, EPromptIcon::Stop, QMessageBox::Yes | QMessageBox::No, QMessageBox::Critical,
            QMessageBox::Yes, EPromptAnswer::Yes },
        { EPromptButtons::YesNoCancel, EPromptIcon::Question,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question,
            QMessageBox::Cancel, EPromptAnswer::Cancel },
        { EPromptButtons::Ok, EPromptIcon::Information, QMessageBox::Ok, QMessageBox::Information,
            QMessageBox::Ok, EPromptAnswer::Ok },
    };
    for (const Case& c : cases) {
        QMessageBox::StandardButtons seenButtons;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QString strSeenText;
        WhenModalOpens([&](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            ASSERT_NE(pBox, nullptr);
            seenButtons = pBox->standardButtons();
            seenIcon = pBox->icon();
            strSeenText = pBox->text();
            pBox->button(c.press)->click();
        });
        EXPECT_EQ(prompts.MessageBox(QStringLiteral("Do you want to save this gift?"), c.buttons, c.icon),
            c.answer);
        EXPECT_EQ(seenButtons, c.expectedButtons);
        EXPECT_EQ(seenIcon, c.expectedIcon);
        EXPECT_EQ(strSeenText, QStringLiteral("Do you want to save this gift?"));
    }
}

TEST(QtPrompts, FileDialogsGetTheFiltersDefaultExtensionAndOverwriteRule)
{
    QTemporaryDir dir;
    QWidget owner;
    CQtPrompts prompts(&owner);
    const QString strChosen = dir.filePath(QStringLiteral("gift.mlp"));
    QStringList filters;
    QString strSuffix;
    bool bConfirms = false;
    WhenModalOpens([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        filters = pDialog->nameFilters();
        strSuffix = pDialog->defaultSuffix();
        bConfirms = !pDialog->testOption(QFileDialog::DontConfirmOverwrite);
        pDialog->selectFile(strChosen);
        QMetaObject::invokeMethod(pDialog, "accept");
    });
    EXPECT_EQ(prompts.SaveFile(QStringLiteral("Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||"),
                  QStringLiteral("mlp"), QString(), true),
        strChosen);
    EXPECT_EQ(filters,
        (QStringList { QStringLiteral("Marrowlark Project (*.mlp)"), QStringLiteral("All Files (*)") }));
    EXPECT_EQ(strSuffix, QStringLiteral("mlp"));
    EXPECT_TRUE(bConfirms);

    WhenModalOpens([](QWidget* pModal) { qobject_cast<QDialog*>(pModal)->reject(); });
    EXPECT_EQ(
        prompts.OpenFile(QStringLiteral("(*.mp3;*.swf)|*.mp3;*.swf||"), QString(), QString()), QString());
}

} // namespace
