// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/CardLayout.h"

#include "generate/SplitString.h"

#include <cctype>

namespace {

// Longest comment line drawn, in characters.
constexpr size_t kMaxCommentLineChars = 100;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool ReadColour(std::string_view strText, uint32_t& nValue)
{
    if (strText.empty() || strText[0] != '#') {
        return false;
    }
    size_t i = 1;
    // A leading "0x" is part of a hexadecimal number.
    if (strText.size() > 3 && strText[1] == '0' && (strText[2] == 'x' || strText[2] == 'X') &&
        HexDigit(strText[3]) >= 0) {
        i += 2;
    }
    uint32_t value = 0;
    bool any = false;
    for (; i < strText.size() && HexDigit(strText[i]) >= 0; ++i) {
        value = (value << 4) | static_cast<uint32_t>(HexDigit(strText[i]));
        any = true;
    }
    if (!any) {
        return false;
    }
    nValue = value;
    return true;
}

CPicturePlacement PlacePicture(
    int nPictureWidth, int nPictureHeight, float fStageWidth, float fStageHeight, int nCode)
{
    CPicturePlacement placement;
    placement.nWidth = nPictureWidth;
    placement.nHeight = nPictureHeight;
    const float bw = static_cast<float>(nPictureWidth);
    const float bh = static_cast<float>(nPictureHeight);
    if (bw >= fStageWidth && bh >= fStageHeight) {
        return placement;
    }
    const bool narrower = bw < fStageWidth;
    const bool lower = bh < fStageHeight;
    const int centreX = narrower ? static_cast<int>((fStageWidth - bw) * 0.5F) : 0;
    const int rightX = narrower ? static_cast<int>(fStageWidth - bw) : 0;
    const int centreY = lower ? static_cast<int>((fStageHeight - bh) * 0.5F) : 0;
    const int bottomY = lower ? static_cast<int>(fStageHeight - bh) : 0;
    switch (nCode) {
    case 0:
        break;
    case 1:
        placement.nX = centreX;
        break;
    case 2:
        placement.nX = rightX;
        break;
    case 3:
        placement.nY = centreY;
        break;
    case 4:
        placement.nX = centreX;
        placement.nY = centreY;
        break;
    case 5:
        placement.nX = rightX;
        placement.nY = centreY;
        break;
    case 6:
        placement.nY = bottomY;
        break;
    case 7:
        placement.nX = centreX;
        placement.nY = bottomY;
        break;
    case 8:
        placement.nX = rightX;
        placement.nY = bottomY;
        break;
    case 9:
        placement.bTiled = true;
        placement.nWidth = static_cast<int>(fStageWidth);
        placement.nHeight = static_cast<int>(fStageHeight);
        break;
    default:
        placement.nX = centreX;
        placement.nY = centreY;
        break;
    }
    return placement;
}

CTitleLines BreakTitle(
    std::string_view strTitle, float fStageWidth, const std::function<float(const std::string&)>& measure)
{
    CTitleLines lines;
    const std::vector<std::string> words = SplitString(strTitle, " ");
    size_t k = 0;
    for (; k < words.size(); ++k) {
        const std::string candidate = lines.strLine1 + " " + words[k];
        if (fStageWidth - 20.0F < measure(candidate)) {
            break;
        }
        lines.strLine1 = candidate;
    }
    for (; k < words.size(); ++k) {
        lines.strLine2 += " " + words[k];
    }
    return lines;
}

std::string CommentLineText(std::string_view strLine)
{
    if (!strLine.empty() && strLine.back() == '\r') {
        strLine.remove_suffix(1);
    }
    // Count code points: continuation bytes (10xxxxxx) do not start a character.
    size_t chars = 0;
    for (size_t i = 0; i < strLine.size(); ++i) {
        if ((static_cast<unsigned char>(strLine[i]) & 0xC0) != 0x80) {
            if (chars == kMaxCommentLineChars) {
                return std::string(strLine.substr(0, i));
            }
            ++chars;
        }
    }
    return std::string(strLine);
}

uint32_t OverColour(uint32_t nColour)
{
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t component = (nColour >> shift) & 0xFF;
        result |= ((component + 256 - 20) & 0xFF) << shift;
    }
    return result;
}
