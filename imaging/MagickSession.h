// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/: includes Magick++.
#pragma once

#include <cstdint>

namespace imaging {

// Starts ImageMagick once per process, from any thread, and applies our resource limits.
class MagickSession {
public:
    static void ensureStarted();
    [[nodiscard]] static bool started();
    // The largest area decoded at full size: limits::kMaxFullDecodeArea, lowered in proportion when
    // the system's policy grants less pixel memory than limits::kMaxMemoryBytes.
    [[nodiscard]] static std::uint64_t fullDecodeArea();
};

} // namespace imaging
