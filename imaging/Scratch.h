// SPDX-License-Identifier: GPL-3.0-or-later
// Where picture work may keep files while it runs, and their removal when a program is interrupted.
#pragma once

#include <filesystem>

namespace imaging {

// Every file picture work writes while it runs goes into this folder (the installation's Temp):
// ImageMagick's temporary files and the partial JPEG files before they are renamed. Programs call it
// at the start of a session, before any picture work; a later call moves the scratch elsewhere.
// Nothing is written outside it (unless the system's ImageMagick policy names its own folder).
void setScratchFolder(const std::filesystem::path& folder);

// The folder set last, or an empty path when none was set.
[[nodiscard]] std::filesystem::path scratchFolder();

// Removes the scratch files that picture work still holds, those of an operation under way. For a
// program ending on a signal: call it from an ordinary thread, not from a signal handler.
void removeScratchFiles();

// A file that exists only while an operation writes it: removed by removeScratchFiles, and by the
// destructor unless release() was called (after the file was renamed into place).
class ScratchFile {
public:
    explicit ScratchFile(std::filesystem::path path);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    void release();

private:
    std::filesystem::path m_path;
    bool m_released = false;
};

} // namespace imaging
