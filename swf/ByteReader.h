// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Error.h"

#include <cstdint>
#include <span>
#include <string>

namespace swf {

// Bounds-checked little-endian reader over bytes it does not own, with SWF bit fields. Every read
// past the end throws ParseError naming `what` (the tag or record being read), never reads outside.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data, std::string what = "data")
        : m_data(data)
        , m_what(std::move(what))
    {
    }

    uint8_t u8()
    {
        alignBits();
        need(1);
        return m_data[m_pos++];
    }
    uint16_t u16()
    {
        const uint16_t lo = u8();
        return static_cast<uint16_t>(lo | (static_cast<uint16_t>(u8()) << 8));
    }
    uint32_t u32()
    {
        const uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }
    std::span<const uint8_t> bytes(size_t count)
    {
        alignBits();
        need(count);
        auto out = m_data.subspan(m_pos, count);
        m_pos += count;
        return out;
    }
    // A zero-terminated string; the terminator must lie inside the data.
    std::string string()
    {
        alignBits();
        size_t end = m_pos;
        while (end < m_data.size() && m_data[end] != 0) {
            ++end;
        }
        if (end >= m_data.size()) {
            fail("unterminated string");
        }
        std::string s(reinterpret_cast<const char*>(m_data.data() + m_pos), end - m_pos);
        m_pos = end + 1;
        return s;
    }

    uint32_t ubits(unsigned count)
    {
        if (count > 32) {
            fail("bit field wider than 32 bits");
        }
        uint32_t v = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (m_bitPos == 0) {
                need(1);
                m_bitByte = m_data[m_pos++];
            }
            v = (v << 1) | ((m_bitByte >> (7 - m_bitPos)) & 1U);
            m_bitPos = (m_bitPos + 1) & 7U;
        }
        return v;
    }
    int32_t sbits(unsigned count)
    {
        const uint32_t v = ubits(count);
        if (count == 0 || count == 32) {
            return static_cast<int32_t>(v);
        }
        const uint32_t sign = 1U << (count - 1);
        return static_cast<int32_t>((v ^ sign) - sign);
    }
    void alignBits() { m_bitPos = 0; }

    [[nodiscard]] size_t pos() const { return m_pos; }
    [[nodiscard]] size_t remaining() const { return m_data.size() - m_pos; }
    [[nodiscard]] bool atEnd() const { return m_pos >= m_data.size(); }
    [[nodiscard]] const std::string& what() const { return m_what; }
    void skip(size_t count) { (void)bytes(count); }

    [[noreturn]] void fail(const std::string& reason) const
    {
        throw ParseError(m_what + ": " + reason + " at offset " + std::to_string(m_pos));
    }

private:
    void need(size_t count) const
    {
        if (count > m_data.size() - m_pos) {
            fail("unexpected end of data");
        }
    }

    std::span<const uint8_t> m_data;
    std::string m_what;
    size_t m_pos = 0;
    unsigned m_bitPos = 0;
    uint8_t m_bitByte = 0;
};

} // namespace swf
