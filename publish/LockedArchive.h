// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PublishResult.h"

#include <filesystem>
#include <string>

// Packs every regular file and folder below folder into a ZIP archive at archivePath, with paths
// relative to folder (folder entries end in "/"), names in UTF-8. A non-empty password (UTF-8)
// locks every entry with the traditional ZIP encryption that every unzip tool opens; an empty one
// gives an archive without encryption. The archive is written beside its target under a temporary
// name and renamed when complete, so a failure or a cancel keeps an older file at the path.
// Special files, folder links, dangling links and the archive itself are left out and named.
[[nodiscard]] CPublishResult BuildLockedArchive(const std::filesystem::path& folder,
    const std::string& strPassword, const std::filesystem::path& archivePath,
    const PublishProgressFn& progress = {});
