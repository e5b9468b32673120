// SPDX-License-Identifier: GPL-3.0-or-later
// Sound over Qt Multimedia: an MP3 loads with its length, damaged files are reported. Only
// loading is checked; a headless machine may have no sound card to play to.
#include "platform/QtSoundPlayer.h"
#include "tests/platform/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// A one-second tone synthesised with sox and encoded with lame; empty when either is missing.
QString MakeMp3(const QTemporaryDir& dir)
{
    const QString strSox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    const QString strLame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (strSox.isEmpty() || strLame.isEmpty()) {
        return {};
    }
    const QString strWav = dir.filePath(QStringLiteral("tone.wav"));
    const QString strMp3 = dir.filePath(QStringLiteral("tone.mp3"));
    if (QProcess::execute(strSox,
            { QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                QStringLiteral("1"), strWav, QStringLiteral("synth"), QStringLiteral("1"),
                QStringLiteral("sine"), QStringLiteral("440") }) != 0 ||
        QProcess::execute(strLame, { QStringLiteral("--quiet"), strWav, strMp3 }) != 0) {
        return {};
    }
    return strMp3;
}

TEST(QtSoundPlayer, LoadsAnMp3WithItsLength)
{
    QTemporaryDir dir;
    const QString strMp3 = MakeMp3(dir);
    if (strMp3.isEmpty()) {
        GTEST_SKIP() << "sox or lame missing";
    }
    CQtSoundPlayer player;
    QString strFailure;
    player.SetLoadFailedHandler([&](const QString& strReason) { strFailure = strReason; });
    ASSERT_TRUE(player.Open(strMp3));
    ASSERT_TRUE(WaitUntil([&] { return player.DurationMs() > 0 || !strFailure.isEmpty(); }, 10000))
        << "neither loaded nor failed";
    EXPECT_TRUE(strFailure.isEmpty())
        << "no MP3 decoder (GStreamer plugins-good)? " << qPrintable(strFailure);
    EXPECT_NEAR(player.DurationMs(), 1000, 100);
    EXPECT_TRUE(player.IsOpen());

    player.Play();
    player.Stop();
    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(player.DurationMs(), 0);
}

TEST(QtSoundPlayer, ReportsFilesThatCannotBeDecoded)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray noise(20000, '\0');
    for (int i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    const Case cases[] = { { "empty.mp3", QByteArray() }, { "text.mp3", QByteArray("not a sound\n") },
        { "noise.mp3", noise } };
    CQtSoundPlayer player; // one player for all, as the music dialog keeps one
    for (const Case& c : cases) {
        const QString strPath = dir.filePath(QString::fromLatin1(c.name));
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();

        int nReports = 0;
        player.SetLoadFailedHandler([&](const QString& strReason) {
            ++nReports;
            EXPECT_FALSE(strReason.isEmpty());
        });
        ASSERT_TRUE(player.Open(strPath)) << c.name;
        EXPECT_TRUE(WaitUntil([&] { return nReports > 0; }, 10000)) << c.name;
        // The backend's later errors about the same file are not reported again.
        WaitUntil([] { return false; }, 300);
        EXPECT_EQ(nReports, 1) << c.name;
        EXPECT_FALSE(player.IsOpen()) << c.name;
        player.Play(); // nothing to play: no crash, no report
        EXPECT_EQ(nReports, 1) << c.name;
    }

    int nReports = 0;
    player.SetLoadFailedHandler([&](const QString&) { ++nReports; });
    EXPECT_FALSE(player.Open(dir.filePath(QStringLiteral("missing.mp3"))));
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(nReports, 0);
}

} // namespace
