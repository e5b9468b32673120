// SPDX-License-Identifier: GPL-3.0-or-later
// A four-card movie shaped like a gift, its scripts compiled from the texts the gifts use: the score
// reset in frame 1, "stop();" in every frame, link buttons that add to the score, extend the trace
// and branch on a comparison, and an e-mail alert that opens a page in a new window.
//
//   gift_scripts_movie <out.swf>
//
// 400 x 300 pixels, rate 0. Each card covers the stage in its own colour (card 1 #D04040,
// card 2 #40A040, card 3 #4040D0, card 4 #D0A020) and traces "card N: <score>" when entered
// (card 4 also the trace). One button a card at (20,240)-(80,270), colour #202020:
// card 1: +5, if score >= 10 card 4 else card 2; card 2 (which also sends the alert): +5, if
// score >= 10 card 4 else card 3. Two presses therefore lead to card 4 with score 10.
#include "swf/ActionBlock.h"
#include "swf/Button.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/actionscript/Compiler.h"

#include <array>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kWidth = 400;
constexpr float kHeight = 300;

std::shared_ptr<swf::Shape> rectangle(float width, float height, swf::Color color)
{
    return swf::Shape::filledRectangle(width, height, color);
}

swf::ActionBlock script(const std::string& text)
{
    return swf::ActionBlock(swf::actionscript::compile(text));
}

// The link script of a gift button, in the gifts' own form.
std::string linkScript(
    int score, const std::string& card, const std::string& link, int compareTarget, int target)
{
    return "_root.score += " + std::to_string(score) + "; _root.trace+=\"" + card + "[-]" + link +
        "[N]\"; if(_root.score>=10){gotoAndStop(" + std::to_string(compareTarget + 1) +
        ");}else {gotoAndStop(" + std::to_string(target + 1) + ");}";
}

swf::Movie makeMovie()
{
    swf::Movie movie;
    movie.setDimension(kWidth, kHeight);
    movie.setRate(0);
    const std::array<swf::Color, 4> colours { { { 0xD0, 0x40, 0x40, 0xFF }, { 0x40, 0xA0, 0x40, 0xFF },
        { 0x40, 0x40, 0xD0, 0xFF }, { 0xD0, 0xA0, 0x20, 0xFF } } };
    const auto buttonFace = rectangle(60, 30, { 0x20, 0x20, 0x20, 0xFF });

    movie.add(script("score=0; trace=\"\";"));
    for (int card = 0; card < 4; ++card) {
        const std::string number = std::to_string(card + 1);
        if (card == 1) {
            movie.add(script("getUrl(\"http://gift.invalid/member/emailalert.php?title=Card " + number +
                "&target=author@gift.invalid&trace=\"+_root.trace, \"_blank\");"));
        }
        movie.add(script("stop();"));
        if (card == 3) {
            movie.add(script("trace(\"card " + number + ": \" + _root.score + \" \" + _root.trace);"));
        } else {
            movie.add(script("trace(\"card " + number + ": \" + _root.score);"));
        }
        std::vector<swf::DisplayItem> items;
        items.push_back(movie.add(rectangle(kWidth, kHeight, colours[static_cast<size_t>(card)])));
        if (card < 2) {
            auto button = std::make_shared<swf::Button>();
            button->addShape(buttonFace, swf::Button::kAllStates);
            button->addAction(script(linkScript(5, "Card " + number + ":", "Link " + number, 3, card + 1)),
                swf::Button::kRelease);
            swf::DisplayItem item = movie.add(button);
            item.moveTo(20, kHeight - 60);
            items.push_back(item);
        }
        movie.nextFrame();
        for (swf::DisplayItem& item : items) {
            movie.remove(item);
        }
    }
    return movie;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: gift_scripts_movie <out.swf>\n";
        return 2;
    }
    try {
        makeMovie().write(std::filesystem::path(argv[1]));
    } catch (const std::exception& e) {
        std::cerr << "gift_scripts_movie: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
