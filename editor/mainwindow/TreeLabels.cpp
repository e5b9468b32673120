// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/mainwindow/TreeLabels.h"

#include "model/CardInfo.h"

#include <algorithm>

std::string CardLabel(const CCardInfo& card, int nPosition)
{
    std::string strText = card.m_strTitle;
    if (strText.empty()) {
        strText = "[Card " + std::to_string(nPosition) + "]";
    }
    const size_t nLinks = card.LinkCount();
    if (nLinks > 0) {
        strText += " {" + std::to_string(nLinks) + "}";
    }
    return strText;
}

std::string LinkLabel(const CLinkInfo& link, const std::vector<std::string>& targetTitles)
{
    std::string strTarget;
    if (link.m_nTarget >= 0 && static_cast<size_t>(link.m_nTarget) < targetTitles.size()) {
        strTarget = targetTitles[static_cast<size_t>(link.m_nTarget)];
    }
    std::string strText = link.m_strTitle;
    if (!strTarget.empty()) {
        strText += " (" + strTarget + ")";
    }
    if (link.m_nScore != 0) {
        strText += " [" + std::to_string(link.m_nScore) + "]";
    }
    return strText;
}

const std::vector<std::string>& CompareOperators()
{
    static const std::vector<std::string> kOperators { "", ">", ">=", "=", "<=", "<" };
    return kOperators;
}

int CompareOperatorIndex(const std::string& strCompare)
{
    const std::vector<std::string>& operators = CompareOperators();
    const auto it = std::find(operators.begin(), operators.end(), strCompare);
    return it == operators.end() ? 0 : static_cast<int>(it - operators.begin());
}
