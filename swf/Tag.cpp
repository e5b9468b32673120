// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Tag.h"

namespace swf {

void writeTag(ByteWriter& out, const Tag& tag)
{
    writeTag(out, tag.code, tag.body);
}

void writeTag(ByteWriter& out, uint16_t code, std::span<const uint8_t> body)
{
    const size_t length = body.size();
    if (length < 63 && !alwaysLongHeader(code)) {
        out.u16(static_cast<uint16_t>((code << 6) | length));
    } else {
        out.u16(static_cast<uint16_t>((code << 6) | 63));
        out.u32(static_cast<uint32_t>(length));
    }
    out.bytes(body);
}

} // namespace swf
