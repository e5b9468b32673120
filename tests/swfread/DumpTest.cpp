// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Dump.h"

#include "swf/ActionBlock.h"
#include "swf/Button.h"
#include "swf/Error.h"
#include "swf/FdbFont.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/Text.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace swf;

namespace {

// Test inputs are kept as hex text: bytes as pairs of hex digits, '#' starts a comment.
std::vector<uint8_t> readHex(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::vector<uint8_t> out;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            out.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
        }
    }
    return out;
}

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// Each folder of data/dump holds movie.hex and the expected listing expected.txt. With
// MARROWLARK_UPDATE_EXPECTED set, the listings are rewritten instead (review the diff).
TEST(Dump, CaseFoldersMatchTheirExpectedListings)
{
    const std::filesystem::path root = std::filesystem::path(MARROWLARK_TEST_DATA) / "dump";
    const bool update = std::getenv("MARROWLARK_UPDATE_EXPECTED") != nullptr;
    size_t cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const auto movie = readHex(entry.path() / "movie.hex");
        ASSERT_FALSE(movie.empty()) << entry.path();
        const auto dump = dumpMovie(movie);
        const auto expectedPath = entry.path() / "expected.txt";
        if (update) {
            std::ofstream(expectedPath, std::ios::binary) << dump;
        }
        EXPECT_EQ(dump, readText(expectedPath)) << entry.path().filename();
        ++cases;
    }
    EXPECT_GE(cases, 4U);
}

