// SPDX-License-Identifier: GPL-3.0-or-later
// A movie made with the SWF writer, for playing in the acceptance harness:
//
//   writer_movie <out.swf> <font.fdb> <picture.jpg> [zlib level]
//
// With a zlib level (0 to 9) the file is compressed ("CWS"), else it is plain ("FWS").
// 320 x 240 pixels, white background (the writer's default), frame rate 0 as in the gifts.
// Frame 1: a red rectangle at (20,20)-(120,80), the JPEG picture at (140,20), two lines of text in
// the FDB font (baselines at y 120 and 150, from x 20), a green button at (20,190)-(80,220), darker
// under the pointer, whose release action traces "button pressed" and goes to frame 2; the frame script
// traces "writer frame 1" and stops. Frame 2 covers the rectangle in blue and traces "writer frame 2".
#include "swf/ActionBlock.h"
#include "swf/Button.h"
#include "swf/Error.h"
#include "swf/FdbFont.h"
#include "swf/JpegBitmap.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/Text.h"
#include "tests/acceptance/movies/HandActions.h"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

namespace {

using acceptance::HandActions;

std::shared_ptr<swf::Shape> rectangle(float width, float height, swf::Color color)
{
    return swf::Shape::filledRectangle(width, height, color);
}

std::shared_ptr<swf::Text> line(std::shared_ptr<const swf::FdbFont> font, const char* text)
{
    auto item = std::make_shared<swf::Text>();
    item->setFont(std::move(font));
    item->setColor(0x10, 0x10, 0x10);
    item->setHeight(20);
    item->addString(text);
    return item;
}

swf::Movie makeMovie(const char* fontPath, const char* picturePath)
{
    swf::Movie movie;
    movie.setDimension(320, 240);
    movie.setRate(0);

    movie.add(swf::ActionBlock(HandActions().push("writer frame 1").trace().stop().end()));
    movie.add(rectangle(100, 60, { 0xC0, 0x20, 0x40, 0xFF })).moveTo(20, 20);
    movie.add(swf::Shape::fromBitmap(swf::JpegBitmap::fromFile(picturePath))).moveTo(140, 20);

    const std::shared_ptr<const swf::FdbFont> font = swf::FdbFont::fromFile(fontPath);
    movie.add(line(font, "Hello from Marrowlark")).moveTo(20, 120);
    movie.add(line(font, "A second line of text")).moveTo(20, 150);

    auto button = std::make_shared<swf::Button>();
    // As the gifts' colour buttons: darker (each component less 20) while the pointer is over it.
    button->addShape(rectangle(60, 30, { 0x20, 0xA0, 0x40, 0xFF }),
        swf::Button::kUp | swf::Button::kDown | swf::Button::kHit);
    button->addShape(rectangle(60, 30, { 0x0C, 0x8C, 0x2C, 0xFF }), swf::Button::kOver);
    button->addAction(
        swf::ActionBlock(HandActions().push("button pressed").trace().gotoFrame(1).stop().end()),
        swf::Button::kRelease);
    movie.add(button).moveTo(20, 190);
    movie.nextFrame();

    movie.add(swf::ActionBlock(HandActions().push("writer frame 2").trace().stop().end()));
    movie.add(rectangle(100, 60, { 0x30, 0x50, 0xF0, 0xFF })).moveTo(20, 20);
    movie.nextFrame();
    return movie;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: writer_movie <out.swf> <font.fdb> <picture.jpg> [zlib level]\n";
        return 2;
    }
    const int level = argc == 5 ? std::atoi(argv[4]) : -1;
    try {
        makeMovie(argv[2], argv[3]).write(std::filesystem::path(argv[1]), level);
    } catch (const std::exception& e) {
        std::cerr << "writer_movie: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
