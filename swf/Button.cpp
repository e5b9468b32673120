// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Button.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"

namespace swf {

void Button::addShape(CharacterPtr character, uint8_t stateBits)
{
    if (!character) {
        throw Error("button: adding an empty character");
    }
    if ((stateBits & kAllStates) == 0) {
        throw Error("button: a character without a state would never show");
    }
    if (m_records.size() >= 0xffff) {
        throw Error("button: too many records");
    }
    m_records.push_back(Record { std::move(character), static_cast<uint8_t>(stateBits & kAllStates) });
}

void Button::addAction(ActionBlock actions, uint16_t conditionBits)
{
    if (actions.size() > 0xffff - 4) {
        throw Error("button: action block longer than a condition record can hold");
    }
    m_actions.push_back(Condition { std::move(actions), conditionBits });
}

void Button::addAction(std::vector<uint8_t> actionBytes, uint16_t conditionBits)
{
    addAction(ActionBlock(std::move(actionBytes)), conditionBits);
}

uint16_t Button::defineIn(DefinitionContext& context) const
{
    std::vector<uint16_t> ids;
    ids.reserve(m_records.size());
    for (const Record& r : m_records) {
        ids.push_back(context.define(*r.character));
    }
    const uint16_t id = context.allocateId();
    ByteWriter w;
    w.u16(id);
    w.u8(0); // not a menu button
    const size_t offsetField = w.size();
    w.u16(0);
    for (size_t i = 0; i < m_records.size(); ++i) {
        w.u8(m_records[i].states);
        w.u16(ids[i]);
        w.u16(static_cast<uint16_t>(i + 1)); // layer
        w.u8(0); // identity MATRIX
        w.u8(0); // identity CXFORMWITHALPHA
    }
    w.u8(0); // end of records
    if (!m_actions.empty()) {
        const size_t offset = w.size() - offsetField;
        if (offset > 0xffff) {
            throw Error("button: records too long for the action offset");
        }
        w.patchU16(offsetField, static_cast<uint16_t>(offset));
    }
    for (size_t i = 0; i < m_actions.size(); ++i) {
        const Condition& c = m_actions[i];
        const bool last = i + 1 == m_actions.size();
        w.u16(last ? 0 : static_cast<uint16_t>(c.actions.size() + 4));
        w.u16(c.conditions);
        w.bytes(c.actions.bytes());
    }
    context.emit(Tag(TagCode::DefineButton2, w.take()));
    return id;
}

} // namespace swf
