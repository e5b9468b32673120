// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Mailer.h"

// Hands the message to the desktop's mail composer through xdg-email. Attachments travel under
// their shown names: each is copied into a fresh folder of strStagingDir with that name.
class CXdgMailer : public IMailer {
public:
    explicit CXdgMailer(QString strStagingDir);

    bool Send(const CMailMessage& message) override;

    // xdg-email's arguments for a message whose attachments lie at the given paths. Recipients
    // that are not addresses (no "@") are left out: the composer cannot use a bare name.
    [[nodiscard]] static QStringList Arguments(
        const CMailMessage& message, const QStringList& attachmentPaths);

private:
    QString m_strStagingDir;
};
