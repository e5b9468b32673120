// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/ActionCode.h"
#include "swf/actionscript/Token.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace swf::actionscript {

// Writes one action block: a constant pool of the strings in order of first use, the actions,
// with adjacent pushes merged into one Push record, and jumps resolved through labels.
class ActionWriter {
public:
    using Label = size_t;

    // Single-byte actions and actions with a payload.
    void op(ActionCode code);
    void action(ActionCode code, const std::vector<uint8_t>& payload, SourcePos pos);

    void pushString(std::string_view s, SourcePos pos);
    void pushNumber(double value, SourcePos pos);
    void pushInt(int32_t value, SourcePos pos);
    void pushBool(bool value, SourcePos pos);
    void pushNull(SourcePos pos);
    void pushUndefined(SourcePos pos);
    void pushRegister(uint8_t reg, SourcePos pos);
    void storeRegister(uint8_t reg);

    [[nodiscard]] Label newLabel();
    // Places the label here. Code after a label is a jump target and starts a fresh Push.
    void place(Label label);
    void jump(Label target, SourcePos pos) { branch(ActionCode::Jump, target, pos); }
    void jumpIf(Label target, SourcePos pos) { branch(ActionCode::If, target, pos); }

    // DefineFunction: the header now, its code size once the body is written.
    [[nodiscard]] size_t beginFunction(
        std::string_view name, const std::vector<std::string>& params, SourcePos pos);
    void endFunction(size_t header, SourcePos pos);

    // The finished block: constant pool (when any string was pushed), actions, End.
    [[nodiscard]] std::vector<uint8_t> finish();

private:
    struct Fixup {
        size_t at; // offset of the SI16 operand
        Label target;
        SourcePos pos;
    };

    void beginPushItem(size_t itemSize, SourcePos pos);
    void writeU16(uint16_t v);
    void patchU16(size_t offset, uint16_t v);
    // Index of the string in the pool, or -1 when the pool is full and the string goes inline.
    int poolIndex(std::string_view s);

    void branch(ActionCode code, Label target, SourcePos pos);

    std::vector<uint8_t> m_code;
    size_t m_lastPush = SIZE_MAX; // offset of the open Push record, SIZE_MAX when none is open
    std::vector<std::string> m_pool;
    std::unordered_map<std::string, int> m_poolIndex;
    size_t m_poolBytes = 2; // the UI16 count
    std::vector<size_t> m_labels;
    std::vector<Fixup> m_fixups;
};

} // namespace swf::actionscript
