// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Links.h"

std::unique_ptr<CLinks> CLinks::CreateWithList()
{
    auto links = std::make_unique<CLinks>();
    links->m_pList = std::make_unique<CLinkList>();
    links->m_pList->reserve(10);
    return links;
}

std::unique_ptr<CLinks> CLinks::Clone() const
{
    auto copy = std::make_unique<CLinks>();
    if (m_pList) {
        copy->m_pList = std::make_unique<CLinkList>();
        copy->m_pList->reserve(m_pList->size());
        for (const auto& link : *m_pList) {
            copy->m_pList->push_back(std::make_unique<CLinkInfo>(*link));
        }
    }
    return copy;
}
