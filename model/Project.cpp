// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Project.h"

#include "model/ProjectError.h"

#include <algorithm>
#include <limits>
#include <utility>

CProject::CProject(CProject&& other) noexcept
{
    *this = std::move(other);
}

CProject& CProject::operator=(CProject&& other) noexcept
{
    if (this != &other) {
        m_settings = std::move(other.m_settings);
        m_cards = std::move(other.m_cards);
        m_pCurCard = std::exchange(other.m_pCurCard, nullptr);
        m_pCurLink = std::exchange(other.m_pCurLink, nullptr);
        other.m_cards.clear();
    }
    return *this;
}

int CProject::IndexOf(const CCardInfo* pCard) const
{
    for (size_t i = 0; i < m_cards.size(); ++i) {
        if (m_cards[i].get() == pCard) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::unique_ptr<CCardInfo> CProject::CreateCard() const
{
    const int n = static_cast<int>(m_cards.size());
    auto card = std::make_unique<CCardInfo>();
    card->m_nNumber = n;
    card->m_strTitle = "Card " + std::to_string(n + 1) + ":";
    card->m_strComment = "Type your " + card->m_strTitle + " here.\r\n\r\nA.\r\nB.\r\n";
    card->m_pLinks = CLinks::CreateWithList();
    return card;
}

int CProject::InsertCard(EInsertPos pos)
{
    if (m_cards.size() >= kMaxCards) {
        throw CProjectLimitError(kCardLimitMessage);
    }
    auto card = CreateCard();
    const int count = static_cast<int>(m_cards.size());
    const int current = IndexOf(m_pCurCard);
    int i = count;
    switch (pos) {
    case EInsertPos::Top:
        i = 0;
        break;
    case EInsertPos::Before:
        // Without a current card the new one goes to the end, as after.
        i = current >= 0 ? current : count;
        break;
    case EInsertPos::After:
        i = current >= 0 ? current + 1 : count;
        break;
    case EInsertPos::Bottom:
        i = count;
        break;
    }
    CCardInfo* pCard = card.get();
    InsertCardAt(static_cast<size_t>(i), std::move(card));
    m_pCurCard = pCard;
    return i;
}

void CProject::InsertCardAt(size_t index, std::unique_ptr<CCardInfo> pCard)
{
    index = std::min(index, m_cards.size());
    const bool appended = index == m_cards.size();
    m_cards.insert(m_cards.begin() + static_cast<std::ptrdiff_t>(index), std::move(pCard));
    if (!appended) {
        ShiftTargetsForInsert(static_cast<int>(index));
    }
}

void CProject::ShiftTargetsForInsert(int i)
{
    // A target past every card (possible in a file or JSON) stays at the largest value rather
    // than overflow.
    const auto shift = [i](int32_t& target) {
        if (target >= i && target < std::numeric_limits<int32_t>::max()) {
            ++target;
        }
    };
    for (auto& card : m_cards) {
        if (CLinkList* list = card->LinkList()) {
            for (auto& link : *list) {
                shift(link->m_nTarget);
                shift(link->m_nCompareTarget);
            }
        }
    }
}

void CProject::DeleteCard(size_t k)
{
    if (k >= m_cards.size()) {
        return;
    }
    m_cards.erase(m_cards.begin() + static_cast<std::ptrdiff_t>(k));
    const auto renumber = [k](int32_t& target) {
        const auto key = static_cast<int64_t>(k);
        if (target == key) {
            target = 0;
        } else if (target > key) {
            --target;
        }
    };
    for (auto& card : m_cards) {
        if (CLinkList* list = card->LinkList()) {
            for (auto& link : *list) {
                renumber(link->m_nTarget);
                renumber(link->m_nCompareTarget);
            }
        }
    }
    m_pCurCard = nullptr;
    m_pCurLink = nullptr;
}

CLinkInfo* CProject::AddLink(EInsertPos pos)
{
    const int cardIndex = IndexOf(m_pCurCard);
    if (cardIndex < 0) {
        return nullptr;
    }
    CCardInfo& card = *m_pCurCard;
    if (card.LinkCount() >= kMaxLinks) {
        throw CProjectLimitError(kLinkLimitMessage);
    }
    if (!card.m_pLinks) {
        card.m_pLinks = CLinks::CreateWithList();
    } else if (!card.m_pLinks->m_pList) {
        card.m_pLinks->m_pList = std::make_unique<CLinkList>();
    }
    CLinkList& list = *card.m_pLinks->m_pList;
    const size_t c = list.size();
    auto link = std::make_unique<CLinkInfo>("Link " + std::to_string(c + 1), cardIndex + 1, 0, "", 0, 0);

    size_t at = c;
    size_t p = 0;
    // Positions only matter while a link of this very card is current; otherwise the link is appended.
    if (m_pCurLink && CardOfLink(m_pCurLink, &p) == &card) {
        switch (pos) {
        case EInsertPos::Top:
            at = 0;
            break;
        case EInsertPos::Before:
            at = p;
            break;
        case EInsertPos::After:
            at = p + 1;
            break;
        case EInsertPos::Bottom:
            at = c;
            break;
        }
    }
    CLinkInfo* pLink = link.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), std::move(link));
    m_pCurLink = pLink;
    return pLink;
}

void CProject::RemoveLink()
{
    size_t p = 0;
    CCardInfo* card = CardOfLink(m_pCurLink, &p);
    if (!card) {
        m_pCurLink = nullptr;
        return;
    }
    CLinkList& list = *card->LinkList();
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(p));
    m_pCurLink = nullptr;
}

void CProject::Clear()
{
    m_pCurCard = nullptr;
    m_pCurLink = nullptr;
    m_cards.clear();
    m_settings.ResetForClear();
}

void CProject::ApplyProjectBackground()
{
    for (auto& card : m_cards) {
        if (card->m_bUseProjectBg) {
            card->m_strBackground = m_settings.m_strBackground;
            card->m_nBgAlign = m_settings.m_nBgAlign;
        }
    }
}

void CProject::BuildStarter()
{
    // Each step goes after the current card or link, as the New command does it.
    for (int cardNo = 0; cardNo < 3; ++cardNo) {
        InsertCard(EInsertPos::After);
        if (cardNo < 2) {
            AddLink(EInsertPos::After);
            AddLink(EInsertPos::After);
        }
    }
}

void CProject::AppendCards(std::vector<std::unique_ptr<CCardInfo>> cards)
{
    m_cards.reserve(m_cards.size() + cards.size());
    for (auto& card : cards) {
        m_cards.push_back(std::move(card));
    }
}

void CProject::SelectLink(CLinkInfo* pLink)
{
    CCardInfo* card = CardOfLink(pLink);
    if (card) {
        m_pCurCard = card;
        m_pCurLink = pLink;
    }
}

CCardInfo* CProject::CardOfLink(const CLinkInfo* pLink, size_t* pPosition) const
{
    if (!pLink) {
        return nullptr;
    }
    for (const auto& card : m_cards) {
        if (const CLinkList* list = card->LinkList()) {
            for (size_t i = 0; i < list->size(); ++i) {
                if ((*list)[i].get() == pLink) {
                    if (pPosition) {
                        *pPosition = i;
                    }
                    return card.get();
                }
            }
        }
    }
    return nullptr;
}
