// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Background playback of one sound file (the music dialog's MP3 preview).
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    // False when the file does not exist.
    virtual bool Open(const QString& strPath) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
};
