// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace swf {

// Largest MP3 file we take in: an hour of 320 kbit/s is 144 MB, far past any gift's music; the
// cap keeps a hostile file from filling memory (the whole sound lands in one DefineSound).
inline constexpr size_t kMaxMp3Size = 64 * 1024 * 1024;

enum class MpegVersion { Mpeg1, Mpeg2, Mpeg25 };

// One MPEG audio layer III frame header.
struct Mp3FrameHeader {
    MpegVersion version = MpegVersion::Mpeg1;
    int bitrateKbps = 0;
    int sampleRate = 0;
    bool padding = false;
    bool mono = false;
    size_t length = 0; // whole frame, header included
    int samplesPerFrame = 0; // 1152 for MPEG-1, 576 otherwise
};

// Decodes the four bytes of a frame header; nothing for bytes that are not a valid layer III
// header (no sync, reserved version, another layer, free or bad bitrate, reserved rate).
[[nodiscard]] std::optional<Mp3FrameHeader> parseMp3FrameHeader(std::span<const uint8_t> bytes);

// An MP3 file reduced to its audio frames: ID3v2 tags at the start (and up to 4 KiB of junk after
// them), APE, Lyrics3 and ID3v1 tags and zero padding at the end, and a leading Xing/Info (or
// VBRI) frame are skipped.
struct Mp3Sound {
    MpegVersion version = MpegVersion::Mpeg1;
    int sampleRate = 0;
    bool stereo = false;
    int samplesPerFrame = 0;
    std::vector<uint8_t> frames; // the audio frames, back to back
    std::vector<size_t> frameOffsets; // start of each frame inside `frames`

    [[nodiscard]] size_t frameCount() const { return frameOffsets.size(); }
    [[nodiscard]] uint32_t sampleCount() const
    {
        return static_cast<uint32_t>(frameOffsets.size() * static_cast<size_t>(samplesPerFrame));
    }
};

// Reads an MP3 file. Throws swf::ParseError naming the offset for damaged data (anything but a
// valid layer III frame header between the first frame and the end padding or tags, frames of
// different versions or rates, trailing tags whose sizes do not fit, no frames at all).
[[nodiscard]] Mp3Sound readMp3(std::span<const uint8_t> file);
[[nodiscard]] Mp3Sound readMp3File(const std::filesystem::path& path);

} // namespace swf
