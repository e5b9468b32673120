// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the writer: the state a Movie shares with its display items.

#include "swf/Character.h"
#include "swf/ColorTransform.h"
#include "swf/Movie.h"
#include "swf/Tag.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swf::detail {

// One thing a frame does, in the order it was asked for.
struct FrameEvent {
    enum class Kind : uint8_t { Place, Modify, Remove, Action, Raw, Factory };
    Kind kind = Kind::Raw;
    size_t item = 0;
    bool hasMatrix = false;
    int32_t x = 0; // twips
    int32_t y = 0;
    std::optional<ColorTransform> colorTransform;
    Tag tag; // Raw, and Action (DoAction)
    TagFactory factory;
};

struct ItemState {
    uint16_t depth = 0;
    CharacterPtr character;
    bool removed = false;
    // The event of the frame being built that this item's changes fold into, if any.
    std::optional<size_t> openEvent;
};

struct MovieState {
    int version = 6;
    float width = 320.0F;
    float height = 240.0F;
    float rate = 12.0F;
    uint8_t background[3] = { 0xff, 0xff, 0xff };
    std::vector<std::vector<FrameEvent>> frames; // closed frames
    std::vector<FrameEvent> current;
    std::vector<ItemState> items;

    void moveItem(size_t index, int32_t x, int32_t y);
    void transformItem(size_t index, const ColorTransform& transform);
    void removeItem(size_t index);
    FrameEvent& openEventOf(size_t index);
};

} // namespace swf::detail
