// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/DosDateTime.h"

#include <ctime>

namespace {

constexpr uint32_t kEarliest = (0U << 25) | (1U << 21) | (1U << 16); // 1980-01-01 00:00:00
constexpr uint32_t kLatest = (127U << 25) | (12U << 21) | (31U << 16) | (23U << 11) | (59U << 5) | 29U;

} // namespace

uint32_t ToDosDateTime(int64_t nSeconds)
{
    const std::time_t t = static_cast<std::time_t>(nSeconds);
    std::tm local {};
    if (!::localtime_r(&t, &local)) {
        return kEarliest;
    }
    const int nYear = local.tm_year + 1900;
    if (nYear < 1980) {
        return kEarliest;
    }
    if (nYear > 2107) {
        return kLatest;
    }
    // A leap second (tm_sec 60) becomes 58, the last even second of the minute.
    const auto nSecond = static_cast<uint32_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return (static_cast<uint32_t>(nYear - 1980) << 25) | (static_cast<uint32_t>(local.tm_mon + 1) << 21) |
        (static_cast<uint32_t>(local.tm_mday) << 16) | (static_cast<uint32_t>(local.tm_hour) << 11) |
        (static_cast<uint32_t>(local.tm_min) << 5) | (nSecond / 2);
}
