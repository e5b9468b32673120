// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/: includes Magick++.
#pragma once

namespace imaging {

// Starts ImageMagick once per process, from any thread, and applies our resource limits.
class MagickSession {
public:
    static void ensureStarted();
};

} // namespace imaging
