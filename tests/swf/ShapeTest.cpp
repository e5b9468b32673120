// SPDX-License-Identifier: GPL-3.0-or-later
#include "SwfTestSupport.h"

#include "swf/Movie.h"
#include "swf/Shape.h"

#include <gtest/gtest.h>

namespace {

using swf::TagCode;
using swftest::Bytes;

struct Edge {
    bool curve = false;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t ax = 0;
    int32_t ay = 0;
    bool operator==(const Edge&) const = default;
};

struct ReadShape {
    swf::Rect bounds;
    std::vector<Edge> edges;
    std::vector<std::pair<int32_t, int32_t>> moves;
};

// Reads back the DefineShape3 that a movie holding only `shape` writes.
ReadShape readBack(const std::shared_ptr<swf::Shape>& shape)
{
    swf::Movie movie;
    movie.add(shape);
    const auto tags = swftest::tagsOf(swftest::readMovie(movie.toBytes()), TagCode::DefineShape3);
    EXPECT_EQ(tags.size(), 1U);
    swf::ByteReader in(tags.at(0).body);
    ReadShape out;
    (void)in.u16();
    out.bounds = swf::readRect(in);
    const uint8_t fills = in.u8();
    for (uint8_t i = 0; i < fills; ++i) {
        EXPECT_EQ(in.u8(), 0x00);
        in.skip(4);
    }
    EXPECT_EQ(in.u8(), 0); // no line styles
    const unsigned fillBits = in.ubits(4);
    EXPECT_EQ(in.ubits(4), 0U);
    while (true) {
        if (in.ubits(1) == 0) {
            const uint32_t flags = in.ubits(5);
            if (flags == 0) {
                break;
            }
            if ((flags & 1U) != 0) {
                const unsigned bits = in.ubits(5);
                const int32_t x = in.sbits(bits);
                out.moves.emplace_back(x, in.sbits(bits));
            }
            if ((flags & 2U) != 0) {
                (void)in.ubits(fillBits);
            }
            if ((flags & 4U) != 0) {
                (void)in.ubits(fillBits);
            }
        } else if (in.ubits(1) == 1) {
            const unsigned bits = in.ubits(4) + 2;
            Edge e;
            if (in.ubits(1) == 1) {
                e.dx = in.sbits(bits);
                e.dy = in.sbits(bits);
            } else if (in.ubits(1) == 0) {
                e.dx = in.sbits(bits);
            } else {
                e.dy = in.sbits(bits);
            }
            out.edges.push_back(e);
        } else {
            const unsigned bits = in.ubits(4) + 2;
            Edge e { true, in.sbits(bits), in.sbits(bits), in.sbits(bits), in.sbits(bits) };
            out.edges.push_back(e);
        }
    }
    in.alignBits();
    EXPECT_TRUE(in.atEnd());
    return out;
}

TEST(ShapeOutput, EdgesMovesAndBounds)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setLeftFill(shape->addSolidFill({ 1, 2, 3, 4 }));
    shape->movePenTo(10, 10);
    shape->drawLineTo(20, 15.5F); // general line
    shape->drawLine(0, 0); // nothing
    shape->drawCurve(5, -20, 5, 20);
    shape->movePen(-40, 0);
    shape->drawLine(0, -1);
    shape->end();
    EXPECT_THROW(shape->drawLine(1, 1), swf::Error);
    const ReadShape read = readBack(shape);
    EXPECT_EQ(read.moves, (std::vector<std::pair<int32_t, int32_t>> { { 200, 200 }, { -200, 310 } }));
    EXPECT_EQ(read.edges,
        (std::vector<Edge> { { false, 200, 110 }, { true, 100, -400, 100, 400 }, { false, 0, -20 } }));
    // The control point of the curve counts; the pen reached x = -10 px after the move.
    EXPECT_EQ(read.bounds, (swf::Rect { -200, 600, -90, 310 }));
}

