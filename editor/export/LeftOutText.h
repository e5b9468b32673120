// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PublishResult.h"

#include <QString>

#include <filesystem>
#include <vector>

// A message box stays readable: beyond this many items the rest are only counted.
inline constexpr size_t kMaxListedLeftOut = 20;

// The lines naming the items left out of an archive or album, one "    path: reason" a line, the
// paths relative to folder where they lie below it; after kMaxListedLeftOut items one line counts
// the rest. Empty when nothing was left out.
[[nodiscard]] QString LeftOutLines(const std::vector<CLeftOut>& items, const std::filesystem::path& folder);
