// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/MagickSession.h"

#include "imaging/Limits.h"

#include <Magick++.h>
#include <atomic>
#include <mutex>

namespace imaging {

namespace {

std::atomic<bool> g_started { false };
std::atomic<std::uint64_t> g_fullDecodeArea { limits::kMaxFullDecodeArea };

// ImageMagick's default handlers print to the terminal; failures reach us as exceptions instead.
void silentHandler(const MagickCore::ExceptionType, const char*, const char*)
{
}

// Lowers a limit only: the system policy's value is a maximum that must not be raised.
template<typename Get, typename Set> void lowerLimit(Get get, Set set, std::uint64_t limit)
{
    if (get() > limit) {
        set(limit);
    }
}

void start()
{
    Magick::InitializeMagick(nullptr);
    MagickCore::SetWarningHandler(silentHandler);
    MagickCore::SetErrorHandler(silentHandler);

    using Magick::ResourceLimits;
    lowerLimit(
        [] { return ResourceLimits::width(); }, [](auto v) { ResourceLimits::width(v); }, limits::kMaxSide);
    lowerLimit(
        [] { return ResourceLimits::height(); }, [](auto v) { ResourceLimits::height(v); }, limits::kMaxSide);
    lowerLimit(
        [] { return ResourceLimits::area(); }, [](auto v) { ResourceLimits::area(v); }, limits::kMaxArea);
    lowerLimit([] { return ResourceLimits::memory(); }, [](auto v) { ResourceLimits::memory(v); },
        limits::kMaxMemoryBytes);
    lowerLimit(
        [] { return ResourceLimits::map(); }, [](auto v) { ResourceLimits::map(v); }, limits::kMaxMapBytes);
    lowerLimit([] { return ResourceLimits::disk(); }, [](auto v) { ResourceLimits::disk(v); },
        limits::kMaxDiskBytes);
    lowerLimit([] { return ResourceLimits::listLength(); }, [](auto v) { ResourceLimits::listLength(v); },
        limits::kMaxListLength);
    // ImageMagick's own time resource is deliberately left alone: it counts from the first pixel
    // operation of the process and then ends the process. OperationDeadline limits each call instead.

    const std::uint64_t memory = ResourceLimits::memory();
    if (memory < limits::kMaxMemoryBytes) {
        g_fullDecodeArea = static_cast<std::uint64_t>(static_cast<double>(limits::kMaxFullDecodeArea) *
            static_cast<double>(memory) / static_cast<double>(limits::kMaxMemoryBytes));
    }
    g_started = true;
}

} // namespace

void MagickSession::ensureStarted()
{
    static std::once_flag once;
    std::call_once(once, start);
}

bool MagickSession::started()
{
    return g_started;
}

std::uint64_t MagickSession::fullDecodeArea()
{
    ensureStarted();
    return g_fullDecodeArea;
}

} // namespace imaging
