// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/ZipStreams.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// One entry as minizip writes it: the data is given raw (already compressed, and enciphered when
// flag bit 0 is set), with its CRC and size at the end, so minizip's own deflate and its cipher are
// never used. (Debian 12's minizip 1.1 enciphers wrongly on 64-bit machines: its crypt.h keeps the
// keys and zlib's CRC table as 64-bit unsigned long.)
struct CRawZipEntry {
    std::string m_strName;
    uint32_t m_nDosDateTime = 0; // MS-DOS date in the high half, time in the low half
    uint32_t m_nExternalAttributes = 0;
    uint16_t m_nMethod = 0; // 0 stored, 8 deflated
    uint16_t m_nFlags = 0; // general purpose flags
    uint16_t m_nVersionMadeBy = 0;
};

// minizip's zipFile handle over an IZipSink, with its integer codes turned into exceptions that
// carry the sink's own message. The only place that touches minizip. A writer destroyed before
// Close (after a failure) frees minizip's state and writes nothing more to the sink.
class CMiniZipWriter {
public:
    explicit CMiniZipWriter(IZipSink& sink);
    ~CMiniZipWriter();
    CMiniZipWriter(const CMiniZipWriter&) = delete;
    CMiniZipWriter& operator=(const CMiniZipWriter&) = delete;

    void OpenRawEntry(const CRawZipEntry& entry);
    void WriteRaw(std::span<const uint8_t> bytes);
    void CloseRawEntry(uint64_t nUncompressedSize, uint32_t nCrc);
    // Writes the central directory and the end record (no archive comment).
    void Close();

    struct CBridge;

private:
    void Check(int nResult, const char* what);

    std::unique_ptr<CBridge> m_pBridge;
    void* m_pZip = nullptr;
};
