// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/LinkInfo.h"

#include <utility>

CLinkInfo::CLinkInfo(std::string strTitle, int32_t nTarget, int32_t nScore, std::string strCompare,
    int32_t nCompareValue, int32_t nCompareTarget)
    : m_strTitle(std::move(strTitle))
    , m_nTarget(nTarget)
    , m_nScore(nScore)
    , m_strCompare(std::move(strCompare))
    , m_nCompareValue(nCompareValue)
    , m_nCompareTarget(nCompareTarget)
{
}
