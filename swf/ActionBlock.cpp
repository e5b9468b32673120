// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/ActionBlock.h"

#include "swf/Error.h"

#include <string>

namespace swf {

ActionBlock::ActionBlock(std::vector<uint8_t> bytes)
    : m_bytes(std::move(bytes))
{
    // Walk the records: codes below 0x80 are one byte, the others carry a UI16 length.
    size_t pos = 0;
    while (pos < m_bytes.size()) {
        const uint8_t code = m_bytes[pos];
        if (code == 0) {
            if (pos + 1 != m_bytes.size()) {
                throw Error("action block: bytes after the End action at offset " + std::to_string(pos));
            }
            return;
        }
        ++pos;
        if (code >= 0x80) {
            if (m_bytes.size() - pos < 2) {
                throw Error("action block: action code " + std::to_string(code) + " lacks its length");
            }
            const size_t length = m_bytes[pos] | (static_cast<size_t>(m_bytes[pos + 1]) << 8);
            pos += 2;
            if (length > m_bytes.size() - pos) {
                throw Error("action block: action at offset " + std::to_string(pos - 3) +
                    " runs past the end of the block");
            }
            pos += length;
        }
    }
    m_bytes.push_back(0);
}

} // namespace swf
