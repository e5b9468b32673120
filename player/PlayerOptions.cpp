// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/PlayerOptions.h"

std::optional<CPlayerOptions> ParsePlayerArguments(const QStringList& arguments)
{
    CPlayerOptions options;
    bool bPrint = false;
    bool bMakeExe = false;
    QStringList movies;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& strArg = arguments.at(i);
        auto value = [&](QString& strTarget) {
            if (i + 1 >= arguments.size()) {
                return false;
            }
            strTarget = arguments.at(++i);
            return !strTarget.isEmpty();
        };
        if (strArg == QStringLiteral("--maximized")) {
            options.m_bMaximised = true;
        } else if (strArg == QStringLiteral("--print")) {
            bPrint = true;
        } else if (strArg == QStringLiteral("--make-exe")) {
            bMakeExe = true;
        } else if (strArg == QStringLiteral("--pdf")) {
            if (!value(options.m_strPdf)) {
                return std::nullopt;
            }
        } else if (strArg == QStringLiteral("--output")) {
            if (!value(options.m_strOutput)) {
                return std::nullopt;
            }
        } else if (strArg == QStringLiteral("--")) {
            movies.append(arguments.mid(i + 1));
            break;
        } else if (strArg.startsWith(QLatin1Char('-')) && strArg.size() > 1) {
            return std::nullopt;
        } else {
            movies.append(strArg);
        }
    }
    if ((bPrint && bMakeExe) || movies.size() > 1 || (!options.m_strPdf.isEmpty() && !bPrint) ||
        (!options.m_strOutput.isEmpty() && !bMakeExe) || (options.m_bMaximised && (bPrint || bMakeExe))) {
        return std::nullopt;
    }
    if (movies.isEmpty()) {
        if (bPrint || bMakeExe) {
            return std::nullopt;
        }
        options.m_operation = CPlayerOptions::EOperation::SelfRun;
        return options;
    }
    options.m_strMovie = movies.constFirst();
    options.m_operation = bPrint ? CPlayerOptions::EOperation::Print
        : bMakeExe               ? CPlayerOptions::EOperation::MakeExe
                                 : CPlayerOptions::EOperation::Show;
    return options;
}

QString PlayerUsage()
{
    return QStringLiteral("usage: marrowlark-player [--maximized] MOVIE\n"
                          "       marrowlark-player --print [--pdf FILE] MOVIE\n"
                          "       marrowlark-player --make-exe [--output FILE] MOVIE\n");
}
