// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

// The editor's log, mlp.log in the installation folder: emptied at each run, then a UTC time stamp
// and one line per error report. Every write is flushed, so a crash loses nothing of it.
class CErrorLog {
public:
    // Creates or empties the file; false when it cannot be opened (logging is then off).
    [[nodiscard]] bool Open(const QString& strPath);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_file.isOpen(); }
    [[nodiscard]] const QString& Path() const { return m_strPath; }

    // "%d/%d/%d, %d:%d:%d - " of the time (UTC, no leading zeros), then an empty line.
    void WriteTimeStamp(const QDateTime& when = QDateTime::currentDateTimeUtc());
    // Appends the text as it is; nothing when logging is off.
    void Write(const QString& strText);

    [[nodiscard]] static QString FileName() { return QStringLiteral("mlp.log"); }
    [[nodiscard]] static QString TimeStampText(const QDateTime& when);

private:
    QString m_strPath;
    QFile m_file;
};

// The neutral stand-in for the maker's support mailbox named in every error box.
inline constexpr const char* kSupportEmail = "support@example.com";

// The text of the standard error box for a failed step: the preamble naming the log's real path,
// the reason, and the question whether to save.
[[nodiscard]] QString ErrorBoxText(const QString& strReason, const QString& strLogPath);

// Texts of start-up.
[[nodiscard]] inline QString LogCreateFailedMessage()
{
    return QStringLiteral("Unable to create log file");
}
