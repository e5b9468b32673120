// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The installation folder: the folder of the running program, or MARROWLARK_HOME when it is set
// (tests point it at the build tree's staged installation).
[[nodiscard]] QString GetInstallDir();

// Where the installation keeps Ruffle and the player page.
[[nodiscard]] QString GetRuffleDir(const QString& strInstallDir);
