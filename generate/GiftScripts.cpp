// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/GiftScripts.h"

#include <cctype>
#include <cstdlib>

std::string EscapeScriptString(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '"':
            result += "\\\"";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string EncodeQueryValue(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~') {
            result += c;
        } else {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0f];
        }
    }
    return result;
}

std::string MakeEmailAlertScript(std::string_view strCardTitle, std::string_view strEmail)
{
    // The encoded values hold only URL-safe characters, so they need no script escaping.
    return std::string("getUrl(\"") + kStrEmailAlertPage + "?title=" + EncodeQueryValue(strCardTitle) +
        "&target=" + EncodeQueryValue(strEmail) + "&trace=\"+escape(_root.trace), \"_blank\");";
}

std::string MakeLinkScript(std::string_view strCardTitle, const CLinkInfo& link)
{
    std::string strCondition;
    if (!link.m_strCompare.empty()) {
        const std::string strOperator = link.m_strCompare == "=" ? "==" : link.m_strCompare;
        strCondition = "if(_root.score" + strOperator + std::to_string(link.m_nCompareValue) +
            "){gotoAndStop(" + std::to_string(static_cast<int64_t>(link.m_nCompareTarget) + 1) + ");}else";
    }
    return "_root.score += " + std::to_string(link.m_nScore) + "; _root.trace+=\"" +
        EscapeScriptString(strCardTitle) + "[-]" + EscapeScriptString(link.m_strTitle) + "[N]\"; " +
        strCondition + " {gotoAndStop(" + std::to_string(static_cast<int64_t>(link.m_nTarget) + 1) + ");}";
}

std::string MakePromoteScript()
{
    return std::string("getUrl(\"") + kStrMakerPage + "\",_blank);";
}

std::string MakeAuthorMailScript(std::string_view strEmail)
{
    return "getUrl(\"mailto:" + EscapeScriptString(strEmail) + "\",_self);";
}

float FrameRateFromDelay(std::string_view strSlideDelay)
{
    // The longest leading decimal number: digits, then optionally "." and more digits.
    size_t end = 0;
    while (end < strSlideDelay.size() && std::isdigit(static_cast<unsigned char>(strSlideDelay[end])) != 0) {
        ++end;
    }
    if (end < strSlideDelay.size() && strSlideDelay[end] == '.') {
        size_t fraction = end + 1;
        while (fraction < strSlideDelay.size() &&
            std::isdigit(static_cast<unsigned char>(strSlideDelay[fraction])) != 0) {
            ++fraction;
        }
        if (fraction > end + 1 || end > 0) {
            end = fraction;
        }
    }
    if (end == 0) {
        return 0.0F;
    }
    const double delay = std::strtod(std::string(strSlideDelay.substr(0, end)).c_str(), nullptr);
    if (!(delay > 0.0)) {
        return 0.0F;
    }
    return static_cast<float>(1.0 / delay);
}
