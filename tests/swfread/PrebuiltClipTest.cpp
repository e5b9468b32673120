// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/PrebuiltClip.h"

#include "swf/Movie.h"
#include "swf/Shape.h"
#include "swf/read/Records.h"
#include "swf/read/SwfFile.h"
#include "tests/swfread/ClipHost.h"
#include "tests/swfread/IdAudit.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

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
