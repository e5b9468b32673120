// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The MIME type of Flash movies as the desktop's MIME database names it.
inline constexpr const char* kFlashMimeType = "application/x-shockwave-flash";

// The desktop entry ("some-player.desktop") of the program the desktop opens files of the MIME
// type with, as `xdg-mime query default` names it; empty when it names none, when xdg-mime is
// missing or does not answer within a few seconds.
[[nodiscard]] QString DefaultDesktopEntry(const QString& strMimeType);
