// SPDX-License-Identifier: GPL-3.0-or-later
// Building and writing a gift-sized movie: 200 frames, each with a background, 30 texts and 10
// buttons with scripts, in a synthetic font of about 190 glyphs.
#include "swf/Button.h"
#include "swf/ByteWriter.h"
#include "swf/FdbFont.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/Text.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> glyphShape(int32_t width)
{
    swf::ByteWriter w;
    w.ubits(1, 4);
    w.ubits(0, 4);
    w.ubits(0, 1);
    w.ubits(0x03, 5);
    w.ubits(12, 5);
    w.sbits(40, 12);
    w.sbits(-700, 12);
    w.ubits(1, 1);
    for (auto [dx, dy] : { std::pair { width - 80, 0 }, { 0, 700 }, { 80 - width, 0 }, { 0, -700 } }) {
        w.ubits(1, 1);
        w.ubits(1, 1);
        w.ubits(10, 4);
        w.ubits(1, 1);
        w.sbits(dx, 12);
        w.sbits(dy, 12);
    }
    w.ubits(0, 6);
    return w.take();
}

std::shared_ptr<swf::FdbFont> makeFont()
{
    swf::FdbFontData data;
    data.name = "Bench";
    data.ascent = 900;
    data.descent = 220;
    for (uint16_t code = 32; code < 222; ++code) {
        const int16_t advance = static_cast<int16_t>(450 + (code % 7) * 40);
        data.glyphs.push_back({ code, glyphShape(advance), advance, { 40, advance, -700, 0 } });
    }
    data.kerning = { { 'A', 'V', -80 }, { 'T', 'o', -60 }, { 'L', 'T', -70 } };
    return std::make_shared<swf::FdbFont>(data);
}

std::shared_ptr<swf::Shape> rectangle(float w, float h, swf::Color color)
{
    return swf::Shape::filledRectangle(w, h, color);
}

// A script block of the size the link scripts compile to (about 140 bytes).
std::vector<uint8_t> linkScript(int frame)
{
    std::vector<uint8_t> bytes { 0x96, 0x05, 0x00, 0x07, static_cast<uint8_t>(frame), 0, 0, 0 };
    for (int i = 0; i < 26; ++i) {
        bytes.insert(bytes.end(), { 0x96, 0x02, 0x00, 0x08, static_cast<uint8_t>(i) });
    }
    bytes.insert(bytes.end(), { 0x81, 0x02, 0x00, static_cast<uint8_t>(frame), 0x00, 0x07, 0x00 });
    return bytes;
}

swf::Movie buildMovie(const std::shared_ptr<swf::FdbFont>& font)
{
    constexpr int kFrames = 200;
    swf::Movie movie;
    movie.setDimension(640, 480);
    movie.setRate(0);
    auto face = rectangle(60, 30, { 200, 40, 40, 255 });
    auto over = rectangle(60, 30, { 180, 20, 20, 255 });
    for (int frame = 0; frame < kFrames; ++frame) {
        std::vector<swf::DisplayItem> items;
        movie.addAction({ 0x07, 0x00 });
        items.push_back(movie.add(rectangle(640, 480, { 255, 255, static_cast<uint8_t>(frame), 255 })));
        for (int line = 0; line < 30; ++line) {
            auto text = std::make_shared<swf::Text>();
            text->setFont(font);
            text->setColor(0, 0, 0);
            text->setHeight(line < 2 ? 24.0F : 20.0F);
            text->addString("Card " + std::to_string(frame) + " line " + std::to_string(line) +
                ": AVAST Today, quick brown fox");
            auto item = movie.add(text);
            item.moveTo(10, 40.0F + 14.0F * static_cast<float>(line));
            items.push_back(item);
        }
        for (int link = 0; link < 10; ++link) {
            auto button = std::make_shared<swf::Button>();
            button->addShape(face, swf::Button::kUp | swf::Button::kDown | swf::Button::kHit);
            button->addShape(over, swf::Button::kOver);
            button->addAction(linkScript((frame + link) % kFrames), swf::Button::kRelease);
            auto item = movie.add(button);
            item.moveTo(20.0F + 90.0F * static_cast<float>(link % 7), 420);
            items.push_back(item);
        }
        movie.nextFrame();
        for (const auto& item : items) {
            movie.remove(item);
        }
    }
    return movie;
}

// The installation's generated Sans font when the build has made it, else the synthetic one.
std::shared_ptr<swf::FdbFont> benchFont()
{
    const std::filesystem::path generated =
        std::filesystem::path(MARROWLARK_BUILD_DIR) / "home" / "Font" / "Sans.fdb";
    if (std::filesystem::exists(generated)) {
        return swf::FdbFont::fromFile(generated);
    }
    return makeFont();
}

void run(benchmark::State& state, int level)
{
    const auto font = benchFont();
    size_t size = 0;
    for (auto _ : state) {
        const swf::Movie movie = buildMovie(font);
        const std::vector<uint8_t> bytes = movie.toBytes(level);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.SetLabel(font->name());
}

void BM_Movie200Frames(benchmark::State& state)
{
    run(state, -1);
}
void BM_Movie200FramesCompressed(benchmark::State& state)
{
    run(state, static_cast<int>(state.range(0)));
}

void BM_OutputOnly(benchmark::State& state)
{
    const auto font = benchFont();
    const swf::Movie movie = buildMovie(font);
    for (auto _ : state) {
        benchmark::DoNotOptimize(movie.toBytes().data());
    }
}

} // namespace

BENCHMARK(BM_Movie200Frames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Movie200FramesCompressed)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutputOnly)->Unit(benchmark::kMillisecond);
