// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Sound.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"

#include <cmath>

namespace swf {

namespace {

uint8_t rateCode(MpegVersion version)
{
    // SWF knows 5.5, 11, 22 and 44 kHz; each MPEG version's rates sit nearest one of them, and the
    // player decodes MP3 frames at their own rate anyway.
    switch (version) {
    case MpegVersion::Mpeg1:
        return 3;
    case MpegVersion::Mpeg2:
        return 2;
    case MpegVersion::Mpeg25:
        return 1;
    }
    return 3;
}

} // namespace

uint8_t mp3SoundFormat(const Mp3Sound& sound)
{
    return static_cast<uint8_t>(
        (2U << 4) | (rateCode(sound.version) << 2) | 0x02U | (sound.stereo ? 1U : 0U));
}

EventSound::EventSound(Mp3Sound mp3)
    : m_mp3(std::move(mp3))
{
    if (m_mp3.frameOffsets.empty()) {
        throw Error("sound: MP3 without audio frames");
    }
}

std::shared_ptr<EventSound> EventSound::fromFile(const std::filesystem::path& path)
{
    return std::make_shared<EventSound>(readMp3File(path));
}

uint16_t EventSound::defineIn(DefinitionContext& context) const
{
    const uint16_t id = context.allocateId();
    ByteWriter out;
    out.u16(id);
    out.u8(mp3SoundFormat(m_mp3));
    out.u32(m_mp3.sampleCount());
    out.s16(kMp3SeekSamples);
    out.bytes(m_mp3.frames);
    context.emit(Tag(TagCode::DefineSound, out.take()));
    return id;
}

TagFactory startSound(std::shared_ptr<const EventSound> sound, uint16_t loops, bool noMultiple)
{
    if (!sound) {
        throw Error("StartSound: no sound");
    }
    return [sound, loops, noMultiple](DefinitionContext& context) {
        ByteWriter out;
        out.u16(context.define(*sound));
        uint8_t flags = noMultiple ? 0x10 : 0x00;
        if (loops > 1) {
            flags |= 0x04;
        }
        out.u8(flags);
        if (loops > 1) {
            out.u16(loops);
        }
        return Tag(TagCode::StartSound, out.take());
    };
}

StreamSound::StreamSound(Mp3Sound mp3, float framesPerSecond)
    : m_mp3(std::move(mp3))
    , m_fps(framesPerSecond)
{
    if (!(framesPerSecond > 0.0F) || !std::isfinite(framesPerSecond)) {
        throw Error("stream sound: the movie's frame rate must be above 0 for a streamed sound");
    }
    if (m_mp3.frameOffsets.empty()) {
        throw Error("stream sound: MP3 without audio frames");
    }
    m_samplesPerSwfFrame = static_cast<int>(std::floor(static_cast<float>(m_mp3.sampleRate) / m_fps));
    if (m_samplesPerSwfFrame < 1 || m_samplesPerSwfFrame > 0xffff) {
        throw Error("stream sound: frame rate out of range for the sound");
    }
}

Tag StreamSound::head() const
{
    ByteWriter out;
    const uint8_t format = mp3SoundFormat(m_mp3);
    out.u8(static_cast<uint8_t>(format & 0x0fU)); // playback: rate, size, type
    out.u8(format); // stream: MP3 and the same
    out.u16(static_cast<uint16_t>(m_samplesPerSwfFrame));
    out.s16(0); // latency seek
    return Tag(TagCode::SoundStreamHead2, out.take());
}

int StreamSound::frameCount() const
{
    const double total = static_cast<double>(m_mp3.sampleCount());
    return static_cast<int>(std::ceil(total / m_samplesPerSwfFrame));
}

std::optional<Tag> StreamSound::block(int frame) const
{
    if (frame < 0 || frame >= frameCount()) {
        return std::nullopt;
    }
    // MP3 frames whose first sample is due before the end of this SWF frame and were not yet sent.
    const auto framesDue = [&](long long swfFrames) {
        const long long samples = swfFrames * m_samplesPerSwfFrame;
        const long long n = (samples + m_mp3.samplesPerFrame - 1) / m_mp3.samplesPerFrame;
        return static_cast<size_t>(std::min<long long>(n, static_cast<long long>(m_mp3.frameCount())));
    };
    const size_t from = framesDue(frame);
    const size_t to = frame + 1 == frameCount() ? m_mp3.frameCount() : framesDue(frame + 1);
    ByteWriter out;
    out.u16(static_cast<uint16_t>((to - from) * static_cast<size_t>(m_mp3.samplesPerFrame)));
    // Samples between the start of this SWF frame and the first MP3 frame of the block.
    const long long seek = static_cast<long long>(from) * m_mp3.samplesPerFrame -
        static_cast<long long>(frame) * m_samplesPerSwfFrame;
    out.s16(static_cast<int16_t>(seek));
    const size_t begin = from < m_mp3.frameCount() ? m_mp3.frameOffsets[from] : m_mp3.frames.size();
    const size_t endByte = to < m_mp3.frameCount() ? m_mp3.frameOffsets[to] : m_mp3.frames.size();
    out.bytes(std::span<const uint8_t>(m_mp3.frames).subspan(begin, endByte - begin));
    return Tag(TagCode::SoundStreamBlock, out.take());
}

void StreamSound::addTo(Movie& movie) const
{
    movie.addTag(head());
    for (int f = 0; f < frameCount(); ++f) {
        if (auto b = block(f)) {
            movie.addTag(std::move(*b));
        }
        movie.nextFrame();
    }
}

} // namespace swf
