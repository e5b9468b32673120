// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdio>
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

// xvfb-run starts a private X server for one program, as a desktop session would host it.
inline QString XvfbRun()
{
    return QStringLiteral("/usr/bin/xvfb-run");
}

// Runs a program on a private X server and returns its exit status, or -1 when it did not end normally within
// the time. The event loop keeps running meanwhile, so this process can answer the program (over D-Bus, for
// instance). Servers started at the same moment by other tests may pick the same display number; the one that
// loses the race fails to start, and that run is tried again.
inline int RunUnderX(
    const QString& strProgram, const QStringList& args, const QProcessEnvironment& env, int nMilliseconds)
{
    constexpr int kAttempts = 3;
    const QStringList xvfbArgs = QStringList {
        QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1024x768x24"), strProgram
    } + args;
    for (int nAttempt = 0; nAttempt < kAttempts; ++nAttempt) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process.start(XvfbRun(), xvfbArgs);
        const bool bEnded = WaitUntil([&] { return process.state() == QProcess::NotRunning; }, nMilliseconds);
        const QByteArray errors = process.readAllStandardError();
        std::fwrite(errors.constData(), 1, static_cast<size_t>(errors.size()), stderr);
        if (!bEnded || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        if (process.exitCode() != 0 && errors.contains("Xvfb failed to start")) {
            continue;
        }
        return process.exitCode();
    }
    return -1;
}

} // namespace testsupport
