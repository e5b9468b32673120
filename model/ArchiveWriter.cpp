// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ArchiveWriter.h"

#include "model/ArchiveFormat.h"
#include "model/TextCodec.h"

namespace {

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

CArchiveWriter::CArchiveWriter()
{
    // A project at the card and link limits with short texts takes about 70 KB.
    m_bytes.reserve(64 * 1024);
}

void CArchiveWriter::WriteWord(uint16_t value)
{
    const uint8_t bytes[2] = { static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8) };
    m_bytes.insert(m_bytes.end(), bytes, bytes + 2);
}

void CArchiveWriter::WriteDword(uint32_t value)
{
    const uint8_t bytes[4] = { static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
        static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>(value >> 24) };
    m_bytes.insert(m_bytes.end(), bytes, bytes + 4);
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
    if (IsAscii(utf8)) {
        WriteLength(utf8.size());
        m_bytes.insert(m_bytes.end(), utf8.begin(), utf8.end());
        return;
    }
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
    auto found = m_classIndex.begin();
    while (found != m_classIndex.end() && found->first != className) {
        ++found;
    }
    if (found == m_classIndex.end()) {
        WriteWord(archive_tag::kNewClass);
        WriteWord(schema);
        WriteWord(static_cast<uint16_t>(className.size()));
        m_bytes.insert(m_bytes.end(), className.begin(), className.end());
        m_classIndex.emplace_back(std::string(className), ++m_lastIndex);
    } else if (found->second < archive_tag::kBigIndex) {
        WriteWord(static_cast<uint16_t>(archive_tag::kClassBit | found->second));
    } else {
        WriteWord(archive_tag::kBigIndex);
        WriteDword(archive_tag::kBigClassBit | found->second);
    }
    ++m_lastIndex;
}
