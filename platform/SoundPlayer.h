// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// Background playback of one sound file (the music dialog's MP3 preview).
class ISoundPlayer {
public:
    // Called when an opened file turns out not to be playable (damaged, not a sound, no decoder);
    // the reason is the backend's text, for the log.
    using LoadFailedHandler = std::function<void(const QString& strReason)>;

    virtual ~ISoundPlayer() = default;
    // False when the file does not exist. Decoding starts afterwards; a file that cannot be
    // decoded is reported to the load-failed handler later and leaves the player closed.
    virtual bool Open(const QString& strPath) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
    virtual void SetLoadFailedHandler(LoadFailedHandler onLoadFailed) = 0;
};
