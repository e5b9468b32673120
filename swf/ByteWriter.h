// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace swf {

// Little-endian byte sink with SWF bit fields. Bit fields are written most significant bit first
// and padded to a byte by alignBits() (or automatically by any byte-sized write).
class ByteWriter {
public:
    void u8(uint8_t v)
    {
        alignBits();
        m_bytes.push_back(v);
    }
    void u16(uint16_t v)
    {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void s16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void s32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void bytes(std::span<const uint8_t> data)
    {
        alignBits();
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    }
    // A zero-terminated string (SWF STRING).
    void string(std::string_view s)
    {
        alignBits();
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        m_bytes.push_back(0);
    }

    // Unsigned bit field of `count` bits (0 to 32): the low `count` bits of `value`, first into
    // what is left of the last byte, then whole bytes, then the start of a new byte.
    void ubits(uint32_t value, unsigned count)
    {
        if (count == 0) {
            return;
        }
        uint64_t bits = value & ((uint64_t { 1 } << count) - 1U);
        if (m_bitPos != 0) {
            const unsigned space = 8 - m_bitPos;
            if (count <= space) {
                m_bytes.back() |= static_cast<uint8_t>(bits << (space - count));
                m_bitPos = (m_bitPos + count) & 7U;
                return;
            }
            count -= space;
            m_bytes.back() |= static_cast<uint8_t>(bits >> count);
            bits &= (uint64_t { 1 } << count) - 1U;
        }
        while (count >= 8) {
            count -= 8;
            m_bytes.push_back(static_cast<uint8_t>(bits >> count));
        }
        if (count > 0) {
            m_bytes.push_back(static_cast<uint8_t>(bits << (8 - count)));
        }
        m_bitPos = count;
    }
    // Signed bit field: two's complement in `count` bits.
    void sbits(int32_t value, unsigned count) { ubits(static_cast<uint32_t>(value), count); }
    void alignBits() { m_bitPos = 0; }

    [[nodiscard]] size_t size() const { return m_bytes.size(); }
    [[nodiscard]] const std::vector<uint8_t>& data() const { return m_bytes; }
    // Room for `capacity` bytes in all, so that a writer of known size grows only once.
    void reserve(size_t capacity) { m_bytes.reserve(capacity); }
    // Empties the writer but keeps its storage, for a writer reused for many small records.
    void clear()
    {
        m_bytes.clear();
        m_bitPos = 0;
    }
    [[nodiscard]] std::vector<uint8_t> take()
    {
        alignBits();
        return std::move(m_bytes);
    }
    // Overwrites a UI16 or UI32 written earlier (lengths known only afterwards).
    void patchU16(size_t offset, uint16_t v)
    {
        m_bytes.at(offset) = static_cast<uint8_t>(v);
        m_bytes.at(offset + 1) = static_cast<uint8_t>(v >> 8);
    }
    void patchU32(size_t offset, uint32_t v)
    {
        patchU16(offset, static_cast<uint16_t>(v));
        patchU16(offset + 2, static_cast<uint16_t>(v >> 16));
    }

    // Bits needed to hold `v` as an unsigned or a signed bit field.
    [[nodiscard]] static unsigned ubitsNeeded(uint32_t v) { return static_cast<unsigned>(std::bit_width(v)); }
    [[nodiscard]] static unsigned sbitsNeeded(int32_t v)
    {
        const uint32_t magnitude = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
        return ubitsNeeded(magnitude) + 1;
    }

private:
    std::vector<uint8_t> m_bytes;
    unsigned m_bitPos = 0;
};

} // namespace swf
