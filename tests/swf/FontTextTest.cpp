// SPDX-License-Identifier: GPL-3.0-or-later
#include "SwfTestSupport.h"

#include "swf/FdbFont.h"
#include "swf/Movie.h"
#include "swf/Text.h"

#include <gtest/gtest.h>

namespace {

using swf::FdbFontData;
using swf::TagCode;
using swftest::Bytes;

// The font as a movie embeds it, read back through the FDB reader (the DefineFont2 body after the
// id is what an FDB file holds after its magic).
FdbFontData embeddedFont(const swf::Tag& tag)
{
    Bytes fdb { 'f', 'd', 'b', '0' };
    fdb.insert(fdb.end(), tag.body.begin() + 2, tag.body.end());
    return swf::readFdb(fdb);
}

std::vector<uint16_t> codesOf(const FdbFontData& font)
{
    std::vector<uint16_t> codes;
    for (const auto& g : font.glyphs) {
        codes.push_back(g.code);
    }
    return codes;
}

TEST(FdbFile, WriteAndReadTable)
{
    FdbFontData narrow = swftest::makeFont(U"AB");
    narrow.flags = FdbFontData::kHasLayout | FdbFontData::kBold;
    narrow.kerning = { { 'A', 'B', -20 } };
    FdbFontData wide = swftest::makeFont(U"a\u00e9\u20ac");
    wide.flags = FdbFontData::kHasLayout | FdbFontData::kWideCodes | FdbFontData::kItalic;
    wide.language = 1;
    wide.name = "Wide";
    FdbFontData bare;
    bare.flags = 0;
    bare.name = "Bare";
    bare.glyphs.push_back({ 'x', swftest::boxGlyph(0, 0, 10, 10), 0, {} });
    // Enough glyph data to need 32-bit offsets.
    FdbFontData big = swftest::makeFont(std::u32string(1, U'A'));
    for (char32_t c = 0x100; c < 0x100 + 3000; ++c) {
        big.glyphs.push_back(
            { static_cast<uint16_t>(c), swftest::boxGlyph(0, -700, 683, 0), 683, { 0, 683, -700, 0 } });
    }
    big.flags = FdbFontData::kHasLayout | FdbFontData::kWideCodes | FdbFontData::kWideOffsets;

    const Bytes narrowFile = swf::writeFdb(narrow);
    // Magic, flags, language, name, count, offsets from the table start (3 x UI16: 6, then past each glyph).
    const Bytes narrowHead { 'f', 'd', 'b', '0', 0x81, 0x00, 0x04, 'T', 'e', 's', 't', 0x02, 0x00, 0x06,
        0x00 };
    EXPECT_TRUE(std::equal(narrowHead.begin(), narrowHead.end(), narrowFile.begin()));
    for (const auto* font : { &narrow, &wide, &bare, &big }) {
        const Bytes file = swf::writeFdb(*font);
        EXPECT_EQ(swf::readFdb(file), *font) << font->name;
        // Every truncation is refused with a ParseError, never read past the end.
        for (size_t length = 0; length < file.size(); length += (file.size() > 4000 ? 997 : 1)) {
            EXPECT_THROW((void)swf::readFdb(std::span(file).first(length)), swf::ParseError)
                << font->name << " cut at " << length;
        }
    }
}

TEST(FdbFile, RefusesInconsistentTables)
{
    const Bytes good = swf::writeFdb(swftest::makeFont(U"AB"));
    auto broken = [&](size_t at, uint8_t value) {
        Bytes b = good;
        b.at(at) = value;
        return b;
    };
    const size_t table = 4 + 3 + 4 + 2; // magic, flags/language/name length, "Test", count
    EXPECT_THROW((void)swf::readFdb(broken(0, 'F')), swf::ParseError); // magic
    EXPECT_THROW((void)swf::readFdb(broken(table, 8)), swf::ParseError); // first offset off the table
    EXPECT_THROW((void)swf::readFdb(broken(table + 4, 0xff)), swf::ParseError); // glyph past the end
    EXPECT_THROW((void)swf::readFdb(broken(table + 2, 0x01)), swf::ParseError); // offsets out of order
    FdbFontData unordered = swftest::makeFont(U"BA");
    EXPECT_THROW((void)swf::writeFdb(unordered), swf::Error);
    EXPECT_THROW(swf::FdbFont { unordered }, swf::Error);
    // A glyph whose shape runs past its bytes.
    FdbFontData damaged = swftest::makeFont(U"A");
    damaged.glyphs[0].shape.resize(4);
    EXPECT_THROW((void)swf::readFdb(swf::writeFdb(damaged)), swf::ParseError);
}

TEST(TextWidth, FollowsTheReferenceRule)
{
    FdbFontData data = swftest::makeFont(U"AVW");
    data.kerning = { { 'A', 'V', -100 } };
    auto font = std::make_shared<swf::FdbFont>(data);
    swf::Text text;
    EXPECT_THROW((void)text.getStringWidth("A"), swf::Error);
    EXPECT_THROW(text.addString("A"), swf::Error);
    text.setFont(font);
    text.setHeight(24);
    EXPECT_FLOAT_EQ(text.getStringWidth("A"), 16.0F);
    // (683 + 683 - 100) * 480 / 1024 = 593.4 twips, truncated.
    EXPECT_FLOAT_EQ(text.getStringWidth("AV"), 29.65F);
    EXPECT_FLOAT_EQ(text.getStringWidth("VA"), 32.0F);
    EXPECT_FLOAT_EQ(text.getStringWidth("AzA"), 32.0F); // a code without a glyph adds nothing
    EXPECT_FLOAT_EQ(text.getStringWidth(""), 0.0F);
    text.setHeight(14);
    EXPECT_FLOAT_EQ(text.getStringWidth("W"), 9.3F); // 683 * 280 / 1024 = 186.76
}

TEST(TextOutput, EmptyTextHasNoRecord)
{
    // 20 glyphs used elsewhere: glyph indexes need 5 bits.
    auto font = std::make_shared<swf::FdbFont>(swftest::makeFont(U"ABCDEFGHIJKLMNOPQRST"));
    swf::Movie movie;
    auto full = std::make_shared<swf::Text>();
    full->setFont(font);
    full->addString("ABCDEFGHIJKLMNOPQRST");
    auto empty = std::make_shared<swf::Text>();
    empty->setFont(font);
    empty->addString("");
    movie.add(full);
    movie.add(empty);
    const auto read = swftest::readMovie(movie.toBytes());
    const auto texts = swftest::tagsOf(read, TagCode::DefineText2);
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts[1].body, (Bytes { 0x03, 0x00, 0x08, 0x00, 0x00, 0x05, 0x00, 0x00 }));
}

