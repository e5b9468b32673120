// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/PrebuiltClip.h"

#include "swf/Button.h"
#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/Dump.h"
#include "swf/read/Records.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/ClipHost.h"
#include "tests/swfread/IdAudit.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace swf;

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines) {
        out += l + "\n";
    }
    return out;
}

const Tag* findTag(const SwfFile& movie, TagCode code)
{
    for (const auto& t : movie.tags) {
        if (t.code == static_cast<uint16_t>(code)) {
            return &t;
        }
    }
    return nullptr;
}

// Every PlaceObject2 with clip actions of a tag list, sprites' timelines included, read in
// `version`.
void collectClipEvents(
    const std::vector<TagView>& tags, uint8_t version, std::vector<std::vector<rec::ClipAction>>& out)
{
    for (const auto& t : tags) {
        if (t.code == static_cast<uint16_t>(TagCode::DefineSprite)) {
            collectClipEvents(readTagStream(t.body.subspan(4), "sprite"), version, out);
        } else if (t.code == static_cast<uint16_t>(TagCode::PlaceObject2)) {
            const auto p = rec::readPlacement(t.body, 2, version);
            if (!p.clipActions.empty()) {
                EXPECT_EQ(p.name, "clip");
                out.push_back(p.clipActions);
            }
        }
    }
}

Tag initAction(uint16_t sprite, const std::vector<uint8_t>& actions)
{
    std::vector<uint8_t> body = { static_cast<uint8_t>(sprite), static_cast<uint8_t>(sprite >> 8) };
    body.insert(body.end(), actions.begin(), actions.end());
    return Tag(TagCode::DoInitAction, std::move(body));
}

// A movie that defines an ActionScript 2 class as compilers write one: a symbol sprite (id 2)
// exported under its linkage name, with one DoInitAction for it in each of the two frames.
std::vector<uint8_t> classMovie()
{
    return sample::movie(6, 2,
        { sample::solidShape(1), sample::sprite(2, 1, { sample::place2(1, 1, 0, 0), sample::showFrame() }),
            sample::exportAssets(2, "Greeter"), initAction(2, sample::traceAction("Greeter defined")),
            sample::place2(1, 2, 0, 0), sample::showFrame(),
            initAction(2, sample::traceAction("Greeter registered")),
            sample::doAction(sample::traceAction("second frame")), sample::showFrame() });
}

// A host of two frames, each with the class movie as a background and inside a button, every use
// loaded on its own as a gift loads one per card.
std::vector<uint8_t> classHost()
{
    Movie movie(6);
    movie.setDimension(100, 100);
    for (int frame = 0; frame < 2; ++frame) {
        movie.add(PrebuiltClip::fromBytes(classMovie()));
        auto button = std::make_shared<Button>();
        button->addShape(PrebuiltClip::fromBytes(classMovie()), Button::kAllStates);
        movie.add(button);
        movie.nextFrame();
    }
    return movie.toBytes();
}

