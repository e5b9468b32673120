// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <QWidget>

namespace {

// The file manager answers quickly when it is there; a missing one should not stall the window.
constexpr int kFileManagerTimeoutMs = 3000;

} // namespace

CQtShell::CQtShell(QString strInstallDir)
    : m_strInstallDir(std::move(strInstallDir))
{
}

bool CQtShell::StartProgram(const QString& strProgram, const QStringList& arguments, EShowMode mode)
{
    const QString strPath = QDir(m_strInstallDir).filePath(strProgram);
    if (!QFileInfo(strPath).isExecutable()) {
        return false;
    }
    QProcess process;
    process.setProgram(strPath);
    process.setArguments(arguments);
    process.setWorkingDirectory(m_strInstallDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QString::fromLatin1(kShowModeVariable));
    if (mode == EShowMode::Maximised) {
        env.insert(QString::fromLatin1(kShowModeVariable), QStringLiteral("maximized"));
    } else if (mode == EShowMode::Hidden) {
        env.insert(QString::fromLatin1(kShowModeVariable), QStringLiteral("hidden"));
    }
    process.setProcessEnvironment(env);
    return process.startDetached();
}

bool CQtShell::OpenDocument(const QString& strPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

bool CQtShell::ShowInFolder(const QString& strPath)
{
    const QFileInfo info(strPath);
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(info.absoluteFilePath()).toString() } << QString();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const QDBusMessage reply = bus.call(call, QDBus::Block, kFileManagerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

void ApplyShowMode(QWidget* pWindow)
{
    const QString strMode = qEnvironmentVariable(kShowModeVariable);
    if (strMode == QStringLiteral("hidden")) {
        return;
    }
    if (strMode == QStringLiteral("maximized")) {
        pWindow->showMaximized();
    } else {
        pWindow->show();
    }
}
