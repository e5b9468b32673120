// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the movies of the player acceptance scenarios into the folder given: a host with the same
// Flash file loaded twice as clips, a host with a version 5 file whose sprite has clip event
// scripts, a host using a movie that defines a class as backgrounds and in buttons, the music
// movie of an MP3, and a gift-shaped movie with it.
#include "generate/Music.h"
#include "swf/Button.h"
#include "swf/ByteWriter.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/PrebuiltClip.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// trace(text): push the string, trace, end.
std::vector<uint8_t> traceAction(const std::string& text)
{
    swf::ByteWriter w;
    w.u8(0x96);
    w.u16(static_cast<uint16_t>(text.size() + 2));
    w.u8(0x00);
    w.string(text);
    w.u8(0x26);
    w.u8(0x00);
    return w.take();
}

std::shared_ptr<swf::Shape> square(swf::Color color, float size)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill(color));
    shape->drawLine(size, 0);
    shape->drawLine(0, size);
    shape->drawLine(-size, 0);
    shape->drawLine(0, -size);
    shape->end();
    return shape;
}

// A version 5 movie: a sprite holding a green square, placed with onClipEvent(load) and
// onClipEvent(enterFrame) scripts that trace (event flags two bytes wide, as that version has them).
std::vector<uint8_t> version5ClipEvents()
{
    swf::Movie movie(5);
    movie.setDimension(50, 50);
    const auto green = square(swf::Color { 32, 160, 64, 255 }, 50);
    movie.addTag([green](swf::DefinitionContext& context) {
        const uint16_t shape = context.define(*green);
        const uint16_t sprite = context.allocateId();
        swf::ByteWriter timeline;
        timeline.u16(sprite);
        timeline.u16(1);
        swf::ByteWriter place;
        place.u8(0x02); // character
        place.u16(1);
        place.u16(shape);
        swf::writeTag(timeline, swf::Tag(swf::TagCode::PlaceObject2, place.take()));
        swf::writeTag(timeline, swf::Tag(swf::TagCode::ShowFrame, {}));
        swf::writeTag(timeline, swf::Tag(swf::TagCode::End, {}));
        context.emit(swf::Tag(swf::TagCode::DefineSprite, timeline.take()));

        swf::ByteWriter events;
        events.u8(0x80 | 0x02); // clip actions, character
        events.u16(1);
        events.u16(sprite);
        events.u16(0);
        events.u16(0x0003); // load, enterFrame
        for (const auto& [flags, text] : { std::pair<uint16_t, std::string> { 0x0001, "v5 clip load" },
                 std::pair<uint16_t, std::string> { 0x0002, "v5 clip enterFrame" } }) {
            const auto actions = traceAction(text);
            events.u16(flags);
            events.u32(static_cast<uint32_t>(actions.size()));
            events.bytes(actions);
        }
        events.u16(0);
        return swf::Tag(swf::TagCode::PlaceObject2, events.take());
    });
    movie.nextFrame();
    return movie.toBytes();
}

// Push of one string.
void pushString(swf::ByteWriter& w, const std::string& text)
{
    w.u8(0x96);
    w.u16(static_cast<uint16_t>(text.size() + 2));
    w.u8(0x00);
    w.string(text);
}

// `_global.Greeter = function() { trace("Greeter constructed"); }; trace("Greeter class defined");`
std::vector<uint8_t> greeterClass()
{
    swf::ByteWriter w;
    pushString(w, "_global");
    w.u8(0x1c); // GetVariable
    pushString(w, "Greeter");
    auto body = traceAction("Greeter constructed");
    body.pop_back(); // a function body has no End
    w.u8(0x9b); // DefineFunction: no name, no parameters, then the body
    w.u16(5);
    w.u8(0x00);
    w.u16(0);
    w.u16(static_cast<uint16_t>(body.size()));
    w.bytes(body);
    w.u8(0x4f); // SetMember
    w.bytes(traceAction("Greeter class defined"));
    return w.take();
}

// `_global.Greeter(); trace("Greeter frame 1");`
std::vector<uint8_t> greeterCall()
{
    swf::ByteWriter w;
    w.u8(0x96); // push 0, the argument count
    w.u16(5);
    w.u8(0x07);
    w.u32(0);
    pushString(w, "_global");
    w.u8(0x1c); // GetVariable
    pushString(w, "Greeter");
    w.u8(0x52); // CallMethod
    w.u8(0x17); // Pop
    w.bytes(traceAction("Greeter frame 1"));
    return w.take();
}

