// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Character.h"
#include "swf/Tag.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace swf {

// A whole Flash file (FWS or CWS, any version) as one character of another movie. Its definitions
// go into the host movie with every character id renumbered past the host's ids, and its timeline
// becomes a DefineSprite with the file's frame count, so the clip is placed like any character:
// `movie.add(PrebuiltClip::fromFile(path))`. The file's DoInitAction tags (class definitions),
// which only a main timeline may hold, follow that sprite on the host's main timeline, in the frame
// where the clip is first placed and before its placement; each clip defines its own classes.
//
// Loading refuses, with swf::ParseError naming the tag, what cannot play inside a version 6 movie
// (ActionScript 3 content) and whatever cannot be parsed; authoring, debugging and metadata tags
// are dropped.
// The file is checked whole at load time; serialising a loaded clip fails only when the host
// movie runs out of character ids (the clip takes one for each of its file's characters, plus
// one for its sprite), with swf::Error from Movie::toBytes.
class PrebuiltClip : public Character {
public:
    [[nodiscard]] static std::shared_ptr<PrebuiltClip> fromFile(const std::filesystem::path& path);
    [[nodiscard]] static std::shared_ptr<PrebuiltClip> fromBytes(std::span<const uint8_t> file);

    // Frames of the clip's own timeline (the sprite's frame count).
    [[nodiscard]] uint16_t frameCount() const { return m_frameCount; }
    // Version byte of the loaded file.
    [[nodiscard]] uint8_t fileVersion() const { return m_version; }
    // Tags kept, definitions and timeline together (for tests and diagnostics).
    [[nodiscard]] size_t definitionCount() const { return m_definitions.size(); }
    [[nodiscard]] size_t timelineTagCount() const { return m_timeline.size(); }
    [[nodiscard]] size_t initActionCount() const { return m_initActions.size(); }

    uint16_t defineIn(DefinitionContext& context) const override;

    // A tag with the offsets of its character ids, ready to be renumbered.
    struct Part {
        Tag tag;
        std::vector<size_t> idOffsets;
        // For a file of version 5 or older, the same tag with its clip event flags widened as a host
        // of version 6 or later reads them; null when the tag carries none.
        std::shared_ptr<const Part> wide;
    };

private:
    PrebuiltClip() = default;

    std::vector<Part> m_definitions;
    std::vector<Part> m_timeline;
    // DoInitAction tags, in the file's order, written after the sprite.
    std::vector<Part> m_initActions;
    uint16_t m_frameCount = 0;
    uint8_t m_version = 0;
};

} // namespace swf
