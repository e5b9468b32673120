// SPDX-License-Identifier: GPL-3.0-or-later
#include "SwfTestSupport.h"

#include "swf/DblBitmap.h"
#include "swf/JpegBitmap.h"
#include "swf/Matrix.h"
#include "swf/Movie.h"
#include "swf/Shape.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using swf::TagCode;
using swftest::Bytes;

Bytes segment(uint8_t marker, const Bytes& payload)
{
    const size_t length = payload.size() + 2;
    Bytes out { 0xff, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length) };
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// A frame header for a 3 x 2 picture of one component.
const Bytes kSof0 = segment(0xc0, { 8, 0, 2, 0, 3, 1, 1, 0x11, 0 });
const Bytes kDqt = segment(0xdb, Bytes(65, 1));
const Bytes kDht = segment(0xc4, { 0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5 });
const Bytes kDri = segment(0xdd, { 0, 4 });
const Bytes kApp0 = segment(0xe0, { 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0 });
const Bytes kCom = segment(0xfe, { 'h', 'i' });
// The scan header and entropy data with a stuffed FF 00 and a restart marker, then EOI.
const Bytes kScan = concat(
    { segment(0xda, { 1, 1, 0, 0, 63, 0 }), { 0x12, 0xff, 0x00, 0x34, 0xff, 0xd0, 0x56 }, { 0xff, 0xd9 } });
const Bytes kSoi { 0xff, 0xd8 };

TEST(JpegBitmap, KeepsOnlyTablesFrameAndScan)
{
    // APP0 and COM go, the trailing bytes after EOI go, and FF fill bytes before a marker are skipped.
    const Bytes file =
        concat({ kSoi, kApp0, kDqt, { 0xff }, kSof0, kCom, kDht, kDri, kScan, { 0x99, 0x98 } });
    const auto bitmap = swf::JpegBitmap::fromBytes(file);
    EXPECT_EQ(bitmap->width(), 3);
    EXPECT_EQ(bitmap->height(), 2);
    EXPECT_EQ(bitmap->data(), concat({ kSoi, kDqt, kSof0, kDht, kDri, kScan }));

    swf::Movie movie;
    movie.add(swf::Shape::fromBitmap(bitmap));
    const auto read = swftest::readMovie(movie.toBytes());
    const auto tags = swftest::tagsOf(read, TagCode::DefineBitsJPEG2);
    ASSERT_EQ(tags.size(), 1U);
    EXPECT_EQ(tags[0].body, concat({ { 0x01, 0x00 }, bitmap->data() }));
}

