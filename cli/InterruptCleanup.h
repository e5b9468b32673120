// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

// While it lives, INT and TERM end the program only after the scratch files of picture work are
// removed: the two signals are blocked in this thread (and in the threads it starts), and a thread of
// its own waits for them, cleans up, says so on standard error and ends the process by the same
// signal, as if it had not been caught. A signal the program was started to ignore stays ignored.
class CInterruptCleanup {
public:
    CInterruptCleanup();
    ~CInterruptCleanup();
    CInterruptCleanup(const CInterruptCleanup&) = delete;
    CInterruptCleanup& operator=(const CInterruptCleanup&) = delete;

private:
    void Wait();

    sigset_t m_signals {};
    sigset_t m_previousMask {};
    std::atomic<bool> m_bStopping { false };
    std::thread m_thread;
};
