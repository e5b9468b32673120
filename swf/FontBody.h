// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ByteWriter.h"
#include "swf/FdbFontData.h"

#include <span>

namespace swf {

// Writes a DefineFont2 body after its font id (what an FDB file holds after its magic): the flags
// with kWideOffsets set as the glyph data needs, kWideCodes kept, forced by `forceWideCodes` or by
// a code above 255. Throws swf::Error for more than 65535 glyphs or codes out of order.
void writeFontBody(ByteWriter& out, const FdbFontData& font, std::span<const FdbFontData::Kerning> kerning,
    bool forceWideCodes);

} // namespace swf
