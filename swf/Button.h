// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ActionBlock.h"
#include "swf/Character.h"

#include <cstdint>
#include <vector>

namespace swf {

// A DefineButton2: characters shown in button states, and action blocks run on conditions.
class Button : public Character {
public:
    // State bits of addShape.
    static constexpr uint8_t kUp = 0x01;
    static constexpr uint8_t kOver = 0x02;
    static constexpr uint8_t kDown = 0x04;
    static constexpr uint8_t kHit = 0x08;
    static constexpr uint8_t kAllStates = 0x0f;
    // Condition bits of addAction.
    static constexpr uint16_t kPress = 0x04; // OverUpToOverDown
    static constexpr uint16_t kRelease = 0x08; // OverDownToOverUp

    Button() = default;

    // Shows `character` in the states of `stateBits` (1 up, 2 over, 4 down, 8 hit), above the
    // characters added before. Throws swf::Error for a null character or no state bit.
    void addShape(CharacterPtr character, uint8_t stateBits);
    // Runs `actions` on the conditions of `conditionBits` (4 press, 8 release).
    void addAction(ActionBlock actions, uint16_t conditionBits);
    void addAction(std::vector<uint8_t> actionBytes, uint16_t conditionBits);

    [[nodiscard]] size_t recordCount() const { return m_records.size(); }
    [[nodiscard]] size_t actionCount() const { return m_actions.size(); }

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    struct Record {
        CharacterPtr character;
        uint8_t states = 0;
    };
    struct Condition {
        ActionBlock actions;
        uint16_t conditions = 0;
    };

    std::vector<Record> m_records;
    std::vector<Condition> m_actions;
};

} // namespace swf
