// SPDX-License-Identifier: GPL-3.0-or-later
// What the publishing tests share: a generation that records its calls and writes a small movie
// (or nothing), acting on the modal window that is open, and the progress dialog's Cancel.
#pragma once

#include "editor/export/MovieExport.h"
#include "editor/progress/ProgressDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace editortest {

// Generation for the publishing commands: records "<file name> <force>" and writes m_bytes to
// the path unless m_bWrites is false (a generation that failed and reported it).
class CRecordedGeneration {
public:
    [[nodiscard]] WholeMovieFn Whole()
    {
        return [this](const QString& strPath, int bForce) { Write(strPath, bForce); };
    }
    [[nodiscard]] std::function<void(const QString&)> Card()
    {
        return [this](const QString& strPath) { Write(strPath, 0); };
    }

    QStringList m_calls;
    QStringList m_paths;
    bool m_bWrites = true;
    QByteArray m_bytes = QByteArrayLiteral("FWS\x06new gift");

private:
    void Write(const QString& strPath, int bForce)
    {
        m_calls << QStringLiteral("%1 %2").arg(QFileInfo(strPath).fileName()).arg(bForce);
        m_paths << strPath;
        if (!m_bWrites) {
            return;
        }
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << strPath.toStdString();
        file.write(m_bytes);
    }
};

// Runs the action on the modal window of type T once it is open (a dialog's exec or a progress
// dialog's loop), as the user would act on it.
template<typename T> void WhenModalOpen(std::function<void(T&)> action)
{
    QTimer::singleShot(0, [action] {
        auto* pWindow = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(pWindow, nullptr) << "the expected window is not open";
        action(*pWindow);
    });
}

// Presses the progress dialog's Cancel button.
inline void PressCancel(CProgressDialog& dialog)
{
    auto* pButton = dialog.findChild<QPushButton*>();
    ASSERT_NE(pButton, nullptr);
    pButton->click();
}

// Watches the open progress dialog until its label starts with strPrefix, keeps that label in
// strSeen and presses Cancel. The returned timer must live until the dialog has gone.
inline std::unique_ptr<QTimer> CancelOnceLabelShows(const QString& strPrefix, QString& strSeen)
{
    auto pTimer = std::make_unique<QTimer>();
    QTimer* pRaw = pTimer.get();
    QObject::connect(pRaw, &QTimer::timeout, pRaw, [pRaw, strPrefix, &strSeen] {
        auto* pDialog = qobject_cast<CProgressDialog*>(QApplication::activeModalWidget());
        auto* pLabel = pDialog != nullptr ? pDialog->findChild<QLabel*>() : nullptr;
        if (pLabel != nullptr && pLabel->text().startsWith(strPrefix)) {
            strSeen = pLabel->text();
            pRaw->stop();
            PressCancel(*pDialog);
        }
    });
    pTimer->start(2);
    return pTimer;
}

[[nodiscard]] inline QByteArray ReadBytes(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace editortest
