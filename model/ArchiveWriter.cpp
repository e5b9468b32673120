// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ArchiveWriter.h"

#include "model/ArchiveFormat.h"
#include "model/TextCodec.h"

void CArchiveWriter::WriteWord(uint16_t value)
{
    m_bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    m_bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void CArchiveWriter::WriteDword(uint32_t value)
{
    WriteWord(static_cast<uint16_t>(value & 0xFFFF));
    WriteWord(static_cast<uint16_t>(value >> 16));
}

void CArchiveWriter::WriteLength(uint64_t length)
{
    if (length < 0xFF) {
        m_bytes.push_back(static_cast<uint8_t>(length));
    } else if (length < archive_tag::kUnicodeMarker) {
        m_bytes.push_back(0xFF);
        WriteWord(static_cast<uint16_t>(length));
    } else {
        m_bytes.push_back(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<uint32_t>(length));
    }
}

void CArchiveWriter::WriteString(std::string_view utf8)
{
    if (const auto ansi = Utf8ToCp1252(utf8)) {
        WriteLength(ansi->size());
        m_bytes.insert(m_bytes.end(), ansi->begin(), ansi->end());
        return;
    }
    const std::u16string units = Utf8ToUtf16(utf8);
    m_bytes.push_back(0xFF);
    WriteWord(archive_tag::kUnicodeMarker);
    WriteLength(units.size());
    for (const char16_t u : units) {
        WriteWord(static_cast<uint16_t>(u));
    }
}

void CArchiveWriter::WriteCount(uint32_t count)
{
    if (count < 0xFFFF) {
        WriteWord(static_cast<uint16_t>(count));
    } else {
        WriteWord(0xFFFF);
        WriteDword(count);
    }
}

void CArchiveWriter::BeginObject(std::string_view className, uint16_t schema)
{
    const auto found = m_classIndex.find(className);
    if (found == m_classIndex.end()) {
        WriteWord(archive_tag::kNewClass);
        WriteWord(schema);
        WriteWord(static_cast<uint16_t>(className.size()));
        m_bytes.insert(m_bytes.end(), className.begin(), className.end());
        m_classIndex.emplace(std::string(className), ++m_lastIndex);
    } else if (found->second < archive_tag::kBigIndex) {
        WriteWord(static_cast<uint16_t>(archive_tag::kClassBit | found->second));
    } else {
        WriteWord(archive_tag::kBigIndex);
        WriteDword(archive_tag::kBigClassBit | found->second);
    }
    ++m_lastIndex;
}
