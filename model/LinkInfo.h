// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// One link of a card: a button that adds to the running score and jumps to a card. Texts are UTF-8.
class CLinkInfo {
public:
    static constexpr int32_t kSchema = 1;

    // Loading fills the fields afterwards.
    CLinkInfo() = default;
    CLinkInfo(std::string strTitle, int32_t nTarget, int32_t nScore, std::string strCompare,
        int32_t nCompareValue, int32_t nCompareTarget);
    virtual ~CLinkInfo() = default;
    CLinkInfo(const CLinkInfo&) = default;
    CLinkInfo& operator=(const CLinkInfo&) = default;

    bool operator==(const CLinkInfo&) const = default;

    std::string m_strTitle;
    int32_t m_nTarget = 0;
    int32_t m_nScore = 0;
    // ">", ">=", "=", "<=", "<", or empty for no condition.
    std::string m_strCompare;
    int32_t m_nCompareValue = 0;
    int32_t m_nCompareTarget = 0;
};
