// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/LockedArchive.h"

#include "tests/publish/ArchiveTools.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
namespace at = archivetools;

namespace {

const std::string kPassword = "p\xC3\xA4sschw\xC3\xB6rd \xE2\x82\xAC"; // "pässchwörd €"

class LockedArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
            ("locked_archive_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        m_src = m_dir / "source";
        fs::create_directories(m_src);
        m_zip = m_dir / "gift.swf.zip";
    }
    void TearDown() override
    {
        std::error_code error;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(m_dir, error);
    }

    static void Write(const fs::path& path, const std::string& text)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static std::string RandomText(size_t n, unsigned seed)
    {
        std::mt19937 random(seed);
        std::string bytes(n, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        return bytes;
    }
    // Names of files in the folder that are not the expected ones: left-over temporaries.
    static std::vector<std::string> Strays(const fs::path& folder, const std::vector<std::string>& expected)
    {
        std::vector<std::string> strays;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
                strays.push_back(name);
            }
        }
        return strays;
    }
    // Python's view of the archive: names in order (with "error" lines for entries it refused).
    std::vector<std::vector<std::string>> Zipfile(const fs::path& archive, const std::string* password)
    {
        const at::CRun run = at::ListWithZipfile(m_dir, archive, password);
        EXPECT_EQ(run.status, 0) << run.output;
        return at::Lines(run.output);
    }

    fs::path m_dir;
    fs::path m_src;
    fs::path m_zip;
};

// The folder of the issue: blanks and non-ASCII in names, nested and empty folders, an empty file,
// 1 MB of random bytes, same-named files in two folders; names in mixed case at the top.
void MakeRichFolder(const fs::path& src)
{
    const auto write = [](const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    };
    write(src / "with blank" / "f 1.txt", "hello\n");
    write(src /
            "\xC3\x9Cn\xC3\xAF"
            "c\xC3\xB6"
            "d\xC3\xA9" /
            "deeper" / "\xC3\x9F.txt",
        "scharfes s\n");
    write(src / "Fotos" / "\xC3\x89t\xC3\xA9 2024" / "\xF0\x9F\x8E\x81 gift.txt", "a present\n");
    fs::create_directories(src / "empty" / "emptier");
    write(src / "emptyfile", "");
    std::mt19937 random(7);
    std::string bytes(1U << 20, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    write(src / "random.bin", bytes);
    write(src / "a" / "same.txt", "one\n");
    write(src / "b" / "same.txt", "two\n");
    write(src / "B.txt", "upper\n");
    write(src / "c.txt", "lower\n");
    write(src / ".hidden", "dot\n");
}

} // namespace

