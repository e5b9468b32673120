// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/CompressionQueue.h"

#include <algorithm>
#include <chrono>

namespace {

// How often a waiting TakeNext hears from its caller (progress, cancel).
constexpr std::chrono::milliseconds kWaitSlice { 50 };

} // namespace

CCompressionQueue::CCompressionQueue(
    size_t nCount, OpenFn open, std::filesystem::path spillFolder, unsigned nThreads)
    : m_nCount(nCount)
    , m_open(std::move(open))
{
    if (nThreads == 0) {
        nThreads = std::clamp(std::thread::hardware_concurrency(), 1U, kMaxDefaultThreads);
    }
    nThreads = static_cast<unsigned>(std::min<size_t>(nThreads, std::max<size_t>(nCount, 1)));
    m_nWindow = nThreads;
    m_threads.reserve(nThreads);
    try {
        for (unsigned i = 0; i < nThreads; ++i) {
            m_threads.emplace_back([this, spillFolder] { Work(spillFolder); });
        }
    } catch (...) {
        Cancel();
        throw;
    }
}

CCompressionQueue::~CCompressionQueue()
{
    Cancel();
}

void CCompressionQueue::Cancel()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bCancelled = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

bool CCompressionQueue::MayClaim() const
{
    const size_t nAhead = m_nNextClaim - m_nNextTake;
    return nAhead < m_nWindow || (nAhead < m_nWindow + kMaxLookahead && m_nWaitingBytes < kMaxWaitingBytes);
}

void CCompressionQueue::Work(std::filesystem::path spillFolder)
{
    std::unique_ptr<CFileCompressor> pCompressor;
    for (;;) {
        size_t nIndex = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_bCancelled || m_nNextClaim >= m_nCount || MayClaim(); });
            if (m_bCancelled || m_nNextClaim >= m_nCount) {
                return;
            }
            nIndex = m_nNextClaim++;
        }
        CSlot slot;
        try {
            if (!pCompressor) {
                pCompressor = std::make_unique<CFileCompressor>(spillFolder);
            }
            std::unique_ptr<IZipSource> pSource = m_open(nIndex);
            slot.m_result.m_file = pCompressor->Compress(*pSource, [this](size_t nRead) {
                m_nBytesRead.fetch_add(nRead, std::memory_order_relaxed);
                return !m_bCancelled.load(std::memory_order_relaxed);
            });
        } catch (const CZipSourceError& e) {
            slot.m_result.m_file.reset();
            slot.m_result.m_strSourceError = e.what();
        } catch (...) {
            slot.m_pError = std::current_exception();
        }
        if (slot.m_result.m_file && slot.m_result.m_file->m_data.IsInMemory()) {
            slot.m_nMemory = slot.m_result.m_file->m_data.Size();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_nWaitingBytes += slot.m_nMemory;
            m_done.emplace(nIndex, std::move(slot));
        }
        m_changed.notify_all();
    }
}

std::optional<CCompressionQueue::CResult> CCompressionQueue::TakeNext(const std::function<bool()>& onWait)
{
    std::unique_lock lock(m_mutex);
    const size_t nIndex = m_nNextTake;
    if (nIndex >= m_nCount) {
        throw std::logic_error("Every item of the compression queue has been taken");
    }
    for (;;) {
        if (m_bCancelled) {
            return std::nullopt;
        }
        if (m_changed.wait_for(lock, kWaitSlice, [&] { return m_bCancelled || m_done.contains(nIndex); })) {
            if (m_bCancelled) {
                return std::nullopt;
            }
            break;
        }
        if (onWait) {
            lock.unlock();
            const bool bGoOn = onWait();
            lock.lock();
            if (!bGoOn) {
                lock.unlock();
                Cancel();
                return std::nullopt;
            }
        }
    }
    CSlot slot = std::move(m_done.extract(nIndex).mapped());
    ++m_nNextTake;
    m_nWaitingBytes -= slot.m_nMemory;
    lock.unlock();
    m_changed.notify_all();
    if (slot.m_pError) {
        std::rethrow_exception(slot.m_pError);
    }
    // One more word with the caller, so that it hears of the bytes this item brought.
    if (onWait && !onWait()) {
        Cancel();
        return std::nullopt;
    }
    return std::move(slot.m_result);
}
