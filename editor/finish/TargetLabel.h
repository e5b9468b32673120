// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A path longer than this is shortened in the Finish dialog's label.
inline constexpr int kTargetLabelMaxChars = 30;
inline constexpr int kTargetLabelHeadChars = 10;
inline constexpr int kTargetLabelTailChars = 20;

// The target path as the Finish dialog shows it: whole up to kTargetLabelMaxChars characters,
// otherwise its first 10 characters, "..." and its last 20.
[[nodiscard]] QString TargetLabelText(const QString& strPath);
