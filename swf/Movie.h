// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ActionBlock.h"
#include "swf/Character.h"
#include "swf/Color.h"
#include "swf/DisplayItem.h"
#include "swf/Tag.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace swf {

namespace detail {
struct MovieState;
}

// A control tag that needs character ids, made while the movie is serialised (a StartSound that
// names its sound: `[sound](DefinitionContext& c) { return Tag(TagCode::StartSound, ...c.define(*sound)...);
// }`).
using TagFactory = std::function<Tag(DefinitionContext&)>;

// An SWF movie being built: its header values, its frames and what each frame adds, moves and
// removes. Units are pixels (one pixel is 20 twips). Nothing is serialised before toBytes(): the
// movie keeps the characters it was given and defines them at output, each once, just before the
// first tag that needs them, so texts may still receive strings after they were added.
//
// Frames: nextFrame() closes the frame being built; N calls give exactly N frames. At output a
// frame still open is closed when it holds anything other than removals, or when no frame was
// closed at all; removals left in it are dropped, as they could show nothing.
class Movie {
public:
    explicit Movie(int version = 6);
    Movie(Movie&&) noexcept;
    Movie& operator=(Movie&&) noexcept;
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;
    ~Movie();

    void setDimension(float width, float height);
    // Frames per second; stored in 8.8 fixed point (rounded down). 0 is valid: the movie stays on a
    // frame until a script moves it.
    void setRate(float rate);
    // The colour of SetBackgroundColor, white unless set.
    void setBackground(uint8_t red, uint8_t green, uint8_t blue);

    [[nodiscard]] int version() const;
    [[nodiscard]] float width() const;
    [[nodiscard]] float height() const;
    [[nodiscard]] float rate() const;
    // Frames closed so far.
    [[nodiscard]] int frameCount() const;

    // Places `character` on the frame being built, at the origin, at the next depth (from 1, never
    // reused). Throws swf::Error for a null character.
    DisplayItem add(CharacterPtr character);
    // A DoAction in the frame being built; runs when the frame is entered, in the order added.
    void add(const ActionBlock& block);
    void addAction(std::vector<uint8_t> actionBytes);
    // A raw control tag in the frame being built, at the current position among its tags.
    void addTag(Tag tag);
    void addTag(TagFactory factory);

    void nextFrame();
    // Takes the item off the stage from the frame being built on (RemoveObject2). Removing an item
    // twice, an empty item or an item of another movie writes nothing.
    void remove(const DisplayItem& item);

    // The whole file: "FWS" for compressionLevel -1, else "CWS" compressed at that zlib level
    // (0 to 9). Throws swf::Error for a bad level or a movie beyond the format's limits.
    [[nodiscard]] std::vector<uint8_t> toBytes(int compressionLevel = -1) const;
    void write(std::ostream& out, int compressionLevel = -1) const;
    // Writes a temporary file beside `path` and renames it over `path`, so a failed write never
    // leaves a half file in place of a good one.
    void write(const std::filesystem::path& path, int compressionLevel = -1) const;

private:
    std::shared_ptr<detail::MovieState> m_state;
};

} // namespace swf
