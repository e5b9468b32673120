// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-assembled movies for the player harness, written byte by byte so that they do not depend on
// the SWF writer: they check the harness (and the player) on their own.
//
//   minimal_movie basic  <out.swf> [rate]  background, a red rectangle, a frame script that traces
//   minimal_movie button <out.swf> [rate]  frame 1 stops; its button traces and goes to frame 2
//   minimal_movie links  <out.swf> [rate]  frame 1 opens a page in a new window; the button opens one
//                                          in the movie's own window
//   minimal_movie faulty <out.swf> [rate]  the basic movie plus a frame script with damaged actions
//   minimal_movie bad    <out.swf>         a file with a movie signature and a damaged header
//
// All movies are SWF 6, 200 x 150 pixels, background #2040C0. The rectangle covers (40,30)-(120,80).
#include "swf/ByteWriter.h"
#include "swf/Tag.h"
#include "tests/acceptance/movies/HandActions.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using acceptance::HandActions;

constexpr int kTwips = 20;
constexpr int kStageWidth = 200;
constexpr int kStageHeight = 150;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBackground { 0x20, 0x40, 0xC0 };
constexpr Rgb kRectangle { 0xE0, 0x30, 0x20 };
constexpr Rgb kButtonFace { 0x30, 0xC0, 0x50 };
constexpr Rgb kFrameTwo { 0xF0, 0xD0, 0x20 };

unsigned bitsFor(std::initializer_list<int32_t> values)
{
    unsigned bits = 1;
    for (int32_t v : values) {
        bits = std::max(bits, swf::ByteWriter::sbitsNeeded(v));
    }
    return bits;
}

void rect(swf::ByteWriter& out, int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    const unsigned n = bitsFor({ xmin, xmax, ymin, ymax });
    out.ubits(n, 5);
    out.sbits(xmin, n);
    out.sbits(xmax, n);
    out.sbits(ymin, n);
    out.sbits(ymax, n);
    out.alignBits();
}

// MATRIX with a translation only (pixels).
void translate(swf::ByteWriter& out, int x, int y)
{
    const int32_t tx = x * kTwips;
    const int32_t ty = y * kTwips;
    out.ubits(0, 1); // no scale
    out.ubits(0, 1); // no rotation
    if (tx == 0 && ty == 0) {
        out.ubits(0, 5);
    } else {
        const unsigned n = bitsFor({ tx, ty });
        out.ubits(n, 5);
        out.sbits(tx, n);
        out.sbits(ty, n);
    }
    out.alignBits();
}

void straightEdge(swf::ByteWriter& out, int32_t dx, int32_t dy)
{
    const bool vertical = dx == 0;
    const int32_t delta = vertical ? dy : dx;
    const unsigned n = std::max(2U, swf::ByteWriter::sbitsNeeded(delta));
    out.ubits(1, 1); // edge
    out.ubits(1, 1); // straight
    out.ubits(n - 2, 4);
    out.ubits(0, 1); // not a general line
    out.ubits(vertical ? 1 : 0, 1);
    out.sbits(delta, n);
}

// DefineShape3: a w x h rectangle from the origin, filled with one solid colour.
swf::Tag filledRectangle(uint16_t id, int w, int h, Rgb colour)
{
    const int32_t tw = w * kTwips;
    const int32_t th = h * kTwips;
    swf::ByteWriter out;
    out.u16(id);
    rect(out, 0, tw, 0, th);
    out.u8(1); // one fill style
    out.u8(0x00); // solid
    out.u8(colour.r);
    out.u8(colour.g);
    out.u8(colour.b);
    out.u8(0xFF);
    out.u8(0); // no line style
    out.ubits(1, 4); // fill bits
    out.ubits(0, 4); // line bits
    // Style change: fill style 1 and a move to the origin.
    out.ubits(0, 1);
    out.ubits(0b00101, 5);
    out.ubits(1, 5);
    out.sbits(0, 1);
    out.sbits(0, 1);
    out.ubits(1, 1);
    straightEdge(out, tw, 0);
    straightEdge(out, 0, th);
    straightEdge(out, -tw, 0);
    straightEdge(out, 0, -th);
    out.ubits(0, 6); // end of shape
    return { swf::TagCode::DefineShape3, out.take() };
}

swf::Tag place(uint16_t depth, uint16_t id, int x, int y)
{
    swf::ByteWriter out;
    out.u8(0x06); // character and matrix
    out.u16(depth);
    out.u16(id);
    translate(out, x, y);
    return { swf::TagCode::PlaceObject2, out.take() };
}

swf::Tag doAction(HandActions actions)
{
    return { swf::TagCode::DoAction, actions.end() };
}