TEST_F(LockedArchiveTest, UnzipAndZipfileOpenItWithThePasswordOnly)
{
    MakeRichFolder(m_src);
    // A known time, for the header's local date.
    const std::time_t moment = 981173106;
    const timespec times[2] = { { moment, 0 }, { moment, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, (m_src / "c.txt").c_str(), times, 0), 0);

    std::vector<std::pair<uint64_t, uint64_t>> calls;
    const CPublishResult result =
        BuildLockedArchive(m_src, kPassword, m_zip, [&](uint64_t nDone, uint64_t nTotal) {
            calls.emplace_back(nDone, nTotal);
            return true;
        });
    ASSERT_EQ(result.m_outcome, EPublishOutcome::Written) << result.m_strError;
    EXPECT_TRUE(result.m_leftOut.empty());
    EXPECT_EQ(result.m_nAdded, 19U);

    // Progress counts bytes, goes up only, and ends at the total.
    const uint64_t nBytes = 6 + 11 + 10 + (1U << 20) + 4 + 4 + 6 + 6 + 4;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::make_pair(uint64_t { 0 }, nBytes));
    EXPECT_EQ(calls.back(), std::make_pair(nBytes, nBytes));
    for (size_t i = 1; i < calls.size(); ++i) {
        EXPECT_LE(calls[i - 1].first, calls[i].first);
    }

    // Info-ZIP's unzip tests it and extracts exactly the folder.
    const at::CRun test = at::Run("unzip -t -P " + at::Quote(kPassword) + " " + at::Quote(m_zip));
    EXPECT_EQ(test.status, 0) << test.output;
    const fs::path out = m_dir / "out";
    const at::CRun extract =
        at::Run("unzip -q -P " + at::Quote(kPassword) + " " + at::Quote(m_zip) + " -d " + at::Quote(out));
    EXPECT_EQ(extract.status, 0) << extract.output;
    const at::CRun diff = at::Run("diff -r " + at::Quote(m_src) + " " + at::Quote(out));
    EXPECT_EQ(diff.status, 0) << diff.output;
    struct stat st { };
    ASSERT_EQ(::stat((out / "c.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, moment); // an even second: the header's two-second steps keep it

    // Python's zipfile reads every entry, in the walk's order: names sorted without regard to case,
    // each folder before what it holds.
    const std::vector<std::vector<std::string>> lines = Zipfile(m_zip, &kPassword);
    std::vector<std::string> names;
    for (const std::vector<std::string>& line : lines) {
        ASSERT_EQ(line.size(), 4U) << line[0] << " " << (line.size() > 2 ? line[2] : "");
        names.push_back(line[0]);
        EXPECT_EQ(line[2], "2049"); // locked, UTF-8 names
        if (!line[0].ends_with('/')) {
            EXPECT_EQ(line[3], at::Sha256(m_src / line[0])) << line[0];
        }
    }
    const std::vector<std::string> expected { ".hidden", "a/", "a/same.txt", "b/", "b/same.txt", "B.txt",
        "c.txt", "empty/", "empty/emptier/", "emptyfile", "Fotos/", "Fotos/\xC3\x89t\xC3\xA9 2024/",
        "Fotos/\xC3\x89t\xC3\xA9 2024/\xF0\x9F\x8E\x81 gift.txt", "random.bin", "with blank/",
        "with blank/f 1.txt",
        "\xC3\x9Cn\xC3\xAF"
        "c\xC3\xB6"
        "d\xC3\xA9/",
        "\xC3\x9Cn\xC3\xAF"
        "c\xC3\xB6"
        "d\xC3\xA9/deeper/",
        "\xC3\x9Cn\xC3\xAF"
        "c\xC3\xB6"
        "d\xC3\xA9/deeper/\xC3\x9F.txt" };
    EXPECT_EQ(names, expected);

    // A wrong password: unzip refuses, and zipfile reads no file (it may pass an entry's check byte
    // by chance, one time in 256, and then fails on the CRC).
    const at::CRun wrong = at::Run("unzip -t -P wrong " + at::Quote(m_zip));
    EXPECT_NE(wrong.status, 0) << wrong.output;
    const std::string strWrong = "wrong";
    for (const std::vector<std::string>& line : Zipfile(m_zip, &strWrong)) {
        const bool bEmpty = line.size() == 4 && line[1] == "0"; // nothing to tell an empty entry by
        EXPECT_TRUE(line[0] == "error" || bEmpty) << line[0];
    }
}

TEST_F(LockedArchiveTest, EmptyPasswordGivesAnOpenArchive)
{
    Write(m_src / "a" / "x.txt", "x\n");
    const CPublishResult result = BuildLockedArchive(m_src, "", m_zip);
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    const at::CRun test = at::Run("unzip -t " + at::Quote(m_zip) + " </dev/null");
    EXPECT_EQ(test.status, 0) << test.output;
    const std::vector<std::vector<std::string>> lines = Zipfile(m_zip, nullptr);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1][0], "a/x.txt");
    EXPECT_EQ(lines[1][2], "2048"); // UTF-8 names, nothing locked
}

TEST_F(LockedArchiveTest, SpecialFilesAndLinksAreNamedNotPacked)
{
    Write(m_src / "file.txt", "content\n");
    Write(m_dir / "outside.txt", "from outside\n");
    ASSERT_EQ(::mkfifo((m_src / "fifo").c_str(), 0644), 0);
    fs::create_symlink("nowhere", m_src / "dangling");
    fs::create_symlink("loop-b", m_src / "loop-a");
    fs::create_symlink("loop-a", m_src / "loop-b");
    fs::create_directories(m_src / "sub");
    fs::create_directory_symlink("..", m_src / "sub" / "up"); // would walk forever
    fs::create_directory_symlink(m_dir, m_src / "parent"); // would leave the folder
    fs::create_symlink("fifo", m_src / "to-fifo");
    fs::create_symlink(m_dir / "outside.txt", m_src / "linked.txt");
    Write(m_src / "latin\xE9.txt", "a name in Latin-1, which flag bit 11 would misname"); // not UTF-8
    // The archive is written into the folder it packs, twice: the second run meets the first's.
    const fs::path inside = m_src / "sub" / "gift.swf.zip";
    const CPublishResult first = BuildLockedArchive(m_src, kPassword, inside);
    ASSERT_TRUE(first.IsWritten()) << first.m_strError;
    const CPublishResult result = BuildLockedArchive(m_src, kPassword, inside);
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;

    std::vector<std::pair<std::string, std::string>> leftOut;
    for (const CLeftOut& item : result.m_leftOut) {
        leftOut.emplace_back(item.m_path.lexically_relative(m_src).string(), item.m_strReason);
    }
    const std::vector<std::pair<std::string, std::string>> expected {
        { "dangling", "a dangling link (it names nothing)" },
        { "fifo", "a special file (FIFO)" },
        { "latin\xE9.txt", "its name is not UTF-8 text" },
        { "loop-a", "a link that loops" },
        { "loop-b", "a link that loops" },
        { "parent", "a link to a folder" },
        { "sub/gift.swf.zip", "the archive itself" },
        { "sub/up", "a link to a folder" },
        { "to-fifo", "a link to a special file (FIFO)" },
    };
    EXPECT_EQ(leftOut, expected);
    EXPECT_EQ(first.m_leftOut.size(), expected.size() - 1);

    std::vector<std::string> names;
    for (const std::vector<std::string>& line : Zipfile(inside, &kPassword)) {
        names.push_back(line[0]);
        if (line[0] == "linked.txt") {
            EXPECT_EQ(line[3], at::Sha256(m_dir / "outside.txt")); // a file link brings the file
        }
    }
    EXPECT_EQ(names, (std::vector<std::string> { "file.txt", "linked.txt", "sub/" }));
    EXPECT_TRUE(Strays(m_src / "sub", { "up", "gift.swf.zip" }).empty());
}