TEST(Dump, DamagedTagIsListedAndTheListingGoesOn)
{
    auto shape = sample::solidShape(1);
    shape.body.resize(6);
    const auto dump = dumpMovie(sample::movie(
        6, 1, { shape, Tag(TagCode::DoAction, { 0x96, 0x09, 0x00, 0x00 }), sample::showFrame() }));
    EXPECT_NE(dump.find("DefineShape3 (32) 6 bytes\n  (damaged: DefineShape3: unexpected end of data"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find("(action 0x96 claims 9 bytes, only 1 remain)"), std::string::npos) << dump;
    EXPECT_NE(dump.find("ShowFrame (1) 0 bytes\nEnd\n"), std::string::npos) << dump;
    EXPECT_THROW((void)dumpMovie(std::vector<uint8_t> { 'G', 'I', 'F', '8', '9', 'a', 0, 0 }), ParseError);
}

TEST(Dump, WriterMoviesListTheirPlacements)
{
    Movie movie(6);
    movie.setDimension(640, 480);
    movie.setRate(0);
    auto shape = std::make_shared<Shape>();
    shape->setRightFill(shape->addSolidFill(Color { 255, 255, 255, 255 }));
    shape->drawLine(640, 0);
    shape->drawLine(0, 480);
    shape->drawLine(-640, 0);
    shape->drawLine(0, -480);
    shape->end();
    auto item = movie.add(shape);
    item.moveTo(10, 40);
    movie.addAction({ 0x07, 0x00 });
    movie.nextFrame();
    const auto dump = dumpMovie(movie.toBytes());
    EXPECT_NE(dump.find("FWS version 6"), std::string::npos) << dump;
    EXPECT_NE(dump.find("frame (0, 0)-(12800, 9600) rate 0 frames 1"), std::string::npos) << dump;
    EXPECT_NE(
        dump.find("DefineShape3 (32) 33 bytes id 1 bounds (0, 0)-(12800, 9600)\n  fill 1: solid #FFFFFFFF"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find("PlaceObject2 (26) 9 bytes depth 1 id 1 [translate 200 800]"), std::string::npos)
        << dump;
    EXPECT_NE(dump.find("DoAction (12) 2 bytes\n  0000: Stop\n  0001: End"), std::string::npos) << dump;
}

// A movie built through the writer's own API, listed in full: a rectangle drawn with a pen offset,
// a text in the installation's Sans font, a button with two looks and a release action, a
// placement with a colour transform that changes again in the second frame, and a removal (asked
// twice) that takes effect in the second frame.
TEST(Dump, WriterMovieMatchesItsExpectedListing)
{
    Movie movie(6);
    movie.setDimension(320, 240);
    movie.setRate(0);

    auto rectangle = std::make_shared<Shape>();
    rectangle->setRightFill(rectangle->addSolidFill(Color { 0xC0, 0x20, 0x40, 0xFF }));
    rectangle->movePenTo(5, 5);
    rectangle->drawLine(100, 0);
    rectangle->drawLine(0, 60);
    rectangle->drawLine(-100, 0);
    rectangle->drawLine(0, -60);
    rectangle->end();
    DisplayItem rectangleItem = movie.add(rectangle);
    rectangleItem.moveTo(20, 20);

    auto text = std::make_shared<Text>();
    text->setFont(FdbFont::fromFile(std::filesystem::path(MARROWLARK_STAGED_HOME) / "Font" / "Sans.fdb"));
    text->setColor(0x10, 0x20, 0x30);
    text->setHeight(20);
    text->addString("Hello, Wörld");
    movie.add(text).moveTo(20, 120);

    auto button = std::make_shared<Button>();
    button->addShape(Shape::filledRectangle(60, 30, Color { 0x20, 0xA0, 0x40, 0xFF }),
        Button::kUp | Button::kDown | Button::kHit);
    button->addShape(Shape::filledRectangle(60, 30, Color { 0x0C, 0x8C, 0x2C, 0xFF }), Button::kOver);
    // Push "pressed"; Trace; GotoFrame 1; Stop; End.
    button->addAction(ActionBlock({ 0x96, 0x09, 0x00, 0x00, 'p', 'r', 'e', 's', 's', 'e', 'd', 0x00, 0x26,
                          0x81, 0x02, 0x00, 0x01, 0x00, 0x07, 0x00 }),
        Button::kRelease);
    movie.add(button).moveTo(20, 190);

    DisplayItem faded = movie.add(Shape::filledRectangle(40, 40, Color { 0x30, 0x50, 0xF0, 0xFF }));
    faded.moveTo(200, 100);
    faded.setColorTransform(ColorTransform { 1.0F, 0.5F, 0.25F, 0.75F, 16, -16, 0, 0 });
    movie.addAction({ 0x07, 0x00 });
    movie.nextFrame();

    rectangleItem.remove();
    rectangleItem.remove();
    faded.multColor(1.0F, 1.0F, 1.0F, 0.5F);
    movie.addAction({ 0x07, 0x00 });
    movie.nextFrame();

    const std::string dump = dumpMovie(movie.toBytes());
    const std::filesystem::path expectedPath =
        std::filesystem::path(MARROWLARK_TEST_DATA) / "writer-dump" / "expected.txt";
    const std::string expected = readText(expectedPath);
    const std::filesystem::path actualPath =
        std::filesystem::path(MARROWLARK_SWFREAD_ACTUAL) / "writer-dump.actual.txt";
    if (dump != expected) {
        std::filesystem::create_directories(actualPath.parent_path());
        std::ofstream(actualPath, std::ios::binary) << dump;
    }
    EXPECT_EQ(dump, expected) << "the listing is written to " << actualPath.string();
}

TEST(Dump, SwfdumpPrintsTheListingAndFailsOnDamage)
{
    const auto dir = std::filesystem::temp_directory_path() / ("swfdump-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto movie = sample::everyIdMovie(6, 9);
    std::ofstream(dir / "m.swf", std::ios::binary)
        .write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
    std::ofstream(dir / "bad.swf") << "not a movie";
    const std::string tool = SWFDUMP_EXECUTABLE;
    EXPECT_EQ(
        std::system((tool + " " + (dir / "m.swf").string() + " > " + (dir / "out.txt").string()).c_str()), 0);
    EXPECT_EQ(readText(dir / "out.txt"), dumpMovie(movie));
    EXPECT_NE(
        std::system((tool + " " + (dir / "bad.swf").string() + " 2> " + (dir / "err.txt").string()).c_str()),
        0);
    EXPECT_NE(readText(dir / "err.txt").find("not a Flash file"), std::string::npos);
    std::filesystem::remove_all(dir);
}
