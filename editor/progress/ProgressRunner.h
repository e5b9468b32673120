// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PublishResult.h"

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// Runs one piece of long work (an archive, an album) on a worker thread while a modal progress
// dialog over the parent shows how far it has come, with Cancel. The work gets a progress callback
// that it calls on the worker: the callback hands the figures to the dialog (at most one update
// waits at a time, so a callback per block costs next to nothing) and returns false once the user
// has pressed Cancel. Run returns when the work has returned, whatever it did with the answer.
class CProgressRunner {
public:
    // The dialog's text for nDone of nTotal units (nTotal 0: not known yet).
    using LabelFn = std::function<QString(uint64_t nDone, uint64_t nTotal)>;
    using WorkFn = std::function<void(const PublishProgressFn& progress)>;

    // The bar's resolution: byte counts beyond int are shown as a share of the total.
    static constexpr int kBarSteps = 1000;

    CProgressRunner(QWidget* pParent, QString strTitle, LabelFn label);

    // True unless the user pressed Cancel. An exception thrown by the work is rethrown here, on
    // the calling thread, once the worker has ended.
    bool Run(const WorkFn& work);

    // Runs a publishing call: its result, Cancelled when the user pressed Cancel before it was
    // written, Failed with the message when it threw.
    using PublishFn = std::function<CPublishResult(const PublishProgressFn& progress)>;
    CPublishResult RunPublishing(const PublishFn& work);

private:
    QWidget* m_pParent = nullptr;
    QString m_strTitle;
    LabelFn m_label;
};
