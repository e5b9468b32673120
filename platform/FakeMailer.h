// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Mailer.h"

// A mailer for tests: keeps every message; m_bResult is what Send answers.
class CFakeMailer : public IMailer {
public:
    bool Send(const CMailMessage& message) override
    {
        m_sent.push_back(message);
        return m_bResult;
    }

    std::vector<CMailMessage> m_sent;
    bool m_bResult = true;
};
