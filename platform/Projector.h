// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Exit statuses of the player program (marrowlark-player), which the editor reads instead of
// watching for its window.
enum class EPlayerExit : int {
    Ok = 0,
    Cancelled = 1, // the user closed the print or save dialog
    Failed = 2, // the movie could not be opened, printed or written
    Usage = 64, // bad arguments
};

// The player program's operations as the editor uses them.
class IProjector {
public:
    virtual ~IProjector() = default;

    // Shows the movie in its own window; does not wait. False when the program cannot start.
    virtual bool ShowMovie(const QString& strMoviePath, bool bMaximised) = 0;
    // Prints the movie (the print dialog) and waits for the outcome.
    virtual EPlayerExit PrintMovie(const QString& strMoviePath) = 0;
    // Asks the user where, then writes a self-running copy of the movie; waits for the outcome.
    virtual EPlayerExit MakeSelfRunningCopy(const QString& strMoviePath) = 0;
};

// Messages for the failures of printing and of writing a self-running copy.
inline QString CannotPrintMessage()
{
    return QStringLiteral("Can not print, can not open Flash Player");
}
inline QString CannotGenerateMessage()
{
    return QStringLiteral("Can not generate FlashPlayer, can not open Flash Player");
}

// The program's file name in the installation folder.
inline QString PlayerProgramName()
{
    return QStringLiteral("marrowlark-player");
}