TEST(ShapeOutput, LongLinesAreSplitToFitTheEdgeRecord)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill({ 0, 0, 0, 255 }));
    shape->drawLine(10000, 0); // 200000 twips, more than 17 signed bits
    shape->drawLine(0, 5000);
    const ReadShape read = readBack(shape);
    int64_t x = 0;
    int64_t y = 0;
    for (const Edge& e : read.edges) {
        EXPECT_LE(std::abs(e.dx), 65535);
        EXPECT_LE(std::abs(e.dy), 65535);
        x += e.dx;
        y += e.dy;
    }
    EXPECT_EQ(x, 200000);
    EXPECT_EQ(y, 100000);
    EXPECT_EQ(read.bounds, (swf::Rect { 0, 200000, 0, 100000 }));
    // The first record always says where the pen starts, even without movePenTo.
    EXPECT_EQ(read.moves, (std::vector<std::pair<int32_t, int32_t>> { { 0, 0 } }));
}

TEST(ShapeOutput, RefusesForeignFillsAndMissingBitmaps)
{
    swf::Shape shape;
    EXPECT_THROW(shape.setRightFill(swf::Fill { 1 }), swf::Error);
    EXPECT_THROW((void)shape.addBitmapFill(nullptr), swf::Error);
    EXPECT_THROW((void)swf::Shape::fromBitmap(nullptr), swf::Error);
    shape.setRightFill(swf::Fill {}); // fill 0: no fill
}

// A character of the kind other parts define (a loaded clip): several ids, arbitrary tags, a
// dependency defined first.
class TwoPartCharacter : public swf::Character {
public:
    explicit TwoPartCharacter(swf::CharacterPtr inner)
        : m_inner(std::move(inner))
    {
    }
    uint16_t defineIn(swf::DefinitionContext& context) const override
    {
        const uint16_t inner = context.define(*m_inner);
        const uint16_t extra = context.allocateId();
        const uint16_t id = context.allocateId();
        context.emit(swf::Tag(uint16_t { 99 }, { static_cast<uint8_t>(inner), static_cast<uint8_t>(extra) }));
        swf::ByteWriter w;
        w.u16(id);
        w.u16(1); // one frame
        w.u16(0); // End
        context.emit(swf::Tag(TagCode::DefineSprite, w.take()));
        return id;
    }

private:
    swf::CharacterPtr m_inner;
};

class ForgetfulCharacter : public swf::Character {
public:
    uint16_t defineIn(swf::DefinitionContext& context) const override
    {
        (void)context.reserve();
        return context.allocateId();
    }
};

class SelfCharacter : public swf::Character {
public:
    uint16_t defineIn(swf::DefinitionContext& context) const override { return context.define(*this); }
};

TEST(ForeignCharacters, DefineThroughTheContext)
{
    auto inner = std::make_shared<swf::Shape>();
    auto clip = std::make_shared<TwoPartCharacter>(inner);
    swf::Movie movie;
    movie.add(clip);
    movie.add(clip);
    movie.add(inner);
    const auto read = swftest::readMovie(movie.toBytes());
    const auto custom = swftest::tagsOf(read, static_cast<TagCode>(99));
    ASSERT_EQ(custom.size(), 1U);
    EXPECT_EQ(custom[0].body, (Bytes { 1, 2 }));
    const auto places = swftest::tagsOf(read, TagCode::PlaceObject2);
    ASSERT_EQ(places.size(), 3U);
    EXPECT_EQ(places[0].body[3], 3); // the sprite's id
    EXPECT_EQ(places[1].body[3], 3);
    EXPECT_EQ(places[2].body[3], 1); // the shape, defined once as the clip's dependency

    swf::Movie forgetful;
    forgetful.add(std::make_shared<ForgetfulCharacter>());
    EXPECT_THROW((void)forgetful.toBytes(), swf::Error);
    swf::Movie self;
    self.add(std::make_shared<SelfCharacter>());
    EXPECT_THROW((void)self.toBytes(), swf::Error);
}

} // namespace
