// SPDX-License-Identifier: GPL-3.0-or-later
// The progress runner: the work on a worker thread, the figures on the dialog, Cancel as the
// callback's answer, and the runner waiting for the work whatever the user does.
#include "editor/progress/ProgressRunner.h"

#include "editor/progress/ProgressDialog.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using editortest::PressCancel;
using editortest::WhenModalOpen;

// Waits on the worker until the flag is set by the UI thread; false after a few seconds.
bool WaitFor(const std::atomic<bool>& bFlag)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!bFlag) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

QString DialogLabel(QWidget& dialog)
{
    auto* pLabel = dialog.findChild<QLabel*>();
    return pLabel != nullptr ? pLabel->text() : QString();
}

TEST(ProgressRunner, RunsTheWorkOffTheUiThreadWhileTheDialogShowsItsFigures)
{
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<std::pair<uint64_t, uint64_t>> shown;
    bool bLabelOnUiThread = true;
    CProgressRunner runner(nullptr, QStringLiteral("Packing"), [&](uint64_t nDone, uint64_t nTotal) {
        bLabelOnUiThread = bLabelOnUiThread && std::this_thread::get_id() == uiThread;
        shown.emplace_back(nDone, nTotal);
        return QStringLiteral("%1 of %2").arg(nDone).arg(nTotal);
    });

    std::atomic<bool> bSeen { false };
    QString strTitle;
    QString strFirstLabel;
    WhenModalOpen<CProgressDialog>([&](CProgressDialog& dialog) {
        strTitle = dialog.windowTitle();
        strFirstLabel = DialogLabel(dialog);
        bSeen = true;
    });
    std::thread::id workThread;
    std::vector<bool> answers;
    const bool bCompleted = runner.Run([&](const PublishProgressFn& progress) {
        workThread = std::this_thread::get_id();
        // The dialog is up and the UI thread runs while the work waits.
        EXPECT_TRUE(WaitFor(bSeen));
        for (uint64_t n = 0; n <= 10; ++n) {
            answers.push_back(progress(n, 10));
        }
    });

    EXPECT_TRUE(bCompleted);
    EXPECT_NE(workThread, uiThread);
    EXPECT_EQ(strTitle, QStringLiteral("Packing"));
    EXPECT_EQ(strFirstLabel, QStringLiteral("0 of 0"));
    EXPECT_EQ(answers, std::vector<bool>(11, true));
    EXPECT_TRUE(bLabelOnUiThread);
    // Updates may be merged, the last figures always reach the dialog.
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), (std::pair<uint64_t, uint64_t>(10, 10)));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ProgressRunner, CancelIsTheCallbacksAnswerAndTheRunnerWaitsForTheWork)
{
    CProgressRunner runner(nullptr, QStringLiteral("Album"), [](uint64_t nDone, uint64_t nTotal) {
        return QStringLiteral("picture %1 of %2").arg(nDone).arg(nTotal);
    });
    bool bStillOpen = false;
    QString strLabel;
    WhenModalOpen<CProgressDialog>([&](CProgressDialog& dialog) {
        PressCancel(dialog);
        // Escape and the close button do not take the dialog away from the running work either.
        dialog.reject();
        dialog.close();
        bStillOpen = dialog.isVisible();
        strLabel = DialogLabel(dialog);
    });
    std::atomic<bool> bWorkEnded { false };
    uint64_t nCalls = 0;
    const bool bCompleted = runner.Run([&](const PublishProgressFn& progress) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (progress(++nCalls, 1000000) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(100us);
        }
        // Tidying up after the cancel takes a moment; the runner waits for it.
        std::this_thread::sleep_for(50ms);
        bWorkEnded = true;
    });
    EXPECT_FALSE(bCompleted);
    EXPECT_TRUE(bWorkEnded);
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(strLabel, QStringLiteral("Cancelling..."));
    EXPECT_LT(nCalls, 1000000U);
}

TEST(ProgressRunner, ByteCountsBeyondIntAreShownAsAShare)
{
    CProgressRunner runner(nullptr, QStringLiteral("Packing"), {});
    std::atomic<bool> bHalfway { false };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* pDialog = qobject_cast<CProgressDialog*>(QApplication::activeModalWidget());
        if (pDialog != nullptr && pDialog->value() == CProgressRunner::kBarSteps / 2) {
            bHalfway = true;
        }
    });
    poll.start(5);
    runner.Run([&](const PublishProgressFn& progress) {
        progress(3'000'000'000ULL, 6'000'000'000ULL);
        EXPECT_TRUE(WaitFor(bHalfway));
    });
    EXPECT_TRUE(bHalfway);
}

TEST(ProgressRunner, AnExceptionOfTheWorkReachesTheCaller)
{
    CProgressRunner runner(nullptr, QStringLiteral("Packing"), {});
    try {
        runner.Run([](const PublishProgressFn&) { throw std::runtime_error("the disk is full"); });
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "the disk is full");
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
