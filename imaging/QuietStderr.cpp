// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/QuietStderr.h"

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace imaging {

namespace {

std::mutex& quietMutex()
{
    static std::mutex instance;
    return instance;
}

} // namespace

QuietStderr::QuietStderr()
{
    quietMutex().lock();
    std::fflush(stderr);
    m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_saved >= 0 && nowhere >= 0) {
        ::dup2(nowhere, STDERR_FILENO);
    }
    if (nowhere >= 0) {
        ::close(nowhere);
    }
}

QuietStderr::~QuietStderr()
{
    std::fflush(stderr);
    if (m_saved >= 0) {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    quietMutex().unlock();
}

} // namespace imaging
