// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/FileCompressor.h"

#include "archive/ZipLimits.h"

#include <zlib.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Read and output blocks: large enough that the system calls cost nothing next to deflate.
constexpr size_t kReadBlock = 256U * 1024;
constexpr size_t kOutputBlock = 64U * 1024;

} // namespace

struct CFileCompressor::CState {
    z_stream m_stream {};
    std::vector<uint8_t> m_input = std::vector<uint8_t>(kReadBlock);
    std::vector<uint8_t> m_output = std::vector<uint8_t>(kOutputBlock);

    CState()
    {
        if (deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
            Z_OK) {
            throw std::runtime_error("Cannot start the compressor (out of memory)");
        }
    }
    ~CState() { deflateEnd(&m_stream); }
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;

    // Runs deflate over what is in the stream's input, passing its output on.
    void Deflate(int nFlush, CSpillBuffer& out)
    {
        do {
            m_stream.next_out = m_output.data();
            m_stream.avail_out = static_cast<uInt>(m_output.size());
            const int nResult = deflate(&m_stream, nFlush);
            if (nResult == Z_STREAM_ERROR) {
                throw std::runtime_error("The compressor failed");
            }
            out.Append({ m_output.data(), m_output.size() - m_stream.avail_out });
        } while (m_stream.avail_out == 0);
    }
};

CFileCompressor::CFileCompressor(std::filesystem::path spillFolder, size_t nMemoryLimit)
    : m_pState(std::make_unique<CState>())
    , m_spillFolder(std::move(spillFolder))
    , m_nMemoryLimit(nMemoryLimit)
{
}

CFileCompressor::~CFileCompressor() = default;

std::optional<CCompressedFile> CFileCompressor::Compress(
    IZipSource& source, const std::function<bool(size_t)>& onRead)
{
    CState& state = *m_pState;
    if (deflateReset(&state.m_stream) != Z_OK) {
        throw std::runtime_error("Cannot restart the compressor");
    }
    CCompressedFile file { CSpillBuffer(m_spillFolder, m_nMemoryLimit),
        static_cast<uint32_t>(crc32(0, nullptr, 0)), 0 };
    for (;;) {
        size_t nRead = 0;
        try {
            nRead = source.Read(state.m_input);
        } catch (const CZipSourceError&) {
            throw;
        } catch (const std::exception& e) {
            throw CZipSourceError(e.what());
        }
        if (nRead == 0) {
            break;
        }
        file.m_nSize += nRead;
        if (file.m_nSize > kMaxZipFileSize) {
            throw CZipSourceError(
                "grew to 4 GiB or more while it was read; a ZIP archive holds files of at most " +
                std::to_string(kMaxZipFileSize) + " bytes");
        }
        file.m_nCrc =
            static_cast<uint32_t>(crc32(file.m_nCrc, state.m_input.data(), static_cast<uInt>(nRead)));
        state.m_stream.next_in = state.m_input.data();
        state.m_stream.avail_in = static_cast<uInt>(nRead);
        state.Deflate(Z_NO_FLUSH, file.m_data);
        if (onRead && !onRead(nRead)) {
            return std::nullopt;
        }
    }
    state.m_stream.next_in = nullptr;
    state.m_stream.avail_in = 0;
    state.Deflate(Z_FINISH, file.m_data);
    return file;
}
