// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// Writing and opening the self-running copy: this program with the movie, Ruffle and the player
// page appended (player/bundle/Bundle.h), so that the copy plays anywhere without an installation.
namespace selfrunning {

// Name of the movie inside the payload; Ruffle's files lie under "ruffle/".
inline const QString kMovieEntry = QStringLiteral("movie.swf");

// Writes the copy to strTarget (through a temporary file, made executable). strProgram is the
// running program; a payload it carries already is left out. Throws std::runtime_error.
void Write(const QString& strTarget, const QByteArray& movie, const QString& strRuffleDir,
    const QString& strProgram);

// What a started copy found in itself.
struct CUnpacked {
    QByteArray m_movie;
    std::unique_ptr<QTemporaryDir> m_pDir; // holds ruffle/ while the program runs
    QString m_strRuffleDir;
};

// Opens the payload of strProgram, unpacking Ruffle into a temporary folder. A program without a
// payload gives an empty movie. Throws std::runtime_error for a damaged payload.
[[nodiscard]] CUnpacked Unpack(const QString& strProgram);

} // namespace selfrunning
