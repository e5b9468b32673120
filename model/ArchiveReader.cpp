// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ArchiveReader.h"

#include "model/ArchiveFormat.h"
#include "model/TextCodec.h"

#include <utility>

CArchiveReader::CArchiveReader(std::span<const uint8_t> data, std::vector<CArchiveClass> classes)
    : m_data(data)
    , m_classes(std::move(classes))
{
}

void CArchiveReader::Fail(const std::string& reason) const
{
    throw CArchiveError(reason + " at offset " + std::to_string(m_pos));
}

void CArchiveReader::FailShort(uint64_t count) const
{
    Fail("unexpected end of file (" + std::to_string(count) + " bytes needed, " +
        std::to_string(Remaining()) + " left)");
}

uint8_t CArchiveReader::ReadByte()
{
    Need(1);
    return m_data[m_pos++];
}

uint16_t CArchiveReader::ReadWord()
{
    Need(2);
    const auto v = static_cast<uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

uint32_t CArchiveReader::ReadDword()
{
    Need(4);
    const uint8_t* p = m_data.data() + m_pos;
    m_pos += 4;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
        (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t CArchiveReader::ReadLength(bool& unicode)
{
    unicode = false;
    uint8_t b = ReadByte();
    if (b < 0xFF) {
        return b;
    }
    uint16_t w = ReadWord();
    if (w == archive_tag::kUnicodeMarker) {
        // Only the first FFFE is the marker; a second one is a plain length.
        unicode = true;
        b = ReadByte();
        if (b < 0xFF) {
            return b;
        }
        w = ReadWord();
    }
    if (w < 0xFFFF) {
        return w;
    }
    const uint32_t d = ReadDword();
    if (d < 0xFFFFFFFFU) {
        return d;
    }
    const uint64_t lo = ReadDword();
    return lo | (static_cast<uint64_t>(ReadDword()) << 32);
}

std::string CArchiveReader::ReadString()
{
    bool unicode = false;
    const uint64_t length = ReadLength(unicode);
    if (!unicode) {
        Need(length);
        const auto* p = reinterpret_cast<const char*>(m_data.data() + m_pos);
        m_pos += static_cast<size_t>(length);
        return Cp1252ToUtf8(std::string_view(p, static_cast<size_t>(length)));
    }
    if (length > Remaining() / 2) {
        Fail("text of " + std::to_string(length) + " UTF-16 units longer than the file");
    }
    std::u16string units(static_cast<size_t>(length), u'\0');
    for (auto& u : units) {
        u = static_cast<char16_t>(ReadWord());
    }
    return Utf16ToUtf8(units);
}

uint32_t CArchiveReader::ReadCount(size_t minElementBytes)
{
    uint32_t count = ReadWord();
    if (count == 0xFFFF) {
        count = ReadDword();
    }
    if (static_cast<uint64_t>(count) * minElementBytes > Remaining()) {
        Fail("list count " + std::to_string(count) + " larger than the file can hold");
    }
    return count;
}

CArchiveItem CArchiveReader::ReadObjectItem()
{
    const size_t start = m_pos;
    const uint16_t tag = ReadWord();
    CArchiveItem item;
    if (tag == archive_tag::kNewClass) {
        const uint16_t schema = ReadWord();
        const uint16_t nameLength = ReadWord();
        Need(nameLength);
        const std::string_view name(reinterpret_cast<const char*>(m_data.data() + m_pos), nameLength);
        m_pos += nameLength;
        size_t classId = m_classes.size();
        for (size_t i = 0; i < m_classes.size(); ++i) {
            if (m_classes[i].name == name) {
                classId = i;
            }
        }
        if (classId == m_classes.size()) {
            m_pos = start;
            Fail("unknown class \"" + std::string(name) + "\"");
        }
        if (m_classes[classId].schema != schema) {
            m_pos = start;
            Fail("class " + std::string(name) + " with schema " + std::to_string(schema) + " instead of " +
                std::to_string(m_classes[classId].schema));
        }
        m_entries.push_back({ true, classId });
        m_entries.push_back({ false, classId });
        item.kind = CArchiveItem::EKind::NewObject;
        item.classId = classId;
        item.objectIndex = static_cast<uint32_t>(m_entries.size());
        return item;
    }

    uint32_t reference = 0;
    if (tag == archive_tag::kBigIndex) {
        reference = ReadDword();
    } else {
        reference = (static_cast<uint32_t>(tag & archive_tag::kClassBit) << 16) | (tag & 0x7FFFU);
    }
    if (reference & archive_tag::kBigClassBit) {
        const uint32_t classIndex = reference & ~archive_tag::kBigClassBit;
        if (classIndex == 0 || classIndex > m_entries.size() || !m_entries[classIndex - 1].isClass) {
            m_pos = start;
            Fail("reference to undefined class index " + std::to_string(classIndex));
        }
        const size_t classId = m_entries[classIndex - 1].classId;
        m_entries.push_back({ false, classId });
        item.kind = CArchiveItem::EKind::NewObject;
        item.classId = classId;
        item.objectIndex = static_cast<uint32_t>(m_entries.size());
        return item;
    }
    if (reference == 0) {
        return item;
    }
    if (reference > m_entries.size() || m_entries[reference - 1].isClass) {
        m_pos = start;
        Fail("reference to undefined object index " + std::to_string(reference));
    }
    item.kind = CArchiveItem::EKind::BackReference;
    item.classId = m_entries[reference - 1].classId;
    item.objectIndex = reference;
    return item;
}
