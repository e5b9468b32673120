// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/DblBitmap.h"

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/FileData.h"

#include <string>

namespace swf {

namespace {

// A lossless bitmap of a gift is at most a few stage-sized pictures; larger files are not ours.
constexpr uintmax_t kMaxDblFileSize = 64U * 1024U * 1024U;

} // namespace

std::shared_ptr<DblBitmap> DblBitmap::fromBytes(std::span<const uint8_t> data)
{
    ByteReader in(data, "DBL file");
    if (data.size() < 4 || data[0] != 'D' || data[1] != 'B' || (data[2] != 'l' && data[2] != 'L')) {
        in.fail("not a DBL file (bad magic)");
    }
    in.skip(3);
    const bool longLength = data[2] == 'l';
    const uint8_t type = in.u8();
    if (type != 1 && type != 2) {
        in.fail("unknown bitmap type " + std::to_string(type));
    }
    // The length is big-endian, unlike the SWF fields that follow.
    size_t length = 0;
    for (size_t i = 0, n = longLength ? 4 : 2; i < n; ++i) {
        length = (length << 8) | in.u8();
    }
    if (length > in.remaining()) {
        in.fail("length " + std::to_string(length) + " exceeds the " + std::to_string(in.remaining()) +
            " bytes of data");
    }
    const std::span<const uint8_t> body = in.bytes(length);
    ByteReader b(body, "DBL bitmap body");
    const uint8_t format = b.u8();
    if (format != 3 && format != 4 && format != 5) {
        b.fail("unknown bitmap format " + std::to_string(format));
    }
    const uint16_t width = b.u16();
    const uint16_t height = b.u16();
    if (width == 0 || height == 0) {
        b.fail("empty bitmap");
    }
    if (format == 3) {
        (void)b.u8(); // palette size - 1
    }
    if (b.remaining() < 2) {
        b.fail("no compressed pixel data");
    }
    std::shared_ptr<DblBitmap> bitmap(new DblBitmap());
    bitmap->m_body.assign(body.begin(), body.end());
    bitmap->m_width = width;
    bitmap->m_height = height;
    bitmap->m_format = format;
    bitmap->m_alpha = type == 2;
    return bitmap;
}

std::shared_ptr<DblBitmap> DblBitmap::fromFile(const std::filesystem::path& path)
{
    const std::vector<uint8_t> data = readFileData(path, kMaxDblFileSize, "DBL file");
    try {
        return fromBytes(data);
    } catch (const ParseError& e) {
        throw ParseError(path.string() + ": " + e.what());
    }
}

uint16_t DblBitmap::defineIn(DefinitionContext& context) const
{
    const uint16_t id = context.allocateId();
    ByteWriter w;
    w.u16(id);
    w.bytes(m_body);
    context.emit(Tag(m_alpha ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless, w.take()));
    return id;
}

} // namespace swf
