// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "editor/export/MovieExport.h"

#include <QString>

#include <functional>

// The menu's export commands: "Generate SWF" (a file the user chooses), "Generate EXE (with
// player)" (a self-running copy made by the player program) and "Print Current Card". Results
// that need no answer go to the main window's notice; generation reports its own failures.
class CExportCommands {
public:
    using NoticeFn = std::function<void(const QString& strText)>;
    // Writes the current card alone in its print form to the path.
    using CardMovieFn = std::function<void(const QString& strOutputPath)>;

    CExportCommands(const CDialogServices& services, NoticeFn notice);

    // Whether the desktop has its own program for Flash files; asks xdg-mime unless a test sets
    // it.
    std::function<bool()> m_hasFlashProgram;
    // The random part of a print file's name, 0 to 999; random unless a test sets it.
    std::function<int()> m_nextPrintNumber;

    void ExportSwf(const WholeMovieFn& generate);
    void ExportExe(const WholeMovieFn& generate);
    // nCardIndex: the current card's place in the project.
    void PrintCurrentCard(int nCardIndex, const CardMovieFn& generateCard);

    [[nodiscard]] static QString GiftSavedQuestion()
    {
        return QStringLiteral(
            "Creating gift successfully, \n    Yes to view it.\n    No to find it from folder");
    }
    [[nodiscard]] static QString ExeDoneNotice() { return QStringLiteral("Creating e-gift successfully"); }

private:
    CDialogServices m_services;
    NoticeFn m_notice;
};