TEST(TextOutput, RecordLayoutAndBounds)
{
    FdbFontData data = swftest::makeFont(U"AV");
    data.kerning = { { 'A', 'V', -100 } };
    auto font = std::make_shared<swf::FdbFont>(data);
    auto text = std::make_shared<swf::Text>();
    text->setFont(font);
    text->setHeight(24);
    text->setColor(255, 0, 0);
    text->addString("AVq"); // q is not in the font: glyph 0
    swf::Movie movie;
    movie.add(text).moveTo(10, 40);
    const auto read = swftest::readMovie(movie.toBytes());
    const auto texts = swftest::tagsOf(read, TagCode::DefineText2);
    ASSERT_EQ(texts.size(), 1U);
    swf::ByteReader in(texts[0].body);
    EXPECT_EQ(in.u16(), 2); // the font took id 1
    // Advances: trunc((683 - 100) * 480 / 1024) = 273, 320, 320; boxes 0..320 along the pen.
    EXPECT_EQ(swf::readRect(in), (swf::Rect { 0, 913, -328, 0 }));
    EXPECT_EQ(in.u8(), 0x00); // identity matrix
    EXPECT_EQ(in.u8(), 1); // two glyphs in the subset: indexes need 1 bit
    EXPECT_EQ(in.u8(), 10); // 320 needs 10 signed bits
    EXPECT_EQ(in.u8(), 0x8c);
    EXPECT_EQ(in.u16(), 1);
    EXPECT_EQ(in.u32(), 0xff0000ffU); // RGBA
    EXPECT_EQ(in.u16(), 480);
    EXPECT_EQ(in.u8(), 3);
    const std::pair<uint32_t, int32_t> glyphs[] = { { 0, 273 }, { 1, 320 }, { 0, 320 } };
    for (auto [glyph, advance] : glyphs) {
        EXPECT_EQ(in.ubits(1), glyph);
        EXPECT_EQ(in.sbits(10), advance);
    }
    in.alignBits();
    EXPECT_EQ(in.u8(), 0);
    EXPECT_TRUE(in.atEnd());

    const auto fonts = swftest::tagsOf(read, TagCode::DefineFont2);
    ASSERT_EQ(fonts.size(), 1U);
    const FdbFontData embedded = embeddedFont(fonts[0]);
    EXPECT_EQ(codesOf(embedded), (std::vector<uint16_t> { 'A', 'V' }));
    EXPECT_TRUE(embedded.kerning.empty());
    EXPECT_EQ(embedded.glyphs[1], data.glyphs[1]);
}

