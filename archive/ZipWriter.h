// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive/FileCompressor.h"
#include "archive/ZipLimits.h"
#include "archive/ZipStreams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CMiniZipWriter;
class CZipCipher;

// What an entry's header says about it besides its data.
struct CZipEntryInfo {
    // The path inside the archive: UTF-8, parts separated by "/", a folder's ending in "/".
    std::string m_strName;
    // Last modification, in seconds since 1970.
    int64_t m_nModified = 0;
    // The Unix permission bits (at most 0777; set-id and sticky bits are not kept).
    uint32_t m_nPermissions = 0644;
};

// Whether the text is UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
[[nodiscard]] bool IsUtf8(std::string_view text);

// Writes a ZIP archive entry by entry into a sink, in the one form whose names and attributes come
// out right in both Info-ZIP's unzip and Python's zipfile: names in UTF-8 with flag bit 11,
// "version made by" Unix 3.0 (0x031E), the Unix mode in the high half of the external attributes
// (with the MS-DOS folder bit 0x10 on folders), no extra fields, no comments, no ZIP64 records.
// With a password every entry, folders included, is locked with the traditional PKWARE cipher:
// flag bit 0, a 12-byte header of random bytes from getrandom and the CRC's two high bytes. The
// sizes and CRC are in the local header (no data descriptor). Limits (ZipLimits.h) are refused
// with an exception before the entry that would pass them is written.
class CZipWriter {
public:
    // The archive is refused once it would grow past nMaxSize bytes (the format's limit unless a
    // test wants a smaller one).
    CZipWriter(IZipSink& sink, std::string strPassword, uint64_t nMaxSize = kMaxZipArchiveSize);
    ~CZipWriter();
    CZipWriter(const CZipWriter&) = delete;
    CZipWriter& operator=(const CZipWriter&) = delete;

    void AddFolder(const CZipEntryInfo& info);
    // Adds the file compressed by CFileCompressor (its data is read out, the buffer left spent).
    void AddFile(const CZipEntryInfo& info, CCompressedFile& file);
    // Writes the central directory and the end record. Nothing can be added afterwards.
    void Finish();

    [[nodiscard]] size_t EntryCount() const { return m_nEntries; }

private:
    void BeginEntry(const CZipEntryInfo& info, bool bFolder, uint64_t nDataSize);
    void WriteData(std::span<const uint8_t> bytes);
    void WriteEncryptionHeader(uint32_t nCrc);

    IZipSink& m_sink;
    std::unique_ptr<CMiniZipWriter> m_pZip;
    std::string m_strPassword;
    uint64_t m_nMaxSize;
    size_t m_nEntries = 0;
    uint64_t m_nCentralSize = 0; // central directory bytes of the entries so far
    std::unique_ptr<CZipCipher> m_pCipher; // of the entry being written
    std::vector<uint8_t> m_block;
    // Random bytes for the encryption headers, fetched from getrandom a few thousand at a time.
    std::vector<uint8_t> m_random;
    size_t m_nRandomUsed = 0;
};
