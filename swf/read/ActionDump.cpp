// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/ByteReader.h"
#include "swf/read/Dump.h"
#include "swf/read/DumpText.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace swf {

namespace {

const char* simpleActionName(uint8_t code)
{
    switch (code) {
    case 0x04:
        return "NextFrame";
    case 0x05:
        return "PreviousFrame";
    case 0x06:
        return "Play";
    case 0x07:
        return "Stop";
    case 0x08:
        return "ToggleQuality";
    case 0x09:
        return "StopSounds";
    case 0x0a:
        return "Add";
    case 0x0b:
        return "Subtract";
    case 0x0c:
        return "Multiply";
    case 0x0d:
        return "Divide";
    case 0x0e:
        return "Equals";
    case 0x0f:
        return "Less";
    case 0x10:
        return "And";
    case 0x11:
        return "Or";
    case 0x12:
        return "Not";
    case 0x13:
        return "StringEquals";
    case 0x14:
        return "StringLength";
    case 0x15:
        return "StringExtract";
    case 0x17:
        return "Pop";
    case 0x18:
        return "ToInteger";
    case 0x1c:
        return "GetVariable";
    case 0x1d:
        return "SetVariable";
    case 0x20:
        return "SetTarget2";
    case 0x21:
        return "StringAdd";
    case 0x22:
        return "GetProperty";
    case 0x23:
        return "SetProperty";
    case 0x24:
        return "CloneSprite";
    case 0x25:
        return "RemoveSprite";
    case 0x26:
        return "Trace";
    case 0x27:
        return "StartDrag";
    case 0x28:
        return "EndDrag";
    case 0x29:
        return "StringLess";
    case 0x2a:
        return "Throw";
    case 0x2b:
        return "CastOp";
    case 0x2c:
        return "ImplementsOp";
    case 0x30:
        return "RandomNumber";
    case 0x31:
        return "MBStringLength";
    case 0x32:
        return "CharToAscii";
    case 0x33:
        return "AsciiToChar";
    case 0x34:
        return "GetTime";
    case 0x35:
        return "MBStringExtract";
    case 0x36:
        return "MBCharToAscii";
    case 0x37:
        return "MBAsciiToChar";
    case 0x3a:
        return "Delete";
    case 0x3b:
        return "Delete2";
    case 0x3c:
        return "DefineLocal";
    case 0x3d:
        return "CallFunction";
    case 0x3e:
        return "Return";
    case 0x3f:
        return "Modulo";
    case 0x40:
        return "NewObject";
    case 0x41:
        return "DefineLocal2";
    case 0x42:
        return "InitArray";
    case 0x43:
        return "InitObject";
    case 0x44:
        return "TypeOf";
    case 0x45:
        return "TargetPath";
    case 0x46:
        return "Enumerate";
    case 0x47:
        return "Add2";
    case 0x48:
        return "Less2";
    case 0x49:
        return "Equals2";
    case 0x4a:
        return "ToNumber";
    case 0x4b:
        return "ToString";
    case 0x4c:
        return "PushDuplicate";
    case 0x4d:
        return "StackSwap";
    case 0x4e:
        return "GetMember";
    case 0x4f:
        return "SetMember";
    case 0x50:
        return "Increment";
    case 0x51:
        return "Decrement";
    case 0x52:
        return "CallMethod";
    case 0x53:
        return "NewMethod";
    case 0x54:
        return "InstanceOf";
    case 0x55:
        return "Enumerate2";
    case 0x60:
        return "BitAnd";
    case 0x61:
        return "BitOr";
    case 0x62:
        return "BitXor";
    case 0x63:
        return "BitLShift";
    case 0x64:
        return "BitRShift";
    case 0x65:
        return "BitURShift";
    case 0x66:
        return "StrictEquals";
    case 0x67:
        return "Greater";
    case 0x68:
        return "StringGreater";
    case 0x69:
        return "Extends";
    default:
        return nullptr;
    }
}

std::string hex4(size_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04zx", v);
    return buf;
}

std::string target(size_t next, int16_t offset)
{
    const long long t = static_cast<long long>(next) + offset;
    return (offset >= 0 ? "+" : "") + std::to_string(offset) + " (-> " + (t < 0 ? "-" : "") +
        hex4(static_cast<size_t>(t < 0 ? -t : t)) + ")";
}

std::string pushValues(ByteReader& r, const std::vector<std::string>& pool)
{
    std::string out;
    while (!r.atEnd()) {
        if (!out.empty()) {
            out += ", ";
        }
        const uint8_t type = r.u8();
        switch (type) {
        case 0:
            out += quoted(r.string());
            break;
        case 1: {
            const uint32_t bits = r.u32();
            float f = 0;
            std::memcpy(&f, &bits, sizeof f);
            out += "float " + number(f);
            break;
        }
        case 2:
            out += "null";
            break;
        case 3:
            out += "undefined";
            break;
        case 4:
            out += "r" + std::to_string(r.u8());
            break;
        case 5:
            out += r.u8() ? "true" : "false";
            break;
        case 6: {
            // Two 32-bit halves, high half first, each little-endian.
            const uint64_t high = r.u32();
            const uint64_t low = r.u32();
            const uint64_t bits = (high << 32) | low;
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            out += "double " + number(d);
            break;
        }
        case 7:
            out += "int " + std::to_string(r.s32());
            break;
        case 8:
        case 9: {
            const size_t index = type == 8 ? r.u8() : r.u16();
            out += "c" + std::to_string(index);
            out += index < pool.size() ? " " + quoted(pool[index]) : " (outside the pool)";
            break;
        }
        default:
            r.fail("unknown push type " + std::to_string(type));
        }
    }
    return out;
}

std::string operands(uint8_t code, std::span<const uint8_t> data, size_t next, std::vector<std::string>& pool)
{
    ByteReader r(data, "action operands");
    switch (code) {
    case 0x81:
        return "GotoFrame " + std::to_string(r.u16());
    case 0x83: {
        const auto url = r.string();
        return "GetURL " + quoted(url) + " " + quoted(r.string());
    }
    case 0x87:
        return "StoreRegister r" + std::to_string(r.u8());
    case 0x88: {
        const size_t count = r.u16();
        pool.clear();
        std::string out = "ConstantPool " + std::to_string(count) + ":";
        for (size_t i = 0; i < count; ++i) {
            pool.push_back(r.string());
            out += " c" + std::to_string(i) + "=" + quoted(pool.back());
        }
        return out;
    }
    case 0x8a: {
        const auto frame = r.u16();
        return "WaitForFrame " + std::to_string(frame) + " skip " + std::to_string(r.u8());
    }
    case 0x8b:
        return "SetTarget " + quoted(r.string());
    case 0x8c:
        return "GoToLabel " + quoted(r.string());
    case 0x8d:
        return "WaitForFrame2 skip " + std::to_string(r.u8());
    case 0x8e: {
        std::string out = "DefineFunction2 " + quoted(r.string());
        const size_t count = r.u16();
        out += " registers " + std::to_string(r.u8());
        out += " flags " + hex4(r.u16());
        out += " (";
        for (size_t i = 0; i < count; ++i) {
            const auto reg = r.u8();
            out += (i ? ", " : "") + r.string() + (reg ? ":r" + std::to_string(reg) : "");
        }
        return out + ") body " + std::to_string(r.u16()) + " bytes";
    }
    case 0x8f: {
        const uint8_t flags = r.u8();
        const auto trySize = r.u16();
        const auto catchSize = r.u16();
        const auto finallySize = r.u16();
        std::string out = "Try try " + std::to_string(trySize) + " catch " + std::to_string(catchSize) +
            " finally " + std::to_string(finallySize);
        out += (flags & 0x04U) ? " catch in r" + std::to_string(r.u8()) : " catch in " + quoted(r.string());
        return out;
    }
    case 0x94:
        return "With body " + std::to_string(r.u16()) + " bytes";
    case 0x96:
        return "Push " + pushValues(r, pool);
    case 0x99:
        return "Jump " + target(next, r.s16());
    case 0x9a:
        return "GetURL2 flags " + std::to_string(r.u8());
    case 0x9b: {
        std::string out = "DefineFunction " + quoted(r.string()) + " (";
        const size_t count = r.u16();
        for (size_t i = 0; i < count; ++i) {
            out += (i ? ", " : "") + r.string();
        }
        return out + ") body " + std::to_string(r.u16()) + " bytes";
    }
    case 0x9d:
        return "If " + target(next, r.s16());
    case 0x9e:
        return "Call";
    case 0x9f: {
        const uint8_t flags = r.u8();
        std::string out = std::string("GotoFrame2") + ((flags & 1U) ? " play" : " stop");
        if (flags & 2U) {
            out += " bias " + std::to_string(r.u16());
        }
        return out;
    }
    default:
        return "Unknown 0x" + hex4(code).substr(2) + " (" + std::to_string(data.size()) + " bytes)";
    }
}

} // namespace