TEST(JpegBitmap, RefusesProgressiveAndBrokenFiles)
{
    const Bytes progressive = segment(0xc2, { 8, 0, 2, 0, 3, 1, 1, 0x11, 0 });
    const Bytes lossless = segment(0xc3, { 8, 0, 2, 0, 3, 1, 1, 0x11, 0 });
    const struct {
        const char* name;
        Bytes data;
        const char* message;
    } cases[] = {
        { "progressive", concat({ kSoi, kDqt, progressive, kDht, kScan }), "progressive" },
        { "lossless", concat({ kSoi, lossless, kScan }), "non-baseline" },
        { "not a JPEG", { 'G', 'I', 'F', '8', '9', 'a' }, "not a JPEG" },
        { "empty", {}, "not a JPEG" },
        { "no frame header", concat({ kSoi, kDqt, kScan }), "frame header" },
        { "no end of image", concat({ kSoi, kSof0, segment(0xda, { 1, 1, 0, 0, 63, 0 }), { 1, 2, 3 } }),
            "truncated" },
        { "segment past the end", concat({ kSoi, kSof0, { 0xff, 0xdb, 0x01, 0x00, 0x00 } }), "past the end" },
        { "no scan", concat({ kSoi, kSof0 }), "no scan" },
        { "garbage between segments", concat({ kSoi, kSof0, { 0x00 }, kScan }), "expected a marker" },
        { "tiny frame header", concat({ kSoi, segment(0xc0, { 8, 0 }), kScan }), "too short" },
        { "zero size", concat({ kSoi, segment(0xc0, { 8, 0, 0, 0, 3, 1, 1, 0x11, 0 }), kScan }),
            "without a size" },
    };
    for (const auto& c : cases) {
        try {
            (void)swf::JpegBitmap::fromBytes(c.data);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const swf::ParseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

Bytes zlib(const Bytes& raw)
{
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(length);
    compress(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(length);
    return out;
}

Bytes dblFile(char kind, uint8_t type, const Bytes& body, int lengthDelta = 0)
{
    Bytes out { 'D', 'B', static_cast<uint8_t>(kind), type };
    const size_t length = static_cast<size_t>(static_cast<long>(body.size()) + lengthDelta);
    if (kind == 'l') {
        out.push_back(static_cast<uint8_t>(length >> 24));
        out.push_back(static_cast<uint8_t>(length >> 16));
    }
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

TEST(DblBitmap, ValidationTable)
{
    // Format 5 (32-bit), 2 x 1; and format 3 (palette of 2) 4 x 2.
    const Bytes argb = concat({ { 5, 2, 0, 1, 0 }, zlib(Bytes(8, 0x7f)) });
    const Bytes palette = concat({ { 3, 4, 0, 2, 0, 1 }, zlib(Bytes(6 + 16, 0x01)) });
    Bytes badMagic = dblFile('l', 1, argb);
    badMagic[1] = 'C';
    const struct {
        const char* name;
        Bytes file;
        bool valid;
        int width;
        int height;
        bool alpha;
    } cases[] = {
        { "lossless, long length", dblFile('l', 1, argb), true, 2, 1, false },
        { "lossless2, old short length", dblFile('L', 2, palette), true, 4, 2, true },
        { "trailing bytes after the body", concat({ dblFile('l', 2, argb), { 0, 0 } }), true, 2, 1, true },
        { "bad magic", badMagic, false, 0, 0, false },
        { "unknown type", dblFile('l', 3, argb), false, 0, 0, false },
        { "length past the file", dblFile('l', 1, argb, 1), false, 0, 0, false },
        { "header only", { 'D', 'B', 'l', 1, 0, 0 }, false, 0, 0, false },
        { "unknown format", dblFile('l', 1, concat({ { 7, 2, 0, 1, 0 }, zlib(Bytes(8, 0)) })), false, 0, 0,
            false },
        { "zero width", dblFile('l', 1, concat({ { 5, 0, 0, 1, 0 }, zlib(Bytes(8, 0)) })), false, 0, 0,
            false },
        { "no pixel data", dblFile('l', 1, { 5, 2, 0, 1, 0 }), false, 0, 0, false },
        { "palette size missing", dblFile('L', 1, { 3, 4, 0, 2, 0 }), false, 0, 0, false },
    };
    for (const auto& c : cases) {
        if (!c.valid) {
            EXPECT_THROW((void)swf::DblBitmap::fromBytes(c.file), swf::ParseError) << c.name;
            continue;
        }
        const auto bitmap = swf::DblBitmap::fromBytes(c.file);
        EXPECT_EQ(bitmap->width(), c.width) << c.name;
        EXPECT_EQ(bitmap->height(), c.height) << c.name;
        EXPECT_EQ(bitmap->hasAlpha(), c.alpha) << c.name;
    }
}

TEST(DblBitmap, WritesTheBodyBehindItsIdWithALongHeader)
{
    const Bytes body = concat({ { 5, 2, 0, 1, 0 }, zlib(Bytes(8, 0x7f)) });
    const auto bitmap = swf::DblBitmap::fromBytes(dblFile('l', 2, body));
    swf::Movie movie;
    auto shape = std::make_shared<swf::Shape>();
    shape->setLeftFill(shape->addBitmapFill(bitmap, swf::BitmapFillKind::Tiled));
    shape->drawLine(2, 0);
    shape->drawLine(0, 1);
    shape->drawLine(-2, 0);
    shape->drawLine(0, -1);
    movie.add(shape);
    const Bytes file = movie.toBytes();
    const auto read = swftest::readMovie(file);
    const auto tags = swftest::tagsOf(read, TagCode::DefineBitsLossless2);
    ASSERT_EQ(tags.size(), 1U);
    EXPECT_EQ(tags[0].body, concat({ { 0x01, 0x00 }, body }));
    // The record header is the long form even for this short body.
    const Bytes longHeader { 0x3f, 0x09, static_cast<uint8_t>(tags[0].body.size()), 0, 0, 0 };
    EXPECT_NE(std::search(file.begin(), file.end(), longHeader.begin(), longHeader.end()), file.end());

    // The shape fills with bitmap 1, tiled, scaled by 20: MATRIX with 22-bit scale fields.
    const auto shapes = swftest::tagsOf(read, TagCode::DefineShape3);
    ASSERT_EQ(shapes.size(), 1U);
    swf::ByteReader in(shapes[0].body);
    EXPECT_EQ(in.u16(), 2);
    EXPECT_EQ(swf::readRect(in), (swf::Rect { 0, 40, 0, 20 }));
    EXPECT_EQ(in.u8(), 1);
    EXPECT_EQ(in.u8(), 0x40);
    EXPECT_EQ(in.u16(), 1);
    const swf::Matrix m = swf::readMatrix(in);
    EXPECT_EQ(m.scaleX, 20.0);
    EXPECT_EQ(m.scaleY, 20.0);
    EXPECT_EQ(m.translateX, 0);
}

TEST(LoadBitmap, PicksTheKindByTheLastFourCharacters)
{
    const auto folder =
        std::filesystem::temp_directory_path() / ("swfw_bitmap_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const Bytes jpeg = concat({ kSoi, kDqt, kSof0, kDht, kScan });
    const Bytes dbl = dblFile('l', 1, concat({ { 5, 2, 0, 1, 0 }, zlib(Bytes(8, 0x7f)) }));
    auto put = [&](const std::string& name, const Bytes& data) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        return folder / name;
    };
    EXPECT_EQ(swf::loadBitmap(put("a.jpg", jpeg))->width(), 3);
    EXPECT_EQ(swf::loadBitmap(put("b.dbl", dbl))->width(), 2);
    EXPECT_EQ(swf::loadBitmap(put("c.JPG", jpeg)), nullptr); // callers lower-case their names
    EXPECT_EQ(swf::loadBitmap(put("d.jpeg", jpeg)), nullptr);
    EXPECT_EQ(swf::loadBitmap(".jpg"), nullptr);
    EXPECT_THROW((void)swf::loadBitmap(folder / "missing.jpg"), swf::Error);
    EXPECT_THROW((void)swf::loadBitmap(put("e.jpg", dbl)), swf::ParseError);
    std::filesystem::remove_all(folder);
}

} // namespace
