// SPDX-License-Identifier: GPL-3.0-or-later
// The locked ZIP of a 200 MB folder made at bench time (150 MB incompressible in 120 files, 50 MB of
// text in 100, on two levels of folders), against Info-ZIP's "zip -e -r -P" packing the same folder
// in the same run. MARROWLARK_BENCH_FOLDER names a folder to make it in and keep (made once, then
// reused), for timing the command-line tool on it from outside.
#include "publish/LockedArchive.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRandomFiles = 120;
constexpr size_t kRandomFileSize = 150U * 1024 * 1024 / kRandomFiles;
constexpr int kTextFiles = 100;
constexpr size_t kTextFileSize = 50U * 1024 * 1024 / kTextFiles;
const std::string kPassword = "bench p\xC3\xA4sswort";

// A fast generator: the folder's 150 MB of noise should not take longer to make than to pack.
class CXorShift {
public:
    explicit CXorShift(uint64_t nSeed)
        : m_nState(nSeed | 1)
    {
    }
    uint64_t Next()
    {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 7;
        m_nState ^= m_nState << 17;
        return m_nState;
    }

private:
    uint64_t m_nState;
};

void WriteNoise(const fs::path& path, size_t nSize, CXorShift& random)
{
    std::vector<uint64_t> words((nSize + 7) / 8);
    for (uint64_t& w : words) {
        w = random.Next();
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()), static_cast<std::streamsize>(nSize));
}

// Prose-like text: words of a small vocabulary in random order, in lines, compressing about as
// well as real text does.
void WriteText(const fs::path& path, size_t nSize, CXorShift& random)
{
    static const std::array<const char*, 32> kWords { "the", "gift", "of", "a", "card", "with", "music",
        "and", "pictures", "for", "you", "my", "friend", "happy", "birthday", "from", "all", "of", "us", "in",
        "summer", "winter", "garden", "house", "we", "love", "your", "letter", "again", "soon", "remember",
        "always" };
    std::string text;
    text.reserve(nSize + 16);
    int nColumn = 0;
    while (text.size() < nSize) {
        const char* word = kWords[random.Next() % kWords.size()];
        text += word;
        nColumn += static_cast<int>(std::char_traits<char>::length(word)) + 1;
        if (nColumn > 70) {
            text += ".\n";
            nColumn = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(nSize);
    std::ofstream(path, std::ios::binary) << text;
}

// Two levels: four album folders with three sets each; the files are spread over the twelve sets.
void MakeFolder(const fs::path& folder)
{
    CXorShift random(2024);
    const auto setOf = [&](int i) {
        const fs::path set = folder / ("Album " + std::to_string(i % 4)) / ("Set " + std::to_string(i % 3));
        fs::create_directories(set);
        return set;
    };
    for (int i = 0; i < kRandomFiles; ++i) {
        WriteNoise(setOf(i) / ("photo" + std::to_string(i) + ".jpg"), kRandomFileSize, random);
    }
    for (int i = 0; i < kTextFiles; ++i) {
        WriteText(setOf(i) / ("letter" + std::to_string(i) + ".txt"), kTextFileSize, random);
    }
}

struct CFixture {
    fs::path root;
    fs::path folder;
    bool bKeep = false;

    CFixture()
    {
        if (const char* kept = std::getenv("MARROWLARK_BENCH_FOLDER"); kept && *kept) {
            root = kept;
            bKeep = true;
        } else {
            root = fs::temp_directory_path() / ("locked_archive_bench_" + std::to_string(::getpid()));
        }
        folder = root / "Gift";
        const fs::path done = root / "made";
        if (!fs::exists(done)) {
            fs::remove_all(folder);
            MakeFolder(folder);
            std::ofstream(done) << "made\n";
        }
    }
    ~CFixture()
    {
        std::error_code error;
        fs::remove(root / "ours.zip", error);
        fs::remove(root / "zip.zip", error);
        if (!bKeep) {
            fs::remove_all(root, error);
        }
    }
    CFixture(const CFixture&) = delete;
    CFixture& operator=(const CFixture&) = delete;
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

constexpr int64_t kFolderBytes =
    static_cast<int64_t>(kRandomFiles * kRandomFileSize + kTextFiles * kTextFileSize);

// Peak resident memory of this process, in MB.
double PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// CPU time in milliseconds of this process, all its threads (the CPU column counts the main thread
// only), or of its finished children: the command's own. (A child's peak memory cannot be had
// here: forked from this process, it counts this process's pages until it runs the command.)
double CpuMilliseconds(int nWho)
{
    rusage usage {};
    getrusage(nWho, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void BM_LockedArchive(benchmark::State& state)
{
    CFixture& fixture = Fixture();
    const fs::path out = fixture.root / "ours.zip";
    const double nCpuBefore = CpuMilliseconds(RUSAGE_SELF);
    for (auto _ : state) {
        const CPublishResult result = BuildLockedArchive(fixture.folder, kPassword, out);
        if (!result.IsWritten() || !result.m_leftOut.empty()) {
            state.SkipWithError(("the archive failed: " + result.m_strError).c_str());
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * kFolderBytes);
    state.counters["archive_mb"] = static_cast<double>(fs::file_size(out)) / 1e6;
    // The process's peak includes the benchmark's own start-up and the folder's making (in pieces
    // of at most one file).
    state.counters["peak_rss_mb"] = PeakMegabytes();
    state.counters["process_cpu_ms"] =
        (CpuMilliseconds(RUSAGE_SELF) - nCpuBefore) / static_cast<double>(state.iterations());
}

// Info-ZIP's zip, on the same folder with the same password; an older archive is removed first, as
// zip would otherwise only update it.
void BM_InfoZipCommand(benchmark::State& state)
{
    CFixture& fixture = Fixture();
    const fs::path out = fixture.root / "zip.zip";
    const std::string line = "cd '" + fixture.folder.string() + "' && zip -q -r -e -P '" + kPassword + "' '" +
        out.string() + "' . >/dev/null 2>&1";
    if (std::system("command -v zip >/dev/null 2>&1") != 0) {
        state.SkipWithError("zip is not installed");
        return;
    }
    const double nCpuBefore = CpuMilliseconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(out);
        state.ResumeTiming();
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError("zip failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * kFolderBytes);
    state.counters["archive_mb"] = static_cast<double>(fs::file_size(out)) / 1e6;
    state.counters["command_cpu_ms"] =
        (CpuMilliseconds(RUSAGE_CHILDREN) - nCpuBefore) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_LockedArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_InfoZipCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
