// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Projector.h"

#include <QPointer>
#include <QWidget>

// Runs the installation's player program for the editor. Printing and writing a copy wait for the
// program's exit status; meanwhile the owner window takes no input but keeps painting.
class CProjectorClient : public IProjector {
public:
    CProjectorClient(QString strInstallDir, QWidget* pOwner = nullptr);

    bool ShowMovie(const QString& strMoviePath, bool bMaximised) override;
    EPlayerExit PrintMovie(const QString& strMoviePath) override;
    EPlayerExit MakeSelfRunningCopy(const QString& strMoviePath) override;

    [[nodiscard]] QString ProgramPath() const;

private:
    EPlayerExit RunAndWait(const QStringList& arguments);

    QString m_strInstallDir;
    QPointer<QWidget> m_pOwner;
};
