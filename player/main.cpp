// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-player: shows, prints or packs a movie; the exit status tells the editor the outcome.
#include "platform/Projector.h"
#include "player/PlayerApp.h"
#include "player/PlayerOptions.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("marrowlark-player"));
    QApplication::setQuitOnLastWindowClosed(false);

    const std::optional<CPlayerOptions> options = ParsePlayerArguments(QApplication::arguments());
    if (!options) {
        std::fputs(PlayerUsage().toLocal8Bit().constData(), stderr);
        return static_cast<int>(EPlayerExit::Usage);
    }
    CPlayerApp player(*options);
    QObject::connect(&player, &CPlayerApp::Finished, &app, [](int nCode) { QCoreApplication::exit(nCode); });
    QTimer::singleShot(0, &player, &CPlayerApp::Start);
    return QApplication::exec();
}
