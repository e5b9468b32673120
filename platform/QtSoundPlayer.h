// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Sound over Qt Multimedia.
class CQtSoundPlayer : public ISoundPlayer {
public:
    CQtSoundPlayer();
    ~CQtSoundPlayer() override;

    bool Open(const QString& strPath) override;
    void Play() override;
    void Stop() override;
    void Close() override;
    [[nodiscard]] bool IsOpen() const override { return m_bOpen; }

private:
    std::unique_ptr<QAudioOutput> m_pOutput;
    std::unique_ptr<QMediaPlayer> m_pPlayer;
    bool m_bOpen = false;
};
