// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The MS-DOS date (high half) and time (low half) of ZIP headers for a moment in seconds since 1970,
// in local time. The format spans 1980 to 2107 at two-second steps; earlier moments give
// 1980-01-01 00:00:00, later ones 2107-12-31 23:59:58.
[[nodiscard]] uint32_t ToDosDateTime(int64_t nSeconds);