std::string disassembleActions(std::span<const uint8_t> actions, const std::string& indent)
{
    std::string out;
    std::vector<std::string> pool;
    ByteReader r(actions, "actions");
    while (!r.atEnd()) {
        const size_t at = r.pos();
        const uint8_t code = r.u8();
        out += indent + hex4(at) + ": ";
        if (code == 0) {
            out += "End\n";
            if (!r.atEnd()) {
                out += indent + "(" + std::to_string(r.remaining()) + " bytes after End)\n";
            }
            break;
        }
        if (code < 0x80) {
            const char* name = simpleActionName(code);
            out += name ? std::string(name) : "Unknown 0x" + hex4(code).substr(2);
            out += "\n";
            continue;
        }
        const size_t length = r.u16();
        if (length > r.remaining()) {
            out += "(action 0x" + hex4(code).substr(2) + " claims " + std::to_string(length) +
                " bytes, only " + std::to_string(r.remaining()) + " remain)\n";
            break;
        }
        const auto data = r.bytes(length);
        try {
            out += operands(code, data, r.pos(), pool) + "\n";
        } catch (const ParseError& e) {
            out += std::string("(damaged action 0x") + hex4(code).substr(2) + ": " + e.what() + ")\n";
        }
    }
    return out;
}

} // namespace swf
