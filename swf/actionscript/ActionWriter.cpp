// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/actionscript/ActionWriter.h"

#include "swf/actionscript/CompileError.h"

#include <cmath>
#include <cstring>

namespace swf::actionscript {

namespace {

// Record lengths, the constant pool's size and its count are UI16 fields.
constexpr size_t kMaxRecordLength = 0xFFFF;

// Push value types.
constexpr uint8_t kPushString = 0;
constexpr uint8_t kPushNull = 2;
constexpr uint8_t kPushUndefined = 3;
constexpr uint8_t kPushRegister = 4;
constexpr uint8_t kPushBool = 5;
constexpr uint8_t kPushDouble = 6;
constexpr uint8_t kPushInt = 7;
constexpr uint8_t kPushConstant8 = 8;
constexpr uint8_t kPushConstant16 = 9;

} // namespace

void ActionWriter::writeU16(uint16_t v)
{
    m_code.push_back(static_cast<uint8_t>(v));
    m_code.push_back(static_cast<uint8_t>(v >> 8));
}

void ActionWriter::patchU16(size_t offset, uint16_t v)
{
    m_code[offset] = static_cast<uint8_t>(v);
    m_code[offset + 1] = static_cast<uint8_t>(v >> 8);
}

void ActionWriter::op(ActionCode code)
{
    m_code.push_back(static_cast<uint8_t>(code));
    m_lastPush = SIZE_MAX;
}

void ActionWriter::action(ActionCode code, const std::vector<uint8_t>& payload, SourcePos pos)
{
    if (payload.size() > kMaxRecordLength) {
        throw CompileError(pos.line, pos.column, "action too long");
    }
    m_code.push_back(static_cast<uint8_t>(code));
    writeU16(static_cast<uint16_t>(payload.size()));
    m_code.insert(m_code.end(), payload.begin(), payload.end());
    m_lastPush = SIZE_MAX;
}

void ActionWriter::beginPushItem(size_t itemSize, SourcePos pos)
{
    if (itemSize > kMaxRecordLength) {
        throw CompileError(pos.line, pos.column, "string too long");
    }
    if (m_lastPush != SIZE_MAX) {
        const size_t length = m_code[m_lastPush + 1] | (static_cast<size_t>(m_code[m_lastPush + 2]) << 8);
        if (length + itemSize <= kMaxRecordLength) {
            patchU16(m_lastPush + 1, static_cast<uint16_t>(length + itemSize));
            return;
        }
    }
    m_lastPush = m_code.size();
    m_code.push_back(static_cast<uint8_t>(ActionCode::Push));
    writeU16(static_cast<uint16_t>(itemSize));
}

int ActionWriter::poolIndex(std::string_view s)
{
    const auto found = m_poolIndex.find(std::string(s));
    if (found != m_poolIndex.end()) {
        return found->second;
    }
    if (m_pool.size() >= 0xFFFF || m_poolBytes + s.size() + 1 > kMaxRecordLength) {
        return -1;
    }
    const int index = static_cast<int>(m_pool.size());
    m_pool.emplace_back(s);
    m_poolIndex.emplace(std::string(s), index);
    m_poolBytes += s.size() + 1;
    return index;
}

void ActionWriter::pushString(std::string_view s, SourcePos pos)
{
    const int index = poolIndex(s);
    if (index >= 0 && index < 256) {
        beginPushItem(2, pos);
        m_code.push_back(kPushConstant8);
        m_code.push_back(static_cast<uint8_t>(index));
    } else if (index >= 0) {
        beginPushItem(3, pos);
        m_code.push_back(kPushConstant16);
        writeU16(static_cast<uint16_t>(index));
    } else {
        beginPushItem(s.size() + 2, pos);
        m_code.push_back(kPushString);
        m_code.insert(m_code.end(), s.begin(), s.end());
        m_code.push_back(0);
    }
}

void ActionWriter::pushNumber(double value, SourcePos pos)
{
    const bool integral = value >= -2147483648.0 && value <= 2147483647.0 && std::floor(value) == value &&
        !(value == 0 && std::signbit(value));
    if (integral) {
        pushInt(static_cast<int32_t>(value), pos);
        return;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    beginPushItem(9, pos);
    m_code.push_back(kPushDouble);
    // SWF stores a double as two little-endian 32-bit halves, the high half first.
    const auto high = static_cast<uint32_t>(bits >> 32);
    const auto low = static_cast<uint32_t>(bits);
    for (const uint32_t half : { high, low }) {
        for (int i = 0; i < 4; ++i) {
            m_code.push_back(static_cast<uint8_t>(half >> (8 * i)));
        }
    }
}

void ActionWriter::pushInt(int32_t value, SourcePos pos)
{
    beginPushItem(5, pos);
    m_code.push_back(kPushInt);
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        m_code.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
}

void ActionWriter::pushBool(bool value, SourcePos pos)
{
    beginPushItem(2, pos);
    m_code.push_back(kPushBool);
    m_code.push_back(value ? 1 : 0);
}

void ActionWriter::pushNull(SourcePos pos)
{
    beginPushItem(1, pos);
    m_code.push_back(kPushNull);
}

void ActionWriter::pushUndefined(SourcePos pos)
{
    beginPushItem(1, pos);
    m_code.push_back(kPushUndefined);
}

void ActionWriter::pushRegister(uint8_t reg, SourcePos pos)
{
    beginPushItem(2, pos);
    m_code.push_back(kPushRegister);
    m_code.push_back(reg);
}

void ActionWriter::storeRegister(uint8_t reg)
{
    action(ActionCode::StoreRegister, { reg }, {});
}

ActionWriter::Label ActionWriter::newLabel()
{
    m_labels.push_back(SIZE_MAX);
    return m_labels.size() - 1;
}

void ActionWriter::place(Label label)
{
    m_labels[label] = m_code.size();
    m_lastPush = SIZE_MAX;
}

void ActionWriter::branch(ActionCode code, Label target, SourcePos pos)
{
    m_code.push_back(static_cast<uint8_t>(code));
    writeU16(2);
    m_fixups.push_back({ m_code.size(), target, pos });
    writeU16(0);
    m_lastPush = SIZE_MAX;
}

size_t ActionWriter::beginFunction(
    std::string_view name, const std::vector<std::string>& params, SourcePos pos)
{
    std::vector<uint8_t> payload(name.begin(), name.end());
    payload.push_back(0);
    if (params.size() > 0xFFFF) {
        throw CompileError(pos.line, pos.column, "too many parameters");
    }
    payload.push_back(static_cast<uint8_t>(params.size()));
    payload.push_back(static_cast<uint8_t>(params.size() >> 8));
    for (const std::string& p : params) {
        payload.insert(payload.end(), p.begin(), p.end());
        payload.push_back(0);
    }
    payload.push_back(0); // code size, patched by endFunction
    payload.push_back(0);
    action(ActionCode::DefineFunction, payload, pos);
    return m_code.size() - 2;
}

void ActionWriter::endFunction(size_t header, SourcePos pos)
{
    const size_t size = m_code.size() - (header + 2);
    if (size > 0xFFFF) {
        throw CompileError(pos.line, pos.column, "function body too large");
    }
    patchU16(header, static_cast<uint16_t>(size));
    m_lastPush = SIZE_MAX;
}

std::vector<uint8_t> ActionWriter::finish()
{
    for (const Fixup& f : m_fixups) {
        const auto offset = static_cast<long long>(m_labels[f.target]) - static_cast<long long>(f.at + 2);
        if (offset < -32768 || offset > 32767) {
            throw CompileError(
                f.pos.line, f.pos.column, "code too large: a branch spans more than 32767 bytes");
        }
        patchU16(f.at, static_cast<uint16_t>(static_cast<int16_t>(offset)));
    }
    std::vector<uint8_t> out;
    out.reserve(m_poolBytes + 3 + m_code.size() + 1);
    if (!m_pool.empty()) {
        out.push_back(static_cast<uint8_t>(ActionCode::ConstantPool));
        out.push_back(static_cast<uint8_t>(m_poolBytes));
        out.push_back(static_cast<uint8_t>(m_poolBytes >> 8));
        out.push_back(static_cast<uint8_t>(m_pool.size()));
        out.push_back(static_cast<uint8_t>(m_pool.size() >> 8));
        for (const std::string& s : m_pool) {
            out.insert(out.end(), s.begin(), s.end());
            out.push_back(0);
        }
    }
    out.insert(out.end(), m_code.begin(), m_code.end());
    out.push_back(static_cast<uint8_t>(ActionCode::End));
    return out;
}

} // namespace swf::actionscript
