// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

enum class EShowMode { Normal, Maximised, Hidden };

// Starting programs and documents the way the desktop does.
class IShell {
public:
    virtual ~IShell() = default;

    // Starts a program of the installation folder (by file name, e.g. "quillfen") with its
    // arguments; does not wait. False when it cannot be started.
    virtual bool StartProgram(const QString& strProgram, const QStringList& arguments, EShowMode mode) = 0;
    // Opens a document with the desktop's program for its kind.
    virtual bool OpenDocument(const QString& strPath) = 0;
    // Shows the file selected in a file manager window (or at least its folder).
    virtual bool ShowInFolder(const QString& strPath) = 0;
};

// The show mode reaches our own programs through this environment variable ("maximized",
// "hidden"); ApplyShowMode reads it for their first window.
inline constexpr const char* kShowModeVariable = "MARROWLARK_SHOW_MODE";
