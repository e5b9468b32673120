// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// Bytes written once and read back once: held in memory up to a limit, then in an unnamed
// temporary file of the given folder, which disappears with the object (or with the process). The
// ZIP writer keeps a file's compressed data here until its CRC is known, since the traditional
// cipher puts a byte of the CRC in front of the data.
class CSpillBuffer {
public:
    CSpillBuffer(std::filesystem::path folder, size_t nMemoryLimit);
    ~CSpillBuffer();
    CSpillBuffer(CSpillBuffer&& other) noexcept;
    CSpillBuffer& operator=(CSpillBuffer&& other) noexcept;
    CSpillBuffer(const CSpillBuffer&) = delete;
    CSpillBuffer& operator=(const CSpillBuffer&) = delete;

    void Append(std::span<const uint8_t> bytes);
    [[nodiscard]] uint64_t Size() const { return m_nSize; }
    [[nodiscard]] bool IsInMemory() const { return m_fd < 0; }

    // Reading starts at the first byte again; Read fills the buffer as far as the bytes go and
    // returns how many it filled, 0 at the end.
    void Rewind();
    [[nodiscard]] size_t Read(std::span<uint8_t> buffer);

    // Drops the content and keeps the object usable (the temporary file goes too).
    void Clear();

private:
    void SpillToFile();
    void WriteToFile(std::span<const uint8_t> bytes);
    void CloseFile();

    std::filesystem::path m_folder;
    size_t m_nMemoryLimit = 0;
    std::vector<uint8_t> m_memory;
    int m_fd = -1;
    uint64_t m_nSize = 0;
    uint64_t m_nReadOffset = 0;
};
