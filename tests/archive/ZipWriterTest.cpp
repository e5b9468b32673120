// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ZipWriter.h"
#include "archive/CompressionQueue.h"
#include "archive/DosDateTime.h"
#include "archive/FileCompressor.h"
#include "archive/SpillBuffer.h"
#include "tests/archive/ZipTestReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// An archive in memory; with a budget, writing past that many bytes fails as a full disk would.
class CMemorySink : public IZipSink {
public:
    explicit CMemorySink(uint64_t nBudget = UINT64_MAX)
        : m_nBudget(nBudget)
    {
    }
    void Write(std::span<const uint8_t> bytes) override
    {
        if (m_nOffset + bytes.size() > m_nBudget) {
            throw std::runtime_error("Cannot write test.zip: No space left on device");
        }
        if (m_bytes.size() < m_nOffset + bytes.size()) {
            m_bytes.resize(m_nOffset + bytes.size());
        }
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_nOffset));
        m_nOffset += bytes.size();
    }
    [[nodiscard]] uint64_t Tell() const override { return m_nOffset; }
    void Seek(uint64_t nOffset) override { m_nOffset = nOffset; }

    std::vector<uint8_t> m_bytes;

private:
    uint64_t m_nBudget;
    uint64_t m_nOffset = 0;
};

// Bytes handed out in small, uneven reads; optionally failing after some of them.
class CMemorySource : public IZipSource {
public:
    explicit CMemorySource(std::vector<uint8_t> bytes, size_t nFailAt = SIZE_MAX)
        : m_bytes(std::move(bytes))
        , m_nFailAt(nFailAt)
    {
    }
    [[nodiscard]] size_t Read(std::span<uint8_t> buffer) override
    {
        if (m_nOffset >= m_nFailAt) {
            throw CZipSourceError("cannot be read: Input/output error");
        }
        const size_t n = std::min({ buffer.size(), m_bytes.size() - m_nOffset, size_t { 70001 } });
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_nOffset), n, buffer.begin());
        m_nOffset += n;
        return n;
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_nFailAt;
    size_t m_nOffset = 0;
};

