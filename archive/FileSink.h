// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/ZipStreams.h"

#include <filesystem>
#include <utility>
#include <vector>

// An archive file being written, through a buffer: the ZIP writer's many small records (and its
// going back to fill in a local header just written) cost no system call each. The file is created
// new (an existing one is an error, so a temporary name cannot clash with someone else's file),
// with the usual permissions (0666 less the umask). Commit writes the buffer out, flushes the file
// to disk and closes it; a sink destroyed without Commit just closes.
class CFileSink : public IZipSink {
public:
    // Failures name reportedPath (the file the temporary will become), or path when it is empty.
    explicit CFileSink(std::filesystem::path path, std::filesystem::path reportedPath = {});
    // Takes over a file opened for writing, empty.
    CFileSink(int fd, std::filesystem::path reportedPath);
    ~CFileSink() override;
    CFileSink(const CFileSink&) = delete;
    CFileSink& operator=(const CFileSink&) = delete;

    void Write(std::span<const uint8_t> bytes) override;
    [[nodiscard]] uint64_t Tell() const override { return m_nOffset; }
    void Seek(uint64_t nOffset) override;
    void Commit();

private:
    [[noreturn]] void Fail(const char* what) const;
    void WriteAt(uint64_t nOffset, std::span<const uint8_t> bytes);
    void Flush();

    std::filesystem::path m_path;
    std::filesystem::path m_reportedPath;
    int m_fd = -1;
    uint64_t m_nOffset = 0; // where the next write goes
    // Bytes not yet in the file, for the offsets from m_nBufferStart on.
    std::vector<uint8_t> m_buffer;
    uint64_t m_nBufferStart = 0;
};
