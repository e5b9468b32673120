// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ZipWriter.h"

#include "archive/DosDateTime.h"
#include "archive/MiniZipWriter.h"
#include "archive/ZipCipher.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/random.h>
#include <sys/stat.h>

namespace {

constexpr uint16_t kVersionMadeBy = 0x031E; // host 3 (Unix), format 3.0
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagUtf8 = 0x0800;
constexpr uint32_t kDosFolderAttribute = 0x10;
// Fixed parts of the records, for the size limit.
constexpr uint64_t kLocalHeaderSize = 30;
constexpr uint64_t kCentralHeaderSize = 46;
constexpr uint64_t kEndRecordSize = 22;
constexpr size_t kCopyBlock = 64U * 1024;
constexpr size_t kRandomPool = 4096;

void FillRandom(std::span<uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::getrandom(bytes.data(), bytes.size(), 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error(std::string("Cannot get random bytes: ") + std::strerror(errno));
        }
        bytes = bytes.subspan(static_cast<size_t>(n));
    }
}

void CheckName(const std::string& strName, bool bFolder)
{
    const auto refuse = [&](const char* why) {
        throw std::invalid_argument("Cannot name an archive entry \"" + strName + "\": " + why);
    };
    if (strName.empty() || strName == "/") {
        refuse("the name is empty");
    }
    if (strName.size() > kMaxZipNameLength) {
        refuse("the name is longer than 65535 bytes");
    }
    if (bFolder != strName.ends_with('/')) {
        refuse(bFolder ? "a folder's name must end in /" : "a file's name must not end in /");
    }
    if (strName.front() == '/' || strName.find('\0') != std::string::npos) {
        refuse("the name must be a relative path");
    }
    const std::string_view parts(strName.data(), strName.size() - (bFolder ? 1 : 0));
    size_t nStart = 0;
    while (nStart <= parts.size()) {
        const size_t nEnd = std::min(parts.find('/', nStart), parts.size());
        const std::string_view part = parts.substr(nStart, nEnd - nStart);
        if (part.empty() || part == "." || part == "..") {
            refuse("the name must be a relative path without empty, . or .. parts");
        }
        nStart = nEnd + 1;
    }
    if (!IsUtf8(strName)) {
        refuse("the name is not UTF-8");
    }
}

} // namespace

bool IsUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t nLength = 0;
        uint32_t nCode = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            nLength = 2;
            nCode = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            nLength = 3;
            nCode = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            nLength = 4;
            nCode = c & 0x07;
        } else {
            return false;
        }
        if (i + nLength > text.size()) {
            return false;
        }
        for (size_t k = 1; k < nLength; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            nCode = (nCode << 6) | (d & 0x3F);
        }
        constexpr std::array<uint32_t, 5> kSmallest { 0, 0, 0x80, 0x800, 0x10000 };
        if (nCode < kSmallest[nLength] || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF)) {
            return false;
        }
        i += nLength;
    }
    return true;
}

CZipWriter::CZipWriter(IZipSink& sink, std::string strPassword, uint64_t nMaxSize)
    : m_sink(sink)
    , m_pZip(std::make_unique<CMiniZipWriter>(sink))
    , m_strPassword(std::move(strPassword))
    , m_nMaxSize(nMaxSize)
    , m_block(kCopyBlock)
{
}

CZipWriter::~CZipWriter() = default;

void CZipWriter::BeginEntry(const CZipEntryInfo& info, bool bFolder, uint64_t nDataSize)
{
    if (!m_pZip) {
        throw std::logic_error("The archive is already finished");
    }
    CheckName(info.m_strName, bFolder);
    if (m_nEntries >= kMaxZipEntries) {
        throw std::runtime_error("Cannot add " + info.m_strName + ": a ZIP archive holds at most " +
            std::to_string(kMaxZipEntries) + " files and folders");
    }
    const bool bEncrypted = !m_strPassword.empty();
    const uint64_t nStored = nDataSize + (bEncrypted ? CZipCipher::kHeaderSize : 0);
    const uint64_t nName = info.m_strName.size();
    const uint64_t nEnd = m_sink.Tell() + kLocalHeaderSize + nName + nStored + m_nCentralSize +
        kCentralHeaderSize + nName + kEndRecordSize;
    if (nStored > kMaxZipFileSize || nEnd > m_nMaxSize) {
        throw std::runtime_error("Cannot add " + info.m_strName + ": the archive would grow past " +
            std::to_string(m_nMaxSize) + " bytes, the most a ZIP archive without ZIP64 records can hold");
    }

    const uint32_t nType = bFolder ? S_IFDIR : S_IFREG;
    CRawZipEntry entry;
    entry.m_strName = info.m_strName;
    entry.m_nDosDateTime = ToDosDateTime(info.m_nModified);
    entry.m_nExternalAttributes =
        ((nType | (info.m_nPermissions & 0777)) << 16) | (bFolder ? kDosFolderAttribute : 0);
    entry.m_nMethod = bFolder ? 0 : Z_DEFLATED;
    entry.m_nFlags = kFlagUtf8 | (bEncrypted ? kFlagEncrypted : 0);
    entry.m_nVersionMadeBy = kVersionMadeBy;
    m_pZip->OpenRawEntry(entry);
    ++m_nEntries;
    m_nCentralSize += kCentralHeaderSize + nName;
    m_pCipher = bEncrypted ? std::make_unique<CZipCipher>(m_strPassword) : nullptr;
}

void CZipWriter::WriteData(std::span<const uint8_t> bytes)
{
    m_pZip->WriteRaw(bytes);
}

void CZipWriter::WriteEncryptionHeader(uint32_t nCrc)
{
    constexpr size_t kRandomSize = CZipCipher::kHeaderSize - 2;
    if (m_nRandomUsed + kRandomSize > m_random.size()) {
        m_random.resize(kRandomPool);
        FillRandom(m_random);
        m_nRandomUsed = 0;
    }
    const std::span<const uint8_t, kRandomSize> random(m_random.data() + m_nRandomUsed, kRandomSize);
    m_nRandomUsed += kRandomSize;
    WriteData(m_pCipher->EncryptHeader(random, nCrc));
}

void CZipWriter::AddFolder(const CZipEntryInfo& info)
{
    BeginEntry(info, true, 0);
    if (m_pCipher) {
        WriteEncryptionHeader(0);
    }
    m_pZip->CloseRawEntry(0, 0);
}

void CZipWriter::AddFile(const CZipEntryInfo& info, CCompressedFile& file)
{
    BeginEntry(info, false, file.m_data.Size());
    if (m_pCipher) {
        WriteEncryptionHeader(file.m_nCrc);
    }
    file.m_data.Rewind();
    for (;;) {
        const size_t n = file.m_data.Read(m_block);
        if (n == 0) {
            break;
        }
        const std::span<uint8_t> block(m_block.data(), n);
        if (m_pCipher) {
            m_pCipher->Encrypt(block);
        }
        WriteData(block);
    }
    file.m_data.Clear();
    m_pZip->CloseRawEntry(file.m_nSize, file.m_nCrc);
}

void CZipWriter::Finish()
{
    if (!m_pZip) {
        throw std::logic_error("The archive is already finished");
    }
    m_pZip->Close();
    m_pZip.reset();
}
