// SPDX-License-Identifier: GPL-3.0-or-later
// Mail hand-off, the player client, the shell and the close requests, against stand-in programs.
#include "platform/CloseRequests.h"
#include "platform/ProjectorClient.h"
#include "platform/QtShell.h"
#include "platform/XdgMailer.h"
#include "tests/platform/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

using namespace testsupport;

namespace {

// A stand-in program: writes its arguments (one a line) and the show-mode variable to
// <dir>/args.txt and exits with the given status.
void WriteScript(const QString& strPath, int nExit)
{
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n"
               "out=\"$(dirname \"$0\")/args.txt\"\n"
               ": > \"$out.tmp\"\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out.tmp\"; done\n"
               "printf 'mode=%s\\n' \"$MARROWLARK_SHOW_MODE\" >> \"$out.tmp\"\n"
               "mv \"$out.tmp\" \"$out\"\n"
               "exit " +
        QByteArray::number(nExit) + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList ReadLines(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST(XdgMailer, BuildsTheComposerCommandLine)
{
    CMailMessage message;
    message.m_strSubject = QStringLiteral("Gift for you");
    message.m_strBody = QStringLiteral("Body text for this email");
    message.m_to = { QStringLiteral("friend@example.org") };
    message.m_cc = { QStringLiteral("Marrowlark"),
        QStringLiteral("copy@example.org") }; // a bare name is left out
    const QStringList args = CXdgMailer::Arguments(message, { QStringLiteral("/s/1/Run me first.swf") });
    const QStringList expected = { QStringLiteral("--utf8"), QStringLiteral("--subject"),
        QStringLiteral("Gift for you"), QStringLiteral("--body"), QStringLiteral("Body text for this email"),
        QStringLiteral("--cc"), QStringLiteral("copy@example.org"), QStringLiteral("--attach"),
        QStringLiteral("/s/1/Run me first.swf"), QStringLiteral("friend@example.org") };
    EXPECT_EQ(args, expected);
}

TEST(ProjectorClient, PassesTheMovieAsOneArgumentAndReadsTheExitStatus)
{
    struct Case {
        int exitCode;
        EPlayerExit expected;
    };
    const Case cases[] = { { 0, EPlayerExit::Ok }, { 1, EPlayerExit::Cancelled }, { 2, EPlayerExit::Failed },
        { 64, EPlayerExit::Usage }, { 9, EPlayerExit::Failed } };
    for (const Case& c : cases) {
        QTemporaryDir home;
        WriteScript(QDir(home.path()).filePath(PlayerProgramName()), c.exitCode);
        CProjectorClient client(home.path());
        const QString strMovie = QStringLiteral("/tmp/my gift.swf");
        EXPECT_EQ(client.PrintMovie(strMovie), c.expected) << c.exitCode;
        EXPECT_EQ(ReadLines(home.filePath(QStringLiteral("args.txt"))),
            (QStringList {
                QStringLiteral("--print"), QStringLiteral("--"), strMovie, QStringLiteral("mode=") }));
        EXPECT_EQ(client.MakeSelfRunningCopy(strMovie), c.expected);
        EXPECT_EQ(
            ReadLines(home.filePath(QStringLiteral("args.txt"))).constFirst(), QStringLiteral("--make-exe"));
    }
}

TEST(ProjectorClient, AMissingPlayerIsAFailure)
{
    QTemporaryDir home;
    CProjectorClient client(home.path());
    EXPECT_EQ(client.PrintMovie(QStringLiteral("/tmp/a.swf")), EPlayerExit::Failed);
    EXPECT_EQ(client.MakeSelfRunningCopy(QStringLiteral("/tmp/a.swf")), EPlayerExit::Failed);
    EXPECT_FALSE(client.ShowMovie(QStringLiteral("/tmp/a.swf"), false));
}

TEST(QtShell, StartsProgramsOfTheInstallationWithTheirShowMode)
{
    QTemporaryDir home;
    WriteScript(QDir(home.path()).filePath(QStringLiteral("quillfen")), 0);
    CQtShell shell(home.path());
    const QString strArgs = home.filePath(QStringLiteral("args.txt"));
    ASSERT_TRUE(
        shell.StartProgram(QStringLiteral("quillfen"), { QStringLiteral("a b") }, EShowMode::Maximised));
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(strArgs); }));
    EXPECT_EQ(ReadLines(strArgs), (QStringList { QStringLiteral("a b"), QStringLiteral("mode=maximized") }));

    QFile::remove(strArgs);
    ASSERT_TRUE(shell.StartProgram(QStringLiteral("quillfen"), {}, EShowMode::Normal));
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(strArgs); }));
    EXPECT_EQ(ReadLines(strArgs), QStringList { QStringLiteral("mode=") });

    EXPECT_FALSE(shell.StartProgram(QStringLiteral("tolvane"), {}, EShowMode::Normal));
}

TEST(CloseRequests, EveryRunningListenerIsAskedToClose)
{
    const QString strName =
        QStringLiteral("marrowlark-test-") + QString::number(QCoreApplication::applicationPid());
    CCloseRequestListener listener(strName);
    ASSERT_TRUE(listener.Listen());
    QSignalSpy requested(&listener, &CCloseRequestListener::CloseRequested);

    // A stale socket of a program that has gone is cleaned away.
    const QString strStale =
        QDir(CCloseRequestListener::SocketFolder()).filePath(strName + QStringLiteral("-1"));
    QFile(strStale).open(QIODevice::WriteOnly);

    // The client waits for answers, so it runs beside the listener's event loop.
    int nAccepted = -1;
    std::thread client([&] { nAccepted = RequestCloseAll(strName, 5000); });
    ASSERT_TRUE(WaitUntil([&] { return requested.count() == 1; }));
    client.join();
    EXPECT_EQ(nAccepted, 1);
    EXPECT_FALSE(QFile::exists(strStale));
    EXPECT_EQ(RequestCloseAll(strName + QStringLiteral("-nobody")), 0);
}

} // namespace
