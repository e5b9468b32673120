// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/export/MovieExport.h"

#include "editor/dialogs/DialogPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace {

// A hidden name in the target's own folder: the rename then stays on one file system and is
// atomic, and a file manager open on the folder does not show the half-written movie.
QString TemporaryBeside(const QString& strTarget)
{
    const QFileInfo target(strTarget);
    const QString strSuffix = QString::number(QRandomGenerator::global()->generate(), 16);
    return target.absoluteDir().filePath(QStringLiteral(".%1.%2.part").arg(target.fileName(), strSuffix));
}

} // namespace

EMovieWrite WriteGiftMovie(const WholeMovieFn& generate, const QString& strTarget)
{
    const QString strTemporary = TemporaryBeside(strTarget);
    const std::filesystem::path temporary = ToPath(strTemporary);
    std::error_code error;
    std::filesystem::remove(temporary, error);
    if (generate) {
        generate(strTemporary, 1);
    }
    if (!std::filesystem::is_regular_file(temporary, error)) {
        std::filesystem::remove(temporary, error);
        return EMovieWrite::NotGenerated;
    }
    std::filesystem::rename(temporary, ToPath(strTarget), error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return EMovieWrite::NotReplaced;
    }
    return EMovieWrite::Written;
}

bool WriteWorkingMovie(const std::function<void(const QString& strPath)>& generate, const QString& strPath)
{
    const std::filesystem::path path = ToPath(strPath);
    std::error_code error;
    std::filesystem::remove(path, error);
    if (generate) {
        generate(strPath);
    }
    return std::filesystem::is_regular_file(path, error);
}

QString MovieNotReplacedMessage(const QString& strTarget)
{
    return QStringLiteral("Failed to write the e-gift to %1, please check the folder.").arg(strTarget);
}
