// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small reader of the ZIP records the writer makes, for checking them field by field: the local
// headers, the central directory and the end record, with each entry's data deciphered and
// inflated.

#include "archive/ZipCipher.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ziptest {

struct CEntry {
    // Central directory.
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t dosDateTime = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint16_t extraLength = 0;
    uint16_t commentLength = 0;
    uint32_t externalAttributes = 0;
    uint32_t localOffset = 0;
    std::string name;
    // Local header, as far as it must agree with the central one.
    uint16_t localFlags = 0;
    uint32_t localCrc = 0;
    uint32_t localCompressedSize = 0;
    uint32_t localSize = 0;
    uint16_t localExtraLength = 0;
    std::vector<uint8_t> stored; // the bytes after the local header, compressedSize of them
};

struct CArchive {
    std::vector<CEntry> entries;
    uint16_t endEntryCount = 0;
    uint32_t centralSize = 0;
    uint32_t centralOffset = 0;
    uint16_t commentLength = 0;
};

inline uint32_t Get(const std::vector<uint8_t>& b, size_t at, int n)
{
    if (at + static_cast<size_t>(n) > b.size()) {
        throw std::runtime_error("record past the end of the archive");
    }
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) {
        v = (v << 8) | b[at + static_cast<size_t>(i)];
    }
    return v;
}

inline CArchive Read(const std::vector<uint8_t>& b)
{
    if (b.size() < 22 || Get(b, b.size() - 22, 4) != 0x06054B50) {
        throw std::runtime_error("no end record where one without a comment would be");
    }
    CArchive a;
    const size_t end = b.size() - 22;
    a.endEntryCount = static_cast<uint16_t>(Get(b, end + 10, 2));
    a.centralSize = Get(b, end + 12, 4);
    a.centralOffset = Get(b, end + 16, 4);
    a.commentLength = static_cast<uint16_t>(Get(b, end + 20, 2));
    size_t at = a.centralOffset;
    while (at < end) {
        if (Get(b, at, 4) != 0x02014B50) {
            throw std::runtime_error("bad central header");
        }
        CEntry e;
        e.versionMadeBy = static_cast<uint16_t>(Get(b, at + 4, 2));
        e.versionNeeded = static_cast<uint16_t>(Get(b, at + 6, 2));
        e.flags = static_cast<uint16_t>(Get(b, at + 8, 2));
        e.method = static_cast<uint16_t>(Get(b, at + 10, 2));
        e.dosDateTime = (Get(b, at + 14, 2) << 16) | Get(b, at + 12, 2);
        e.crc = Get(b, at + 16, 4);
        e.compressedSize = Get(b, at + 20, 4);
        e.size = Get(b, at + 24, 4);
        const uint32_t nameLength = Get(b, at + 28, 2);
        e.extraLength = static_cast<uint16_t>(Get(b, at + 30, 2));
        e.commentLength = static_cast<uint16_t>(Get(b, at + 32, 2));
        e.externalAttributes = Get(b, at + 38, 4);
        e.localOffset = Get(b, at + 42, 4);
        e.name.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 46),
            b.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength));
        at += 46 + nameLength + e.extraLength + e.commentLength;

        const size_t local = e.localOffset;
        if (Get(b, local, 4) != 0x04034B50) {
            throw std::runtime_error("bad local header");
        }
        e.localFlags = static_cast<uint16_t>(Get(b, local + 6, 2));
        e.localCrc = Get(b, local + 14, 4);
        e.localCompressedSize = Get(b, local + 18, 4);
        e.localSize = Get(b, local + 22, 4);
        const uint32_t localNameLength = Get(b, local + 26, 2);
        e.localExtraLength = static_cast<uint16_t>(Get(b, local + 28, 2));
        const size_t data = local + 30 + localNameLength + e.localExtraLength;
        if (data + e.compressedSize > b.size()) {
            throw std::runtime_error("entry data past the end");
        }
        e.stored.assign(b.begin() + static_cast<std::ptrdiff_t>(data),
            b.begin() + static_cast<std::ptrdiff_t>(data + e.compressedSize));
        a.entries.push_back(std::move(e));
    }
    return a;
}

// The entry's content: deciphered with the password when it is locked (the check byte must match),
// then inflated when deflated; the CRC is checked.
inline std::vector<uint8_t> Content(const CEntry& e, const std::string& password)
{
    std::vector<uint8_t> data = e.stored;
    if (e.flags & 1) {
        if (data.size() < CZipCipher::kHeaderSize) {
            throw std::runtime_error("no encryption header");
        }
        CZipCipher cipher(password);
        cipher.Decrypt(data);
        if (data[11] != static_cast<uint8_t>(e.crc >> 24)) {
            throw std::runtime_error("wrong password (check byte)");
        }
        data.erase(data.begin(), data.begin() + CZipCipher::kHeaderSize);
    }
    std::vector<uint8_t> out;
    if (e.method == 8) {
        z_stream s {};
        if (inflateInit2(&s, -MAX_WBITS) != Z_OK) {
            throw std::runtime_error("inflateInit2");
        }
        out.resize(e.size + 1);
        s.next_in = data.data();
        s.avail_in = static_cast<uInt>(data.size());
        s.next_out = out.data();
        s.avail_out = static_cast<uInt>(out.size());
        const int r = inflate(&s, Z_FINISH);
        out.resize(s.total_out);
        inflateEnd(&s);
        if (r != Z_STREAM_END) {
            throw std::runtime_error("bad deflate stream");
        }
    } else {
        out = data;
    }
    if (static_cast<uint32_t>(crc32(0, out.data(), static_cast<uInt>(out.size()))) != e.crc) {
        throw std::runtime_error("bad CRC");
    }
    return out;
}

} // namespace ziptest
