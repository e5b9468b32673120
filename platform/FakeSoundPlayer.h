// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"

#include <QStringList>

#include <utility>

// Sound for tests: records the calls as words ("open <path>", "play", "stop", "close"); FailLoad
// plays the part of a file that opened but cannot be decoded.
class CFakeSoundPlayer : public ISoundPlayer {
public:
    bool Open(const QString& strPath) override
    {
        m_calls << QStringLiteral("open ") + strPath;
        m_bOpen = m_bOpenResult;
        return m_bOpenResult;
    }
    void Play() override { m_calls << QStringLiteral("play"); }
    void Stop() override { m_calls << QStringLiteral("stop"); }
    void Close() override
    {
        m_calls << QStringLiteral("close");
        m_bOpen = false;
    }
    [[nodiscard]] bool IsOpen() const override { return m_bOpen; }
    void SetLoadFailedHandler(LoadFailedHandler onLoadFailed) override
    {
        m_onLoadFailed = std::move(onLoadFailed);
    }

    void FailLoad(const QString& strReason)
    {
        m_bOpen = false;
        if (m_onLoadFailed) {
            m_onLoadFailed(strReason);
        }
    }

    QStringList m_calls;
    bool m_bOpenResult = true;

private:
    bool m_bOpen = false;
    LoadFailedHandler m_onLoadFailed;
};
