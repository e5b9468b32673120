// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/SpillBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void ThrowErrno(const std::string& what, const std::filesystem::path& folder)
{
    throw std::runtime_error(what + " in " + folder.string() + ": " + std::strerror(errno));
}

// An unnamed file of the folder: O_TMPFILE where the file system has it, else a named one that is
// unlinked at once.
int OpenUnnamedFile(const std::filesystem::path& folder)
{
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        return fd;
    }
    std::string tmpl = (folder / ".spill.XXXXXX").string();
    fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) {
        ThrowErrno("Cannot create a temporary file", folder);
    }
    ::unlink(tmpl.c_str());
    return fd;
}

} // namespace

CSpillBuffer::CSpillBuffer(std::filesystem::path folder, size_t nMemoryLimit)
    : m_folder(std::move(folder))
    , m_nMemoryLimit(nMemoryLimit)
{
}

CSpillBuffer::~CSpillBuffer()
{
    CloseFile();
}

CSpillBuffer::CSpillBuffer(CSpillBuffer&& other) noexcept
    : m_folder(std::move(other.m_folder))
    , m_nMemoryLimit(other.m_nMemoryLimit)
    , m_memory(std::move(other.m_memory))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_nSize(std::exchange(other.m_nSize, 0))
    , m_nReadOffset(std::exchange(other.m_nReadOffset, 0))
{
}

CSpillBuffer& CSpillBuffer::operator=(CSpillBuffer&& other) noexcept
{
    if (this != &other) {
        CloseFile();
        m_folder = std::move(other.m_folder);
        m_nMemoryLimit = other.m_nMemoryLimit;
        m_memory = std::move(other.m_memory);
        m_fd = std::exchange(other.m_fd, -1);
        m_nSize = std::exchange(other.m_nSize, 0);
        m_nReadOffset = std::exchange(other.m_nReadOffset, 0);
    }
    return *this;
}

void CSpillBuffer::CloseFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void CSpillBuffer::Clear()
{
    CloseFile();
    m_memory.clear();
    m_nSize = 0;
    m_nReadOffset = 0;
}

void CSpillBuffer::Append(std::span<const uint8_t> bytes)
{
    if (m_fd < 0 && m_memory.size() + bytes.size() > m_nMemoryLimit) {
        SpillToFile();
    }
    if (m_fd < 0) {
        m_memory.insert(m_memory.end(), bytes.begin(), bytes.end());
    } else {
        WriteToFile(bytes);
    }
    m_nSize += bytes.size();
}

void CSpillBuffer::SpillToFile()
{
    m_fd = OpenUnnamedFile(m_folder);
    WriteToFile(m_memory);
    // Give the memory back: a file that spilled is a large one, and it stays on disk.
    std::vector<uint8_t>().swap(m_memory);
}

void CSpillBuffer::WriteToFile(std::span<const uint8_t> bytes)
{
    size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno("Cannot write a temporary file", m_folder);
        }
        nDone += static_cast<size_t>(n);
    }
}

void CSpillBuffer::Rewind()
{
    m_nReadOffset = 0;
}

size_t CSpillBuffer::Read(std::span<uint8_t> buffer)
{
    const uint64_t nLeft = m_nSize - m_nReadOffset;
    const size_t nWanted = static_cast<size_t>(std::min<uint64_t>(nLeft, buffer.size()));
    if (nWanted == 0) {
        return 0;
    }
    if (m_fd < 0) {
        std::memcpy(buffer.data(), m_memory.data() + m_nReadOffset, nWanted);
        m_nReadOffset += nWanted;
        return nWanted;
    }
    size_t nDone = 0;
    while (nDone < nWanted) {
        const ssize_t n =
            ::pread(m_fd, buffer.data() + nDone, nWanted - nDone, static_cast<off_t>(m_nReadOffset + nDone));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            ThrowErrno("Cannot read back a temporary file", m_folder);
        }
        nDone += static_cast<size_t>(n);
    }
    m_nReadOffset += nDone;
    return nDone;
}
