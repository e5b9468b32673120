// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadBytes(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(SettingsFile, AFirstRunCreatesTheFileWithAnEmptyEmail)
{
    QTemporaryDir dir;
    const CSettingsFile settings(dir.path());
    ASSERT_TRUE(settings.EnsureExists());
    EXPECT_EQ(ReadBytes(settings.Path()), QByteArray("[SETTINGS]\r\nEMAIL="));
    EXPECT_EQ(settings.Email(), QString());
    // An existing file is left alone.
    WriteBytes(settings.Path(), "[SETTINGS]\r\nEMAIL=me@example.org\r\n");
    ASSERT_TRUE(settings.EnsureExists());
    EXPECT_EQ(settings.Email(), QStringLiteral("me@example.org"));
}

TEST(SettingsFile, ReadsAndWritesKeysKeepingTheRestOfTheFile)
{
    QTemporaryDir dir;
    const CSettingsFile settings(dir.path());
    struct Case {
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        { "[SETTINGS]\r\nEMAIL=", "SETTINGS", "EMAIL", "a@b.c", "[SETTINGS]\r\nEMAIL=a@b.c" },
        { "; note\r\n[settings]\r\nemail = old\r\nOTHER=1\r\n", "SETTINGS", "EMAIL", "new",
            "; note\r\n[settings]\r\nemail=new\r\nOTHER=1\r\n" },
        { "[SETTINGS]\r\nEMAIL=x\r\n", "VIEW", "ZOOM", "2", "[SETTINGS]\r\nEMAIL=x\r\n[VIEW]\r\nZOOM=2\r\n" },
    };
    for (const Case& c : cases) {
        WriteBytes(settings.Path(), c.before);
        settings.SetValue(
            QString::fromLatin1(c.section), QString::fromLatin1(c.key), QString::fromLatin1(c.value));
        EXPECT_EQ(ReadBytes(settings.Path()), c.after) << c.before.toStdString();
        EXPECT_EQ(settings.Value(QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
            QString::fromLatin1(c.value));
    }
}

TEST(SettingsFile, TheEmailIsCutAfterAHundredCharactersAndAMissingKeyGivesThePlaceholder)
{
    QTemporaryDir dir;
    const CSettingsFile settings(dir.path());
    const QByteArray strLong(150, 'x');
    WriteBytes(settings.Path(), "[SETTINGS]\r\nEMAIL=" + strLong + "\r\n");
    EXPECT_EQ(settings.Email(), QString(100, QLatin1Char('x')));
    WriteBytes(settings.Path(), "[SETTINGS]\r\n");
    const QString strPlaceholder = settings.Email();
    EXPECT_FALSE(strPlaceholder.isEmpty());
    EXPECT_TRUE(strPlaceholder.contains(QLatin1Char('@')));
}

} // namespace
