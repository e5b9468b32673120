// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ByteWriter.h"

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// Tag codes used by the writer and the reader.
enum class TagCode : uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    DefineBits = 6,
    DefineButton = 7,
    JPEGTables = 8,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineFontInfo = 13,
    DefineSound = 14,
    StartSound = 15,
    DefineButtonSound = 17,
    SoundStreamHead = 18,
    SoundStreamBlock = 19,
    DefineBitsLossless = 20,
    DefineBitsJPEG2 = 21,
    DefineShape2 = 22,
    DefineButtonCxform = 23,
    Protect = 24,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineButton2 = 34,
    DefineBitsJPEG3 = 35,
    DefineBitsLossless2 = 36,
    DefineEditText = 37,
    DefineSprite = 39,
    NameCharacter = 40,
    ProductInfo = 41,
    FrameLabel = 43,
    SoundStreamHead2 = 45,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    ExportAssets = 56,
    ImportAssets = 57,
    EnableDebugger = 58,
    DoInitAction = 59,
    DefineVideoStream = 60,
    VideoFrame = 61,
    DefineFontInfo2 = 62,
    DebugID = 63,
    EnableDebugger2 = 64,
    ScriptLimits = 65,
    SetTabIndex = 66,
    FileAttributes = 69,
    PlaceObject3 = 70,
    ImportAssets2 = 71,
    DefineFontAlignZones = 73,
    CSMTextSettings = 74,
    DefineFont3 = 75,
    SymbolClass = 76,
    Metadata = 77,
    DefineScalingGrid = 78,
    DoABC = 82,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
    DefineSceneAndFrameLabelData = 86,
    DefineBinaryData = 87,
    DefineFontName = 88,
    StartSound2 = 89,
    DefineBitsJPEG4 = 90,
    DefineFont4 = 91,
    EnableTelemetry = 93,
};

// One tag: its code and its body (everything after the record header).
struct Tag {
    uint16_t code = 0;
    std::vector<uint8_t> body;

    Tag() = default;
    Tag(TagCode c, std::vector<uint8_t> b)
        : code(static_cast<uint16_t>(c))
        , body(std::move(b))
    {
    }
    Tag(uint16_t c, std::vector<uint8_t> b)
        : code(c)
        , body(std::move(b))
    {
    }
    bool operator==(const Tag&) const = default;
};

// Tags whose record header always uses the long form, whatever their length: players and
// tools expect it for the lossless bitmaps.
[[nodiscard]] inline bool alwaysLongHeader(uint16_t code)
{
    return code == static_cast<uint16_t>(TagCode::DefineBitsLossless) ||
        code == static_cast<uint16_t>(TagCode::DefineBitsLossless2);
}

// Writes the record header (short form for bodies up to 62 bytes, else the long form) and body.
void writeTag(ByteWriter& out, const Tag& tag);
void writeTag(ByteWriter& out, uint16_t code, std::span<const uint8_t> body);

} // namespace swf
