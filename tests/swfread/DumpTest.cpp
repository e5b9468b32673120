// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Dump.h"

#include "swf/Error.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
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
