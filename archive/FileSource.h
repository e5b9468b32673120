// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/ZipStreams.h"

#include <filesystem>

// A regular file read for packing. Opening never blocks (a FIFO put in the file's place does not
// hang the reader) and anything but a regular file is refused, so a walk's decision cannot be
// undone by a change on disk. Failures are CZipSourceError with a reason for people
// ("cannot be read: Permission denied").
class CFileSource : public IZipSource {
public:
    explicit CFileSource(const std::filesystem::path& path);
    ~CFileSource() override;
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    [[nodiscard]] size_t Read(std::span<uint8_t> buffer) override;

private:
    int m_fd = -1;
};
