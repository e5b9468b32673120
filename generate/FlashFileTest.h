// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The message the dialogs show for a Flash file that TestFlashFile refused (with its leading blank).
inline constexpr const char* kStrFlashFileNotSupported = " The version of flash file (swf) is not support.";

// Whether a chosen Flash file can be embedded as a clip. Paths of four characters or less, or not
// ending in ".swf" exactly, are accepted untested, and so is a file that cannot be opened (the
// generation then embeds nothing for it); otherwise the file is loaded as a clip and released, and
// any failure of the loader means refused. Never throws.
[[nodiscard]] bool TestFlashFile(const std::string& strPath);
