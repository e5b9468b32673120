// SPDX-License-Identifier: GPL-3.0-or-later
// What the dialog tests share: a private installation folder whose resource folders are either
// links to the staged ones or folders of the test's own, and the dialog services made of fakes.
#pragma once

#include "tests/editor/EditorTestSupport.h"

#include "editor/dialogs/DialogServices.h"
#include "platform/FakeFlashPlayer.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/FakeShell.h"
#include "platform/FakeSoundPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace editortest {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_home.isValid());
        m_services.m_strAppDir = m_home.path();
        m_services.m_pPrompts = &m_prompts;
        m_services.m_pShell = &m_shell;
        m_services.m_pProjector = &m_projector;
        m_services.m_pSound = &m_sound;
        m_services.m_makePlayer = [this](QWidget* pParent) -> CFlashPlayerWidget* {
            m_pPlayer = new CFakeFlashPlayer(pParent);
            ++m_nPlayersMade;
            return m_pPlayer;
        };
        m_services.m_log = [this](const QString& strLine) { m_log << strLine; };
    }

    // Links the staged installation's folders into the private one (with a Temp of its own).
    void LinkStaged() { ASSERT_TRUE(LinkStagedInstallation(Home())); }

    // Links one staged folder (such as "Resource") into the private installation.
    void LinkStagedFolder(const char* strFolder)
    {
        const QDir staged(QStringLiteral(MARROWLARK_BUILD_DIR "/home"));
        ASSERT_TRUE(QFile::link(staged.filePath(QLatin1String(strFolder)), Home(QLatin1String(strFolder))));
    }

    [[nodiscard]] QString Home(const QString& strRelative = {}) const
    {
        return strRelative.isEmpty() ? m_home.path() : m_home.filePath(strRelative);
    }

    // Writes a file below the private installation, making its folders.
    void WriteFile(const QString& strRelative, const QByteArray& bytes)
    {
        const QString strPath = Home(strRelative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(strPath).path()));
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // Copies a file of the staged installation (relative path) to a path below the private one.
    void CopyStaged(const QString& strStagedRelative, const QString& strRelative)
    {
        const QString strTarget = Home(strRelative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(strTarget).path()));
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(MARROWLARK_BUILD_DIR "/home/") + strStagedRelative, strTarget));
    }

    QTemporaryDir m_home;
    CFakePrompts m_prompts;
    CFakeShell m_shell;
    CFakeProjector m_projector;
    CFakeSoundPlayer m_sound;
    CFakeFlashPlayer* m_pPlayer = nullptr;
    int m_nPlayersMade = 0;
    QStringList m_log;
    CDialogServices m_services;
};

} // namespace editortest
