// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Writes the object-archive byte stream: little-endian primitives, length-prefixed texts and
// object items whose class descriptions and objects are numbered in order of first appearance.
class CArchiveWriter {
public:
    CArchiveWriter();
    void WriteWord(uint16_t value);
    void WriteDword(uint32_t value);
    void WriteInt(int32_t value) { WriteDword(static_cast<uint32_t>(value)); }
    // UTF-8 text: Windows-1252 bytes when the code page holds every character, else the Unicode form
    // (byte FF, WORD FFFE, then the length in UTF-16 units and the UTF-16LE units).
    void WriteString(std::string_view utf8);
    void WriteCount(uint32_t count);
    void WriteNull() { WriteWord(0); }
    // Starts an object of the class: its description the first time, a class reference after.
    // The object's body follows.
    void BeginObject(std::string_view className, uint16_t schema);

    [[nodiscard]] const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    [[nodiscard]] std::vector<uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    void WriteLength(uint64_t length);

    std::vector<uint8_t> m_bytes;
    // Class names (the writer's callers pass literals) and their indices; a handful at most.
    std::vector<std::pair<std::string, uint32_t>> m_classIndex;
    // Index given to the last class description or object; 0 stands for "no object".
    uint32_t m_lastIndex = 0;
};
