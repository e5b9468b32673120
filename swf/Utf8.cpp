// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Utf8.h"

namespace swf {

std::vector<uint32_t> decodeUtf8(std::string_view text)
{
    constexpr uint32_t kReplacement = 0xfffd;
    std::vector<uint32_t> codes;
    codes.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t length = 0;
        uint32_t code = 0;
        uint32_t minimum = 0;
        if (lead < 0x80) {
            codes.push_back(lead);
            ++i;
            continue;
        }
        if ((lead & 0xe0) == 0xc0) {
            length = 2;
            code = lead & 0x1fU;
            minimum = 0x80;
        } else if ((lead & 0xf0) == 0xe0) {
            length = 3;
            code = lead & 0x0fU;
            minimum = 0x800;
        } else if ((lead & 0xf8) == 0xf0) {
            length = 4;
            code = lead & 0x07U;
            minimum = 0x10000;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xc0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3fU);
        }
        if (valid && (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))) {
            valid = false;
        }
        if (valid) {
            codes.push_back(code);
            i += length;
        } else {
            codes.push_back(kReplacement);
            ++i;
        }
    }
    return codes;
}

} // namespace swf
