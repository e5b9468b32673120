// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/InterruptCleanup.h"

#include "imaging/Scratch.h"

#include <pthread.h>
#include <unistd.h>

namespace {

bool IsIgnored(int nSignal)
{
    struct sigaction current { };
    return sigaction(nSignal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

CInterruptCleanup::CInterruptCleanup()
{
    sigemptyset(&m_signals);
    for (const int nSignal : { SIGINT, SIGTERM }) {
        if (!IsIgnored(nSignal)) {
            sigaddset(&m_signals, nSignal);
        }
    }
    pthread_sigmask(SIG_BLOCK, &m_signals, &m_previousMask);
    m_thread = std::thread([this] { Wait(); });
}

CInterruptCleanup::~CInterruptCleanup()
{
    // Wakes the waiting thread with a signal of its set, which it then takes for the end.
    m_bStopping = true;
    if (sigismember(&m_signals, SIGTERM) == 1 || sigismember(&m_signals, SIGINT) == 1) {
        pthread_kill(m_thread.native_handle(), sigismember(&m_signals, SIGTERM) == 1 ? SIGTERM : SIGINT);
    }
    m_thread.join();
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

void CInterruptCleanup::Wait()
{
    if (sigismember(&m_signals, SIGTERM) != 1 && sigismember(&m_signals, SIGINT) != 1) {
        return; // both ignored: nothing to wait for
    }
    int nSignal = 0;
    while (sigwait(&m_signals, &nSignal) != 0) { }
    if (m_bStopping) {
        return;
    }
    imaging::removeScratchFiles();
    static constexpr char kMessage[] =
        "marrowlark-cli: interrupted; the scratch files of the build are removed\n";
    (void)!::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    // The default action of the signal ends the process with it, as if it had never been caught.
    std::signal(nSignal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, nSignal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    std::raise(nSignal);
    ::_exit(128 + nSignal);
}
