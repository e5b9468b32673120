// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the SWF reader's fuzz targets into the folder given: hand-built movies
// (plain and compressed, several versions) and MP3 streams.
#include "tests/swfread/SampleMovies.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void save(const std::filesystem::path& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    using namespace swf::sample;
    const std::filesystem::path root = argv[1];
    std::vector<std::pair<std::string, std::vector<uint8_t>>> movies = {
        { "every6", everyIdMovie(6) },
        { "every8c", everyIdMovie(8, 9) },
        { "every10", everyIdMovie(10) },
        { "shapes",
            movie(6, 1,
                { solidShape(1), losslessBitmap(2), bitmapShape(3, 2, 1), bitmapShape(4, 2, 4),
                    morphShape(5, 2), place3(1, 4), showFrame() }) },
        { "actions",
            movie(6, 1,
                { doAction({ 0x96, 0x07, 0x00, 0x00, 'a', 0x00, 0x07, 1, 0, 0, 0, 0x1d, 0x00 }),
                    showFrame() }) },
    };
    // A version 5 file with clip event scripts, at the root and inside a sprite.
    const std::vector<ClipEvent> events = { { 0x0001, traceAction("load") }, { 0x0402, { 0x07, 0x00 } } };
    movies.push_back({ "events5",
        movie(5, 1,
            { solidShape(1), sprite(2, 1, { placeWithClipEvents(1, 1, events), showFrame() }),
                placeWithClipEvents(1, 2, events), showFrame() }) });
    // Class definitions: a symbol sprite exported by name with a DoInitAction in each frame.
    movies.push_back({ "classes",
        movie(6, 2,
            { solidShape(1), sprite(2, 1, { place2(1, 1, 0, 0), showFrame() }), exportAssets(2, "Greeter"),
                doInitAction(2), place2(1, 2, 0, 0), showFrame(), doInitAction(2), showFrame() }) });
    // Authoring names of characters (NameCharacter), as one command-line compiler writes them.
    movies.push_back({ "names",
        movie(6, 1,
            { solidShape(1), swf::Tag(swf::TagCode::NameCharacter, { 1, 0, 's', 'q', 0 }), place3(1, 1),
                showFrame() }) });
    for (const auto& [name, bytes] : movies) {
        save(root / "swf", name + ".swf", bytes);
        save(root / "clip", name + ".swf", bytes);
    }
    // A clip with more characters than a host movie has ids for.
    std::vector<swf::Tag> fonts;
    for (uint32_t id = 1; id <= 65535; ++id) {
        fonts.push_back(
            swf::Tag(swf::TagCode::DefineFont, { static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8) }));
    }
    save(root / "clip", "too-many-ids.swf", movie(6, 1, fonts, 9));
    auto frame = silentMp3Frame();
    std::vector<uint8_t> mp3 = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 2, 0, 0 };
    for (int i = 0; i < 3; ++i) {
        mp3.insert(mp3.end(), frame.begin(), frame.end());
    }
    save(root / "mp3", "three-frames.mp3", mp3);
    // Junk before the first frame, zero padding and an APE footer after the last.
    std::vector<uint8_t> tagged = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0, 'j', 0xff, 0xfb, 0x90, 0x00, 'k' };
    for (int i = 0; i < 2; ++i) {
        tagged.insert(tagged.end(), frame.begin(), frame.end());
    }
    tagged.resize(tagged.size() + 16, 0);
    const uint8_t ape[32] = { 'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X', 0xd0, 0x07, 0, 0, 32, 0, 0, 0 };
    tagged.insert(tagged.end(), std::begin(ape), std::end(ape));
    save(root / "mp3", "junk-and-tags.mp3", tagged);
    std::vector<uint8_t> mpeg2 = { 0xff, 0xf3, 0x40, 0xc0 };
    mpeg2.resize(104 * 2, 0);
    mpeg2[104] = 0xff;
    mpeg2[105] = 0xf3;
    mpeg2[106] = 0x40;
    mpeg2[107] = 0xc0;
    save(root / "mp3", "mpeg2-mono.mp3", mpeg2);
    return 0;
}
