// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/: includes Magick++.
#pragma once

#include <Magick++.h>
#include <atomic>
#include <chrono>

namespace imaging {

// Abandons Magick++ operations on one image (decode, resize) once they run longer than the time
// limit: the progress monitor that ImageMagick calls row by row answers "stop". Ask expired() after
// each operation, since a coder that stops early may hand back a partial picture. The destructor
// removes the monitor again from whatever picture the image then holds.
class OperationDeadline {
public:
    OperationDeadline(Magick::Image& image, std::chrono::steady_clock::duration limit);
    ~OperationDeadline();
    OperationDeadline(const OperationDeadline&) = delete;
    OperationDeadline& operator=(const OperationDeadline&) = delete;

    [[nodiscard]] bool expired() const { return m_expired.load(); }

private:
    static MagickCore::MagickBooleanType monitor(
        const char*, MagickCore::MagickOffsetType, MagickCore::MagickSizeType, void* self);

    Magick::Image& m_image;
    std::chrono::steady_clock::time_point m_end;
    std::atomic<bool> m_expired { false };
};

} // namespace imaging
