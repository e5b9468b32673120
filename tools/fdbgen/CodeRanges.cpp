// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/CodeRanges.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace fdbgen {
namespace {

constexpr std::array kDefaultRanges {
    CodeRange { 0x0020, 0x007E }, // Basic Latin, printable
    CodeRange { 0x00A0, 0x00FF }, // Latin-1 Supplement
    CodeRange { 0x0100, 0x017F }, // Latin Extended-A
    CodeRange { 0x0370, 0x03FF }, // Greek and Coptic
    CodeRange { 0x0400, 0x04FF }, // Cyrillic
    CodeRange { 0x2000, 0x206F }, // General Punctuation
    CodeRange { 0x20AC, 0x20AC }, // euro sign
};

// FDB code tables hold UI16 codes.
constexpr uint32_t kMaxCode = 0xFFFF;

} // namespace

std::span<const CodeRange> defaultCodeRanges()
{
    return kDefaultRanges;
}

std::vector<uint16_t> expandCodeRanges(std::span<const CodeRange> ranges)
{
    std::vector<uint16_t> codes;
    for (const CodeRange& r : ranges) {
        if (r.first > r.last || r.last > kMaxCode) {
            throw std::invalid_argument("code range " + std::to_string(r.first) + "-" +
                std::to_string(r.last) + " is reversed or beyond 16-bit codes");
        }
        for (uint32_t c = r.first; c <= r.last; ++c) {
            codes.push_back(static_cast<uint16_t>(c));
        }
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

} // namespace fdbgen
