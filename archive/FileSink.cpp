// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/FileSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Large enough that big entries go out in few writes.
constexpr size_t kBufferSize = 256U * 1024;

} // namespace

CFileSink::CFileSink(std::filesystem::path path, std::filesystem::path reportedPath)
    : m_path(std::move(path))
    , m_reportedPath(reportedPath.empty() ? m_path : std::move(reportedPath))
{
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        Fail("Cannot create");
    }
    m_buffer.reserve(kBufferSize);
}

CFileSink::CFileSink(int fd, std::filesystem::path reportedPath)
    : m_path(reportedPath)
    , m_reportedPath(std::move(reportedPath))
    , m_fd(fd)
{
    m_buffer.reserve(kBufferSize);
}

CFileSink::~CFileSink()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void CFileSink::Fail(const char* what) const
{
    const int nError = errno;
    throw std::runtime_error(
        std::string(what) + " " + m_reportedPath.string() + ": " + std::strerror(nError));
}

void CFileSink::WriteAt(uint64_t nOffset, std::span<const uint8_t> bytes)
{
    size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + nDone, bytes.size() - nDone, static_cast<off_t>(nOffset + nDone));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write");
        }
        nDone += static_cast<size_t>(n);
    }
}

void CFileSink::Flush()
{
    if (!m_buffer.empty()) {
        WriteAt(m_nBufferStart, m_buffer);
        m_buffer.clear();
    }
}

void CFileSink::Write(std::span<const uint8_t> bytes)
{
    const uint64_t nBufferEnd = m_nBufferStart + m_buffer.size();
    const bool bInBuffer = m_nOffset >= m_nBufferStart && m_nOffset <= nBufferEnd;
    if (bInBuffer && m_nOffset + bytes.size() <= m_nBufferStart + kBufferSize) {
        // Over what the buffer holds (a header filled in) and on past its end.
        const auto nAt = static_cast<size_t>(m_nOffset - m_nBufferStart);
        const size_t nOver = std::min(bytes.size(), m_buffer.size() - nAt);
        std::copy_n(bytes.begin(), nOver, m_buffer.begin() + static_cast<std::ptrdiff_t>(nAt));
        m_buffer.insert(m_buffer.end(), bytes.begin() + static_cast<std::ptrdiff_t>(nOver), bytes.end());
    } else {
        Flush();
        if (bytes.size() >= kBufferSize) {
            WriteAt(m_nOffset, bytes);
            m_nBufferStart = m_nOffset + bytes.size();
        } else {
            m_nBufferStart = m_nOffset;
            m_buffer.assign(bytes.begin(), bytes.end());
        }
    }
    m_nOffset += bytes.size();
}

void CFileSink::Seek(uint64_t nOffset)
{
    m_nOffset = nOffset;
}

void CFileSink::Commit()
{
    Flush();
    if (::fsync(m_fd) != 0) {
        Fail("Cannot flush");
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        Fail("Cannot close");
    }
}