TEST_F(LockedArchiveTest, UnreadableFilesAreNamedAndTheRestIsPacked)
{
    Write(m_src / "good.txt", "good\n");
    // Reading the process's own memory at offset 0 fails (nothing is mapped there), as a damaged
    // disk would; the link to it is a link to a regular file, so the walk takes it.
    fs::create_symlink("/proc/self/mem", m_src / "broken.bin");
    Write(m_src / "locked" / "secret.txt", "secret\n");
    Write(m_src / "closed.txt", "closed\n");
    fs::permissions(m_src / "closed.txt", fs::perms::none);
    fs::permissions(m_src / "locked", fs::perms::none);
    // Permissions mean nothing to root: only an ordinary user sees those two refused.
    const bool bPermissionsHold = ::access((m_src / "closed.txt").c_str(), R_OK) != 0;

    const CPublishResult result = BuildLockedArchive(m_src, kPassword, m_zip);
    fs::permissions(m_src / "locked", fs::perms::owner_all);
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    std::vector<std::pair<std::string, std::string>> leftOut;
    for (const CLeftOut& item : result.m_leftOut) {
        leftOut.emplace_back(item.m_path.filename().string(), item.m_strReason);
    }
    std::vector<std::pair<std::string, std::string>> expected { { "broken.bin",
        "cannot be read: Input/output error" } };
    std::vector<std::string> names { "good.txt" };
    if (bPermissionsHold) {
        expected.emplace_back("closed.txt", "cannot be read: Permission denied");
        expected.emplace_back("locked", "cannot be read: Permission denied");
    } else {
        names = { "closed.txt", "good.txt", "locked/", "locked/secret.txt" };
    }
    EXPECT_EQ(leftOut, expected);
    std::vector<std::string> packed;
    for (const std::vector<std::string>& line : Zipfile(m_zip, &kPassword)) {
        packed.push_back(line[0]);
    }
    EXPECT_EQ(packed, names);
}

