// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Checks a whole movie's character ids: every definition's id is new, every id a tag refers to
// was defined before it (inside sprites too). It finds the ids with characterIdOffsets, so it
// cannot see a field that table misses; ClipRenumberTest checks the fields themselves.

#include "swf/read/IdFields.h"
#include "swf/read/SwfFile.h"

#include <set>
#include <string>
#include <vector>

namespace swf::test {

struct IdAudit {
    std::set<uint16_t> defined;
    std::vector<std::string> problems;
    size_t sprites = 0;
};

inline bool isDefinition(uint16_t code)
{
    static const std::set<uint16_t> codes = { 2, 6, 7, 10, 11, 14, 20, 21, 22, 32, 33, 34, 35, 36, 37, 39, 46,
        48, 60, 75, 83, 84, 87, 90, 91 };
    return codes.count(code) != 0;
}

inline uint16_t idAt(std::span<const uint8_t> body, size_t offset)
{
    return static_cast<uint16_t>(body[offset] | (body[offset + 1] << 8));
}

inline IdAudit auditIds(std::span<const uint8_t> file)
{
    IdAudit audit;
    const auto movie = readSwf(file);
    for (const auto& tag : movie.tags) {
        const auto offsets = characterIdOffsets(tag.code, tag.body, movie.header.version);
        size_t first = 0;
        if (isDefinition(tag.code)) {
            const uint16_t id = idAt(tag.body, 0);
            if (!audit.defined.insert(id).second) {
                audit.problems.push_back(
                    std::string(tagName(tag.code)) + " defines id " + std::to_string(id) + " again");
            }
            first = 1;
            audit.sprites += tag.code == 39 ? 1 : 0;
        }
        for (size_t i = first; i < offsets.size(); ++i) {
            const uint16_t id = idAt(tag.body, offsets[i]);
            if (!audit.defined.count(id)) {
                audit.problems.push_back(
                    std::string(tagName(tag.code)) + " refers to undefined id " + std::to_string(id));
            }
        }
    }
    return audit;
}

} // namespace swf::test
