// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finish/GiftMail.h"

#include "editor/dialogs/DialogPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace {

// Folders made within one millisecond get a counter.
constexpr int kMaxStampTries = 100;

void PruneOutgoing(const QString& strOutgoingFolder)
{
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kOutgoingKeepDays);
    const QFileInfoList folders =
        QDir(strOutgoingFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& folder : folders) {
        if (folder.lastModified() < oldest) {
            QDir(folder.absoluteFilePath()).removeRecursively();
        }
    }
}

QString MakeStampFolder(const QString& strOutgoingFolder)
{
    if (!QDir().mkpath(strOutgoingFolder)) {
        return {};
    }
    const QString strStamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QDir outgoing(strOutgoingFolder);
    for (int i = 0; i < kMaxStampTries; ++i) {
        const QString strName = i == 0 ? strStamp : QStringLiteral("%1-%2").arg(strStamp).arg(i);
        if (outgoing.mkdir(strName)) {
            return outgoing.filePath(strName);
        }
    }
    return {};
}

// A hard link where the folders share a file system (instant, and a snapshot: our files are
// replaced by rename, never rewritten in place), a copy elsewhere.
bool LinkOrCopy(const QString& strFrom, const QString& strTo)
{
    std::error_code error;
    std::filesystem::create_hard_link(ToPath(strFrom), ToPath(strTo), error);
    if (!error) {
        return true;
    }
    std::filesystem::copy_file(ToPath(strFrom), ToPath(strTo), error);
    return !error;
}

} // namespace

QString OutgoingMailFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("outgoing"));
}

std::optional<CGiftMail> StageGiftMail(const QString& strOutgoingFolder, const QString& strMovie,
    const QString& strArchive, const QString& strOriginator, QString& strError)
{
    PruneOutgoing(strOutgoingFolder);
    CGiftMail mail;
    mail.m_strFolder = MakeStampFolder(strOutgoingFolder);
    if (mail.m_strFolder.isEmpty()) {
        strError = QStringLiteral("the folder %1 could not be made").arg(strOutgoingFolder);
        return std::nullopt;
    }
    const QDir folder(mail.m_strFolder);
    std::vector<CMailAttachment> attachments { { strMovie, GiftMovieShownName() } };
    if (!strArchive.isEmpty()) {
        attachments.push_back({ strArchive, GiftArchiveShownName() });
    }
    for (CMailAttachment& attachment : attachments) {
        const QString strCopy = folder.filePath(attachment.m_strShownName);
        if (!LinkOrCopy(attachment.m_strPath, strCopy)) {
            strError = QStringLiteral("%1 could not be copied to %2").arg(attachment.m_strPath, strCopy);
            QDir(mail.m_strFolder).removeRecursively();
            return std::nullopt;
        }
        attachment.m_strPath = strCopy;
    }
    mail.m_message.m_strSubject = QStringLiteral("Gift for you");
    mail.m_message.m_strBody = QStringLiteral("Body text for this email");
    mail.m_message.m_strOriginator = strOriginator;
    mail.m_message.m_attachments = std::move(attachments);
    return mail;
}
