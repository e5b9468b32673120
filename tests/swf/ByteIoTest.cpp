// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/Tag.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(ByteIo, RectOf640x480HasTheReferenceBytes)
{
    // nbits 15 holds 12800 twips (640 px); the four fields follow, padded to a byte.
    swf::ByteWriter w;
    w.ubits(15, 5);
    for (int32_t v : { 0, 12800, 0, 9600 }) {
        w.sbits(v, 15);
    }
    EXPECT_EQ(w.take(), (Bytes { 0x78, 0x00, 0x06, 0x40, 0x00, 0x00, 0x12, 0xc0, 0x00 }));
}

TEST(ByteIo, SignedBitsRoundTripAndWidths)
{
    EXPECT_EQ(swf::ByteWriter::sbitsNeeded(0), 1U);
    EXPECT_EQ(swf::ByteWriter::sbitsNeeded(-1), 1U);
    EXPECT_EQ(swf::ByteWriter::sbitsNeeded(1), 2U);
    EXPECT_EQ(swf::ByteWriter::sbitsNeeded(-2), 2U);
    EXPECT_EQ(swf::ByteWriter::sbitsNeeded(12800), 15U);
    swf::ByteWriter w;
    w.sbits(-5, 4);
    w.ubits(3, 2);
    w.u16(0xBEEF);
    const Bytes bytes = w.take();
    swf::ByteReader r(bytes);
    EXPECT_EQ(r.sbits(4), -5);
    EXPECT_EQ(r.ubits(2), 3U);
    EXPECT_EQ(r.u16(), 0xBEEF);
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteIo, ReadingPastTheEndThrowsWithTheContext)
{
    const Bytes bytes { 0x01 };
    swf::ByteReader r(bytes, "DefineShape3");
    EXPECT_THROW((void)r.u16(), swf::ParseError);
    swf::ByteReader s(bytes, "name");
    try {
        (void)s.string();
        FAIL();
    } catch (const swf::ParseError& e) {
        EXPECT_NE(std::string(e.what()).find("name"), std::string::npos);
    }
}

TEST(ByteIo, TagHeaderForms)
{
    swf::ByteWriter w;
    swf::writeTag(w, swf::Tag(swf::TagCode::RemoveObject2, Bytes { 0x01, 0x00 }));
    swf::writeTag(w, swf::Tag(swf::TagCode::DefineBitsLossless, Bytes { 0x01 }));
    swf::writeTag(w, swf::Tag(swf::TagCode::DoAction, Bytes(63, 0)));
    const Bytes out = w.take();
    EXPECT_EQ((Bytes(out.begin(), out.begin() + 4)), (Bytes { 0x02, 0x07, 0x01, 0x00 }));
    // DefineBitsLossless: long form even for one byte.
    EXPECT_EQ((Bytes(out.begin() + 4, out.begin() + 10)), (Bytes { 0x3f, 0x05, 0x01, 0x00, 0x00, 0x00 }));
    // 63 bytes no longer fit the short form.
    EXPECT_EQ((Bytes(out.begin() + 11, out.begin() + 17)), (Bytes { 0x3f, 0x03, 0x3f, 0x00, 0x00, 0x00 }));
}

} // namespace
