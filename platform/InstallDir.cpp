// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstallDir.h"

#include <QCoreApplication>
#include <QDir>

QString GetInstallDir()
{
    const QString strHome = qEnvironmentVariable("MARROWLARK_HOME");
    if (!strHome.isEmpty()) {
        return QDir::cleanPath(strHome);
    }
    return QCoreApplication::applicationDirPath();
}

QString GetRuffleDir(const QString& strInstallDir)
{
    return QDir(strInstallDir).filePath(QStringLiteral("Resource/ruffle"));
}
