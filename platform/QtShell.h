// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Shell.h"

class QWidget;

// The shell over QProcess::startDetached, QDesktopServices and the file manager's D-Bus service.
class CQtShell : public IShell {
public:
    explicit CQtShell(QString strInstallDir);

    bool StartProgram(const QString& strProgram, const QStringList& arguments, EShowMode mode) override;
    bool OpenDocument(const QString& strPath) override;
    bool ShowInFolder(const QString& strPath) override;

private:
    QString m_strInstallDir;
};

// Shows a program's first window as its starter asked (normal, maximised or hidden).
void ApplyShowMode(QWidget* pWindow);
