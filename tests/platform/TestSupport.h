// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <functional>
#include <vector>

namespace testsupport {

// Runs the event loop until the condition holds or the time is up; true when it held.
inline bool WaitUntil(const std::function<bool()>& condition, int nMilliseconds = 30000)
{
    QDeadlineTimer deadline(nMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline void WriteFile(const QString& strPath, const std::vector<uint8_t>& bytes)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        std::abort();
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// True when the colour is within a small distance of the expected one (renderers blend edges).
inline bool Near(QColor c, QColor expected, int nTolerance = 40)
{
    return std::abs(c.red() - expected.red()) <= nTolerance &&
        std::abs(c.green() - expected.green()) <= nTolerance &&
        std::abs(c.blue() - expected.blue()) <= nTolerance;
}

inline QString StagedHome()
{
    return QStringLiteral(MARROWLARK_BUILD_DIR "/home");
}

} // namespace testsupport
