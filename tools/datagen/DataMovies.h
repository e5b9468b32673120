// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Movie.h"

namespace datagen {

// Frames of the animated Flash background: soft circles drifting upwards over a night-blue field.
inline constexpr int kFlashBackgroundFrames = 48;

// 640x480, 12 frames per second, looping: the installation's Flash background.
[[nodiscard]] swf::Movie MakeFlashBackground();

// 100x40, a glossy round-cornered button picture that pulses gently: the installation's Flash button.
[[nodiscard]] swf::Movie MakeFlashButton();

// One empty frame that stops at once; loading it into a player silences whatever played before.
[[nodiscard]] swf::Movie MakeSilentMovie();

} // namespace datagen
