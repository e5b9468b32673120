// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the player program was asked to do:
//   marrowlark-player [--maximized] MOVIE            show the movie
//   marrowlark-player --print [--pdf FILE] MOVIE     print it (--pdf: no dialog, write a PDF)
//   marrowlark-player --make-exe [--output FILE] MOVIE  write a self-running copy (--output: no dialog)
//   marrowlark-player                                 a self-running copy plays the movie it carries
struct CPlayerOptions {
    enum class EOperation { Show, Print, MakeExe, SelfRun };
    EOperation m_operation = EOperation::SelfRun;
    QString m_strMovie;
    bool m_bMaximised = false;
    QString m_strPdf; // print straight into this PDF file
    QString m_strOutput; // write the self-running copy here without asking
};

// The options, or std::nullopt for arguments that make no sense (the caller shows the usage).
[[nodiscard]] std::optional<CPlayerOptions> ParsePlayerArguments(const QStringList& arguments);

[[nodiscard]] QString PlayerUsage();
