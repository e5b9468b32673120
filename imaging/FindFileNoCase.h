// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

namespace imaging {

// Finds an existing file or folder whose path matches without regard to (ASCII) letter case: the path
// itself when it exists, else each component looked up in its folder, an exact name first. The real
// spelling is returned; nothing on disk is renamed. nullopt when nothing matches.
[[nodiscard]] std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& path);

} // namespace imaging
