// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XdgMailer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUuid>

#include <filesystem>
#include <system_error>

namespace {

// A hard link where the staging folder shares the file system with the file (instant, whatever
// the size of an archive), a copy elsewhere.
bool LinkOrCopy(const QString& strFrom, const QString& strTo)
{
    const std::filesystem::path from(strFrom.toStdU16String());
    const std::filesystem::path to(strTo.toStdU16String());
    std::error_code error;
    std::filesystem::create_hard_link(from, to, error);
    return !error || QFile::copy(strFrom, strTo);
}

} // namespace

CXdgMailer::CXdgMailer(QString strStagingDir)
    : m_strStagingDir(std::move(strStagingDir))
{
}

QStringList CXdgMailer::Arguments(const CMailMessage& message, const QStringList& attachmentPaths)
{
    auto isAddress = [](const QString& s) { return s.contains(QLatin1Char('@')); };
    QStringList args { QStringLiteral("--utf8") };
    if (!message.m_strSubject.isEmpty()) {
        args << QStringLiteral("--subject") << message.m_strSubject;
    }
    if (!message.m_strBody.isEmpty()) {
        args << QStringLiteral("--body") << message.m_strBody;
    }
    for (const QString& strCc : message.m_cc) {
        if (isAddress(strCc)) {
            args << QStringLiteral("--cc") << strCc;
        }
    }
    for (const QString& strPath : attachmentPaths) {
        args << QStringLiteral("--attach") << strPath;
    }
    for (const QString& strTo : message.m_to) {
        if (isAddress(strTo)) {
            args << strTo;
        }
    }
    return args;
}

bool CXdgMailer::Send(const CMailMessage& message)
{
    const QString strProgram = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (strProgram.isEmpty()) {
        return false;
    }
    // The composer reads the attachments after xdg-email returns, so the copies stay; they lie in
    // the staging folder, which its owner empties.
    QStringList paths;
    for (const CMailAttachment& attachment : message.m_attachments) {
        const QString strShown = attachment.m_strShownName.isEmpty()
            ? QFileInfo(attachment.m_strPath).fileName()
            : QFileInfo(attachment.m_strShownName).fileName();
        const QString strFolder =
            QDir(m_strStagingDir)
                .filePath(QStringLiteral("mail-") + QUuid::createUuid().toString(QUuid::Id128));
        const QString strCopy = QDir(strFolder).filePath(strShown);
        if (!QDir().mkpath(strFolder) || !LinkOrCopy(attachment.m_strPath, strCopy)) {
            return false;
        }
        paths << strCopy;
    }
    return QProcess::startDetached(strProgram, Arguments(message, paths));
}
