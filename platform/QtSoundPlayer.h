// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SoundPlayer.h"

#include <QtGlobal>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Sound over Qt Multimedia. On Debian's Qt 6.4 the backend is GStreamer, which decodes MP3 with
// the mpg123 element of gstreamer1.0-plugins-good (playbin and typefinding come from -base).
class CQtSoundPlayer : public ISoundPlayer {
public:
    CQtSoundPlayer();
    ~CQtSoundPlayer() override;

    bool Open(const QString& strPath) override;
    void Play() override;
    void Stop() override;
    void Close() override;
    [[nodiscard]] bool IsOpen() const override { return m_bOpen; }
    void SetLoadFailedHandler(LoadFailedHandler onLoadFailed) override;

    // The open file's length in milliseconds once decoding has started, else 0.
    [[nodiscard]] qint64 DurationMs() const;

private:
    void Fail(const QString& strReason);

    std::unique_ptr<QAudioOutput> m_pOutput;
    std::unique_ptr<QMediaPlayer> m_pPlayer;
    bool m_bOpen = false;
    LoadFailedHandler m_onLoadFailed;
};
