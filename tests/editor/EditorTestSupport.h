// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor's window tests, player tests and benchmarks share: a private installation folder
// and scripted dialogs.
#pragma once

#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

namespace editortest {

// Makes strHome a private installation folder: the staged installation's read-only folders
// linked in, and a Temp folder of its own (the editor writes config.ini and its log beside
// them). False when a link or the folder could not be made.
[[nodiscard]] inline bool LinkStagedInstallation(const QString& strHome)
{
    const QDir staged(QStringLiteral(MARROWLARK_BUILD_DIR "/home"));
    for (const char* strFolder :
        { "Font", "Skin", "Themes", "Background", "Button", "Music", "Samples", "Resource" }) {
        const QString strName = QString::fromLatin1(strFolder);
        if (!QFile::link(staged.filePath(strName), QDir(strHome).filePath(strName))) {
            return false;
        }
    }
    return QDir().mkpath(QDir(strHome).filePath(QStringLiteral("Temp")));
}

// The editor's services with the given desktop stand-ins and an instance name of this process
// alone (tests run in parallel); the caller adds the player.
[[nodiscard]] inline CEditorServices TestServices(
    IPrompts& prompts, IShell& shell, IProjector& projector, IEditorDialogs& dialogs, const char* strKind)
{
    CEditorServices services;
    services.m_pPrompts = &prompts;
    services.m_pShell = &shell;
    services.m_pProjector = &projector;
    services.m_pDialogs = &dialogs;
    services.m_strInstanceName = QStringLiteral("marrowlark-%1-%2")
                                     .arg(QLatin1String(strKind))
                                     .arg(QCoreApplication::applicationPid());
    return services;
}

// Dialogs for window tests: the open-project dialog answers from a script; the others record that
// they were opened and answer what the test set.
class CFakeEditorDialogs : public IEditorDialogs {
public:
    EOpenResult OpenProject(QWidget* /*pParent*/, QString& strPath) override
    {
        m_calls << QStringLiteral("open");
        if (m_onOpen) {
            m_onOpen();
        }
        strPath = m_strOpenPath;
        return m_openResult;
    }
    bool ProjectSettings(CMarrowlarkDlg& /*window*/) override
    {
        m_calls << QStringLiteral("settings");
        return m_bSettingsOk;
    }
    std::optional<CLookChoice> CardBackground(
        CMarrowlarkDlg& /*window*/, const std::string& strValue, int32_t nAlign) override
    {
        m_calls << QStringLiteral("background %1 %2").arg(QString::fromStdString(strValue)).arg(nAlign);
        return m_background;
    }
    void Preview(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("preview"); }
    void Finish(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("finish"); }
    void PrintCurrentCard(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("print"); }
    void ExportSwf(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("swf"); }
    void ExportExe(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("exe"); }
    void PhotoAlbum(CMarrowlarkDlg& /*window*/) override { m_calls << QStringLiteral("album"); }

    QStringList m_calls;
    EOpenResult m_openResult = EOpenResult::New;
    QString m_strOpenPath;
    std::function<void()> m_onOpen;
    bool m_bSettingsOk = false;
    std::optional<CLookChoice> m_background;
};

} // namespace editortest
