// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Links.h"

#include <cstdint>
#include <memory>
#include <string>

// One card: one page of the gift and one frame of the movie. Texts are UTF-8.
class CCardInfo {
public:
    static constexpr int32_t kSchema = 1;

    CCardInfo() = default;
    virtual ~CCardInfo() = default;
    CCardInfo(const CCardInfo&) = delete;
    CCardInfo& operator=(const CCardInfo&) = delete;

    [[nodiscard]] std::unique_ptr<CCardInfo> Clone() const;

    // The card's links, or nullptr when it has no holder or the holder no list.
    [[nodiscard]] CLinkList* LinkList() { return m_pLinks ? m_pLinks->m_pList.get() : nullptr; }
    [[nodiscard]] const CLinkList* LinkList() const { return m_pLinks ? m_pLinks->m_pList.get() : nullptr; }
    [[nodiscard]] size_t LinkCount() const { return m_pLinks ? m_pLinks->Count() : 0; }

    // Number of cards that existed when this card was created; kept for the file only.
    int32_t m_nNumber = 0;
    std::string m_strTitle;
    std::string m_strTitleColor = "#000000";
    // Lines separated by "\r\n".
    std::string m_strComment;
    std::string m_strCommentColor = "#000000";
    // A colour, or a picture or Flash file (see LookValue.h).
    std::string m_strBackground = "#FFFFFF";
    int32_t m_nBgAlign = 4;
    int32_t m_bEmail = 0;
    int32_t m_bUseProjectBg = 1;
    std::unique_ptr<CLinks> m_pLinks;
};
