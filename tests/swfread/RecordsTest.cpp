// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/Records.h"

#include "swf/ByteWriter.h"
#include "swf/Movie.h"
#include "swf/read/PrebuiltClip.h"
#include "tests/swfread/IdAudit.h"
#include "tests/swfread/SampleMovies.h"

#include <gtest/gtest.h>

using namespace swf;

namespace {

struct Place3Fields {
    std::optional<uint8_t> blendMode;
    std::optional<uint8_t> cacheAsBitmap;
    std::optional<uint8_t> visible;
    std::optional<rec::Rgba> background;
};

// A PlaceObject3 (as a version 8 file has it) of character `id` with the optional fields asked
// for and two clip events: load, and a key press carrying its key code.
Tag place3WithClipEvents(uint16_t id, const Place3Fields& f)
{
    ByteWriter w;
    w.u8(0x80 | 0x02); // clip actions, character
    w.u8(static_cast<uint8_t>((f.background ? 0x40 : 0) | (f.visible ? 0x20 : 0) |
        (f.cacheAsBitmap ? 0x04 : 0) | (f.blendMode ? 0x02 : 0)));
    w.u16(1);
    w.u16(id);
    if (f.blendMode) {
        w.u8(*f.blendMode);
    }
    if (f.cacheAsBitmap) {
        w.u8(*f.cacheAsBitmap);
    }
    if (f.visible) {
        w.u8(*f.visible);
    }
    if (f.background) {
        w.u8(f.background->r);
        w.u8(f.background->g);
        w.u8(f.background->b);
        w.u8(f.background->a);
    }
    const auto load = sample::traceAction("load");
    w.u16(0);
    w.u32(0x00020001);
    w.u32(0x00000001);
    w.u32(static_cast<uint32_t>(load.size()));
    w.bytes(load);
    w.u32(0x00020000);
    w.u32(3); // key code and its script
    w.u8(13);
    w.u8(0x07);
    w.u8(0x00);
    w.u32(0);
    return Tag(TagCode::PlaceObject3, w.take());
}

} // namespace

TEST(Placement, PlaceObject3FieldsBeforeTheClipActions)
{
    const struct Case {
        const char* name;
        Place3Fields fields;
    } cases[] = {
        { "visible", { {}, {}, uint8_t { 0 }, {} } },
        { "background", { {}, {}, {}, rec::Rgba { 10, 20, 30, 255 } } },
        { "everything", { uint8_t { 3 }, uint8_t { 1 }, uint8_t { 1 }, rec::Rgba { 1, 2, 3, 4 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tag tag = place3WithClipEvents(7, c.fields);
        const auto p = rec::readPlacement(tag.body, 3, 8);
        ASSERT_TRUE(p.character.has_value());
        EXPECT_EQ(p.character->id, 7);
        EXPECT_EQ(p.blendMode, c.fields.blendMode);
        EXPECT_EQ(p.cacheAsBitmap, c.fields.cacheAsBitmap);
        EXPECT_EQ(p.visible, c.fields.visible);
        ASSERT_EQ(p.backgroundColor.has_value(), c.fields.background.has_value());
        if (c.fields.background) {
            EXPECT_EQ(p.backgroundColor->r, c.fields.background->r);
            EXPECT_EQ(p.backgroundColor->b, c.fields.background->b);
            EXPECT_EQ(p.backgroundColor->a, c.fields.background->a);
        }
        ASSERT_EQ(p.clipActions.size(), 2U);
        EXPECT_EQ(p.clipActions[0].events, 0x00000001U);
        EXPECT_EQ(std::vector<uint8_t>(p.clipActions[0].actions.begin(), p.clipActions[0].actions.end()),
            sample::traceAction("load"));
        EXPECT_EQ(p.clipActions[1].keyCode, uint8_t { 13 });
        EXPECT_EQ(p.clipActions[1].actions.size(), 2U);
        EXPECT_EQ(p.clipActionsEnd, tag.body.size());

        // Inside a loaded clip the placement keeps its place and its character is renumbered.
        const auto clip = PrebuiltClip::fromBytes(sample::movie(8, 1,
            { sample::solidShape(3), sample::sprite(7, 1, { sample::showFrame() }), tag,
                sample::showFrame() }));
        Movie host(8);
        host.add(clip);
        host.nextFrame();
        const auto audit = test::auditIds(host.toBytes());
        EXPECT_TRUE(audit.problems.empty()) << audit.problems.front();
    }
}
