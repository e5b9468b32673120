// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DesktopMime.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// xdg-mime reads a few small files; a query that takes longer than this is not waited for.
constexpr int kQueryTimeoutMs = 5000;

} // namespace

QString DefaultDesktopEntry(const QString& strMimeType)
{
    const QString strProgram = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (strProgram.isEmpty()) {
        return {};
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(strProgram, { QStringLiteral("query"), QStringLiteral("default"), strMimeType });
    if (!process.waitForFinished(kQueryTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return {};
    }
    // One line naming the entry; anything else (an empty answer, a message) names no program.
    const QString strEntry = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (strEntry.contains(QLatin1Char('\n')) || !strEntry.endsWith(QStringLiteral(".desktop"))) {
        return {};
    }
    return strEntry;
}
