// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/bundle/Bundle.h"

#include <algorithm>
#include <cstring>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutU64(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

uint64_t GetLe(std::span<const uint8_t> bytes, size_t nAt, int nCount)
{
    uint64_t v = 0;
    for (int i = nCount; i-- > 0;) {
        v = (v << 8) | bytes[nAt + static_cast<size_t>(i)];
    }
    return v;
}

} // namespace

bool IsSafeBundleName(const std::string& strName)
{
    if (strName.empty() || strName.size() > kMaxBundleNameLength || strName.front() == '/' ||
        strName.find('\\') != std::string::npos || strName.find('\0') != std::string::npos) {
        return false;
    }
    size_t nStart = 0;
    while (nStart <= strName.size()) {
        const size_t nEnd = std::min(strName.find('/', nStart), strName.size());
        const std::string strPart = strName.substr(nStart, nEnd - nStart);
        if (strPart.empty() || strPart == "." || strPart == "..") {
            return false;
        }
        nStart = nEnd + 1;
    }
    return true;
}

std::vector<uint8_t> WriteBundlePayload(const std::vector<CBundleEntry>& entries)
{
    if (entries.size() > kMaxBundleEntries) {
        throw CBundleError("too many files for a self-running copy");
    }
    std::vector<uint8_t> out;
    for (const CBundleEntry& e : entries) {
        if (!IsSafeBundleName(e.m_strName)) {
            throw CBundleError("unsuitable file name in a self-running copy: " + e.m_strName);
        }
        PutU32(out, static_cast<uint32_t>(e.m_strName.size()));
        out.insert(out.end(), e.m_strName.begin(), e.m_strName.end());
        PutU64(out, e.m_data.size());
        out.insert(out.end(), e.m_data.begin(), e.m_data.end());
    }
    const uint64_t nLength = out.size();
    PutU64(out, nLength);
    PutU32(out, static_cast<uint32_t>(entries.size()));
    PutU32(out, 0);
    out.insert(out.end(), std::begin(kBundleMagic), std::end(kBundleMagic));
    return out;
}

std::optional<CBundle> ReadBundle(std::span<const uint8_t> file)
{
    if (file.size() < kBundleTrailerSize ||
        std::memcmp(file.data() + file.size() - sizeof kBundleMagic, kBundleMagic, sizeof kBundleMagic) !=
            0) {
        return std::nullopt;
    }
    const size_t nTrailer = file.size() - kBundleTrailerSize;
    const uint64_t nLength = GetLe(file, nTrailer, 8);
    const uint64_t nCount = GetLe(file, nTrailer + 8, 4);
    if (nLength > nTrailer) {
        throw CBundleError("self-running copy: the payload is longer than the file");
    }
    if (nCount > kMaxBundleEntries) {
        throw CBundleError("self-running copy: too many files in the payload");
    }
    CBundle bundle;
    bundle.m_nProgramSize = nTrailer - static_cast<size_t>(nLength);
    const std::span<const uint8_t> payload =
        file.subspan(bundle.m_nProgramSize, static_cast<size_t>(nLength));
    size_t nAt = 0;
    for (uint64_t i = 0; i < nCount; ++i) {
        if (payload.size() - nAt < 4) {
            throw CBundleError("self-running copy: an entry is cut short before its name");
        }
        const uint64_t nName = GetLe(payload, nAt, 4);
        nAt += 4;
        if (nName > kMaxBundleNameLength || payload.size() - nAt < nName + 8) {
            throw CBundleError("self-running copy: an entry name runs past the payload");
        }
        CBundleEntry entry;
        entry.m_strName.assign(
            reinterpret_cast<const char*>(payload.data() + nAt), static_cast<size_t>(nName));
        nAt += static_cast<size_t>(nName);
        if (!IsSafeBundleName(entry.m_strName)) {
            throw CBundleError("self-running copy: unsuitable file name " + entry.m_strName);
        }
        const uint64_t nData = GetLe(payload, nAt, 8);
        nAt += 8;
        if (nData > payload.size() - nAt) {
            throw CBundleError(
                "self-running copy: the data of " + entry.m_strName + " runs past the payload");
        }
        const auto first = payload.begin() + static_cast<std::ptrdiff_t>(nAt);
        entry.m_data.assign(first, first + static_cast<std::ptrdiff_t>(nData));
        nAt += static_cast<size_t>(nData);
        bundle.m_entries.push_back(std::move(entry));
    }
    if (nAt != payload.size()) {
        throw CBundleError("self-running copy: bytes left over after the last file");
    }
    return bundle;
}
