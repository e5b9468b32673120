// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/FileCompressor.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Compresses a list of sources on worker threads and hands the results back in list order, so a
// writer can add them one by one while the next are being deflated. Memory stays bounded whatever
// the count: each worker has one item in hand, and finished items wait beyond that only while they
// are few and small (a folder of small files then does not wait on the hand-over).
class CCompressionQueue {
public:
    // Opens source nIndex; called on a worker. May throw CZipSourceError (the item is then
    // reported as failed) or anything else (handed to Take's caller).
    using OpenFn = std::function<std::unique_ptr<IZipSource>(size_t nIndex)>;

    struct CResult {
        std::optional<CCompressedFile> m_file; // empty when the source failed
        std::string m_strSourceError; // why, a CZipSourceError's message
    };

    // Worker threads used when no count is given: the processors, at most kMaxDefaultThreads.
    static constexpr unsigned kMaxDefaultThreads = 4;
    // Finished items that may wait beyond one a worker, and the memory they may hold together.
    static constexpr size_t kMaxLookahead = 64;
    static constexpr uint64_t kMaxWaitingBytes = 512U * 1024;

    CCompressionQueue(size_t nCount, OpenFn open, std::filesystem::path spillFolder, unsigned nThreads = 0);
    ~CCompressionQueue();
    CCompressionQueue(const CCompressionQueue&) = delete;
    CCompressionQueue& operator=(const CCompressionQueue&) = delete;

    // Waits for the next item in order. While it waits, onWait is called now and then (and once
    // before returning); when it returns false the work is cancelled and the result is empty. A
    // failure of a worker other than its source's is rethrown here.
    [[nodiscard]] std::optional<CResult> TakeNext(const std::function<bool()>& onWait = {});

    // Bytes read from the sources so far, by all workers.
    [[nodiscard]] uint64_t BytesRead() const { return m_nBytesRead.load(std::memory_order_relaxed); }

    // Stops the workers at their next block and waits for them.
    void Cancel();

private:
    struct CSlot {
        CResult m_result;
        std::exception_ptr m_pError;
        uint64_t m_nMemory = 0; // bytes of the result held in memory
    };

    [[nodiscard]] bool MayClaim() const;

    void Work(std::filesystem::path spillFolder);

    size_t m_nCount;
    OpenFn m_open;
    size_t m_nWindow;
    std::atomic<uint64_t> m_nBytesRead { 0 };
    std::atomic<bool> m_bCancelled { false };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_nNextClaim = 0; // guarded by m_mutex
    size_t m_nNextTake = 0; // guarded by m_mutex
    uint64_t m_nWaitingBytes = 0; // guarded by m_mutex: memory of the finished items not taken
    std::map<size_t, CSlot> m_done; // guarded by m_mutex
    std::vector<std::thread> m_threads;
};
