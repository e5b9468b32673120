// SPDX-License-Identifier: GPL-3.0-or-later
// Movies whose scripts are compiled by the script compiler, for playing in the acceptance harness:
//
//   actionscript_movie expressions|link|album|windows <out.swf>
//
// expressions: one frame whose script evaluates expressions and traces each result.
// link: a four-card gift (rate 0, "stop();" in every frame, the score reset in frame 1) with one
//       link button carrying a link script with a score comparison; every frame traces its number,
//       the score and the trace text when it is entered. The button stays on the stage.
// album: the photo album's controls script in frame 1 of a looping ten-frame movie, and a watcher
//        that traces "moving" or "still" whenever the timeline starts or stops advancing.
// windows: the e-mail alert script in frame 1, and the credit line's two buttons whose getUrl
//          scripts name their window with a bare word (_blank on release, _self on press).
#include "swf/ActionBlock.h"
#include "swf/Button.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/actionscript/Compiler.h"
#include "tests/actionscript/AlbumScript.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

namespace {

using swf::actionscript::compile;

std::shared_ptr<swf::Shape> rectangle(float width, float height, swf::Color color)
{
    return swf::Shape::filledRectangle(width, height, color);
}

swf::ActionBlock script(std::string_view text)
{
    return swf::ActionBlock(compile(text));
}

constexpr const char* kExpressions = R"(
trace(1 + 2 * 3);
trace(7 % 3 - 10 / 4);
trace("a" + 1 + 2);
trace(1 + 2 + "a");
trace(2 < 10);
trace("2" < "10");
trace(3 >= 3);
trace(5 > 7);
trace(4 <= 3);
trace(1 == "1");
trace(1 === "1");
trace(null == undefined);
trace(0 || "fallback");
trace(1 && "second");
trace(0 && "never");
trace(!"");
var o = {n: 1, add: function (k) { this.n += k; return this.n; }};
o.n += 4; trace(o.n);
o["n"] *= 2; trace(o.n);
trace(o.add(5));
function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); }
trace(fact(5));
var s = ""; for (var i = 0; i < 5; i++) { if (i == 3) continue; s += i; } trace(s);
var j = 0; while (true) { j++; if (j > 4) break; } trace(j);
var k = 10; do { k -= 3; } while (k > 0); trace(k);
var total = 0; var obj = {a: 1, b: 2, c: 3}; for (var key in obj) { total += obj[key]; } trace(total);
var arr = [3, 4, 5]; trace(arr.length + ":" + arr[1]);
var x = 5; var y = x++; trace(y + "," + x + "," + ++x);
trace(typeof o.add + " " + typeof 1 + " " + typeof "s");
trace(7 & 3 | 8 ^ 1 << 2);
trace(-7 >> 1);
trace(-1 >>> 28);
trace(true ? "yes" : "no");
trace(int(7.9) + Number("2") + String(3));
trace("caf\u00e9".length);
function Point(px, py) { this.x = px; this.y = py; }
Point.prototype.sum = function () { return this.x + this.y; };
var p = new Point(2, 3); trace(p.sum());
trace(p instanceof Point);
delete p.x; trace(typeof p.x);
var found = "none"; for (var m in {only: 1}) { found = m; break; } trace(found);
function findKey(t) { for (var q in t) { if (t[q] == 2) return q; } return "missing"; }
trace(findKey({a: 1, b: 2, c: 3}));
trace("done");
stop();
)";

swf::Movie expressionsMovie()
{
    swf::Movie movie;
    movie.setDimension(200, 150);
    movie.setRate(0);
    movie.add(script(kExpressions));
    movie.nextFrame();
    return movie;
}

// The link script as the generator writes it: score 5, ">=" 10 to card 3, else to card 1.
constexpr const char* kLinkScript = "_root.score += 5; _root.trace+=\"Welcome[-]Next page[N]\"; "
                                    "if(_root.score>=10){gotoAndStop(4);}else {gotoAndStop(2);}";

swf::Movie linkMovie()
{
    swf::Movie movie;
    movie.setDimension(320, 240);
    movie.setRate(0);
    movie.add(script("score=0; trace=\"\";"));
    for (int frame = 1; frame <= 4; ++frame) {
        movie.add(script("stop();"));
        movie.add(script(
            "trace(\"frame \" + _currentframe + \" score \" + _root.score + \" trace \" + _root.trace);"));
        if (frame == 1) {
            auto button = std::make_shared<swf::Button>();
            button->addShape(rectangle(60, 30, { 0x20, 0xA0, 0x40, 0xFF }), swf::Button::kAllStates);
            button->addAction(script(kLinkScript), swf::Button::kRelease);
            movie.add(button).moveTo(20, 180);
        }
        movie.nextFrame();
    }
    return movie;
}

constexpr const char* kWatcher = R"(
_root.onEnterFrame = function () {
    var state = _currentframe != this.lastFrame ? "moving" : "still";
    if (state != this.lastState) { trace(state); this.lastState = state; }
    this.lastFrame = _currentframe;
};
)";

swf::Movie albumMovie()
{
    swf::Movie movie;
    movie.setDimension(200, 150);
    movie.setRate(12);
    movie.add(script(testscripts::albumControls()));
    movie.add(script(kWatcher));
    movie.add(rectangle(40, 40, { 0xC0, 0x20, 0x40, 0xFF })).moveTo(20, 20);
    for (int frame = 1; frame <= 10; ++frame) {
        movie.nextFrame();
    }
    return movie;
}

swf::Movie windowsMovie()
{
    swf::Movie movie;
    movie.setDimension(320, 240);
    movie.setRate(0);
    movie.add(script("score=0; trace=\"\";"));
    movie.add(
        script("getUrl(\"http://gift.invalid/member/emailalert.php?title=Card 1&target=a@b.invalid&trace=\"+"
               "_root.trace, \"_blank\");"));
    movie.add(script("stop(); trace(\"alert sent\");"));
    auto promote = std::make_shared<swf::Button>();
    promote->addShape(rectangle(140, 30, { 0x20, 0xA0, 0x40, 0xFF }), swf::Button::kAllStates);
    promote->addAction(
        script("getUrl(\"http://gift.invalid/promote.html\", _blank);"), swf::Button::kRelease);
    movie.add(promote).moveTo(180, 210);
    auto author = std::make_shared<swf::Button>();
    author->addShape(rectangle(150, 30, { 0x20, 0x40, 0xA0, 0xFF }), swf::Button::kAllStates);
    author->addAction(script("getUrl(\"http://gift.invalid/self.html\",_self);"), swf::Button::kPress);
    movie.add(author).moveTo(20, 210);
    movie.nextFrame();
    return movie;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: actionscript_movie expressions|link|album|windows <out.swf>\n";
        return 2;
    }
    try {
        const std::string kind = argv[1];
        swf::Movie movie = kind == "expressions" ? expressionsMovie()
            : kind == "link"                     ? linkMovie()
            : kind == "album"                    ? albumMovie()
            : kind == "windows"                  ? windowsMovie()
                                                 : throw std::invalid_argument("unknown movie " + kind);
        movie.write(std::filesystem::path(argv[2]));
    } catch (const std::exception& e) {
        std::cerr << "actionscript_movie: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
