// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/editor/EditorTestSupport.h"

#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "platform/FakeFlashPlayer.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/FakeShell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace editortest {

// Prompts whose message boxes can run a hook while they are "open" (as a timer would fire inside
// a real box's event loop).
class CHookedPrompts : public CFakePrompts {
public:
    EPromptAnswer MessageBox(const QString& strText, EPromptButtons buttons, EPromptIcon icon) override
    {
        if (m_whileOpen) {
            m_whileOpen();
        }
        return CFakePrompts::MessageBox(strText, buttons, icon);
    }
    std::function<void()> m_whileOpen;
};

// A window test on a private installation folder (see LinkStagedInstallation).
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(LinkStagedInstallation(Home()));
        m_services = TestServices(m_prompts, m_shell, m_projector, m_dialogs, "test");
        m_services.m_makePlayer = [this](QWidget* pParent) -> CFlashPlayerWidget* {
            m_pPlayer = new CFakeFlashPlayer(pParent);
            return m_pPlayer;
        };
    }

    void TearDown() override
    {
        m_pWindow.reset();
        m_pApp.reset();
    }

    [[nodiscard]] QString Home(const QString& strRelative = {}) const
    {
        return strRelative.isEmpty() ? m_home.path() : m_home.filePath(strRelative);
    }

    CMarrowlarkApp& App()
    {
        if (!m_pApp) {
            m_pApp = std::make_unique<CMarrowlarkApp>(Home(), m_services);
        }
        return *m_pApp;
    }

    // The main window on the app's project (the starter project unless a path was set).
    CMarrowlarkDlg& Window()
    {
        if (!m_pWindow) {
            m_pWindow = std::make_unique<CMarrowlarkDlg>(App());
            m_pWindow->show();
        }
        return *m_pWindow;
    }

    [[nodiscard]] QTreeWidget* Tree() { return Window().Tree(); }
    template<typename T> T* Control(const char* strName)
    {
        T* pControl = Window().findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pControl, nullptr) << strName;
        return pControl;
    }

    // The labels of the tree, cards at the top level and links indented by two blanks.
    [[nodiscard]] QStringList TreeLabels()
    {
        QStringList labels;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* pCard = Tree()->topLevelItem(i);
            labels << pCard->text(0);
            for (int c = 0; c < pCard->childCount(); ++c) {
                labels << QStringLiteral("  ") + pCard->child(c)->text(0);
            }
        }
        return labels;
    }

    [[nodiscard]] int LoadCount() const
    {
        return static_cast<int>(m_pPlayer->m_calls.filter(QStringLiteral("load ")).size());
    }

    [[nodiscard]] QStringList TempFiles() const
    {
        return QDir(Home(QStringLiteral("Temp"))).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    [[nodiscard]] QByteArray ReadHomeFile(const QString& strName) const
    {
        QFile file(Home(strName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_home;
    CHookedPrompts m_prompts;
    CFakeShell m_shell;
    CFakeProjector m_projector;
    CFakeEditorDialogs m_dialogs;
    CEditorServices m_services;
    CFakeFlashPlayer* m_pPlayer = nullptr;
    std::unique_ptr<CMarrowlarkApp> m_pApp;
    std::unique_ptr<CMarrowlarkDlg> m_pWindow;
};

} // namespace editortest
