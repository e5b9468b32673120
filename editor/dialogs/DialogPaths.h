// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InstallPaths.h"

#include <QString>

#include <filesystem>

// Paths between Qt's texts and the file system, and the installation's files, for the editor's
// windows (the core works with std::filesystem paths).
[[nodiscard]] inline std::filesystem::path ToPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

[[nodiscard]] inline QString FromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

// The installation folder joined with a fixed relative part written with backslashes
// ("\\Skin\\vwinaqua.skn"), the existing part found without regard to case.
[[nodiscard]] inline QString AppPath(const QString& strAppDir, const char* strRelative)
{
    return FromPath(InstallPath(ToPath(strAppDir), strRelative));
}
