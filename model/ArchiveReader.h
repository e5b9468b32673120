// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A damaged or unexpected object archive; the message names what failed and where.
class CArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A class the reader accepts, with the schema its description must carry.
struct CArchiveClass {
    std::string_view name;
    uint16_t schema;
};

// One object item as read: no object, the start of a new object (its body follows), or a
// reference to an object stored earlier.
struct CArchiveItem {
    enum class EKind { Null, NewObject, BackReference };
    EKind kind = EKind::Null;
    // Index into the reader's class table.
    size_t classId = 0;
    // Archive index of the object (new or referenced).
    uint32_t objectIndex = 0;
};

// Bounds-checked reader of the object-archive byte stream over bytes it does not own. Every
// length and count is checked against the bytes that remain, so a hostile file cannot make it read
// out of bounds or allocate beyond a small multiple of the file's size.
class CArchiveReader {
public:
    CArchiveReader(std::span<const uint8_t> data, std::vector<CArchiveClass> classes);

    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDword();
    int32_t ReadInt() { return static_cast<int32_t>(ReadDword()); }
    // A text in either form, as UTF-8.
    std::string ReadString();
    // A list count; each element takes at least minElementBytes, which bounds the count.
    uint32_t ReadCount(size_t minElementBytes);
    // An object item; a class description must name a known class with its schema.
    CArchiveItem ReadObjectItem();

    [[nodiscard]] size_t Position() const { return m_pos; }
    [[nodiscard]] size_t Remaining() const { return m_data.size() - m_pos; }
    [[nodiscard]] const CArchiveClass& Class(size_t classId) const { return m_classes.at(classId); }

    [[noreturn]] void Fail(const std::string& reason) const;

private:
    void Need(uint64_t count) const
    {
        if (count > Remaining()) [[unlikely]] {
            FailShort(count);
        }
    }
    [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void FailShort(uint64_t count) const;
    uint64_t ReadLength(bool& unicode);

    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    std::vector<CArchiveClass> m_classes;
    // What each archive index (from 1) stands for: a class (its class id) or an object.
    struct Entry {
        bool isClass;
        size_t classId;
    };
    std::vector<Entry> m_entries;
};
