// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ColorTransform.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace swf {

namespace detail {
struct MovieState;
}

// A character placed on the stage of a movie, at its own depth. Changes made before the frame
// of the placement closes fold into the placement; later changes are written into the frame being
// built at the time. A default-constructed item is empty: changing it throws, removing it does
// nothing. Copies refer to the same placed item.
class DisplayItem {
public:
    DisplayItem() = default;

    // Moves the item's origin to (x, y) pixels of the stage.
    void moveTo(float x, float y);
    // Replaces the item's colour transform.
    void setColorTransform(const ColorTransform& transform);
    // Colour multiplier with alpha (1.0 keeps a channel as it is), with no additions.
    void multColor(float red, float green, float blue, float alpha = 1.0F);
    // Takes the item off the stage from the frame being built on; harmless when repeated.
    void remove();

    [[nodiscard]] bool isValid() const { return m_state != nullptr; }
    [[nodiscard]] uint16_t depth() const;

private:
    friend class Movie;
    DisplayItem(std::shared_ptr<detail::MovieState> state, size_t index)
        : m_state(std::move(state))
        , m_index(index)
    {
    }

    std::shared_ptr<detail::MovieState> m_state;
    size_t m_index = 0;
};

} // namespace swf
