// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/LockedArchive.h"

#include "archive/CompressionQueue.h"
#include "archive/FileSink.h"
#include "archive/FileSource.h"
#include "archive/ZipLimits.h"
#include "archive/ZipWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Attempts at a temporary name that nobody else has taken.
constexpr int kTemporaryNameAttempts = 100;

struct CFileId {
    dev_t m_device = 0;
    ino_t m_inode = 0;
    auto operator<=>(const CFileId&) const = default;
};

CFileId IdOf(const struct stat& st)
{
    return { st.st_dev, st.st_ino };
}

// One entry to write, in the order the walk met it.
struct CItem {
    fs::path m_path;
    CZipEntryInfo m_info;
    bool m_bFolder = false;
    uint64_t m_nSize = 0;
    size_t m_nOrder = 0;
};

std::string Reason(const std::string& strWhat, int error)
{
    return strWhat + ": " + std::strerror(error);
}

// Names in an order that does not depend on the file system: without regard to (ASCII) case, the
// exact bytes deciding between names that differ only in case.
bool LessNoCase(const std::string& a, const std::string& b)
{
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto [pa, pb] = std::mismatch(
        a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
    if (pa == a.end() || pb == b.end()) {
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        return a < b;
    }
    return static_cast<unsigned char>(lower(*pa)) < static_cast<unsigned char>(lower(*pb));
}

std::string SpecialKind(mode_t mode)
{
    if (S_ISFIFO(mode)) {
        return "a special file (FIFO)";
    }
    if (S_ISSOCK(mode)) {
        return "a special file (socket)";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a special file (device)";
    }
    return "a special file";
}

// Lists the folder tree: regular files and real folders go in; a link to a file goes in under the
// link's name with the file's content; everything else is left out with its reason. Nothing is
// opened but folders, so a FIFO or a device cannot hang the walk.
class CFolderWalk {
public:
    explicit CFolderWalk(std::optional<CFileId> archive)
        : m_archive(archive)
    {
    }

    // Walks the folder; false (with errno set) when it cannot be listed.
    bool Walk(const fs::path& folder, const std::string& strPrefix, CFileId id)
    {
        std::vector<std::string> names;
        if (!List(folder, names)) {
            return false;
        }
        m_folders.insert(id);
        for (const std::string& strName : names) {
            Visit(folder / strName, strName, strPrefix);
        }
        m_folders.erase(id);
        return true;
    }

    std::vector<CItem> m_items;
    std::vector<std::pair<size_t, CLeftOut>> m_leftOut;

private:
    static bool List(const fs::path& folder, std::vector<std::string>& names)
    {
        DIR* pDir = ::opendir(folder.c_str());
        if (!pDir) {
            return false;
        }
        errno = 0;
        while (const dirent* pEntry = ::readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName != "." && strName != "..") {
                names.push_back(strName);
            }
            errno = 0;
        }
        const int error = errno;
        ::closedir(pDir);
        if (error != 0) {
            errno = error;
            return false;
        }
        std::sort(names.begin(), names.end(), LessNoCase);
        return true;
    }

    void LeaveOut(const fs::path& path, std::string strReason)
    {
        m_leftOut.emplace_back(m_nOrder++, CLeftOut { path, std::move(strReason) });
    }

    void Visit(const fs::path& path, const std::string& strName, const std::string& strPrefix)
    {
        struct stat st { };
        if (::lstat(path.c_str(), &st) != 0) {
            const int error = errno;
            LeaveOut(path, Reason("cannot be read", error));
            return;
        }
        if (!IsUtf8(strName)) {
            LeaveOut(path, "its name is not UTF-8 text");
            return;
        }
        if (S_ISLNK(st.st_mode)) {
            struct stat target { };
            if (::stat(path.c_str(), &target) != 0) {
                const int error = errno;
                LeaveOut(path,
                    error == ELOOP        ? "a link that loops"
                        : error == ENOENT ? "a dangling link (it names nothing)"
                                          : Reason("a link that cannot be followed", error));
                return;
            }
            if (S_ISDIR(target.st_mode)) {
                LeaveOut(path, "a link to a folder");
                return;
            }
            if (!S_ISREG(target.st_mode)) {
                LeaveOut(path, "a link to " + SpecialKind(target.st_mode));
                return;
            }
            st = target;
        }
        if (m_archive && IdOf(st) == *m_archive) {
            LeaveOut(path, "the archive itself");
            return;
        }
        CItem item;
        item.m_path = path;
        item.m_info.m_nModified = static_cast<int64_t>(st.st_mtim.tv_sec);
        item.m_info.m_nPermissions = static_cast<uint32_t>(st.st_mode & 0777);
        if (S_ISREG(st.st_mode)) {
            item.m_info.m_strName = strPrefix + strName;
            item.m_nSize = static_cast<uint64_t>(st.st_size);
            item.m_nOrder = m_nOrder++;
            m_items.push_back(std::move(item));
        } else if (S_ISDIR(st.st_mode)) {
            if (m_folders.contains(IdOf(st))) {
                LeaveOut(path, "a folder that contains itself (mounted inside itself)");
                return;
            }
            item.m_info.m_strName = strPrefix + strName + "/";
            item.m_bFolder = true;
            item.m_nOrder = m_nOrder++;
            const size_t nIndex = m_items.size();
            m_items.push_back(item);
            if (!Walk(path, item.m_info.m_strName, IdOf(st))) {
                const int error = errno;
                m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(nIndex), m_items.end());
                m_leftOut.emplace_back(item.m_nOrder, CLeftOut { path, Reason("cannot be read", error) });
            }
        } else {
            LeaveOut(path, SpecialKind(st.st_mode));
        }
    }

    std::optional<CFileId> m_archive;
    std::set<CFileId> m_folders; // the folders being walked, to stop at one mounted inside itself
    size_t m_nOrder = 0;
};

