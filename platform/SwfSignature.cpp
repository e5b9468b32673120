// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SwfSignature.h"

#include <zlib.h>

#include <array>

namespace {

// Signature (3), version (1), file length (4).
constexpr qsizetype kHeaderSize = 8;
// The frame RECT takes at most 5 + 4 * 31 bits.
constexpr size_t kRectBytes = 17;

QSize ReadRect(const unsigned char* p, size_t nSize)
{
    size_t nBit = 0;
    auto bits = [&](unsigned nCount, bool bSigned) -> int64_t {
        uint64_t v = 0;
        for (unsigned i = 0; i < nCount; ++i, ++nBit) {
            if (nBit / 8 >= nSize) {
                return 0;
            }
            v = (v << 1) | ((p[nBit / 8] >> (7 - nBit % 8)) & 1U);
        }
        if (bSigned && nCount > 0 && ((v >> (nCount - 1)) & 1U) != 0) {
            return static_cast<int64_t>(v) - (int64_t { 1 } << nCount);
        }
        return static_cast<int64_t>(v);
    };
    const auto nBits = static_cast<unsigned>(bits(5, false));
    if ((5 + 4 * nBits + 7) / 8 > nSize) {
        return {};
    }
    const int64_t x0 = bits(nBits, true);
    const int64_t x1 = bits(nBits, true);
    const int64_t y0 = bits(nBits, true);
    const int64_t y1 = bits(nBits, true);
    if (x1 <= x0 || y1 <= y0) {
        return {};
    }
    // Twips to pixels, rounded.
    return { static_cast<int>((x1 - x0 + 10) / 20), static_cast<int>((y1 - y0 + 10) / 20) };
}

} // namespace

bool LooksLikeSwf(const QByteArray& data)
{
    if (data.size() < kHeaderSize) {
        return false;
    }
    const char c = data.at(0);
    return (c == 'F' || c == 'C' || c == 'Z') && data.at(1) == 'W' && data.at(2) == 'S';
}

QSize MovieFrameSize(const QByteArray& data)
{
    if (!LooksLikeSwf(data)) {
        return {};
    }
    const auto* pBody = reinterpret_cast<const unsigned char*>(data.constData()) + kHeaderSize;
    const auto nBody = static_cast<size_t>(data.size() - kHeaderSize);
    if (data.at(0) == 'F') {
        return ReadRect(pBody, nBody);
    }
    if (data.at(0) != 'C') {
        return {}; // LZMA-compressed movies: the player still shows them, at a default size
    }
    std::array<unsigned char, kRectBytes> rect {};
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK) {
        return {};
    }
    stream.next_in = const_cast<unsigned char*>(pBody);
    stream.avail_in = static_cast<uInt>(std::min<size_t>(nBody, 1U << 20));
    stream.next_out = rect.data();
    stream.avail_out = static_cast<uInt>(rect.size());
    const int nResult = inflate(&stream, Z_SYNC_FLUSH);
    const size_t nGot = rect.size() - stream.avail_out;
    inflateEnd(&stream);
    if (nResult != Z_OK && nResult != Z_STREAM_END) {
        return {};
    }
    return ReadRect(rect.data(), nGot);
}