bool holdsTag(std::span<const uint8_t> timeline, uint16_t code)
{
    for (const auto& t : readTagStream(timeline, "sprite")) {
        if (t.code == code ||
            (t.code == static_cast<uint16_t>(TagCode::DefineSprite) && holdsTag(t.body.subspan(4), code))) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(PrebuiltClip, EveryIdCarryingStructureIsRenumbered)
{
    const auto clip = PrebuiltClip::fromBytes(sample::everyIdMovie(6));
    EXPECT_EQ(clip->frameCount(), 1);
    const auto bytes = test::hostWith({ clip });
    const auto audit = test::auditIds(bytes);
    EXPECT_TRUE(audit.problems.empty()) << joined(audit.problems);
    // Two host shapes, nine clip characters and the clip's own sprite, plus the inner sprite.
    EXPECT_EQ(audit.defined.size(), 2U + 9U + 1U);
    EXPECT_EQ(audit.sprites, 2U);
    const auto movie = readSwf(bytes);
    ASSERT_FALSE(movie.tags.empty());
    // The clip's own background colour never reaches the host.
    for (const auto& t : movie.tags) {
        if (t.code == static_cast<uint16_t>(TagCode::SetBackgroundColor)) {
            EXPECT_EQ(t.body, (std::vector<uint8_t> { 0xff, 0xff, 0xff }));
        }
    }
}

TEST(PrebuiltClip, SameFileTwiceAndDifferentFilesStayApart)
{
    const auto a = PrebuiltClip::fromBytes(sample::everyIdMovie(6));
    const auto b = PrebuiltClip::fromBytes(sample::everyIdMovie(6));
    const auto c = PrebuiltClip::fromBytes(sample::everyIdMovie(8, 6));
    const auto d = PrebuiltClip::fromBytes(sample::everyIdMovie(10, 9));
    const auto audit = test::auditIds(test::hostWith({ a, b, c, d, a }));
    EXPECT_TRUE(audit.problems.empty()) << joined(audit.problems);
    EXPECT_EQ(audit.defined.size(), 2U + 4U * 10U);
}

TEST(PrebuiltClip, OurOwnMovieAsAClip)
{
    Movie gift(6);
    gift.setDimension(100, 100);
    gift.add(test::hostSquare());
    gift.nextFrame();
    gift.add(test::hostSquare());
    gift.nextFrame();
    const auto clip = PrebuiltClip::fromBytes(gift.toBytes(9));
    EXPECT_EQ(clip->frameCount(), 2);
    const auto bytes = test::hostWith({ clip, clip });
    const auto audit = test::auditIds(bytes);
    EXPECT_TRUE(audit.problems.empty()) << joined(audit.problems);
    const auto movie = readSwf(bytes);
    const Tag* sprite = findTag(movie, TagCode::DefineSprite);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->body[2] | (sprite->body[3] << 8), 2); // the file's frame count
}

TEST(PrebuiltClip, AuthoringTagsAreDroppedAndTablesFolded)
{
    const std::vector<uint8_t> tables = { 0xff, 0xd8, 0xff, 0xdb, 0xff, 0xd9 };
    const std::vector<uint8_t> image = { 0xff, 0xd8, 0xff, 0xc0, 0xff, 0xd9 };
    std::vector<uint8_t> bits = { 5, 0 };
    bits.insert(bits.end(), image.begin(), image.end());
    const std::vector<Tag> tags = { Tag(TagCode::FileAttributes, { 0x01, 0, 0, 0 }),
        Tag(TagCode::Metadata, { 'm', 0 }), Tag(TagCode::ProductInfo, std::vector<uint8_t>(26, 0)),
        Tag(TagCode::EnableDebugger2, { 0, 0, 0 }), Tag(TagCode::DebugID, std::vector<uint8_t>(16, 1)),
        Tag(TagCode::ScriptLimits, { 1, 0, 2, 0 }), Tag(TagCode::SetTabIndex, { 1, 0, 1, 0 }),
        Tag(TagCode::SetBackgroundColor, { 9, 9, 9 }), Tag(TagCode::JPEGTables, tables),
        Tag(TagCode::DefineBits, bits), sample::place2(1, 5, 0, 0), sample::showFrame(), sample::place3(2, 5),
        sample::showFrame(), sample::place2(3, 5, 0, 0) };
    const auto clip = PrebuiltClip::fromBytes(sample::movie(8, 2, tags));
    EXPECT_EQ(clip->definitionCount(), 1U);
    EXPECT_EQ(clip->timelineTagCount(), 6U); // a ShowFrame closes the tags after the last one
    const auto movie = readSwf(test::hostWith({ clip }));
    const Tag* jpeg = findTag(movie, TagCode::DefineBitsJPEG2);
    ASSERT_NE(jpeg, nullptr);
    std::vector<uint8_t> expected = tables;
    expected.insert(expected.end(), image.begin(), image.end());
    EXPECT_EQ(std::vector<uint8_t>(jpeg->body.begin() + 2, jpeg->body.end()), expected);
    EXPECT_EQ(findTag(movie, TagCode::FileAttributes), nullptr);
    EXPECT_EQ(findTag(movie, TagCode::Metadata), nullptr);
    EXPECT_EQ(findTag(movie, TagCode::DefineBits), nullptr);
}

TEST(PrebuiltClip, RefusesWhatCannotPlayOrParse)
{
    std::vector<Tag> deep = { sample::showFrame() };
    for (int i = 0; i < kMaxSpriteNesting + 1; ++i) {
        deep = { sample::sprite(static_cast<uint16_t>(i + 1), 1, deep) };
    }
    auto cutShape = sample::solidShape(1);
    cutShape.body.resize(cutShape.body.size() - 3);
    struct Case {
        const char* name;
        std::vector<Tag> tags;
        const char* message;
    };
    const std::vector<Case> cases = {
        { "DoABC", { Tag(TagCode::DoABC, { 1, 0, 0, 0, 0 }) }, "ActionScript 3" },
        { "SymbolClass", { Tag(TagCode::SymbolClass, { 0, 0 }) }, "ActionScript 3" },
        { "AS3 file", { Tag(TagCode::FileAttributes, { 0x08, 0, 0, 0 }) }, "ActionScript 3" },
        { "unknown tag", { Tag(uint16_t { 250 }, { 1, 2, 3 }) }, "unknown tag" },
        { "cut shape", { cutShape }, "DefineShape3" },
        { "deep sprites", deep, "nested deeper" },
        { "unknown in sprite", { sample::sprite(1, 1, { Tag(uint16_t { 250 }, {}) }) }, "cannot take tag" },
        { "bad placement", { Tag(TagCode::PlaceObject2, { 0x06, 1 }) }, "PlaceObject2" },
    };
    for (const auto& c : cases) {
        try {
            (void)PrebuiltClip::fromBytes(sample::movie(9, 1, c.tags));
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const ParseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
    EXPECT_THROW((void)PrebuiltClip::fromFile("/nonexistent/clip.swf"), Error);
}

TEST(PrebuiltClip, ClipEventsOfVersion5FilesAreWidenedForNewerHosts)
{
    constexpr uint16_t kLoad = 0x0001;
    constexpr uint16_t kEnterFrame = 0x0002;
    constexpr uint16_t kMouseUpDown = 0x0030;
    constexpr uint16_t kRelease = 0x0400;
    const std::vector<sample::ClipEvent> outer = { { kLoad, sample::traceAction("loaded") },
        { kEnterFrame, sample::traceAction("entered a frame") } };
    const std::vector<sample::ClipEvent> inner = { { static_cast<uint16_t>(kMouseUpDown | kRelease),
        { 0x07, 0x00 } } };
    // Both at the root of the file and inside a sprite within a sprite; the shape placed after them
    // proves that every later id offset moved with the grown tags.
    const std::vector<Tag> tags = { sample::solidShape(1),
        sample::sprite(2, 1, { sample::placeWithClipEvents(1, 1, inner), sample::showFrame() }),
        sample::sprite(3, 1,
            { sample::placeWithClipEvents(1, 2, inner), sample::place2(2, 1, 0, 0), sample::showFrame() }),
        sample::placeWithClipEvents(1, 3, outer), sample::placeWithClipEvents(2, 1, outer),
        sample::showFrame() };
    const auto clip = PrebuiltClip::fromBytes(sample::movie(5, 1, tags));

    const std::vector<std::vector<sample::ClipEvent>> expected = { inner, inner, outer, outer };
    for (const int hostVersion : { 6, 8, 5 }) {
        SCOPED_TRACE("host version " + std::to_string(hostVersion));
        Movie host(hostVersion);
        host.setDimension(100, 100);
        host.add(test::hostSquare());
        host.add(clip);
        host.nextFrame();
        const auto bytes = host.toBytes();
        const auto audit = test::auditIds(bytes);
        EXPECT_TRUE(audit.problems.empty()) << joined(audit.problems);

        const auto movie = uncompressedMovie(bytes);
        ByteReader header(movie, "header");
        header.skip(8);
        (void)rec::readBounds(header);
        header.skip(4);
        const auto top = readTagStream(std::span<const uint8_t>(movie).subspan(header.pos()), "movie");
        std::vector<std::vector<rec::ClipAction>> found;
        collectClipEvents(top, static_cast<uint8_t>(hostVersion), found);
        ASSERT_EQ(found.size(), expected.size());
        for (size_t i = 0; i < found.size(); ++i) {
            ASSERT_EQ(found[i].size(), expected[i].size()) << "placement " << i;
            for (size_t j = 0; j < found[i].size(); ++j) {
                EXPECT_EQ(found[i][j].events, expected[i][j].events) << "placement " << i;
                EXPECT_FALSE(found[i][j].keyCode.has_value());
                EXPECT_EQ(std::vector<uint8_t>(found[i][j].actions.begin(), found[i][j].actions.end()),
                    expected[i][j].actions)
                    << "placement " << i;
            }
        }
    }
}

TEST(PrebuiltClip, AClipNeedingMoreIdsThanTheHostHasFailsAtOutput)
{
    // 65,535 characters of its own plus its sprite: one id more than a movie can give.
    std::vector<Tag> fonts;
    for (uint32_t id = 1; id <= 65535; ++id) {
        fonts.push_back(
            Tag(TagCode::DefineFont, { static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8) }));
    }
    const auto clip = PrebuiltClip::fromBytes(sample::movie(6, 1, fonts, 9));
    Movie host(6);
    host.add(clip);
    host.nextFrame();
    try {
        (void)host.toBytes();
        ADD_FAILURE() << "serialised";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("65535"), std::string::npos) << e.what();
    }
}

TEST(PrebuiltClip, ClassDefinitionsMoveToTheHostTimelineBeforeThePlacement)
{
    const auto clip = PrebuiltClip::fromBytes(classMovie());
    EXPECT_EQ(clip->initActionCount(), 2U);
    EXPECT_EQ(clip->frameCount(), 2);
    const auto bytes = classHost();
    const auto movie = readSwf(bytes);

    // No sprite of the host holds a DoInitAction; each one names a sprite defined before it and
    // carries the file's actions, in the file's order.
    std::vector<uint16_t> defined;
    std::vector<uint16_t> initialised;
    const std::vector<std::vector<uint8_t>> actions = { sample::traceAction("Greeter defined"),
        sample::traceAction("Greeter registered") };
    for (const auto& t : movie.tags) {
        if (t.code == static_cast<uint16_t>(TagCode::DefineSprite)) {
            defined.push_back(static_cast<uint16_t>(t.body[0] | (t.body[1] << 8)));
            EXPECT_FALSE(holdsTag(std::span(t.body).subspan(4), static_cast<uint16_t>(TagCode::DoInitAction)))
                << "sprite " << defined.back();
        } else if (t.code == static_cast<uint16_t>(TagCode::DoInitAction)) {
            const auto sprite = static_cast<uint16_t>(t.body[0] | (t.body[1] << 8));
            EXPECT_NE(std::find(defined.begin(), defined.end(), sprite), defined.end())
                << "DoInitAction of sprite " << sprite << " before its definition";
            EXPECT_EQ(
                std::vector<uint8_t>(t.body.begin() + 2, t.body.end()), actions[initialised.size() % 2]);
            initialised.push_back(sprite);
        }
    }
    // Four clips, each with its own symbol sprite, so each defines its classes once.
    EXPECT_EQ(initialised, (std::vector<uint16_t> { 2, 2, 5, 5, 9, 9, 12, 12 }));

    // The listing shows them at the top level, each pair just before the placement of its clip (the
    // clip's sprite 3 and 10 as backgrounds, the buttons 7 and 14), in the frame of that placement.
    std::vector<std::string> order;
    std::istringstream lines(dumpMovie(bytes));
    for (std::string line; std::getline(lines, line);) {
        const size_t bytesAt = line.find(" bytes ");
        if (line.starts_with("DoInitAction (59)") && bytesAt != std::string::npos) {
            order.push_back("init " + line.substr(bytesAt + 7));
        } else if (line.starts_with("PlaceObject2 (26)") && bytesAt != std::string::npos) {
            order.push_back(line.substr(bytesAt + 7, line.find(" [") - bytesAt - 7));
        } else if (line.starts_with("ShowFrame")) {
            order.push_back("frame");
        } else if (line.starts_with(" ") && line.find("DoInitAction") != std::string::npos) {
            ADD_FAILURE() << "DoInitAction inside a sprite: " << line;
        }
    }
    const std::vector<std::string> expected = { "init sprite 2", "init sprite 2", "depth 1 id 3",
        "init sprite 5", "init sprite 5", "depth 2 id 7", "frame", "init sprite 9", "init sprite 9",
        "depth 3 id 10", "init sprite 12", "init sprite 12", "depth 4 id 14", "frame" };
    EXPECT_EQ(order, expected);
}

TEST(PrebuiltClip, NameCharacterTagsAreAcceptedAndLeftOut)
{
    // What one command-line compiler writes after each definition: the character's name.
    const auto file = sample::movie(6, 1,
        { sample::solidShape(1), Tag(TagCode::NameCharacter, { 1, 0, 's', 'q', 0 }),
            sample::sprite(2, 1, { sample::place2(1, 1, 0, 0), sample::showFrame() }),
            Tag(TagCode::NameCharacter, { 2, 0, 'c', 'l', 'i', 'p', 0 }), sample::place2(1, 2, 0, 0),
            sample::showFrame() });
    const auto clip = PrebuiltClip::fromBytes(file);
    EXPECT_EQ(clip->definitionCount(), 2U);
    const auto bytes = test::hostWith({ clip });
    const auto movie = readSwf(bytes);
    for (const auto& t : movie.tags) {
        EXPECT_NE(t.code, static_cast<uint16_t>(TagCode::NameCharacter));
        if (t.code == static_cast<uint16_t>(TagCode::DefineSprite)) {
            EXPECT_FALSE(
                holdsTag(std::span(t.body).subspan(4), static_cast<uint16_t>(TagCode::NameCharacter)));
        }
    }
    EXPECT_NE(findTag(movie, TagCode::DefineShape3), nullptr);
}
