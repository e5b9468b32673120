// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the movies of the player acceptance scenarios into the folder given: a host with the same
// Flash file loaded twice as clips, the music movie of an MP3, and a gift-shaped movie with it.
#include "generate/Music.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/PrebuiltClip.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::vector<uint8_t> traceAction(const std::string& text)
{
    std::vector<uint8_t> a = { 0x96, static_cast<uint8_t>(text.size() + 2), 0x00, 0x00 };
    a.insert(a.end(), text.begin(), text.end());
    a.insert(a.end(), { 0x00, 0x26, 0x00 });
    return a;
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
