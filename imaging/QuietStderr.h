// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to imaging/.
#pragma once

namespace imaging {

// While it lives, what is written to standard error goes nowhere. The metafile reader (libwmf)
// prints its complaints about damaged files there itself, past ImageMagick's handlers; the file's
// failure reaches the caller as a failed decode instead. The descriptor is the process's, so one
// guard at a time is allowed (the others wait), and each is to be short.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int m_saved = -1;
};

} // namespace imaging
