// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark: the editor.
#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/finish/GiftMail.h"
#include "platform/InstallDir.h"
#include "platform/ProjectorClient.h"
#include "platform/QtPrompts.h"
#include "platform/QtShell.h"
#include "platform/QtSoundPlayer.h"
#include "platform/RufflePlayer.h"
#include "platform/XdgMailer.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The embedded player is a web view: its GL contexts are shared from the start.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("marrowlark"));
    QApplication::setOrganizationName(QStringLiteral("Marrowlark"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QString strAppDir = GetInstallDir();
    CQtPrompts prompts(nullptr);
    CQtShell shell(strAppDir);
    CProjectorClient projector(strAppDir);
    CQtSoundPlayer sound;
    // The composer reads the attachments when the user sends, maybe after the editor has ended:
    // they wait in the user's cache, not in Temp.
    CXdgMailer mailer(OutgoingMailFolder());
    CEditorDialogs dialogs(strAppDir, prompts, &sound, &mailer);
    CEditorServices services;
    services.m_pPrompts = &prompts;
    services.m_pShell = &shell;
    services.m_pProjector = &projector;
    services.m_pDialogs = &dialogs;
    services.m_makePlayer = [](QWidget* pParent) -> CFlashPlayerWidget* {
        return new CRufflePlayer(pParent);
    };
    return RunEditor(strAppDir, services);
}
