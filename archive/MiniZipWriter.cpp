// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/MiniZipWriter.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

// What minizip's file callbacks reach: the sink, and the first failure, kept for the exception.
struct CMiniZipWriter::CBridge {
    IZipSink* m_pSink = nullptr;
    std::string m_strError;
    bool m_bDiscard = false; // after a failure: swallow whatever minizip still writes
};

namespace {

using CBridge = CMiniZipWriter::CBridge;

CBridge& BridgeOf(voidpf opaque)
{
    return *static_cast<CBridge*>(opaque);
}

voidpf OpenStream(voidpf opaque, const void* /*filename*/, int /*mode*/)
{
    return opaque;
}

uLong ReadStream(voidpf opaque, voidpf /*stream*/, void* /*buf*/, uLong /*size*/)
{
    BridgeOf(opaque).m_strError = "the archive is being written, not read";
    return 0;
}

// A failure is kept for the exception and hidden from minizip, which would otherwise stop half-way
// through its own bookkeeping (and leak the entry it was opening); everything after it is dropped.
uLong WriteStream(voidpf opaque, voidpf /*stream*/, const void* buf, uLong size)
{
    CBridge& bridge = BridgeOf(opaque);
    if (bridge.m_bDiscard || !bridge.m_strError.empty()) {
        return size;
    }
    try {
        bridge.m_pSink->Write({ static_cast<const uint8_t*>(buf), static_cast<size_t>(size) });
    } catch (const std::exception& e) {
        bridge.m_strError = e.what();
    }
    return size;
}

ZPOS64_T TellStream(voidpf opaque, voidpf /*stream*/)
{
    return BridgeOf(opaque).m_pSink->Tell();
}

long SeekStream(voidpf opaque, voidpf /*stream*/, ZPOS64_T offset, int origin)
{
    CBridge& bridge = BridgeOf(opaque);
    if (bridge.m_bDiscard || !bridge.m_strError.empty()) {
        return 0;
    }
    try {
        switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            bridge.m_pSink->Seek(offset);
            break;
        case ZLIB_FILEFUNC_SEEK_CUR:
            bridge.m_pSink->Seek(bridge.m_pSink->Tell() + offset);
            break;
        default:
            bridge.m_strError = "cannot seek from the end of the archive";
            break;
        }
    } catch (const std::exception& e) {
        bridge.m_strError = e.what();
    }
    return 0;
}

int CloseStream(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

int ErrorOfStream(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

} // namespace

CMiniZipWriter::CMiniZipWriter(IZipSink& sink)
    : m_pBridge(std::make_unique<CBridge>())
{
    m_pBridge->m_pSink = &sink;
    zlib_filefunc64_def functions {};
    functions.zopen64_file = OpenStream;
    functions.zread_file = ReadStream;
    functions.zwrite_file = WriteStream;
    functions.ztell64_file = TellStream;
    functions.zseek64_file = SeekStream;
    functions.zclose_file = CloseStream;
    functions.zerror_file = ErrorOfStream;
    functions.opaque = m_pBridge.get();
    // The "path" only has to be non-null; the callbacks ignore it.
    m_pZip = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
    if (!m_pZip) {
        throw std::runtime_error(
            m_pBridge->m_strError.empty() ? "Cannot start the archive" : m_pBridge->m_strError);
    }
}

CMiniZipWriter::~CMiniZipWriter()
{
    if (m_pZip) {
        m_pBridge->m_bDiscard = true;
        (void)zipClose(m_pZip, nullptr);
    }
}

void CMiniZipWriter::Check(int nResult, const char* what)
{
    if (!m_pBridge->m_strError.empty()) {
        throw std::runtime_error(m_pBridge->m_strError);
    }
    if (nResult != ZIP_OK) {
        throw std::runtime_error(
            std::string("Cannot ") + what + " (minizip error " + std::to_string(nResult) + ")");
    }
}

void CMiniZipWriter::OpenRawEntry(const CRawZipEntry& entry)
{
    zip_fileinfo info {};
    info.dosDate = entry.m_nDosDateTime;
    info.external_fa = entry.m_nExternalAttributes;
    // With raw set and no password, minizip neither deflates nor enciphers; the level only picks
    // the deflate option bits of the flags, and the default level leaves them clear.
    const int nLevel = entry.m_nMethod == Z_DEFLATED ? Z_DEFAULT_COMPRESSION : 0;
    Check(zipOpenNewFileInZip4_64(m_pZip, entry.m_strName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
              entry.m_nMethod, nLevel, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
              entry.m_nVersionMadeBy, entry.m_nFlags, 0),
        "add an entry to the archive");
}

void CMiniZipWriter::WriteRaw(std::span<const uint8_t> bytes)
{
    // minizip takes unsigned lengths: hand large spans over in pieces.
    constexpr size_t kPiece = 1U << 30;
    while (!bytes.empty()) {
        const size_t n = std::min(bytes.size(), kPiece);
        Check(zipWriteInFileInZip(m_pZip, bytes.data(), static_cast<unsigned>(n)), "write to the archive");
        bytes = bytes.subspan(n);
    }
}

void CMiniZipWriter::CloseRawEntry(uint64_t nUncompressedSize, uint32_t nCrc)
{
    Check(zipCloseFileInZipRaw64(m_pZip, nUncompressedSize, nCrc), "finish an entry of the archive");
}

void CMiniZipWriter::Close()
{
    void* pZip = m_pZip;
    m_pZip = nullptr;
    // minizip frees its state whatever the outcome.
    Check(zipClose(pZip, nullptr), "finish the archive");
}
