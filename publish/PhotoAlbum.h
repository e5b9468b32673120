// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PublishResult.h"

#include <cstddef>
#include <filesystem>

// At most this many pictures go into one album; the rest are left out and named.
inline constexpr size_t kMaxAlbumPictures = 300;

// Makes the photo album of the pictures (JPG, PNG, BMP, WMF, GIF in any letter case) of folder:
// those of the folder itself first, then each sub-folder's. The pictures are prepared in a private
// folder made inside scratchFolder (the installation's Temp) and removed with it; the user's folder
// is only read. The movie is written under a temporary name beside moviePath and renamed when
// complete. Progress counts pictures.
[[nodiscard]] CPublishResult BuildPhotoAlbum(const std::filesystem::path& folder,
    const std::filesystem::path& moviePath, const std::filesystem::path& scratchFolder,
    const PublishProgressFn& progress = {});
