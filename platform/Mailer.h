// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct CMailAttachment {
    QString m_strPath;
    QString m_strShownName; // the name the recipient sees; empty: the file's own name
};

// One message handed to the user's mail program for editing before it is sent.
struct CMailMessage {
    QString m_strSubject;
    QString m_strBody;
    QString m_strOriginator;
    QStringList m_to;
    QStringList m_cc;
    std::vector<CMailAttachment> m_attachments;
};

class IMailer {
public:
    virtual ~IMailer() = default;
    // False when no mail program could be reached.
    virtual bool Send(const CMailMessage& message) = 0;
};