std::vector<uint8_t> RandomBytes(size_t n, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

std::vector<uint8_t> TextBytes(size_t n)
{
    const std::string line = "The quick brown fox jumps over the lazy dog. ";
    std::vector<uint8_t> bytes;
    while (bytes.size() < n) {
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    bytes.resize(n);
    return bytes;
}

class ZipWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
            ("archive_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        // Local time is what the headers hold: fix it so the expected dates are plain.
        const char* tz = std::getenv("TZ");
        m_strOldTz = tz ? std::optional<std::string>(tz) : std::nullopt;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (m_strOldTz) {
            ::setenv("TZ", m_strOldTz->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
        fs::remove_all(m_dir);
    }

    CCompressedFile Compress(const std::vector<uint8_t>& bytes, size_t nMemory = kCompressedInMemory)
    {
        CFileCompressor compressor(m_dir, nMemory);
        CMemorySource source(bytes);
        std::optional<CCompressedFile> file = compressor.Compress(source);
        EXPECT_TRUE(file.has_value());
        return std::move(*file);
    }

    fs::path m_dir;
    std::optional<std::string> m_strOldTz;
};

// 2001-02-03 04:05:06 UTC.
constexpr int64_t kSomeMoment = 981173106;
constexpr uint32_t kSomeMomentDos = (21U << 25) | (2U << 21) | (3U << 16) | (4U << 11) | (5U << 5) | 3U;

} // namespace

TEST_F(ZipWriterTest, LockedArchiveRecordsAreWhatUnzipToolsNeed)
{
    const std::vector<uint8_t> random = RandomBytes(300000, 1);
    const std::vector<uint8_t> text = TextBytes(500000);
    const std::string strPassword = "p\xC3\xA4ss";
    CMemorySink sink;
    CZipWriter writer(sink, strPassword);
    writer.AddFolder({ "Fotos \xC3\xA9t\xC3\xA9/", kSomeMoment, 0755 });
    CCompressedFile randomFile = Compress(random);
    writer.AddFile({ "Fotos \xC3\xA9t\xC3\xA9/random.bin", kSomeMoment, 04755 }, randomFile);
    CCompressedFile textFile = Compress(text);
    writer.AddFile({ "text.txt", kSomeMoment, 0600 }, textFile);
    CCompressedFile emptyFile = Compress({});
    writer.AddFile({ "empty", 0, 0644 }, emptyFile);
    writer.Finish();
    EXPECT_EQ(writer.EntryCount(), 4U);

    const ziptest::CArchive archive = ziptest::Read(sink.m_bytes);
    ASSERT_EQ(archive.entries.size(), 4U);
    EXPECT_EQ(archive.endEntryCount, 4);
    EXPECT_EQ(archive.commentLength, 0);
    const std::vector<std::vector<uint8_t>> contents { {}, random, text, {} };
    const std::vector<uint32_t> modes { 040755, 0100755, 0100600, 0100644 };
    for (size_t i = 0; i < archive.entries.size(); ++i) {
        const ziptest::CEntry& e = archive.entries[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.versionMadeBy, 0x031E);
        EXPECT_EQ(e.versionNeeded, 20);
        // Locked, UTF-8; no data descriptor: sizes and CRC are in the local header.
        EXPECT_EQ(e.flags, 0x0801);
        EXPECT_EQ(e.localFlags, e.flags);
        EXPECT_EQ(e.localCrc, e.crc);
        EXPECT_EQ(e.localCompressedSize, e.compressedSize);
        EXPECT_EQ(e.localSize, e.size);
        EXPECT_EQ(e.extraLength, 0);
        EXPECT_EQ(e.localExtraLength, 0);
        EXPECT_EQ(e.commentLength, 0);
        EXPECT_EQ(e.externalAttributes >> 16, modes[i]);
        EXPECT_EQ(e.externalAttributes & 0xFFFF, i == 0 ? 0x10U : 0U);
        EXPECT_EQ(e.method, i == 0 ? 0 : 8);
        EXPECT_EQ(e.size, contents[i].size());
        EXPECT_EQ(ziptest::Content(e, strPassword), contents[i]);
        EXPECT_THROW((void)ziptest::Content(e, "wrong"), std::runtime_error);
    }
    EXPECT_EQ(archive.entries[0].name, "Fotos \xC3\xA9t\xC3\xA9/");
    EXPECT_EQ(archive.entries[0].compressedSize, 12U); // a locked folder is its header alone
    EXPECT_EQ(archive.entries[0].dosDateTime, kSomeMomentDos);
    EXPECT_EQ(archive.entries[3].dosDateTime, ToDosDateTime(0));
    EXPECT_LT(archive.entries[2].compressedSize, text.size() / 10);

    // The random header differs from archive to archive, so equal files do not give equal bytes.
    CMemorySink again;
    CZipWriter second(again, strPassword);
    CCompressedFile textAgain = Compress(text);
    second.AddFile({ "text.txt", kSomeMoment, 0600 }, textAgain);
    second.Finish();
    EXPECT_NE(ziptest::Read(again.m_bytes).entries[0].stored, archive.entries[2].stored);
}

TEST_F(ZipWriterTest, WithoutPasswordNothingIsLockedAndLargeFilesSpill)
{
    const std::vector<uint8_t> random = RandomBytes(1500000, 2);
    CMemorySink sink;
    CZipWriter writer(sink, "");
    writer.AddFolder({ "a/", kSomeMoment, 0700 });
    // A small memory limit sends the compressed data to a temporary file, which goes with it.
    CCompressedFile file = Compress(random, 64 * 1024);
    EXPECT_FALSE(file.m_data.IsInMemory());
    writer.AddFile({ "a/r.bin", kSomeMoment, 0644 }, file);
    writer.Finish();
    const ziptest::CArchive archive = ziptest::Read(sink.m_bytes);
    ASSERT_EQ(archive.entries.size(), 2U);
    EXPECT_EQ(archive.entries[0].flags, 0x0800);
    EXPECT_EQ(archive.entries[0].compressedSize, 0U);
    EXPECT_EQ(archive.entries[1].flags, 0x0800);
    EXPECT_EQ(ziptest::Content(archive.entries[1], ""), random);
    EXPECT_TRUE(fs::is_empty(m_dir)); // the spill file never had a name (or lost it at once)

    // An empty archive is the end record alone.
    CMemorySink emptySink;
    CZipWriter empty(emptySink, "pw");
    empty.Finish();
    EXPECT_EQ(emptySink.m_bytes.size(), 22U);
    EXPECT_THROW(empty.AddFolder({ "late/", 0, 0755 }), std::logic_error);
}

TEST_F(ZipWriterTest, NamesThatWouldNotComeOutRightAreRefused)
{
    CMemorySink sink;
    CZipWriter writer(sink, "pw");
    for (const char* name : { "", "/", "/etc/passwd", "../up", "a/../b", "a//b", "./a", "a/.", "bad\xC3" }) {
        EXPECT_THROW(writer.AddFolder({ std::string(name) + "/", 0, 0755 }), std::invalid_argument) << name;
    }
    CCompressedFile file = Compress(TextBytes(10));
    EXPECT_THROW(writer.AddFile({ "folder-like/", 0, 0644 }, file), std::invalid_argument);
    EXPECT_THROW(writer.AddFolder({ "no-slash", 0, 0755 }), std::invalid_argument);
    EXPECT_THROW(writer.AddFile({ std::string("nul\0x", 5), 0, 0644 }, file), std::invalid_argument);
    EXPECT_THROW(writer.AddFile({ std::string(70000, 'n'), 0, 0644 }, file), std::invalid_argument);
    EXPECT_EQ(writer.EntryCount(), 0U);
    EXPECT_EQ(sink.Tell(), 0U); // refused before anything was written
    writer.AddFile({ "ok/\xE2\x82\xAC.txt", 0, 0644 }, file);
    writer.Finish();
    EXPECT_EQ(ziptest::Read(sink.m_bytes).entries.at(0).name, "ok/\xE2\x82\xAC.txt");

    EXPECT_TRUE(IsUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\x81"));
    EXPECT_FALSE(IsUtf8("\xC0\xAF")); // overlong "/"
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsUtf8("\xE9t\xE9")); // Latin-1
}

TEST_F(ZipWriterTest, LimitsAreRefusedBeforeTheEntryIsWritten)
{
    // The entry count: the end record has 16 bits for it.
    CMemorySink sink;
    CZipWriter writer(sink, "");
    for (size_t i = 0; i < kMaxZipEntries; ++i) {
        writer.AddFolder({ std::to_string(i) + "/", 0, 0755 });
    }
    const uint64_t nBefore = sink.Tell();
    try {
        writer.AddFolder({ "one-too-many/", 0, 0755 });
        FAIL() << "the 65536th entry went in";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("at most 65535"), std::string::npos) << e.what();
    }
    EXPECT_EQ(sink.Tell(), nBefore);
    writer.Finish();
    EXPECT_EQ(ziptest::Read(sink.m_bytes).endEntryCount, 65535);

    // The archive size, with a small limit in place of 4 GiB: the entry that would pass it is refused
    // whole, and what was written before stays a complete archive.
    const std::vector<uint8_t> random = RandomBytes(5000, 3);
    CMemorySink small;
    CZipWriter limited(small, "pw", 9000);
    CCompressedFile first = Compress(random);
    limited.AddFile({ "first.bin", 0, 0644 }, first);
    CCompressedFile second = Compress(random);
    const uint64_t nFirstEnd = small.Tell();
    try {
        limited.AddFile({ "second.bin", 0, 0644 }, second);
        FAIL() << "the archive grew past its limit";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("9000 bytes"), std::string::npos) << e.what();
    }
    EXPECT_EQ(small.Tell(), nFirstEnd);
    limited.Finish();
    EXPECT_LE(small.m_bytes.size(), 9000U);
    EXPECT_EQ(ziptest::Content(ziptest::Read(small.m_bytes).entries.at(0), "pw"), random);
}

