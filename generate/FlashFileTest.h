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

// For the dialogs: a file whose name ends in "swf" in any letter case is tested on the file as it
// is found on disk (names compared without regard to case), whatever its extension's case; any
// other file is accepted untested. A file that cannot be found is accepted, as above.
[[nodiscard]] bool TestChosenFlashFile(const std::string& strPath);
