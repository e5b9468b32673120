// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProjectorClient.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

CProjectorClient::CProjectorClient(QString strInstallDir, QWidget* pOwner)
    : m_strInstallDir(std::move(strInstallDir))
    , m_pOwner(pOwner)
{
}

QString CProjectorClient::ProgramPath() const
{
    return QDir(m_strInstallDir).filePath(PlayerProgramName());
}

bool CProjectorClient::ShowMovie(const QString& strMoviePath, bool bMaximised)
{
    if (!QFileInfo(ProgramPath()).isExecutable()) {
        return false;
    }
    QStringList arguments;
    if (bMaximised) {
        arguments << QStringLiteral("--maximized");
    }
    // "--" keeps a movie whose name starts with a dash from being read as an option.
    arguments << QStringLiteral("--") << strMoviePath;
    return QProcess::startDetached(ProgramPath(), arguments, m_strInstallDir);
}

EPlayerExit CProjectorClient::PrintMovie(const QString& strMoviePath)
{
    return RunAndWait({ QStringLiteral("--print"), QStringLiteral("--"), strMoviePath });
}

EPlayerExit CProjectorClient::MakeSelfRunningCopy(const QString& strMoviePath)
{
    return RunAndWait({ QStringLiteral("--make-exe"), QStringLiteral("--"), strMoviePath });
}

EPlayerExit CProjectorClient::RunAndWait(const QStringList& arguments)
{
    if (!QFileInfo(ProgramPath()).isExecutable()) {
        return EPlayerExit::Failed;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setWorkingDirectory(m_strInstallDir);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            loop.quit();
        }
    });
    const bool bWasEnabled = m_pOwner != nullptr && m_pOwner->isEnabled();
    if (bWasEnabled) {
        m_pOwner->setEnabled(false);
    }
    process.start(ProgramPath(), arguments);
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (bWasEnabled && m_pOwner != nullptr) {
        m_pOwner->setEnabled(true);
    }
    if (process.error() == QProcess::FailedToStart || process.exitStatus() != QProcess::NormalExit) {
        return EPlayerExit::Failed;
    }
    switch (process.exitCode()) {
    case static_cast<int>(EPlayerExit::Ok):
        return EPlayerExit::Ok;
    case static_cast<int>(EPlayerExit::Cancelled):
        return EPlayerExit::Cancelled;
    case static_cast<int>(EPlayerExit::Usage):
        return EPlayerExit::Usage;
    default:
        return EPlayerExit::Failed;
    }
}
