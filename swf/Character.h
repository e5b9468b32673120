// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Tag.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace swf {

class Character;

// What a character sees of the movie while the movie is being serialised. One context lives for
// one call of Movie::toBytes, so nothing a character does here leaks into another movie or into a
// second output of the same movie.
//
// Ids: a movie gives ids from one counter starting at 1, in the order in which characters are
// first defined while the frames are written (a character's dependencies are defined, and so
// numbered, before it). The same calls therefore always give the same ids and the same bytes.
class DefinitionContext {
public:
    virtual ~DefinitionContext() = default;

    // A fresh character id from the movie's counter (for characters made of several definitions,
    // such as a loaded clip with its renumbered inner characters).
    [[nodiscard]] virtual uint16_t allocateId() = 0;
    // The id of `character` in this movie, calling its defineIn() first when it has not been
    // defined yet. Definitions therefore precede the first tag that refers to them.
    virtual uint16_t define(const Character& character) = 0;
    // Appends a tag to the definition stream, at the current position.
    virtual void emit(Tag tag) = 0;
    // Keeps a place in the stream for a tag whose content is known only once every frame has been
    // written (a font holds the glyphs of every text of the movie); fill it with fill().
    [[nodiscard]] virtual size_t reserve() = 0;
    virtual void fill(size_t slot, Tag tag) = 0;
    // Runs `task` after every frame has been written, before the bytes are assembled. Tasks run
    // in the order they were registered.
    virtual void atEnd(std::function<void()> task) = 0;
    // Per-movie state that a character keeps while the movie is serialised (a font's glyph use);
    // created empty on first request and released with the context.
    template<class T> T& stateOf(const Character& character)
    {
        std::shared_ptr<void>& slot = stateSlot(character);
        if (!slot) {
            slot = std::make_shared<T>();
        }
        return *static_cast<T*>(slot.get());
    }
    [[nodiscard]] virtual int version() const = 0;

protected:
    virtual std::shared_ptr<void>& stateSlot(const Character& character) = 0;
};

// Anything with a character id: shapes, bitmaps, fonts, texts, buttons, and characters defined
// outside this library (loaded clips, sounds). Characters are shared between display items and
// buttons, and between movies, through std::shared_ptr<const Character>.
class Character {
public:
    Character() = default;
    Character(const Character&) = default;
    Character& operator=(const Character&) = default;
    virtual ~Character() = default;

    // Writes this character's definition tags through `context` (defining what it depends on
    // first, with context.define) and returns its id. Called at most once per serialisation.
    virtual uint16_t defineIn(DefinitionContext& context) const = 0;
};

using CharacterPtr = std::shared_ptr<const Character>;

} // namespace swf
