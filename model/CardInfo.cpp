// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/CardInfo.h"

std::unique_ptr<CCardInfo> CCardInfo::Clone() const
{
    auto copy = std::make_unique<CCardInfo>();
    copy->m_nNumber = m_nNumber;
    copy->m_strTitle = m_strTitle;
    copy->m_strTitleColor = m_strTitleColor;
    copy->m_strComment = m_strComment;
    copy->m_strCommentColor = m_strCommentColor;
    copy->m_strBackground = m_strBackground;
    copy->m_nBgAlign = m_nBgAlign;
    copy->m_bEmail = m_bEmail;
    copy->m_bUseProjectBg = m_bUseProjectBg;
    if (m_pLinks) {
        copy->m_pLinks = m_pLinks->Clone();
    }
    return copy;
}
