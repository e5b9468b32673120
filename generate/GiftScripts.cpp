// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/GiftScripts.h"

#include "swf/actionscript/ActionCode.h"

#include <cctype>
#include <cstdint>
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

namespace {

using swf::actionscript::ActionCode;

// Push value types: a constant pool index (UI8), an int32.
constexpr uint8_t kPushConstant8 = 0x08;
constexpr uint8_t kPushInt = 0x07;
// Largest frame index a GotoFrame holds.
constexpr int64_t kMaxFrameIndex = 0xFFFF;

class CActionBytes {
public:
    void Op(ActionCode code) { Byte(static_cast<uint8_t>(code)); }
    void Byte(uint8_t value) { bytes.push_back(value); }
    void U16(uint32_t value)
    {
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    void PushConstant(uint8_t index)
    {
        Op(ActionCode::Push);
        U16(2);
        Byte(kPushConstant8);
        Byte(index);
    }
    void PushInt(int32_t value)
    {
        Op(ActionCode::Push);
        U16(5);
        Byte(kPushInt);
        const auto u = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            Byte(static_cast<uint8_t>((u >> shift) & 0xFF));
        }
    }
    void GotoAndStop(int64_t frameIndex)
    {
        Op(ActionCode::GotoFrame);
        U16(2);
        U16(static_cast<uint32_t>(frameIndex));
        Op(ActionCode::Stop);
    }
    // _root.<member> += <push>: GetVariable _root; dup; name; GetMember; value; Add2; name; swap; SetMember.
    template<class F> void AddToRootMember(uint8_t member, F&& pushValue)
    {
        PushConstant(0);
        Op(ActionCode::GetVariable);
        Op(ActionCode::PushDuplicate);
        PushConstant(member);
        Op(ActionCode::GetMember);
        pushValue();
        Op(ActionCode::Add2);
        PushConstant(member);
        Op(ActionCode::StackSwap);
        Op(ActionCode::SetMember);
    }
    std::vector<uint8_t> bytes;
};

} // namespace

std::optional<std::vector<uint8_t>> AssembleLinkScript(std::string_view strCardTitle, const CLinkInfo& link)
{
    const std::string strTrace = std::string(strCardTitle) + "[-]" + link.m_strTitle + "[N]";
    const int64_t target = link.m_nTarget;
    const int64_t compareTarget = link.m_nCompareTarget;
    const std::string& op = link.m_strCompare;
    const bool bCompare = !op.empty();
    if (strTrace.find('\0') != std::string::npos || target < 0 || target > kMaxFrameIndex ||
        (bCompare &&
            (compareTarget < 0 || compareTarget > kMaxFrameIndex || link.m_nCompareValue < 0 ||
                (op != "=" && op != ">" && op != ">=" && op != "<=" && op != "<")))) {
        return std::nullopt;
    }
    CActionBytes out;
    const char* pool[] = { "_root", "score", "trace" };
    size_t poolLength = 2 + strTrace.size() + 1;
    for (const char* name : pool) {
        poolLength += std::string_view(name).size() + 1;
    }
    // A pool past its record's length field is left to the compiler, which refuses it by name.
    if (poolLength > 0xFFFF) {
        return std::nullopt;
    }
    // The actions after the pool take under 128 bytes: one allocation for the whole script.
    out.bytes.reserve(3 + poolLength + 128);
    out.Op(ActionCode::ConstantPool);
    out.U16(static_cast<uint32_t>(poolLength));
    out.U16(4);
    for (const char* name : pool) {
        out.bytes.insert(out.bytes.end(), name, name + std::string_view(name).size() + 1);
    }
    out.bytes.insert(out.bytes.end(), strTrace.begin(), strTrace.end());
    out.Byte(0); // the last string's terminator
    out.AddToRootMember(1, [&] { out.PushInt(link.m_nScore); });
    out.AddToRootMember(2, [&] { out.PushConstant(3); });
    if (bCompare) {
        out.PushConstant(0);
        out.Op(ActionCode::GetVariable);
        out.PushConstant(1);
        out.Op(ActionCode::GetMember);
        out.PushInt(link.m_nCompareValue);
        if (op == "=") {
            out.Op(ActionCode::Equals2);
        } else if (op == "<") {
            out.Op(ActionCode::Less2);
        } else if (op == ">=") {
            out.Op(ActionCode::Less2);
            out.Op(ActionCode::Not);
        } else if (op == ">") {
            out.Op(ActionCode::StackSwap);
            out.Op(ActionCode::Less2);
        } else {
            out.Op(ActionCode::StackSwap);
            out.Op(ActionCode::Less2);
            out.Op(ActionCode::Not);
        }
        // If over the else branch (goto 5, stop 1, jump 5 bytes) to the then branch.
        out.Op(ActionCode::If);
        out.U16(2);
        out.U16(11);
        out.GotoAndStop(target);
        out.Op(ActionCode::Jump);
        out.U16(2);
        out.U16(6);
        out.GotoAndStop(compareTarget);
    } else {
        out.GotoAndStop(target);
    }
    out.Op(ActionCode::End);
    return std::move(out.bytes);
}
