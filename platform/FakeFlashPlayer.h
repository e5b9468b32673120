// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FlashPlayerWidget.h"

#include <QStringList>

// A player for window tests: records calls as words ("load <path>", "play", "stop"). A load
// succeeds (MovieShown at once) unless m_strFailure is set, which is then reported as the reason.
class CFakeFlashPlayer : public CFlashPlayerWidget {
    Q_OBJECT
public:
    using CFlashPlayerWidget::CFlashPlayerWidget;

    bool LoadMovie(int nLayer, const QString& strPath) override
    {
        m_calls << QStringLiteral("load %1 %2").arg(nLayer).arg(strPath);
        if (!m_strFailure.isEmpty()) {
            Q_EMIT LoadFailed(m_strFailure);
            return false;
        }
        Q_EMIT MovieShown(0);
        return true;
    }
    void Play() override { m_calls << QStringLiteral("play"); }
    void Stop() override { m_calls << QStringLiteral("stop"); }

    QStringList m_calls;
    QString m_strFailure;
};
