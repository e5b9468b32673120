// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in functions that compile to actions of their own rather than to a call.
#include "swf/actionscript/CodeGenerator.h"

#include "swf/actionscript/CompileError.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>

namespace swf::actionscript {

using namespace std::literals;

namespace {

// Frame numbers of GotoFrame are a UI16 (counted from 0).
constexpr double kMaxFrameNumber = 65536;

// Flags of GetURL2: load into a target clip; the low bits choose how variables are sent.
constexpr uint8_t kLoadTarget = 0x40;

std::string lower(std::string s)
{
    std::transform(
        s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase)
{
    return text.size() == lowerCase.size() &&
        std::equal(text.begin(), text.end(), lowerCase.begin(),
            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool isWindowName(const Expression& e)
{
    return e.kind == ExprKind::Identifier &&
        (e.text == "_blank"sv || e.text == "_self"sv || e.text == "_parent"sv || e.text == "_top"sv);
}

std::vector<uint8_t> u16(unsigned v)
{
    return { static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8) };
}

std::vector<uint8_t> zeroTerminated(const std::string& s)
{
    std::vector<uint8_t> bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace

void CodeGenerator::windowArgument(const Expression& arg)
{
    // A bare window name is the name itself, not a variable of that name.
    if (isWindowName(arg)) {
        m_out.pushString(arg.text, arg.pos);
    } else {
        expression(arg);
    }
}

bool CodeGenerator::builtin(const Expression& expr, bool wanted)
{
    const std::string& name = expr.operands[0]->text;
    const size_t count = expr.operands.size() - 1;
    const SourcePos pos = expr.pos;
    auto arg = [&](size_t i) -> const Expression& { return *expr.operands[i + 1]; };
    auto expectArguments = [&](size_t least, size_t most) {
        if (count < least || count > most) {
            std::string wantedCount =
                least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most);
            throw CompileError(pos.line, pos.column,
                "'" + name + "' expects " + wantedCount +
                    (most == 1 && least == 1 ? " argument" : " arguments"));
        }
    };
    auto method = [&](size_t i) -> uint8_t {
        if (count <= i) {
            return 0;
        }
        const Expression& m = arg(i);
        const std::string text = m.kind == ExprKind::String ? lower(m.text) : std::string();
        if (text == "get"sv) {
            return 1;
        }
        if (text == "post"sv) {
            return 2;
        }
        throw CompileError(m.pos.line, m.pos.column, "the method must be \"GET\" or \"POST\"");
    };

    bool givesValue = false;
    if (name == "stop"sv || name == "play"sv || name == "nextFrame"sv || name == "prevFrame"sv) {
        expectArguments(0, 0);
        m_out.op(name == "stop"sv       ? ActionCode::Stop
                : name == "play"sv      ? ActionCode::Play
                : name == "nextFrame"sv ? ActionCode::NextFrame
                                        : ActionCode::PrevFrame);
    } else if (name == "gotoAndStop"sv || name == "gotoAndPlay"sv) {
        expectArguments(1, 1);
        const bool play = name == "gotoAndPlay"sv;
        const Expression& frame = arg(0);
        const bool fixedNumber = frame.kind == ExprKind::Number && frame.number >= 1 &&
            frame.number <= kMaxFrameNumber && std::floor(frame.number) == frame.number;
        if (fixedNumber) {
            m_out.action(ActionCode::GotoFrame, u16(static_cast<unsigned>(frame.number) - 1), pos);
            m_out.op(play ? ActionCode::Play : ActionCode::Stop);
        } else if (frame.kind == ExprKind::String) {
            m_out.action(ActionCode::GotoLabel, zeroTerminated(frame.text), pos);
            m_out.op(play ? ActionCode::Play : ActionCode::Stop);
        } else {
            expression(frame);
            m_out.action(ActionCode::GotoFrame2, { static_cast<uint8_t>(play ? 1 : 0) }, pos);
        }
    } else if (equalsIgnoringCase(name, "geturl")) {
        expectArguments(1, 3);
        expression(arg(0));
        if (count >= 2) {
            windowArgument(arg(1));
        } else {
            m_out.pushString("", pos);
        }
        m_out.action(ActionCode::GetUrl2, { method(2) }, pos);
    } else if (name == "trace"sv) {
        expectArguments(1, 1);
        expression(arg(0));
        m_out.op(ActionCode::Trace);
    } else if (name == "fscommand"sv) {
        expectArguments(1, 2);
        if (arg(0).kind == ExprKind::String) {
            m_out.pushString("FSCommand:" + arg(0).text, pos);
        } else {
            m_out.pushString("FSCommand:", pos);
            expression(arg(0));
            m_out.op(ActionCode::StringAdd);
        }
        if (count == 2) {
            expression(arg(1));
        } else {
            m_out.pushString("", pos);
        }
        m_out.action(ActionCode::GetUrl2, { 0 }, pos);
    } else if (name == "loadMovie"sv) {
        expectArguments(2, 3);
        expression(arg(0));
        windowArgument(arg(1));
        m_out.action(ActionCode::GetUrl2, { static_cast<uint8_t>(kLoadTarget | method(2)) }, pos);
    } else if (name == "loadMovieNum"sv) {
        expectArguments(2, 3);
        expression(arg(0));
        const Expression& level = arg(1);
        if (level.kind == ExprKind::Number && level.number >= 0 && level.number < 2147483648.0 &&
            std::floor(level.number) == level.number) {
            m_out.pushString("_level" + std::to_string(static_cast<long long>(level.number)), pos);
        } else {
            m_out.pushString("_level", pos);
            expression(level);
            m_out.op(ActionCode::StringAdd);
        }
        m_out.action(ActionCode::GetUrl2, { method(2) }, pos);
    } else if (name == "getTimer"sv) {
        expectArguments(0, 0);
        m_out.op(ActionCode::GetTime);
        givesValue = true;
    } else if (name == "random"sv || name == "int"sv || name == "String"sv || name == "Number"sv) {
        expectArguments(1, 1);
        expression(arg(0));
        m_out.op(name == "random"sv  ? ActionCode::RandomNumber
                : name == "int"sv    ? ActionCode::ToInteger
                : name == "String"sv ? ActionCode::ToString
                                     : ActionCode::ToNumber);
        givesValue = true;
    } else {
        return false;
    }
    if (givesValue && !wanted) {
        m_out.op(ActionCode::Pop);
    } else if (!givesValue && wanted) {
        m_out.pushUndefined(pos);
    }
    return true;
}

} // namespace swf::actionscript
