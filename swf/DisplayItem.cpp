// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/DisplayItem.h"

#include "swf/Error.h"
#include "swf/MovieState.h"
#include "swf/Rect.h"

namespace swf {

namespace {

detail::MovieState& stateOf(const std::shared_ptr<detail::MovieState>& state)
{
    if (!state) {
        throw Error("display item: the item is empty (it was never placed)");
    }
    return *state;
}

} // namespace

void DisplayItem::moveTo(float x, float y)
{
    stateOf(m_state).moveItem(m_index, toTwips(x), toTwips(y));
}

void DisplayItem::setColorTransform(const ColorTransform& transform)
{
    stateOf(m_state).transformItem(m_index, transform);
}

void DisplayItem::multColor(float red, float green, float blue, float alpha)
{
    ColorTransform t;
    t.redMult = red;
    t.greenMult = green;
    t.blueMult = blue;
    t.alphaMult = alpha;
    setColorTransform(t);
}

void DisplayItem::remove()
{
    if (m_state) {
        m_state->removeItem(m_index);
    }
}

uint16_t DisplayItem::depth() const
{
    return stateOf(m_state).items.at(m_index).depth;
}

} // namespace swf
