// SPDX-License-Identifier: GPL-3.0-or-later
#include "SwfTestSupport.h"

#include "swf/Button.h"
#include "swf/Movie.h"
#include "swf/Shape.h"

#include <gtest/gtest.h>

namespace {

using swf::TagCode;
using swftest::Bytes;

std::shared_ptr<swf::Shape> box(uint8_t grey)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill({ grey, grey, grey, 255 }));
    shape->drawLine(60, 0);
    shape->drawLine(0, 30);
    shape->drawLine(-60, 0);
    shape->drawLine(0, -30);
    shape->end();
    return shape;
}

TEST(ButtonOutput, RecordsAndConditionsLayout)
{
    auto face = box(200);
    auto over = box(180);
    auto button = std::make_shared<swf::Button>();
    button->addShape(face, swf::Button::kUp | swf::Button::kDown | swf::Button::kHit);
    button->addShape(over, swf::Button::kOver);
    button->addAction(Bytes { 0x07, 0x00 }, swf::Button::kRelease);
    button->addAction(Bytes { 0x06 }, swf::Button::kPress); // End is added
    auto plain = std::make_shared<swf::Button>();
    plain->addShape(face, swf::Button::kAllStates);

    swf::Movie movie;
    movie.add(button);
    movie.add(plain);
    const auto read = swftest::readMovie(movie.toBytes());
    // The shared face is written once, before the first button that shows it.
    EXPECT_EQ(swftest::tagsOf(read, TagCode::DefineShape3).size(), 2U);
    const auto buttons = swftest::tagsOf(read, TagCode::DefineButton2);
    ASSERT_EQ(buttons.size(), 2U);
    const Bytes expected { 0x03, 0x00, 0x00, 0x11, 0x00, // id 3, menu 0, offset 17
        0x0d, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, // face: up, down, hit
        0x02, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, // over, end of records
        0x06, 0x00, 0x08, 0x00, 0x07, 0x00, // release: stop
        0x00, 0x00, 0x04, 0x00, 0x06, 0x00 }; // press (last): play
    EXPECT_EQ(buttons[0].body, expected);
    EXPECT_EQ(buttons[1].body,
        (Bytes { 0x04, 0x00, 0x00, 0x00, 0x00, 0x0f, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00 }));
}

TEST(ButtonOutput, RefusesWhatCannotShow)
{
    swf::Button button;
    EXPECT_THROW(button.addShape(nullptr, swf::Button::kUp), swf::Error);
    EXPECT_THROW(button.addShape(box(1), 0x30), swf::Error);
}

TEST(ActionBlock, ChecksRecordsAndEnds)
{
    EXPECT_EQ(swf::ActionBlock(Bytes {}).bytes(), (Bytes { 0x00 }));
    EXPECT_EQ(swf::ActionBlock(Bytes { 0x07 }).bytes(), (Bytes { 0x07, 0x00 }));
    // A push whose data holds a zero byte is not mistaken for the end.
    const Bytes push { 0x96, 0x02, 0x00, 0x08, 0x00 };
    Bytes ended = push;
    ended.push_back(0x00);
    EXPECT_EQ(swf::ActionBlock(push).bytes(), ended);
    EXPECT_EQ(swf::ActionBlock(ended).bytes(), ended);
    EXPECT_THROW(swf::ActionBlock(Bytes { 0x96, 0x05, 0x00, 0x08 }), swf::Error);
    EXPECT_THROW(swf::ActionBlock(Bytes { 0x96, 0x05 }), swf::Error);
    EXPECT_THROW(swf::ActionBlock(Bytes { 0x00, 0x07, 0x00 }), swf::Error);
}

} // namespace
