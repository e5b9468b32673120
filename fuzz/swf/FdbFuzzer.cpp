// SPDX-License-Identifier: GPL-3.0-or-later
// The FDB font reader on arbitrary bytes: it must refuse damage with swf::ParseError, and what it
// accepts must embed into a movie and write back to the same bytes' meaning.
#include "swf/Error.h"
#include "swf/FdbFont.h"
#include "swf/FdbFontData.h"
#include "swf/Movie.h"
#include "swf/Text.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    swf::FdbFontData font;
    try {
        font = swf::readFdb(std::span(data, size));
    } catch (const swf::ParseError&) {
        return 0;
    }
    // What was read writes and reads back unchanged, but for the offset width, which the writer
    // chooses by size.
    swf::FdbFontData again = swf::readFdb(swf::writeFdb(font));
    again.flags &= static_cast<uint8_t>(~swf::FdbFontData::kWideOffsets);
    swf::FdbFontData expected = font;
    expected.flags &= static_cast<uint8_t>(~swf::FdbFontData::kWideOffsets);
    if (again != expected) {
        std::abort();
    }
    auto embedded = std::make_shared<swf::FdbFont>(font);
    auto text = std::make_shared<swf::Text>();
    text->setFont(embedded);
    text->setHeight(20);
    text->addString("Aa\xc3\xa9 1");
    (void)text->getStringWidth("Aa\xc3\xa9 1");
    swf::Movie movie;
    movie.add(text);
    (void)movie.toBytes();
    return 0;
}
