// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/app/ErrorLog.h"

bool CErrorLog::Open(const QString& strPath)
{
    Close();
    m_strPath = strPath;
    m_file.setFileName(strPath);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void CErrorLog::Close()
{
    if (m_file.isOpen()) {
        m_file.close();
    }
}

QString CErrorLog::TimeStampText(const QDateTime& when)
{
    const QDateTime utc = when.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    return QStringLiteral("%1/%2/%3, %4:%5:%6 - \n\n")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(time.hour())
        .arg(time.minute())
        .arg(time.second());
}

void CErrorLog::WriteTimeStamp(const QDateTime& when)
{
    Write(TimeStampText(when));
}

void CErrorLog::Write(const QString& strText)
{
    if (!m_file.isOpen()) {
        return;
    }
    m_file.write(strText.toUtf8());
    m_file.flush();
}

QString ErrorBoxText(const QString& strReason, const QString& strLogPath)
{
    return QStringLiteral(
               "You have encoutered an error when using Marrowlark\nIf you still encounter problems, "
               "please try Help or contact ") +
        QString::fromLatin1(kSupportEmail) + QStringLiteral("\nMore details in ") + strLogPath +
        QStringLiteral(" files\n\nReason:\n    ") + strReason +
        QStringLiteral("\nDo you want to save current project?");
}
