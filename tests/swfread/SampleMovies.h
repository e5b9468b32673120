// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hand-built movies for the reader's tests and the fuzzers' seeds: each tag written byte by byte,
// so the reader is checked against the format rather than against our own writer.

#include "swf/ByteWriter.h"
#include "swf/Tag.h"

#include <cstdint>
#include <string>
#include <vector>

namespace swf::sample {

// A whole movie from tags: header (version, 100x100 px, 12 fps, frameCount), the tags, End.
// compressionLevel -1 gives FWS, else CWS.
[[nodiscard]] std::vector<uint8_t> movie(
    uint8_t version, uint16_t frameCount, const std::vector<Tag>& tags, int compressionLevel = -1);

// Records written field by field: a RECT from (0, 0) with 15-bit fields, and a MATRIX holding a
// translation only (five bytes).
void writeRect(ByteWriter& w, int32_t xMax, int32_t yMax);
void writeTranslate(ByteWriter& w, int32_t x, int32_t y);

// Bodies of single tags.
[[nodiscard]] Tag losslessBitmap(uint16_t id); // 2x2 32-bit DefineBitsLossless2
[[nodiscard]] Tag bitmapShape(uint16_t id, uint16_t bitmap, int shapeVersion); // fill + new-style fill
[[nodiscard]] Tag solidShape(uint16_t id); // DefineShape3 10x10 red square
[[nodiscard]] Tag font2(uint16_t id); // DefineFont2, 2 glyphs, layout
[[nodiscard]] Tag text2(uint16_t id, uint16_t font); // DefineText2 with 2 glyphs
[[nodiscard]] Tag editText(uint16_t id, uint16_t font);
[[nodiscard]] Tag button2(uint16_t id, uint16_t state); // DefineButton2 with a stop() condition
[[nodiscard]] Tag buttonSound(uint16_t button, uint16_t sound);
[[nodiscard]] Tag eventSound(uint16_t id); // DefineSound with one silent MP3 frame
[[nodiscard]] Tag startSound(uint16_t sound);
[[nodiscard]] Tag place2(uint16_t depth, uint16_t id, int32_t x, int32_t y);
[[nodiscard]] Tag place3(uint16_t depth, uint16_t id);
// A PlaceObject2 of a version 5 (or older) file named "clip", with clip event scripts: UI16 event
// flags and each event's actions.
struct ClipEvent {
    uint16_t events = 0;
    std::vector<uint8_t> actions;
};
[[nodiscard]] Tag placeWithClipEvents(uint16_t depth, uint16_t id, const std::vector<ClipEvent>& events);
[[nodiscard]] Tag sprite(uint16_t id, uint16_t frames, const std::vector<Tag>& tags);
[[nodiscard]] Tag exportAssets(uint16_t id, const char* name);
[[nodiscard]] Tag doInitAction(uint16_t sprite);
[[nodiscard]] Tag doAction(std::vector<uint8_t> actions);
[[nodiscard]] std::vector<uint8_t> traceAction(const std::string& text); // trace(text)
[[nodiscard]] Tag morphShape(uint16_t id, uint16_t bitmap);
[[nodiscard]] Tag fontInfo(uint16_t font);
[[nodiscard]] Tag showFrame();

// One MPEG-1 layer III frame header of 128 kbit/s, 44.1 kHz, stereo, followed by zeros (a silent
// frame as far as the reader is concerned).
[[nodiscard]] std::vector<uint8_t> silentMp3Frame();

// A movie with one of each id-carrying structure, ids 1 to 9.
[[nodiscard]] std::vector<uint8_t> everyIdMovie(uint8_t version, int compressionLevel = -1);

} // namespace swf::sample
