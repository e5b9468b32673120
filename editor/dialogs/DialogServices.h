// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class CFlashPlayerWidget;
class IProjector;
class IPrompts;
class IShell;
class ISoundPlayer;
class QWidget;

// What every dialog of the editor is given so that it runs alone (in a test, with fakes): the
// installation folder and the desktop seams. Pointers the dialog does not use may stay null.
struct CDialogServices {
    QString m_strAppDir;
    IPrompts* m_pPrompts = nullptr;
    IShell* m_pShell = nullptr;
    IProjector* m_pProjector = nullptr;
    // Background playback of MP3 files (the music dialog's "Play>").
    ISoundPlayer* m_pSound = nullptr;
    // Makes an embedded movie player as a child of the given widget.
    std::function<CFlashPlayerWidget*(QWidget* pParent)> m_makePlayer;
    // Appends a line to the editor's log; may be empty.
    std::function<void(const QString& strLine)> m_log;
};