// DefineButton2 showing one shape in every state, with one action block for the release.
swf::Tag button(uint16_t id, uint16_t shapeId, std::vector<uint8_t> action)
{
    swf::ByteWriter out;
    out.u16(id);
    out.u8(0); // push button
    const size_t offsetField = out.size();
    out.u16(0);
    out.u8(0x0F); // up, over, down, hit
    out.u16(shapeId);
    out.u16(1); // layer
    out.u8(0); // identity matrix
    out.u8(0); // no colour transform
    out.u8(0); // end of records
    out.patchU16(offsetField, static_cast<uint16_t>(out.size() - offsetField));
    out.u16(0); // last condition
    out.u16(0x0008); // OverDownToOverUp: released over the button
    out.bytes(action);
    return { swf::TagCode::DefineButton2, out.take() };
}

swf::Tag backgroundColour(Rgb c)
{
    swf::ByteWriter out;
    out.u8(c.r);
    out.u8(c.g);
    out.u8(c.b);
    return { swf::TagCode::SetBackgroundColor, out.take() };
}

swf::Tag showFrame()
{
    return { swf::TagCode::ShowFrame, {} };
}

std::vector<uint8_t> movie(const std::vector<swf::Tag>& tags, uint16_t rate256, uint16_t frames)
{
    swf::ByteWriter out;
    out.bytes(std::vector<uint8_t> { 'F', 'W', 'S', 6 });
    out.u32(0);
    rect(out, 0, kStageWidth * kTwips, 0, kStageHeight * kTwips);
    out.u16(rate256);
    out.u16(frames);
    for (const swf::Tag& tag : tags) {
        swf::writeTag(out, tag);
    }
    swf::writeTag(out, { swf::TagCode::End, {} });
    out.patchU32(4, static_cast<uint32_t>(out.size()));
    return out.take();
}

std::vector<uint8_t> basicMovie(uint16_t rate256)
{
    return movie({ backgroundColour(kBackground), filledRectangle(1, 80, 50, kRectangle), place(1, 1, 40, 30),
                     doAction(HandActions().push("hello from frame 1").trace()), showFrame() },
        rate256, 1);
}

std::vector<uint8_t> buttonMovie(uint16_t rate256)
{
    return movie(
        {
            backgroundColour(kBackground),
            doAction(HandActions().push("frame 1").trace().stop()),
            filledRectangle(1, 80, 50, kRectangle),
            place(1, 1, 40, 30),
            filledRectangle(2, 60, 30, kButtonFace),
            button(3, 2, HandActions().push("pressed").trace().gotoFrame(1).stop().end()),
            place(2, 3, 20, 100),
            showFrame(),
            doAction(HandActions().push("frame 2").trace().stop()),
            filledRectangle(4, 80, 50, kFrameTwo),
            place(3, 4, 40, 30),
            showFrame(),
        },
        rate256, 2);
}

std::vector<uint8_t> linksMovie(uint16_t rate256)
{
    return movie(
        {
            backgroundColour(kBackground),
            doAction(
                HandActions()
                    .push("http://gift.invalid/member/emailalert.php?title=Card 1&target=a@b.invalid&trace=")
                    .push("_blank")
                    .getUrl2()
                    .push("alert sent")
                    .trace()
                    .stop()),
            filledRectangle(1, 60, 30, kButtonFace),
            button(2, 1, HandActions().push("http://gift.invalid/self.html").push("_self").getUrl2().end()),
            place(1, 2, 20, 100),
            showFrame(),
        },
        rate256, 1);
}

// The basic movie with a second frame script whose Push runs past the end of its block: the player
// reports the damaged actions.
std::vector<uint8_t> faultyMovie(uint16_t rate256)
{
    const std::vector<uint8_t> damaged { 0x96, 0xFF, 0x00, 0x00, 'a', 'b', 0x00 };
    return movie({ backgroundColour(kBackground), filledRectangle(1, 80, 50, kRectangle), place(1, 1, 40, 30),
                     doAction(HandActions().push("hello from frame 1").trace()),
                     { swf::TagCode::DoAction, damaged }, showFrame() },
        rate256, 1);
}

// A movie signature followed by a length and a frame rectangle that run past the end of the file.
std::vector<uint8_t> badMovie()
{
    return { 'F', 'W', 'S', 6, 0xFF, 0xFF, 0x00, 0x00, 0xF8, 0x00 };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: minimal_movie basic|button|links|faulty|bad <out.swf> [rate]\n";
        return 2;
    }
    const std::string kind = argv[1];
    const double rate = argc > 3 ? std::strtod(argv[3], nullptr) : 12.0;
    const auto rate256 = static_cast<uint16_t>(static_cast<long>(rate * 256.0));
    std::vector<uint8_t> bytes;
    if (kind == "basic") {
        bytes = basicMovie(rate256);
    } else if (kind == "button") {
        bytes = buttonMovie(rate256);
    } else if (kind == "links") {
        bytes = linksMovie(rate256);
    } else if (kind == "faulty") {
        bytes = faultyMovie(rate256);
    } else if (kind == "bad") {
        bytes = badMovie();
    } else {
        std::cerr << "minimal_movie: unknown kind " << kind << "\n";
        return 2;
    }
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::cerr << "minimal_movie: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
