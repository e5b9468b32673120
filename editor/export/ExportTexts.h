// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts the publishing commands share.

// The save dialog of the Finish dialog's target and of "Generate SWF".
[[nodiscard]] inline QString GiftFileFilter()
{
    return QStringLiteral("Macromedia Flash Files(*.swf)|*.swf|All Files (*.*)|*.*||");
}

// The save dialog of the photo album (with its blank before "(*.swf)").
[[nodiscard]] inline QString AlbumFileFilter()
{
    return QStringLiteral("Macromedia Flash Files (*.swf)|*.swf|All Files (*.*)|*.*||");
}

// The folder browser of the locked archive and of the photo album.
[[nodiscard]] inline QString LockFolderPrompt()
{
    return QStringLiteral(
        "Choose the folder you want to lock and append\n(If you need only one file, please move it into a "
        "folder too)");
}

// Our player program could not be started to show a movie.
[[nodiscard]] inline QString PlayerNotStartedMessage()
{
    return QStringLiteral("The program marrowlark-player could not be started.");
}
