// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Scratch.h"

#include "imaging/MagickSession.h"

#include <Magick++.h>
#include <mutex>
#include <set>

namespace imaging {

namespace {

struct Registry {
    std::mutex mutex;
    std::filesystem::path folder;
    std::set<std::filesystem::path> files;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void setScratchFolder(const std::filesystem::path& folder)
{
    {
        const std::lock_guard lock(registry().mutex);
        registry().folder = folder;
    }
    MagickSession::ensureStarted();
    // ImageMagick looks the registry entry up each time it makes a temporary file, before
    // MAGICK_TEMPORARY_PATH and TMPDIR.
    MagickCore::ExceptionInfo* exception = MagickCore::AcquireExceptionInfo();
    (void)MagickCore::SetImageRegistry(
        MagickCore::StringRegistryType, "temporary-path", folder.c_str(), exception);
    MagickCore::DestroyExceptionInfo(exception);
}

std::filesystem::path scratchFolder()
{
    const std::lock_guard lock(registry().mutex);
    return registry().folder;
}

void removeScratchFiles()
{
    {
        const std::lock_guard lock(registry().mutex);
        for (const std::filesystem::path& file : registry().files) {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
        }
    }
    if (MagickSession::started()) {
        // The files ImageMagick holds (pixel caches, copies for its delegates): the routine its own
        // signal handlers run.
        MagickCore::AsynchronousResourceComponentTerminus();
    }
}

ScratchFile::ScratchFile(std::filesystem::path path)
    : m_path(std::move(path))
{
    const std::lock_guard lock(registry().mutex);
    registry().files.insert(m_path);
}

ScratchFile::~ScratchFile()
{
    if (!m_released) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    const std::lock_guard lock(registry().mutex);
    registry().files.erase(m_path);
}

void ScratchFile::release()
{
    m_released = true;
    const std::lock_guard lock(registry().mutex);
    registry().files.erase(m_path);
}

} // namespace imaging
