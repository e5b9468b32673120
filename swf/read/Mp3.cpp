// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Mp3.h"

#include "swf/Error.h"
#include "swf/read/SwfFile.h"

#include <cstring>

namespace swf {

namespace {

constexpr int kBitratesMpeg1[16] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 };
constexpr int kBitratesMpeg2[16] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 };
constexpr int kRatesMpeg1[3] = { 44100, 48000, 32000 };

size_t id3v2Length(std::span<const uint8_t> data)
{
    if (data.size() < 10 || std::memcmp(data.data(), "ID3", 3) != 0) {
        return 0;
    }
    size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (data[i] & 0x80U) {
            throw ParseError("MP3: damaged ID3v2 tag size");
        }
        size = (size << 7) | data[i];
    }
    const bool footer = (data[5] & 0x10U) != 0;
    const size_t total = 10 + size + (footer ? 10 : 0);
    if (total > data.size()) {
        throw ParseError("MP3: ID3v2 tag runs past the end of the file");
    }
    return total;
}

bool isInfoFrame(std::span<const uint8_t> frame, const Mp3FrameHeader& h)
{
    size_t side = 0;
    if (h.version == MpegVersion::Mpeg1) {
        side = h.mono ? 17 : 32;
    } else {
        side = h.mono ? 9 : 17;
    }
    const auto has = [&](size_t at, const char* tag) {
        return frame.size() >= at + 4 && std::memcmp(frame.data() + at, tag, 4) == 0;
    };
    return has(4 + side, "Xing") || has(4 + side, "Info") || has(4 + 32, "VBRI");
}

} // namespace

std::optional<Mp3FrameHeader> parseMp3FrameHeader(std::span<const uint8_t> b)
{
    if (b.size() < 4 || b[0] != 0xff || (b[1] & 0xe0U) != 0xe0U) {
        return std::nullopt;
    }
    const unsigned versionBits = (b[1] >> 3) & 3U;
    const unsigned layerBits = (b[1] >> 1) & 3U;
    const unsigned bitrateIndex = b[2] >> 4;
    const unsigned rateIndex = (b[2] >> 2) & 3U;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3) {
        return std::nullopt;
    }
    Mp3FrameHeader h;
    h.version = versionBits == 3 ? MpegVersion::Mpeg1
        : versionBits == 2       ? MpegVersion::Mpeg2
                                 : MpegVersion::Mpeg25;
    const bool v1 = h.version == MpegVersion::Mpeg1;
    h.bitrateKbps = v1 ? kBitratesMpeg1[bitrateIndex] : kBitratesMpeg2[bitrateIndex];
    if (h.bitrateKbps == 0) {
        return std::nullopt;
    }
    h.sampleRate = kRatesMpeg1[rateIndex] / (v1 ? 1 : h.version == MpegVersion::Mpeg2 ? 2 : 4);
    h.padding = (b[2] & 0x02U) != 0;
    h.mono = (b[3] >> 6) == 3U;
    h.samplesPerFrame = v1 ? 1152 : 576;
    const size_t coefficient = v1 ? 144000 : 72000;
    h.length = coefficient * static_cast<size_t>(h.bitrateKbps) / static_cast<size_t>(h.sampleRate) +
        (h.padding ? 1 : 0);
    return h;
}

Mp3Sound readMp3(std::span<const uint8_t> file)
{
    if (file.size() > kMaxMp3Size) {
        throw ParseError("MP3: file larger than the size limit");
    }
    size_t pos = 0;
    while (const size_t tag = id3v2Length(file.subspan(pos))) {
        pos += tag;
    }
    size_t end = file.size();
    if (end - pos >= 128 && std::memcmp(file.data() + end - 128, "TAG", 3) == 0) {
        end -= 128;
    }
    Mp3Sound sound;
    bool first = true;
    while (pos < end) {
        const auto data = file.subspan(pos, end - pos);
        const auto h = parseMp3FrameHeader(data);
        if (!h) {
            throw ParseError("MP3: no valid MPEG layer III frame header at offset " + std::to_string(pos));
        }
        if (h->length > data.size()) {
            break; // a last frame cut short: drop it
        }
        const auto frame = data.first(h->length);
        if (first) {
            first = false;
            sound.version = h->version;
            sound.sampleRate = h->sampleRate;
            sound.samplesPerFrame = h->samplesPerFrame;
            sound.stereo = !h->mono;
            if (isInfoFrame(frame, *h)) {
                pos += h->length;
                continue;
            }
        } else if (h->version != sound.version || h->sampleRate != sound.sampleRate) {
            throw ParseError(
                "MP3: frame at offset " + std::to_string(pos) + " changes the MPEG version or sample rate");
        }
        sound.frameOffsets.push_back(sound.frames.size());
        sound.frames.insert(sound.frames.end(), frame.begin(), frame.end());
        pos += h->length;
    }
    if (sound.frameOffsets.empty()) {
        throw ParseError("MP3: no audio frames");
    }
    return sound;
}

Mp3Sound readMp3File(const std::filesystem::path& path)
{
    const auto bytes = readFileBytes(path.string(), kMaxMp3Size);
    try {
        return readMp3(bytes);
    } catch (const ParseError& e) {
        throw ParseError(path.string() + ": " + e.what());
    }
}

} // namespace swf
