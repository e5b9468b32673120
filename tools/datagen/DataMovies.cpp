// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/DataMovies.h"

#include "swf/ActionBlock.h"
#include "swf/Shape.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>

namespace datagen {

namespace {

// A circle of four quadratic curves per quadrant pair; eight segments keep it round at any size.
std::shared_ptr<swf::Shape> Disc(float radius, swf::Color color)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill(color));
    constexpr int kSegments = 8;
    const float step = 2.0F * std::numbers::pi_v<float> / kSegments;
    const float control = radius / std::cos(step / 2.0F);
    float x = radius;
    float y = 0;
    shape->movePenTo(x, y);
    for (int i = 1; i <= kSegments; ++i) {
        const float mid = step * (static_cast<float>(i) - 0.5F);
        const float end = step * static_cast<float>(i);
        const float cx = control * std::cos(mid);
        const float cy = control * std::sin(mid);
        const float ex = radius * std::cos(end);
        const float ey = radius * std::sin(end);
        shape->drawCurve(cx - x, cy - y, ex - cx, ey - cy);
        x = ex;
        y = ey;
    }
    shape->end();
    return shape;
}

std::shared_ptr<swf::Shape> RoundedBox(float width, float height, float corner, swf::Color color)
{
    auto shape = std::make_shared<swf::Shape>();
    shape->setRightFill(shape->addSolidFill(color));
    shape->movePenTo(corner, 0);
    shape->drawLine(width - 2 * corner, 0);
    shape->drawCurve(corner, 0, 0, corner);
    shape->drawLine(0, height - 2 * corner);
    shape->drawCurve(0, corner, -corner, 0);
    shape->drawLine(-(width - 2 * corner), 0);
    shape->drawCurve(-corner, 0, 0, -corner);
    shape->drawLine(0, -(height - 2 * corner));
    shape->drawCurve(0, -corner, corner, 0);
    shape->end();
    return shape;
}

struct Drifter {
    float x;
    float y;
    float radius;
    float speed;
    swf::Color color;
};

} // namespace

swf::Movie MakeFlashBackground()
{
    swf::Movie movie;
    movie.setDimension(640, 480);
    movie.setRate(12);
    movie.setBackground(0x14, 0x1E, 0x48);
    // The movie's own background colour is not drawn when the movie plays as a clip inside a
    // gift, so the night-blue field is a shape of its own.
    movie.add(RoundedBox(640, 480, 0, { 0x14, 0x1E, 0x48, 0xFF }));
    // The sky lightens towards the bottom for some depth behind the lights. The writer has no
    // gradient fill: narrow bands a step or two apart in colour read as one smooth gradient.
    constexpr int kBands = 32;
    constexpr float kSkyTop = 160;
    constexpr float kBandHeight = (480 - kSkyTop) / kBands;
    const auto blend = [](int from, int to, float t) {
        return static_cast<std::uint8_t>(
            std::lround(static_cast<float>(from) + (static_cast<float>(to - from) * t)));
    };
    for (int band = 0; band < kBands; ++band) {
        const float t = static_cast<float>(band + 1) / kBands;
        const swf::Color colour { blend(0x14, 0x2A, t), blend(0x1E, 0x44, t), blend(0x48, 0x86, t), 0xFF };
        movie.add(RoundedBox(640, kBandHeight, 0, colour))
            .moveTo(0, kSkyTop + (kBandHeight * static_cast<float>(band)));
    }

    const std::array<Drifter, 9> drifters = { {
        { 60, 420, 34, 3.0F, { 0xFF, 0xC8, 0x6E, 0x70 } },
        { 150, 300, 18, 4.5F, { 0xFF, 0x8A, 0xB4, 0x80 } },
        { 250, 460, 46, 2.0F, { 0x9A, 0xD8, 0xFF, 0x60 } },
        { 330, 200, 22, 3.5F, { 0xFF, 0xF0, 0xA0, 0x80 } },
        { 420, 380, 30, 2.5F, { 0xC8, 0xA0, 0xFF, 0x70 } },
        { 500, 260, 14, 5.0F, { 0xFF, 0xFF, 0xFF, 0x90 } },
        { 580, 440, 40, 2.2F, { 0xFF, 0xB0, 0x80, 0x60 } },
        { 110, 120, 12, 4.0F, { 0xFF, 0xFF, 0xFF, 0x80 } },
        { 610, 140, 20, 3.2F, { 0xA0, 0xFF, 0xD0, 0x70 } },
    } };
    std::array<swf::DisplayItem, drifters.size()> items;
    for (size_t i = 0; i < drifters.size(); ++i) {
        items[i] = movie.add(Disc(drifters[i].radius, drifters[i].color));
        items[i].moveTo(drifters[i].x, drifters[i].y);
    }
    movie.nextFrame();
    for (int frame = 1; frame < kFlashBackgroundFrames; ++frame) {
        const float t = static_cast<float>(frame);
        for (size_t i = 0; i < drifters.size(); ++i) {
            const Drifter& d = drifters[i];
            // Rise, sway sideways, and wrap below the stage when a light leaves at the top.
            float y = d.y - d.speed * t * 2.0F;
            const float span = 480.0F + 2 * d.radius;
            while (y < -d.radius) {
                y += span;
            }
            const float sway = 12.0F * std::sin(t * 0.26F + static_cast<float>(i));
            items[i].moveTo(d.x + sway, y);
        }
        movie.nextFrame();
    }
    return movie;
}

swf::Movie MakeFlashButton()
{
    swf::Movie movie;
    movie.setDimension(100, 40);
    movie.setRate(12);
    movie.setBackground(0xFF, 0xFF, 0xFF);
    movie.add(RoundedBox(100, 40, 0, { 0xFF, 0xFF, 0xFF, 0xFF }));
    movie.add(RoundedBox(100, 40, 12, { 0x1E, 0x6F, 0xB8, 0xFF }));
    movie.add(RoundedBox(94, 18, 9, { 0xFF, 0xFF, 0xFF, 0x50 })).moveTo(3, 3);
    swf::DisplayItem glow = movie.add(RoundedBox(100, 40, 12, { 0xFF, 0xFF, 0xFF, 0xFF }));
    constexpr int kFrames = 24;
    for (int frame = 0; frame < kFrames; ++frame) {
        const float phase = static_cast<float>(frame) / kFrames * 2.0F * std::numbers::pi_v<float>;
        glow.multColor(1.0F, 1.0F, 1.0F, 0.12F + 0.12F * std::sin(phase));
        movie.nextFrame();
    }
    return movie;
}

swf::Movie MakeSilentMovie()
{
    swf::Movie movie;
    movie.setDimension(1, 1);
    movie.setRate(12);
    // StopSounds (09), Stop (07), End.
    movie.add(swf::ActionBlock({ 0x09, 0x07, 0x00 }));
    movie.nextFrame();
    return movie;
}

} // namespace datagen