// A version 6 movie that defines an ActionScript 2 class as compilers write one: a sprite holding a
// green square, exported as "Greeter", whose DoInitAction defines the class's constructor, placed
// with a frame script that calls it.
std::vector<uint8_t> classDefinition()
{
    swf::Movie movie(6);
    movie.setDimension(50, 50);
    const auto green = square(swf::Color { 32, 160, 64, 255 }, 50);
    movie.addTag([green](swf::DefinitionContext& context) {
        const uint16_t shape = context.define(*green);
        const uint16_t sprite = context.allocateId();
        swf::ByteWriter timeline;
        timeline.u16(sprite);
        timeline.u16(1);
        swf::ByteWriter place;
        place.u8(0x02); // character
        place.u16(1);
        place.u16(shape);
        swf::writeTag(timeline, swf::Tag(swf::TagCode::PlaceObject2, place.take()));
        swf::writeTag(timeline, swf::Tag(swf::TagCode::DoAction, greeterCall()));
        swf::writeTag(timeline, swf::Tag(swf::TagCode::ShowFrame, {}));
        swf::writeTag(timeline, swf::Tag(swf::TagCode::End, {}));
        context.emit(swf::Tag(swf::TagCode::DefineSprite, timeline.take()));

        swf::ByteWriter exports;
        exports.u16(1);
        exports.u16(sprite);
        exports.string("Greeter");
        context.emit(swf::Tag(swf::TagCode::ExportAssets, exports.take()));
        swf::ByteWriter init;
        init.u16(sprite);
        init.bytes(greeterClass());
        context.emit(swf::Tag(swf::TagCode::DoInitAction, init.take()));

        swf::ByteWriter placement;
        placement.u8(0x02);
        placement.u16(1);
        placement.u16(sprite);
        return swf::Tag(swf::TagCode::PlaceObject2, placement.take());
    });
    movie.nextFrame();
    return movie.toBytes();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: swfread_acceptance_movies OUTDIR TONE.mp3\n");
        return 2;
    }
    try {
        const std::filesystem::path out = argv[1];
        std::filesystem::create_directories(out);

        // The clip: a red square that traces from its own frame script, version 8, compressed.
        swf::Movie inner(8);
        inner.setDimension(50, 50);
        inner.add(square(swf::Color { 224, 32, 32, 255 }, 50));
        inner.addAction(traceAction("clip frame 1"));
        inner.nextFrame();
        const auto innerBytes = inner.toBytes(9);

        swf::Movie host(6);
        host.setDimension(200, 200);
        host.setRate(12);
        host.add(square(swf::Color { 32, 64, 224, 255 }, 20)); // a character of the host's own first
        auto a = host.add(swf::PrebuiltClip::fromBytes(innerBytes));
        a.moveTo(100, 100);
        auto b = host.add(swf::PrebuiltClip::fromBytes(innerBytes));
        b.moveTo(0, 40);
        host.addAction(traceAction("host frame 1"));
        host.addAction({ 0x07, 0x00 });
        host.nextFrame();
        host.write(out / "clips.swf");

        // A version 5 file with clip event scripts inside a version 6 host.
        swf::Movie eventsHost(6);
        eventsHost.setDimension(200, 200);
        eventsHost.setRate(12);
        auto old = eventsHost.add(swf::PrebuiltClip::fromBytes(version5ClipEvents()));
        old.moveTo(100, 100);
        eventsHost.addAction(traceAction("host frame 1"));
        eventsHost.addAction({ 0x07, 0x00 });
        eventsHost.nextFrame();
        eventsHost.write(out / "clip-events5.swf");

        // A gift of two cards, each with the class movie as its background and inside a link
        // button, every use loaded on its own as the generator loads one per card.
        swf::Movie classHost(6);
        classHost.setDimension(200, 200);
        classHost.setRate(12);
        for (int card = 1; card <= 2; ++card) {
            auto background = classHost.add(swf::PrebuiltClip::fromBytes(classDefinition()));
            background.moveTo(0, card == 1 ? 0 : 100);
            auto button = std::make_shared<swf::Button>();
            button->addShape(swf::PrebuiltClip::fromBytes(classDefinition()), swf::Button::kAllStates);
            auto link = classHost.add(button);
            link.moveTo(100, card == 1 ? 0 : 100);
            classHost.addAction(traceAction("host frame " + std::to_string(card)));
            if (card == 2) {
                classHost.addAction({ 0x07, 0x00 });
            }
            classHost.nextFrame();
        }
        classHost.write(out / "clip-classes.swf");

        // The music movie and a gift at rate 0 that embeds it as its music clip.
        const auto app = out / "app";
        if (PrepareMusic(argv[2], app.string()) != 1) {
            return 1;
        }
        std::filesystem::copy_file(
            app / kStrMusicMovie, out / "music.swf", std::filesystem::copy_options::overwrite_existing);
        swf::Movie gift(6);
        gift.setDimension(200, 200);
        gift.setRate(0);
        gift.add(swf::PrebuiltClip::fromFile(app / kStrMusicMovie));
        gift.add(square(swf::Color { 32, 160, 64, 255 }, 200));
        gift.addAction(traceAction("gift frame 1"));
        gift.addAction({ 0x07, 0x00 });
        gift.nextFrame();
        gift.write(out / "gift-music.swf");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "swfread_acceptance_movies: %s\n", e.what());
        return 1;
    }
    return 0;
}