// A link at the archive's path is written through, as other saves do: the file it names is
// replaced and the link stays.
fs::path ResolveTarget(const fs::path& archivePath)
{
    std::error_code error;
    if (fs::is_symlink(archivePath, error)) {
        fs::path target = fs::canonical(archivePath, error);
        if (!error) {
            return target;
        }
    }
    return fs::absolute(archivePath, error).lexically_normal();
}

// The temporary file beside the target, removed when the object goes unless it was renamed.
class CTemporaryArchive {
public:
    explicit CTemporaryArchive(const fs::path& target)
    {
        std::random_device random;
        constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int nAttempt = 0;; ++nAttempt) {
            std::string strSuffix;
            for (int i = 0; i < 8; ++i) {
                strSuffix += kLetters[random() % (sizeof(kLetters) - 1)];
            }
            m_path = target.parent_path() / ("." + target.filename().string() + "." + strSuffix + ".part");
            // 0666 less the umask, the permissions any new file gets.
            const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_pSink = std::make_unique<CFileSink>(fd, target);
                return;
            }
            const int error = errno;
            if (error != EEXIST || nAttempt + 1 >= kTemporaryNameAttempts) {
                throw std::runtime_error(Reason("Cannot create " + target.string(), error));
            }
        }
    }
    ~CTemporaryArchive()
    {
        m_pSink.reset();
        if (!m_bRenamed) {
            ::unlink(m_path.c_str());
        }
    }
    CTemporaryArchive(const CTemporaryArchive&) = delete;
    CTemporaryArchive& operator=(const CTemporaryArchive&) = delete;

    CFileSink& Sink() { return *m_pSink; }

    // Flushes the file and puts it in the target's place, with the permissions of the file it
    // replaces.
    void Commit(const fs::path& target)
    {
        m_pSink->Commit();
        struct stat old { };
        if (::stat(target.c_str(), &old) == 0) {
            (void)::chmod(m_path.c_str(), old.st_mode & 07777);
        }
        if (::rename(m_path.c_str(), target.c_str()) != 0) {
            const int error = errno;
            throw std::runtime_error(Reason("Cannot replace " + target.string(), error));
        }
        m_bRenamed = true;
        // Makes the rename itself durable; a folder that cannot be flushed keeps the file all the same.
        const int fd = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            (void)::fsync(fd);
            ::close(fd);
        }
    }

private:
    fs::path m_path;
    std::unique_ptr<CFileSink> m_pSink;
    bool m_bRenamed = false;
};

