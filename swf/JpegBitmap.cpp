// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/JpegBitmap.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/FileData.h"

#include <cstdio>
#include <string>

namespace swf {

namespace {

// A JPEG that a gift shows is a photo of a few megabytes; this keeps a wrong file from being read
// whole into memory.
constexpr uintmax_t kMaxJpegFileSize = 64U * 1024U * 1024U;

constexpr uint8_t kSoi = 0xd8;
constexpr uint8_t kEoi = 0xd9;
constexpr uint8_t kSos = 0xda;
constexpr uint8_t kDqt = 0xdb;
constexpr uint8_t kDht = 0xc4;
constexpr uint8_t kDri = 0xdd;
constexpr uint8_t kSof0 = 0xc0;
constexpr uint8_t kSof1 = 0xc1;

[[noreturn]] void fail(const std::string& reason, size_t offset)
{
    throw ParseError("JPEG: " + reason + " at offset " + std::to_string(offset));
}

std::string hex(uint8_t v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", v);
    return text;
}

// Start-of-frame markers other than SOF0/SOF1 (C4 DHT, C8 JPG and CC DAC are not frames).
bool isOtherFrame(uint8_t marker)
{
    return marker >= 0xc2 && marker <= 0xcf && marker != kDht && marker != 0xc8 && marker != 0xcc;
}

} // namespace

std::shared_ptr<JpegBitmap> JpegBitmap::fromBytes(std::span<const uint8_t> data)
{
    if (data.size() < 4 || data[0] != 0xff || data[1] != kSoi) {
        fail("not a JPEG file (no start of image)", 0);
    }
    std::shared_ptr<JpegBitmap> bitmap(new JpegBitmap());
    std::vector<uint8_t>& out = bitmap->m_data;
    out = { 0xff, kSoi };
    bool haveFrame = false;
    size_t pos = 2;
    while (true) {
        if (pos >= data.size()) {
            fail("no scan before the end of the file", pos);
        }
        if (data[pos] != 0xff) {
            fail("expected a marker", pos);
        }
        // Any number of FF fill bytes may precede a marker.
        while (pos < data.size() && data[pos] == 0xff) {
            ++pos;
        }
        if (pos >= data.size()) {
            fail("file ends inside a marker", pos);
        }
        const uint8_t marker = data[pos++];
        const size_t markerStart = pos - 2;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            continue; // stand-alone markers without a length
        }
        if (marker == kSoi || marker == kEoi) {
            fail("unexpected marker FF" + hex(marker) + " before the scan", markerStart);
        }
        if (data.size() - pos < 2) {
            fail("segment FF" + hex(marker) + " lacks its length", markerStart);
        }
        const size_t length = (static_cast<size_t>(data[pos]) << 8) | data[pos + 1];
        if (length < 2 || length > data.size() - pos) {
            fail("segment FF" + hex(marker) + " runs past the end of the file", markerStart);
        }
        const size_t segmentEnd = pos + length;
        if (marker == kSos) {
            if (!haveFrame) {
                fail("scan before the frame header", markerStart);
            }
            // Entropy-coded data stuffs every FF with 00, so the first FF D9 ends the image.
            size_t end = segmentEnd;
            while (end + 1 < data.size() && !(data[end] == 0xff && data[end + 1] == kEoi)) {
                ++end;
            }
            if (end + 1 >= data.size()) {
                fail("truncated (no end of image)", data.size());
            }
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(markerStart),
                data.begin() + static_cast<std::ptrdiff_t>(end + 2));
            return bitmap;
        }
        if (isOtherFrame(marker)) {
            fail("frame type FF" + hex(marker) + " (progressive or other non-baseline JPEG) is not supported",
                markerStart);
        }
        if (marker == kSof0 || marker == kSof1) {
            if (haveFrame) {
                fail("second frame header", markerStart);
            }
            if (length < 8) {
                fail("frame header too short", markerStart);
            }
            bitmap->m_height = (data[pos + 3] << 8) | data[pos + 4];
            bitmap->m_width = (data[pos + 5] << 8) | data[pos + 6];
            if (bitmap->m_width == 0 || bitmap->m_height == 0) {
                fail("frame header without a size", markerStart);
            }
            haveFrame = true;
        }
        if (marker == kSof0 || marker == kSof1 || marker == kDqt || marker == kDht || marker == kDri) {
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(markerStart),
                data.begin() + static_cast<std::ptrdiff_t>(segmentEnd));
        }
        pos = segmentEnd;
    }
}

std::shared_ptr<JpegBitmap> JpegBitmap::fromFile(const std::filesystem::path& path)
{
    const std::vector<uint8_t> data = readFileData(path, kMaxJpegFileSize, "JPEG file");
    try {
        return fromBytes(data);
    } catch (const ParseError& e) {
        throw ParseError(path.string() + ": " + e.what());
    }
}

uint16_t JpegBitmap::defineIn(DefinitionContext& context) const
{
    const uint16_t id = context.allocateId();
    ByteWriter w;
    w.u16(id);
    w.bytes(m_data);
    context.emit(Tag(TagCode::DefineBitsJPEG2, w.take()));
    return id;
}

} // namespace swf
