// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Tag.h"

namespace swf {

void writeTag(ByteWriter& out, const Tag& tag)
{
    const size_t length = tag.body.size();
    if (length < 63 && !alwaysLongHeader(tag.code)) {
        out.u16(static_cast<uint16_t>((tag.code << 6) | length));
    } else {
        out.u16(static_cast<uint16_t>((tag.code << 6) | 63));
        out.u32(static_cast<uint32_t>(length));
    }
    out.bytes(tag.body);
}

} // namespace swf
