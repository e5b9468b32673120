// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Mailer.h"

#include <QString>

#include <optional>

// The names the recipient sees for the gift's attachments.
[[nodiscard]] inline QString GiftMovieShownName()
{
    return QStringLiteral("Run me first.swf");
}
[[nodiscard]] inline QString GiftArchiveShownName()
{
    return QStringLiteral("Special gift but locked.zip");
}

// Staged attachments older than this are removed when a new mail is staged: by then the composer
// has long sent or dropped its message.
inline constexpr int kOutgoingKeepDays = 14;

// The folder below which mail attachments wait for the composer: the user's cache, not the
// installation's Temp, which the editor empties at exit while the composer may read its
// attachments only when the user sends.
[[nodiscard]] QString OutgoingMailFolder();

// The gift's mail, ready for IMailer::Send: subject, body, the originator, no recipient (the user
// fills in To), and the attachments as copies in a fresh folder below the outgoing folder under
// their shown names: the movie, and the archive when strArchive is not empty.
struct CGiftMail {
    CMailMessage m_message;
    QString m_strFolder; // where the copies lie
};

// Stages the gift's mail (older staged folders are pruned first). Nothing on failure, with
// strError saying what could not be made or copied; no half-filled folder is left behind.
[[nodiscard]] std::optional<CGiftMail> StageGiftMail(const QString& strOutgoingFolder,
    const QString& strMovie, const QString& strArchive, const QString& strOriginator, QString& strError);
