// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Mp3.h"

#include "swf/ByteReader.h"
#include "swf/Error.h"
#include "swf/read/SwfFile.h"

#include <algorithm>
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

// Bytes of junk we search through for the first frame after the ID3v2 tags (some encoders and
// taggers leave padding or a stray block there). Past it the file is taken as not being MP3.
constexpr size_t kMaxLeadingJunk = 4096;

// Lyrics3 version 1 holds at most this many bytes between its begin and end markers.
constexpr size_t kMaxLyrics3v1 = 5100;

bool startsWith(std::span<const uint8_t> data, size_t at, const char* text)
{
    const size_t n = std::strlen(text);
    return at <= data.size() && data.size() - at >= n && std::memcmp(data.data() + at, text, n) == 0;
}

// Length of a tag that ends exactly at the end of `data` (ID3v1, APEv2 or APEv1, Lyrics3 version 1
// or 2), or 0 when `data` does not end with one. Throws for a tag whose own sizes do not fit.
size_t trailingTagLength(std::span<const uint8_t> data)
{
    const size_t n = data.size();
    if (n >= 128 && startsWith(data, n - 128, "TAG")) {
        return 128;
    }
    if (n >= 32 && startsWith(data, n - 32, "APETAGEX")) {
        // Footer: preamble, version, size of items and footer, item count, flags, reserved.
        ByteReader footer(data.subspan(n - 32), "APE tag footer");
        (void)footer.bytes(12); // preamble and version
        const size_t size = footer.u32();
        (void)footer.u32(); // item count
        const bool hasHeader = (footer.u32() & 0x80000000U) != 0;
        const size_t total = size + (hasHeader ? 32 : 0);
        if (size < 32 || total > n) {
            throw ParseError("MP3: damaged APE tag at the end of the file");
        }
        return total;
    }
    if (n >= 15 && startsWith(data, n - 9, "LYRICS200")) {
        // Six decimal digits before the marker give the size from "LYRICSBEGIN" up to them.
        size_t size = 0;
        for (size_t i = n - 15; i < n - 9; ++i) {
            if (data[i] < '0' || data[i] > '9') {
                throw ParseError("MP3: damaged Lyrics3 tag size at the end of the file");
            }
            size = size * 10 + (data[i] - '0');
        }
        if (size + 15 > n || !startsWith(data, n - 15 - size, "LYRICSBEGIN")) {
            throw ParseError("MP3: damaged Lyrics3 tag at the end of the file");
        }
        return size + 15;
    }
    if (n >= 20 && startsWith(data, n - 9, "LYRICSEND")) {
        // No size field: the begin marker is searched for within the bounded length.
        const size_t lowest = n >= 20 + kMaxLyrics3v1 ? n - 20 - kMaxLyrics3v1 : 0;
        for (size_t at = n - 20 + 1; at-- > lowest;) {
            if (startsWith(data, at, "LYRICSBEGIN")) {
                return n - at;
            }
        }
        throw ParseError("MP3: damaged Lyrics3 tag at the end of the file");
    }
    return 0;
}

// Whether a frame header at `pos` is the real start of the audio rather than a sync pattern inside
// junk: the frame must be followed by another of the same version and rate, or be the last one
// (followed by nothing, or only by the zeros that start at `zerosFrom`).
bool startsAudio(std::span<const uint8_t> file, size_t pos, size_t end, size_t zerosFrom)
{
    const auto h = parseMp3FrameHeader(file.subspan(pos, end - pos));
    if (!h || h->length > end - pos) {
        return false;
    }
    const size_t next = pos + h->length;
    if (next >= zerosFrom) {
        return true;
    }
    const auto following = parseMp3FrameHeader(file.subspan(next, end - next));
    return following && following->version == h->version && following->sampleRate == h->sampleRate;
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
    // Tags after the audio come in any order (APE or Lyrics3 before ID3v1 is usual).
    size_t end = file.size();
    while (const size_t tag = trailingTagLength(file.subspan(pos, end - pos))) {
        end -= tag;
    }
    // Zero padding after the last frame starts here.
    size_t zerosFrom = end;
    while (zerosFrom > pos && file[zerosFrom - 1] == 0) {
        --zerosFrom;
    }
    if (!parseMp3FrameHeader(file.subspan(pos, end - pos))) {
        const size_t start = pos;
        const size_t limit = std::min(end, pos + kMaxLeadingJunk);
        while (pos < limit && !startsAudio(file, pos, end, zerosFrom)) {
            ++pos;
        }
        if (pos == limit) {
            throw ParseError("MP3: no MPEG layer III audio within " + std::to_string(kMaxLeadingJunk) +
                " bytes of offset " + std::to_string(start));
        }
    }
    Mp3Sound sound;
    bool first = true;
    while (pos < end) {
        const auto data = file.subspan(pos, end - pos);
        const auto h = parseMp3FrameHeader(data);
        if (!h) {
            if (pos >= zerosFrom) {
                break; // padding after the last frame
            }
            throw ParseError("MP3: damaged audio: no valid MPEG layer III frame header at offset " +
                std::to_string(pos) + ", after " + std::to_string(sound.frameCount()) + " frames");
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
