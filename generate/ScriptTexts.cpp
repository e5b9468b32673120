// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/ScriptTexts.h"

#include "generate/GiftScripts.h"

#include <cctype>
#include <cstring>

namespace {

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t EncodedByteCost(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~' ? 1 : 3;
}

} // namespace

std::string ShortenUtf8(std::string_view text, size_t nBudget, bool bEncoded)
{
    size_t nUsed = 0;
    size_t nEnd = 0;
    while (nEnd < text.size()) {
        const size_t nCost = bEncoded ? EncodedByteCost(text[nEnd]) : 1;
        if (nUsed + nCost > nBudget) {
            break;
        }
        nUsed += nCost;
        ++nEnd;
    }
    // Back to the start of the character the budget cut through.
    if (nEnd < text.size()) {
        while (nEnd > 0 && IsContinuation(text[nEnd])) {
            --nEnd;
        }
    }
    return std::string(text.substr(0, nEnd));
}

size_t EncodedBytes(std::string_view text)
{
    size_t nBytes = 0;
    for (const char c : text) {
        nBytes += EncodedByteCost(c);
    }
    return nBytes;
}

size_t CountCharacters(std::string_view text)
{
    size_t nCount = 0;
    for (const char c : text) {
        nCount += IsContinuation(c) ? 0 : 1;
    }
    return nCount;
}

size_t AlertAddressOverhead()
{
    return std::strlen(kStrEmailAlertPage) + std::strlen("?title=") + std::strlen("&target=") +
        std::strlen("&trace=");
}
