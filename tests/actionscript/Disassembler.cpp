// SPDX-License-Identifier: GPL-3.0-or-later
#include "Disassembler.h"

#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

namespace swf::actionscript::test {

namespace {

const std::map<uint8_t, std::string>& names()
{
    static const std::map<uint8_t, std::string> table = {
        { 0x04, "nextframe" },
        { 0x05, "prevframe" },
        { 0x06, "play" },
        { 0x07, "stop" },
        { 0x0B, "subtract" },
        { 0x0C, "multiply" },
        { 0x0D, "divide" },
        { 0x12, "not" },
        { 0x17, "pop" },
        { 0x18, "tointeger" },
        { 0x1C, "getvariable" },
        { 0x1D, "setvariable" },
        { 0x21, "stringadd" },
        { 0x26, "trace" },
        { 0x30, "random" },
        { 0x34, "gettime" },
        { 0x3A, "delete" },
        { 0x3B, "delete2" },
        { 0x3C, "definelocal" },
        { 0x3D, "callfunction" },
        { 0x3E, "return" },
        { 0x3F, "modulo" },
        { 0x40, "newobject" },
        { 0x41, "definelocal2" },
        { 0x42, "initarray" },
        { 0x43, "initobject" },
        { 0x44, "typeof" },
        { 0x47, "add2" },
        { 0x48, "less2" },
        { 0x49, "equals2" },
        { 0x4A, "tonumber" },
        { 0x4B, "tostring" },
        { 0x4C, "pushduplicate" },
        { 0x4D, "stackswap" },
        { 0x4E, "getmember" },
        { 0x4F, "setmember" },
        { 0x50, "increment" },
        { 0x51, "decrement" },
        { 0x52, "callmethod" },
        { 0x53, "newmethod" },
        { 0x54, "instanceof" },
        { 0x55, "enumerate2" },
        { 0x60, "bitand" },
        { 0x61, "bitor" },
        { 0x62, "bitxor" },
        { 0x63, "bitlshift" },
        { 0x64, "bitrshift" },
        { 0x65, "biturshift" },
        { 0x66, "strictequals" },
    };
    return table;
}

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes)
        : m_bytes(bytes)
    {
    }
    uint8_t u8(size_t at) const
    {
        if (at >= m_bytes.size()) {
            throw std::runtime_error("read past the end at " + std::to_string(at));
        }
        return m_bytes[at];
    }
    unsigned u16(size_t at) const { return u8(at) | (u8(at + 1) << 8U); }
    uint32_t u32(size_t at) const { return u16(at) | (static_cast<uint32_t>(u16(at + 2)) << 16U); }
    std::string cstring(size_t& at, size_t end) const
    {
        std::string s;
        while (at < end && u8(at) != 0) {
            s += static_cast<char>(u8(at++));
        }
        if (at >= end) {
            throw std::runtime_error("unterminated string");
        }
        ++at;
        return s;
    }

private:
    const std::vector<uint8_t>& m_bytes;
};

std::string formatNumber(double d)
{
    std::ostringstream out;
    out.precision(17);
    out << d;
    return out.str();
}

} // namespace

std::vector<std::string> disassemble(const std::vector<uint8_t>& block)
{
    const Reader in(block);
    std::vector<std::string> lines;
    std::vector<std::string> pool;
    std::set<size_t> starts;
    std::vector<std::pair<size_t, long>> branches; // target offset, and the line that made it
    size_t at = 0;
    for (;;) {
        starts.insert(at);
        const uint8_t code = in.u8(at);
        if (code == 0) {
            if (at + 1 != block.size()) {
                throw std::runtime_error("bytes after End");
            }
            break;
        }
        if (code < 0x80) {
            const auto found = names().find(code);
            if (found == names().end()) {
                throw std::runtime_error("unknown action " + std::to_string(code));
            }
            lines.push_back(found->second);
            ++at;
            continue;
        }
        const size_t length = in.u16(at + 1);
        size_t p = at + 3;
        const size_t end = p + length;
        if (end > block.size()) {
            throw std::runtime_error("record past the end");
        }
        std::ostringstream line;
        switch (code) {
        case 0x88: {
            const unsigned count = in.u16(p);
            p += 2;
            line << "pool";
            for (unsigned i = 0; i < count; ++i) {
                pool.push_back(in.cstring(p, end));
                line << " " << quoted(pool.back());
            }
            break;
        }
        case 0x96:
            line << "push";
            while (p < end) {
                const uint8_t type = in.u8(p++);
                switch (type) {
                case 0:
                    line << " " << quoted(in.cstring(p, end));
                    break;
                case 2:
                    line << " null";
                    break;
                case 3:
                    line << " undefined";
                    break;
                case 4:
                    line << " r" << int(in.u8(p++));
                    break;
                case 5:
                    line << (in.u8(p++) != 0 ? " true" : " false");
                    break;
                case 6: {
                    const uint64_t bits = (static_cast<uint64_t>(in.u32(p)) << 32U) | in.u32(p + 4);
                    double d = 0;
                    std::memcpy(&d, &bits, sizeof d);
                    line << " " << formatNumber(d) << "d";
                    p += 8;
                    break;
                }
                case 7:
                    line << " " << static_cast<int32_t>(in.u32(p));
                    p += 4;
                    break;
                case 8:
                case 9: {
                    const unsigned index = type == 8 ? in.u8(p) : in.u16(p);
                    p += type == 8 ? 1 : 2;
                    if (index >= pool.size()) {
                        throw std::runtime_error("constant " + std::to_string(index) + " not in the pool");
                    }
                    line << " " << quoted(pool[index]) << (type == 9 ? "w" : "");
                    break;
                }
                default:
                    throw std::runtime_error("unknown push type " + std::to_string(type));
                }
            }
            if (p != end) {
                throw std::runtime_error("push item past its record");
            }
            break;
        case 0x99:
        case 0x9D: {
            const auto offset = static_cast<int16_t>(in.u16(p));
            line << (code == 0x99 ? "jump " : "if ") << (offset >= 0 ? "+" : "") << offset;
            branches.emplace_back(
                static_cast<size_t>(static_cast<long>(end) + offset), static_cast<long>(lines.size()));
            break;
        }
        case 0x9B: {
            const std::string name = in.cstring(p, end);
            const unsigned params = in.u16(p);
            p += 2;
            line << "function " << quoted(name) << " (";
            for (unsigned i = 0; i < params; ++i) {
                line << (i ? "," : "") << in.cstring(p, end);
            }
            line << ") " << in.u16(p);
            break;
        }
        case 0x81:
            line << "gotoframe " << in.u16(p);
            break;
        case 0x8C:
            line << "gotolabel " << quoted(in.cstring(p, end));
            break;
        case 0x9A:
            line << "geturl2 " << int(in.u8(p));
            break;
        case 0x9F:
            line << "gotoframe2 " << int(in.u8(p));
            break;
        case 0x87:
            line << "storeregister " << int(in.u8(p));
            break;
        default:
            throw std::runtime_error("unknown action " + std::to_string(code));
        }
        lines.push_back(line.str());
        at = end;
    }
    for (const auto& [target, line] : branches) {
        if (starts.count(target) == 0) {
            throw std::runtime_error(
                "branch of line " + std::to_string(line + 1) + " lands inside an action");
        }
    }
    return lines;
}

} // namespace swf::actionscript::test
