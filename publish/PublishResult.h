// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Progress of a long piece of publishing work: nDone of nTotal units (bytes of an archive, pictures
// of an album). Called from the thread that does the work; returning false cancels it.
using PublishProgressFn = std::function<bool(uint64_t nDone, uint64_t nTotal)>;

// One item that was left out of an output, and why (a sentence for people: "a special file",
// "cannot be read: Permission denied", ...).
struct CLeftOut {
    std::filesystem::path m_path;
    std::string m_strReason;
};

enum class EPublishOutcome {
    Written, // the output is complete at its path (some items may have been left out)
    Cancelled, // the progress callback cancelled: no output written, an older file kept
    Failed, // nothing could be written: m_strError says why; an older file kept
};

struct CPublishResult {
    EPublishOutcome m_outcome = EPublishOutcome::Failed;
    // Items that were not packed or not added, in the order they were met.
    std::vector<CLeftOut> m_leftOut;
    // Why the output was not written (Failed only).
    std::string m_strError;
    // The entries or pictures that went in.
    size_t m_nAdded = 0;

    [[nodiscard]] bool IsWritten() const { return m_outcome == EPublishOutcome::Written; }
};
