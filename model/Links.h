// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/LinkInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

// The owned list of a card's links, in display order.
using CLinkList = std::vector<std::unique_ptr<CLinkInfo>>;

// The holder of one card's links. The list itself may be absent (a file can store it as null);
// the file keeps that distinction, so the model does too.
class CLinks {
public:
    static constexpr int32_t kSchema = 1;

    CLinks() = default;
    virtual ~CLinks() = default;
    CLinks(const CLinks&) = delete;
    CLinks& operator=(const CLinks&) = delete;

    // A holder with a new empty list, as card creation makes it.
    [[nodiscard]] static std::unique_ptr<CLinks> CreateWithList();
    [[nodiscard]] std::unique_ptr<CLinks> Clone() const;

    // Number of links; 0 when the list is absent.
    [[nodiscard]] size_t Count() const { return m_pList ? m_pList->size() : 0; }

    std::unique_ptr<CLinkList> m_pList;
};