TEST(TextOutput, OneSubsetPerFontPerMovieBeforeItsFirstText)
{
    auto font = std::make_shared<swf::FdbFont>(swftest::makeFont(U"ABCDEFGH\u00e9"));
    auto makeText = [&](const char* s) {
        auto t = std::make_shared<swf::Text>();
        t->setFont(font);
        t->setHeight(20);
        return std::pair { t, std::string(s) };
    };
    swf::Movie movie;
    auto [first, firstString] = makeText("HA");
    movie.add(first);
    movie.nextFrame();
    auto [second, secondString] = makeText("C\xc3\xa9");
    movie.add(second);
    // Strings added after the texts were placed still count, as output reads them then.
    first->addString(firstString);
    second->addString(secondString);
    const auto read = swftest::readMovie(movie.toBytes());
    const auto fonts = swftest::tagsOf(read, TagCode::DefineFont2);
    ASSERT_EQ(fonts.size(), 1U);
    EXPECT_EQ(codesOf(embeddedFont(fonts[0])), (std::vector<uint16_t> { 'A', 'C', 'H', 0xe9 }));
    const auto codes = swftest::codesOf(read);
    const auto fontAt = std::find(codes.begin(), codes.end(), swftest::code(TagCode::DefineFont2));
    const auto textAt = std::find(codes.begin(), codes.end(), swftest::code(TagCode::DefineText2));
    EXPECT_LT(fontAt, textAt);

    // Another movie with the same font embeds only what it uses.
    swf::Movie other;
    auto [third, thirdString] = makeText("BB");
    third->addString(thirdString);
    other.add(third);
    const auto otherFonts = swftest::tagsOf(swftest::readMovie(other.toBytes()), TagCode::DefineFont2);
    ASSERT_EQ(otherFonts.size(), 1U);
    EXPECT_EQ(codesOf(embeddedFont(otherFonts[0])), (std::vector<uint16_t> { 'B' }));
}

TEST(TextOutput, LongStringsSplitIntoRecordsOf255Glyphs)
{
    auto font = std::make_shared<swf::FdbFont>(swftest::makeFont(U"A", 10));
    auto text = std::make_shared<swf::Text>();
    text->setFont(font);
    text->setHeight(1);
    text->addString(std::string(300, 'A'));
    swf::Movie movie;
    movie.add(text);
    const auto texts = swftest::tagsOf(swftest::readMovie(movie.toBytes()), TagCode::DefineText2);
    ASSERT_EQ(texts.size(), 1U);
    swf::ByteReader in(texts[0].body);
    (void)in.u16();
    (void)swf::readRect(in);
    (void)in.u8();
    const unsigned glyphBits = in.u8();
    const unsigned advanceBits = in.u8();
    std::vector<size_t> counts;
    while (in.u8() == 0x8c) {
        in.skip(2 + 4 + 2);
        const uint8_t n = in.u8();
        counts.push_back(n);
        for (unsigned k = 0; k < n; ++k) {
            (void)in.ubits(glyphBits);
            (void)in.sbits(advanceBits);
        }
    }
    EXPECT_EQ(counts, (std::vector<size_t> { 255, 45 }));
    EXPECT_TRUE(in.atEnd());
}

} // namespace

namespace {

TEST(TextOutput, HugeGlyphBoxesStayInsideTheRectField)
{
    // A font may give any 31-bit box; scaling it by the height must neither overflow nor widen
    // the RECT past its 31-bit fields.
    FdbFontData data = swftest::makeFont(U"A");
    data.glyphs[0].bounds = swf::Rect { -(1 << 30), (1 << 30) - 1, -(1 << 30), (1 << 30) - 1 };
    auto text = std::make_shared<swf::Text>();
    text->setFont(std::make_shared<swf::FdbFont>(data));
    text->setHeight(100);
    text->addString("AAAA");
    swf::Movie movie;
    movie.add(text);
    const auto texts = swftest::tagsOf(swftest::readMovie(movie.toBytes()), TagCode::DefineText2);
    ASSERT_EQ(texts.size(), 1U);
    swf::ByteReader in(texts[0].body);
    (void)in.u16();
    EXPECT_EQ(swf::readRect(in), (swf::Rect { -(1 << 30), (1 << 30) - 1, -(1 << 30), (1 << 30) - 1 }));
}

} // namespace
