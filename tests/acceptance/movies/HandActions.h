// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/ByteWriter.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace acceptance {

// A block of SWF actions assembled by hand, without the script compiler, so that the acceptance
// movies test the player and the writer on their own. end() appends the End action.
class HandActions {
public:
    HandActions& push(std::string_view text)
    {
        m_out.u8(0x96);
        m_out.u16(static_cast<uint16_t>(text.size() + 2));
        m_out.u8(0); // string
        m_out.string(text);
        return *this;
    }
    HandActions& trace()
    {
        m_out.u8(0x26);
        return *this;
    }
    HandActions& stop()
    {
        m_out.u8(0x07);
        return *this;
    }
    // GotoFrame with a 0-based frame index.
    HandActions& gotoFrame(uint16_t index)
    {
        m_out.u8(0x81);
        m_out.u16(2);
        m_out.u16(index);
        return *this;
    }
    // GetURL2 on the pushed URL and window name.
    HandActions& getUrl2()
    {
        m_out.u8(0x9A);
        m_out.u16(1);
        m_out.u8(0);
        return *this;
    }
    [[nodiscard]] std::vector<uint8_t> end()
    {
        m_out.u8(0x00);
        return m_out.take();
    }

private:
    swf::ByteWriter m_out;
};

} // namespace acceptance
