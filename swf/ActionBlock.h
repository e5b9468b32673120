// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// A block of compiled actions, as the script compiler returns it: action records ending with
// End (00). Added to a frame (DoAction) or to a button condition.
class ActionBlock {
public:
    // Checks the record structure (each long action's length stays inside the block) and appends
    // the End action when the records stop without it. Throws swf::Error for a damaged block.
    explicit ActionBlock(std::vector<uint8_t> bytes);

    [[nodiscard]] const std::vector<uint8_t>& bytes() const { return m_bytes; }
    [[nodiscard]] size_t size() const { return m_bytes.size(); }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace swf
