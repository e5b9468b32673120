// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// Environment variable that overrides the installation folder (tests point it at a build tree).
inline constexpr const char* kHomeVariable = "MARROWLARK_HOME";

// The installation folder: $MARROWLARK_HOME when set and not empty, else the folder of the running
// program (/proc/self/exe). Throws std::runtime_error when neither can be found.
[[nodiscard]] std::filesystem::path InstallFolder();

// The installation folder joined with a relative part written with backslashes, as the stored and
// fixed paths are ("\\Temp\\temp.mlp" gives <home>/Temp/temp.mlp). Slashes are accepted as well;
// empty parts are dropped. No file system access.
[[nodiscard]] std::filesystem::path JoinInstallPath(
    const std::filesystem::path& home, std::string_view relative);

// The real existing path that matches path when each component is compared without regard to
// (ASCII) case; an exact match is taken first. Nothing when no such file or folder exists.
[[nodiscard]] std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& path);

// Like FindFileNoCase, but for a path that may not exist yet: the existing leading components are
// matched without regard to case and the rest is kept as written (the path to create a file at).
[[nodiscard]] std::filesystem::path ResolvePathNoCase(const std::filesystem::path& path);

// JoinInstallPath followed by ResolvePathNoCase: "\\temp\\temp.mlp" finds the folder Temp.
[[nodiscard]] std::filesystem::path InstallPath(const std::filesystem::path& home, std::string_view relative);

// Deletes every file and sub-folder inside the folder and keeps the folder itself. Symbolic links
// are removed, never followed. Failures to delete are ignored.
void DeleteFolderContents(const std::filesystem::path& folder);
