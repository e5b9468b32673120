// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Rect.h"
#include "swf/Tag.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

// Largest movie body we inflate. Gifts and their clips are a few megabytes; the cap keeps a
// hostile length field or a zlib bomb from exhausting memory.
inline constexpr size_t kMaxMovieSize = 64 * 1024 * 1024;

// Deepest nesting of DefineSprite inside DefineSprite that we follow. Real movies never nest
// definitions at all; the cap bounds the recursion on hostile input.
inline constexpr int kMaxSpriteNesting = 16;

struct SwfHeader {
    bool compressed = false; // "CWS" rather than "FWS"
    uint8_t version = 0;
    uint32_t fileLength = 0; // as stored: the uncompressed length of the whole file
    Rect frame;
    uint16_t rate = 0; // 8.8 fixed point frames per second
    uint16_t frameCount = 0;
};

// A whole movie: its header and every tag up to (not including) End.
struct SwfFile {
    SwfHeader header;
    std::vector<Tag> tags;
};

// A tag inside a buffer owned by someone else; `offset` is where its header starts.
struct TagView {
    uint16_t code = 0;
    std::span<const uint8_t> body;
    size_t offset = 0;
    size_t bodyOffset = 0;
};

// Decompresses a "CWS" movie (or copies an "FWS" one) into the plain form: the eight-byte header
// with "FWS" followed by the uncompressed rest. Throws ParseError for anything else.
[[nodiscard]] std::vector<uint8_t> uncompressedMovie(std::span<const uint8_t> file);

// Reads a movie file (FWS or CWS, any version). Every tag length is checked against its data.
[[nodiscard]] SwfFile readSwf(std::span<const uint8_t> file);

// Splits a tag stream (a movie's after its header, or a sprite's after its frame count) into
// tags, stopping at End or at the end of the data. `what` names the stream in errors.
[[nodiscard]] std::vector<TagView> readTagStream(std::span<const uint8_t> data, const std::string& what);

// The conventional name of a tag code ("DefineShape3"), or "Unknown" for codes we do not know.
[[nodiscard]] const char* tagName(uint16_t code);

// Reads a whole file into memory, refusing files larger than kMaxMovieSize. Throws Error when the
// file cannot be opened or read.
[[nodiscard]] std::vector<uint8_t> readFileBytes(const std::string& path, size_t maxSize = kMaxMovieSize);

} // namespace swf
