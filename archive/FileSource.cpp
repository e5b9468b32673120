// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/FileSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowUnreadable(int error)
{
    throw CZipSourceError(std::string("cannot be read: ") + std::strerror(error));
}

} // namespace

CFileSource::CFileSource(const std::filesystem::path& path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        ThrowUnreadable(errno);
    }
    struct stat st { };
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        ThrowUnreadable(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(m_fd);
        throw CZipSourceError(S_ISDIR(st.st_mode) ? "a folder now" : "a special file");
    }
}

CFileSource::~CFileSource()
{
    ::close(m_fd);
}

size_t CFileSource::Read(std::span<uint8_t> buffer)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
        if (n >= 0) {
            return static_cast<size_t>(n);
        }
        if (errno != EINTR) {
            ThrowUnreadable(errno);
        }
    }
}