TEST_F(ZipWriterTest, AFailingSinkFailsTheArchiveWithItsMessage)
{
    const std::vector<uint8_t> random = RandomBytes(20000, 5);
    const auto write = [&](CMemorySink& sink) {
        CZipWriter writer(sink, "pw");
        writer.AddFolder({ "f/", 0, 0755 });
        CCompressedFile file = Compress(random);
        writer.AddFile({ "f/r.bin", 0, 0644 }, file);
        writer.Finish();
    };
    CMemorySink whole;
    write(whole);
    const uint64_t nSize = whole.m_bytes.size();
    // Fail at every stage: the first local header, the folder, the file's header and data, the
    // central directory, the end record's last byte.
    for (uint64_t nBudget = 0; nBudget < nSize;
         nBudget += (nBudget < 200 || nBudget > nSize - 200) ? 1 : 997) {
        SCOPED_TRACE(nBudget);
        CMemorySink sink(nBudget);
        try {
            write(sink);
            ADD_FAILURE() << "the archive was written into " << nBudget << " bytes";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Cannot write test.zip: No space left on device");
        }
    }
}

TEST_F(ZipWriterTest, CompressorReportsSourceFailuresAndCancels)
{
    CFileCompressor compressor(m_dir);
    CMemorySource failing(TextBytes(500000), 140002);
    EXPECT_THROW((void)compressor.Compress(failing), CZipSourceError);

    // The compressor keeps working after a failure, and onRead can stop it.
    CMemorySource stopped(TextBytes(500000));
    uint64_t nSeen = 0;
    EXPECT_FALSE(compressor.Compress(stopped, [&](size_t n) {
        nSeen += n;
        return nSeen < 100000;
    }));
    CMemorySource whole(TextBytes(500000));
    uint64_t nRead = 0;
    std::optional<CCompressedFile> file = compressor.Compress(whole, [&](size_t n) {
        nRead += n;
        return true;
    });
    ASSERT_TRUE(file);
    EXPECT_EQ(file->m_nSize, 500000U);
    EXPECT_EQ(nRead, 500000U);
    const std::vector<uint8_t> text = TextBytes(500000);
    EXPECT_EQ(file->m_nCrc, static_cast<uint32_t>(crc32(0, text.data(), static_cast<uInt>(text.size()))));

    // The spill buffer reads back what went in, from memory and from its file alike.
    for (size_t nLimit : { size_t { 1U << 20 }, size_t { 1000 } }) {
        CSpillBuffer buffer(m_dir, nLimit);
        const std::vector<uint8_t> bytes = RandomBytes(300000, 4);
        buffer.Append(std::span(bytes).first(123));
        buffer.Append(std::span(bytes).subspan(123));
        EXPECT_EQ(buffer.IsInMemory(), nLimit > bytes.size());
        std::vector<uint8_t> back;
        std::vector<uint8_t> block(7777);
        for (int pass = 0; pass < 2; ++pass) {
            back.clear();
            buffer.Rewind();
            while (const size_t n = buffer.Read(block)) {
                back.insert(back.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
            }
            EXPECT_EQ(back, bytes);
        }
    }
}

TEST_F(ZipWriterTest, QueueHandsResultsBackInOrder)
{
    constexpr size_t kCount = 40;
    std::vector<std::vector<uint8_t>> files;
    for (size_t i = 0; i < kCount; ++i) {
        files.push_back(RandomBytes(1000 + 3000 * (i % 7), static_cast<unsigned>(i)));
    }
    std::atomic<int> nOpen = 0;
    for (unsigned nThreads : { 1U, 3U }) {
        SCOPED_TRACE(nThreads);
        CCompressionQueue queue(
            kCount,
            [&](size_t i) -> std::unique_ptr<IZipSource> {
                ++nOpen;
                if (i == 5) {
                    throw CZipSourceError("cannot be read: Permission denied");
                }
                return std::make_unique<CMemorySource>(files[i], i == 9 ? 1000 : SIZE_MAX);
            },
            m_dir, nThreads);
        uint64_t nBytes = 0;
        for (size_t i = 0; i < kCount; ++i) {
            std::optional<CCompressionQueue::CResult> result = queue.TakeNext([] { return true; });
            ASSERT_TRUE(result);
            if (i == 5 || i == 9) {
                EXPECT_FALSE(result->m_file);
                EXPECT_EQ(result->m_strSourceError,
                    i == 5 ? "cannot be read: Permission denied" : "cannot be read: Input/output error");
                continue;
            }
            ASSERT_TRUE(result->m_file) << result->m_strSourceError;
            EXPECT_EQ(result->m_file->m_nSize, files[i].size());
            nBytes += files[i].size();
        }
        EXPECT_GE(queue.BytesRead(), nBytes);
    }

    // A cancel from the waiting side stops the workers; nothing more comes out.
    CCompressionQueue queue(
        kCount, [&](size_t i) { return std::make_unique<CMemorySource>(files[i]); }, m_dir, 2);
    ASSERT_TRUE(queue.TakeNext());
    EXPECT_FALSE(queue.TakeNext([] { return false; }));
    EXPECT_FALSE(queue.TakeNext());
}

TEST_F(ZipWriterTest, DosDatesCoverTheirRangeOnly)
{
    EXPECT_EQ(ToDosDateTime(kSomeMoment), kSomeMomentDos);
    EXPECT_EQ(ToDosDateTime(kSomeMoment + 1), kSomeMomentDos); // two-second steps
    const uint32_t nEarliest = (1U << 21) | (1U << 16);
    EXPECT_EQ(ToDosDateTime(0), nEarliest);
    EXPECT_EQ(ToDosDateTime(-1000000000), nEarliest);
    EXPECT_EQ(ToDosDateTime(315532800), nEarliest); // 1980-01-01 itself
    EXPECT_EQ(ToDosDateTime(int64_t { 4354819200 }), // 2108-01-01
        (127U << 25) | (12U << 21) | (31U << 16) | (23U << 11) | (59U << 5) | 29U);
}
