// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/progress/ProgressRunner.h"

#include "editor/progress/ProgressDialog.h"

#include <QEventLoop>

#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <utility>

namespace {

// What the worker and the dialog share. The worker only stores figures and posts an update when
// none is waiting; the dialog reads the latest figures when the update arrives.
struct CSharedProgress {
    std::atomic<uint64_t> m_nDone { 0 };
    std::atomic<uint64_t> m_nTotal { 0 };
    std::atomic<bool> m_bCancel { false };
    std::atomic<bool> m_bUpdatePending { false };
};

int BarValue(uint64_t nDone, uint64_t nTotal)
{
    if (nTotal == 0) {
        return 0;
    }
    const uint64_t nClamped = nDone < nTotal ? nDone : nTotal;
    // Division first for totals whose product with the steps would not fit.
    const uint64_t nValue = nTotal > UINT64_MAX / CProgressRunner::kBarSteps
        ? nClamped / (nTotal / CProgressRunner::kBarSteps)
        : nClamped * CProgressRunner::kBarSteps / nTotal;
    return static_cast<int>(nValue < CProgressRunner::kBarSteps ? nValue : CProgressRunner::kBarSteps);
}

} // namespace

CProgressRunner::CProgressRunner(QWidget* pParent, QString strTitle, LabelFn label)
    : m_pParent(pParent)
    , m_strTitle(std::move(strTitle))
    , m_label(std::move(label))
{
}

bool CProgressRunner::Run(const WorkFn& work)
{
    CProgressDialog dialog(m_pParent);
    dialog.setWindowTitle(m_strTitle);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setRange(0, kBarSteps);
    dialog.setValue(0);
    dialog.setLabelText(m_label ? m_label(0, 0) : QString());

    auto pShared = std::make_shared<CSharedProgress>();
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [pShared] { pShared->m_bCancel = true; });

    // The dialog outlives every update: the loop below ends only after the worker's last post.
    CProgressDialog* pDialog = &dialog;
    const LabelFn label = m_label;
    const auto showLatest = [pShared, pDialog, label] {
        pShared->m_bUpdatePending = false;
        if (pShared->m_bCancel) {
            return;
        }
        const uint64_t nDone = pShared->m_nDone;
        const uint64_t nTotal = pShared->m_nTotal;
        if (label) {
            pDialog->setLabelText(label(nDone, nTotal));
        }
        pDialog->setValue(BarValue(nDone, nTotal));
    };
    const PublishProgressFn progress = [pShared, pDialog, showLatest](uint64_t nDone, uint64_t nTotal) {
        pShared->m_nDone = nDone;
        pShared->m_nTotal = nTotal;
        if (!pShared->m_bUpdatePending.exchange(true)) {
            QMetaObject::invokeMethod(pDialog, showLatest, Qt::QueuedConnection);
        }
        return !pShared->m_bCancel;
    };

    QEventLoop loop;
    std::exception_ptr error;
    std::thread worker([&work, &progress, &error, &loop] {
        try {
            work(progress);
        } catch (...) {
            error = std::current_exception();
        }
        // Posted after every update of the work, so the loop has shown them all when it ends.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    dialog.show();
    loop.exec();
    worker.join();
    dialog.hide();
    if (error) {
        std::rethrow_exception(error);
    }
    return !pShared->m_bCancel;
}

CPublishResult CProgressRunner::RunPublishing(const PublishFn& work)
{
    CPublishResult result;
    try {
        const bool bRan = Run([&](const PublishProgressFn& progress) { result = work(progress); });
        if (!bRan && result.m_outcome != EPublishOutcome::Written) {
            result.m_outcome = EPublishOutcome::Cancelled;
        }
    } catch (const std::exception& error) {
        result.m_outcome = EPublishOutcome::Failed;
        result.m_strError = error.what();
    }
    return result;
}
