// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/SpillBuffer.h"
#include "archive/ZipStreams.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

// A file's content deflated and waiting to go into an archive, with the CRC-32 and size of the
// original bytes.
struct CCompressedFile {
    CSpillBuffer m_data;
    uint32_t m_nCrc = 0;
    uint64_t m_nSize = 0;
};

// Memory a compressed file may take before it goes to a temporary file: small files stay in memory,
// larger ones pass through the page cache, so packing takes a few MB whatever the files.
inline constexpr size_t kCompressedInMemory = 512U * 1024;

// Deflates sources (raw deflate, zlib's default level, window 2^15, memory level 8) into spill
// buffers. One compressor serves one thread; it keeps its zlib state from file to file.
class CFileCompressor {
public:
    explicit CFileCompressor(std::filesystem::path spillFolder, size_t nMemoryLimit = kCompressedInMemory);
    ~CFileCompressor();
    CFileCompressor(const CFileCompressor&) = delete;
    CFileCompressor& operator=(const CFileCompressor&) = delete;

    // Reads the source to its end. onRead hears of each block read (its size in bytes) and can
    // return false to stop: the result is then empty. A source that fails, or grows to the largest
    // size an archive entry can have, gives CZipSourceError; a failure of the temporary file gives
    // std::runtime_error.
    [[nodiscard]] std::optional<CCompressedFile> Compress(
        IZipSource& source, const std::function<bool(size_t)>& onRead = {});

private:
    struct CState;
    std::unique_ptr<CState> m_pState;
    std::filesystem::path m_spillFolder;
    size_t m_nMemoryLimit;
};
