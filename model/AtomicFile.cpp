// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(const std::string& what, const std::filesystem::path& path, int error)
{
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

// The process umask, read without changing it (umask() itself would change it).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            try {
                return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
            } catch (const std::exception&) {
                break;
            }
        }
    }
    return 022;
}

// A symbolic link is saved through: the file it names is replaced and the link stays. A link that
// names nothing is replaced itself.
std::filesystem::path SaveTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target;
}

// Makes the rename itself durable; a folder that cannot be flushed leaves the file written all
// the same, so failures here are not reported.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void WriteFileAtomically(const std::filesystem::path& requested, std::span<const uint8_t> bytes)
{
    const std::filesystem::path path = SaveTarget(requested);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string tmpl = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) {
        ThrowErrno("Cannot create a temporary file beside", path, errno);
    }
    const auto fail = [&](const char* what) {
        const int error = errno;
        ::close(fd);
        ::unlink(tmpl.c_str());
        ThrowErrno(what, path, error);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("Cannot write");
        }
        done += static_cast<size_t>(n);
    }
    struct stat old { };
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) {
        fail("Cannot set the permissions of");
    }
    if (::fsync(fd) != 0) {
        fail("Cannot flush");
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tmpl.c_str());
        ThrowErrno("Cannot close", path, error);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(tmpl.c_str());
        ThrowErrno("Cannot replace", path, error);
    }
    SyncFolder(folder);
}

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path, uintmax_t maxSize)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ThrowErrno("Cannot open", path, errno);
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        throw std::runtime_error("Cannot read " + path.string());
    }
    if (static_cast<uintmax_t>(size) > maxSize) {
        throw std::runtime_error("The file " + path.string() + " is too large (" + std::to_string(size) +
            " bytes, at most " + std::to_string(maxSize) + ")");
    }
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        throw std::runtime_error("Cannot read " + path.string());
    }
    return bytes;
}