CPublishResult Failure(std::string strError, std::vector<CLeftOut> leftOut = {})
{
    CPublishResult result;
    result.m_outcome = EPublishOutcome::Failed;
    result.m_strError = std::move(strError);
    result.m_leftOut = std::move(leftOut);
    return result;
}

std::vector<CLeftOut> InWalkOrder(std::vector<std::pair<size_t, CLeftOut>> leftOut)
{
    std::stable_sort(
        leftOut.begin(), leftOut.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CLeftOut> ordered;
    ordered.reserve(leftOut.size());
    for (auto& [nOrder, item] : leftOut) {
        ordered.push_back(std::move(item));
    }
    return ordered;
}

} // namespace

CPublishResult BuildLockedArchive(const fs::path& folder, const std::string& strPassword,
    const fs::path& archivePath, const PublishProgressFn& progress)
{
    struct stat root { };
    if (::stat(folder.c_str(), &root) != 0) {
        const int error = errno;
        return Failure(Reason("Cannot read the folder " + folder.string(), error));
    }
    if (!S_ISDIR(root.st_mode)) {
        return Failure(folder.string() + " is not a folder");
    }
    const fs::path target = ResolveTarget(archivePath);
    std::optional<CFileId> archive;
    struct stat old { };
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            return Failure("Cannot write the archive " + target.string() + ": it is a folder");
        }
        archive = IdOf(old);
    }

    CFolderWalk walk(archive);
    if (!walk.Walk(folder, "", IdOf(root))) {
        const int error = errno;
        return Failure(Reason("Cannot read the folder " + folder.string(), error));
    }
    std::vector<CItem>& items = walk.m_items;
    // The format's limits, refused before anything is written.
    if (items.size() > kMaxZipEntries) {
        return Failure("The folder " + folder.string() + " holds " + std::to_string(items.size()) +
                " files and folders; a ZIP archive holds at most " + std::to_string(kMaxZipEntries),
            InWalkOrder(walk.m_leftOut));
    }
    uint64_t nTotal = 0;
    std::vector<size_t> files;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].m_bFolder) {
            continue;
        }
        if (items[i].m_nSize > kMaxZipFileSize) {
            return Failure(items[i].m_path.string() + " has " + std::to_string(items[i].m_nSize) +
                    " bytes; a ZIP archive holds files of at most " + std::to_string(kMaxZipFileSize) +
                    " bytes (just under 4 GiB)",
                InWalkOrder(walk.m_leftOut));
        }
        nTotal += items[i].m_nSize;
        files.push_back(i);
    }

    CPublishResult result;
    uint64_t nDone = 0;
    const auto report = [&](uint64_t nRead) {
        nDone = nRead;
        nTotal = std::max(nTotal, nDone);
        return !progress || progress(nDone, nTotal);
    };
    const auto cancelled = [&] {
        result.m_outcome = EPublishOutcome::Cancelled;
        result.m_leftOut = InWalkOrder(std::move(walk.m_leftOut));
        result.m_nAdded = 0;
        return result;
    };
    if (!report(0)) {
        return cancelled();
    }
    try {
        CTemporaryArchive temporary(target);
        CZipWriter writer(temporary.Sink(), strPassword);
        CCompressionQueue queue(
            files.size(),
            [&](size_t nIndex) { return std::make_unique<CFileSource>(items[files[nIndex]].m_path); },
            target.parent_path());
        const auto onWait = [&] { return report(queue.BytesRead()); };
        for (CItem& item : items) {
            if (item.m_bFolder) {
                writer.AddFolder(item.m_info);
                ++result.m_nAdded;
                continue;
            }
            std::optional<CCompressionQueue::CResult> compressed = queue.TakeNext(onWait);
            if (!compressed) {
                return cancelled();
            }
            if (!compressed->m_file) {
                walk.m_leftOut.emplace_back(
                    item.m_nOrder, CLeftOut { item.m_path, compressed->m_strSourceError });
                continue;
            }
            writer.AddFile(item.m_info, *compressed->m_file);
            ++result.m_nAdded;
        }
        writer.Finish();
        temporary.Commit(target);
    } catch (const std::exception& e) {
        return Failure(e.what(), InWalkOrder(std::move(walk.m_leftOut)));
    }
    result.m_outcome = EPublishOutcome::Written;
    result.m_leftOut = InWalkOrder(std::move(walk.m_leftOut));
    return result;
}