TEST_F(LockedArchiveTest, FailureHalfwayOrCancelKeepsTheOlderArchive)
{
    Write(m_src / "random.bin", RandomText(1U << 20, 3));
    Write(m_src / "more" / "random2.bin", RandomText(300000, 4));
    Write(m_zip, "the older archive");

    // The size the archive will have, so that the last failure comes at its very end.
    const CPublishResult probe = BuildLockedArchive(m_src, kPassword, m_dir / "probe.zip");
    ASSERT_TRUE(probe.IsWritten()) << probe.m_strError;
    const auto nFull = static_cast<rlim_t>(fs::file_size(m_dir / "probe.zip"));
    fs::remove(m_dir / "probe.zip");

    // The file size limit stands in for a full disk: writes past N bytes fail with EFBIG.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    for (rlim_t nBytes :
        { rlim_t { 0 }, rlim_t { 40 }, rlim_t { 5000 }, rlim_t { 1U << 20 }, nFull - 30, nFull - 1 }) {
        SCOPED_TRACE(nBytes);
        rlimit limit = oldLimit;
        limit.rlim_cur = nBytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const CPublishResult result = BuildLockedArchive(m_src, kPassword, m_zip);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &oldLimit), 0);
        EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
        // The archive or, for the large file, the temporary file its compressed data waits in.
        EXPECT_TRUE(result.m_strError == "Cannot write " + m_zip.string() + ": File too large" ||
            result.m_strError == "Cannot write a temporary file in " + m_dir.string() + ": File too large")
            << result.m_strError;
        EXPECT_EQ(Read(m_zip), "the older archive");
        EXPECT_EQ(Strays(m_dir, { "source", "gift.swf.zip" }), std::vector<std::string> {});
    }
    std::signal(SIGXFSZ, oldHandler);

    // A cancel, at the start or half-way through the bytes.
    for (uint64_t nStopAt : { uint64_t { 0 }, uint64_t { 1 } }) {
        SCOPED_TRACE(nStopAt);
        const CPublishResult result = BuildLockedArchive(
            m_src, kPassword, m_zip, [&](uint64_t nDone, uint64_t) { return nDone < nStopAt; });
        EXPECT_EQ(result.m_outcome, EPublishOutcome::Cancelled);
        EXPECT_EQ(result.m_nAdded, 0U);
        EXPECT_EQ(Read(m_zip), "the older archive");
        EXPECT_EQ(Strays(m_dir, { "source", "gift.swf.zip" }), std::vector<std::string> {});
    }

    // And then the archive replaces the older one, keeping its permissions.
    fs::permissions(m_zip, fs::perms::owner_read | fs::perms::owner_write);
    const CPublishResult result = BuildLockedArchive(m_src, kPassword, m_zip);
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(fs::status(m_zip).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Zipfile(m_zip, &kPassword).size(), 3U);
}

TEST_F(LockedArchiveTest, FormatLimitsAreRefusedBeforeWriting)
{
    // A sparse file of 4 GiB: its size alone refuses it, before a byte is read.
    {
        std::ofstream(m_src / "huge.bin");
    }
    fs::resize_file(m_src / "huge.bin", 4ULL << 30);
    CPublishResult result = BuildLockedArchive(m_src, kPassword, m_zip);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_EQ(result.m_strError,
        (m_src / "huge.bin").string() +
            " has 4294967296 bytes; a ZIP archive holds files of at most 4294967294 bytes (just under 4 "
            "GiB)");
    EXPECT_FALSE(fs::exists(m_zip));
    fs::remove(m_src / "huge.bin");

    // 65535 entries go in (a folder and its files); one more is refused, naming the limit.
    fs::create_directory(m_src / "many");
    for (int i = 0; i < 65534; ++i) {
        std::ofstream(m_src / "many" / std::to_string(i));
    }
    result = BuildLockedArchive(m_src, kPassword, m_zip);
    ASSERT_TRUE(result.IsWritten()) << result.m_strError;
    EXPECT_EQ(result.m_nAdded, 65535U);
    const at::CRun count =
        at::Run("python3 -c 'import sys, zipfile; print(len(zipfile.ZipFile(sys.argv[1]).infolist()))' " +
            at::Quote(m_zip));
    EXPECT_EQ(count.output, "65535\n");
    const uintmax_t nSize = fs::file_size(m_zip);
    Write(m_src / "one-more.txt", "");
    result = BuildLockedArchive(m_src, kPassword, m_zip);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_EQ(result.m_strError,
        "The folder " + m_src.string() + " holds 65536 files and folders; a ZIP archive holds at most 65535");
    EXPECT_EQ(fs::file_size(m_zip), nSize);
}

TEST_F(LockedArchiveTest, MissingFolderOrTargetFolderFails)
{
    CPublishResult result = BuildLockedArchive(m_dir / "missing", kPassword, m_zip);
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_EQ(result.m_strError,
        "Cannot read the folder " + (m_dir / "missing").string() + ": No such file or directory");

    Write(m_src / "a.txt", "a");
    result = BuildLockedArchive(m_src / "a.txt", kPassword, m_zip);
    EXPECT_EQ(result.m_strError, (m_src / "a.txt").string() + " is not a folder");

    result = BuildLockedArchive(m_src, kPassword, m_dir / "no" / "gift.zip");
    EXPECT_EQ(result.m_outcome, EPublishOutcome::Failed);
    EXPECT_EQ(result.m_strError,
        "Cannot create " + (m_dir / "no" / "gift.zip").string() + ": No such file or directory");
    EXPECT_FALSE(fs::exists(m_dir / "no"));

    fs::create_directories(m_dir / "taken.zip");
    result = BuildLockedArchive(m_src, kPassword, m_dir / "taken.zip");
    EXPECT_EQ(
        result.m_strError, "Cannot write the archive " + (m_dir / "taken.zip").string() + ": it is a folder");
    EXPECT_TRUE(fs::is_empty(m_dir / "taken.zip"));
}
