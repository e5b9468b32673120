// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Character.h"
#include "swf/Movie.h"
#include "swf/read/Mp3.h"

#include <memory>
#include <optional>

namespace swf {

// Samples the player skips at the start of an MP3 event sound (the encoder and decoder delay), as
// the sound movies of the earlier tool chain carried it.
inline constexpr int16_t kMp3SeekSamples = 1663;

// The SWF sound format byte of an MP3: format 2, the nearest rate code, 16-bit, mono or stereo.
[[nodiscard]] uint8_t mp3SoundFormat(const Mp3Sound& sound);

// An event sound: one DefineSound holding the whole MP3. Start it with startSound(); it plays
// whole, whatever the movie's frame rate (0 included).
class EventSound : public Character {
public:
    explicit EventSound(Mp3Sound mp3);
    [[nodiscard]] static std::shared_ptr<EventSound> fromFile(const std::filesystem::path& path);

    [[nodiscard]] const Mp3Sound& mp3() const { return m_mp3; }
    uint16_t defineIn(DefinitionContext& context) const override;

private:
    Mp3Sound m_mp3;
};

// A StartSound of `sound` for Movie::addTag: loops (1 plays once) and, with noMultiple, no second
// copy while one is playing (so a timeline coming back to the frame does not layer the sound).
[[nodiscard]] TagFactory startSound(
    std::shared_ptr<const EventSound> sound, uint16_t loops = 1, bool noMultiple = false);

// A streamed sound: SoundStreamHead2 in the first frame and one SoundStreamBlock per frame with the
// frames of MP3 due by its end. It plays only while the timeline advances.
class StreamSound {
public:
    StreamSound(Mp3Sound mp3, float framesPerSecond);

    [[nodiscard]] Tag head() const;
    // The block of frame `frame` (0-based), or nothing once the sound is over.
    [[nodiscard]] std::optional<Tag> block(int frame) const;
    // Frames needed to play the whole sound.
    [[nodiscard]] int frameCount() const;
    // Adds the head to the frame being built and one block to each of the next frames, closing
    // them with nextFrame(), until the sound is over.
    void addTo(Movie& movie) const;

private:
    Mp3Sound m_mp3;
    float m_fps;
    int m_samplesPerSwfFrame;
};

} // namespace swf
