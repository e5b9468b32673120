// SPDX-License-Identifier: GPL-3.0-or-later
// Mail hand-off, the player client, the shell and the close requests, against stand-in programs.
#include "platform/CloseRequests.h"
#include "platform/ProjectorClient.h"
#include "platform/QtShell.h"
#include "platform/XdgMailer.h"
#include "tests/platform/TestSupport.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
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

QByteArray ReadBytes(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts a folder first on PATH for as long as it lives.
class CPathPrefix {
public:
    explicit CPathPrefix(const QString& strFolder)
        : m_strOld(qEnvironmentVariable("PATH"))
    {
        qputenv("PATH", (strFolder + QLatin1Char(':') + m_strOld).toLocal8Bit());
    }
    ~CPathPrefix() { qputenv("PATH", m_strOld.toLocal8Bit()); }
    CPathPrefix(const CPathPrefix&) = delete;
    CPathPrefix& operator=(const CPathPrefix&) = delete;

private:
    QString m_strOld;
};

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

TEST(XdgMailer, HandsTheMessageToXdgEmailWithCopiesUnderTheShownNames)
{
    QTemporaryDir dir;
    const QString strBin = dir.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(strBin));
    WriteScript(QDir(strBin).filePath(QStringLiteral("xdg-email")), 0);
    const QString strArgs = QDir(strBin).filePath(QStringLiteral("args.txt"));
    const CPathPrefix path(strBin);

    const QString strMovie = dir.filePath(QStringLiteral("gift-1234.swf"));
    const QString strNote = dir.filePath(QStringLiteral("note.txt"));
    const QString strPicture = dir.filePath(QStringLiteral("picture.jpg"));
    WriteFile(strMovie, { 'F', 'W', 'S', 6 });
    WriteFile(strNote, { 'h', 'i' });
    WriteFile(strPicture, { 0xff, 0xd8, 0xff });
    CMailMessage message;
    message.m_strSubject = QStringLiteral("Gift for you");
    message.m_strBody = QStringLiteral("Open the attachment.\nLove, me");
    message.m_to = { QStringLiteral("friend@example.org"), QStringLiteral("other@example.org") };
    message.m_cc = { QStringLiteral("copy@example.org") };
    message.m_attachments = { { strMovie, QStringLiteral("Run me first.swf") },
        { strNote, QString() }, // travels under its own name
        { strPicture, QStringLiteral("some/folder/Run me first.swf") } }; // only the name is kept
    const QString strStaging = dir.filePath(QStringLiteral("staging"));
    CXdgMailer mailer(strStaging);
    ASSERT_TRUE(mailer.Send(message));
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(strArgs); }));

    const QStringList args = ReadLines(strArgs);
    ASSERT_EQ(args.size(), 17) << args.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(args.mid(0, 3),
        (QStringList {
            QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("Gift for you") }));
    // The body's line break splits it over two lines of the record.
    EXPECT_EQ(args.mid(3, 3),
        (QStringList {
            QStringLiteral("--body"), QStringLiteral("Open the attachment."), QStringLiteral("Love, me") }));
    EXPECT_EQ(args.mid(6, 2), (QStringList { QStringLiteral("--cc"), QStringLiteral("copy@example.org") }));
    EXPECT_EQ(args.mid(14),
        (QStringList { QStringLiteral("friend@example.org"), QStringLiteral("other@example.org"),
            QStringLiteral("mode=") }));

    struct Expected {
        QString strName;
        QByteArray bytes;
    };
    const Expected expected[] = { { QStringLiteral("Run me first.swf"), QByteArray("FWS\x06", 4) },
        { QStringLiteral("note.txt"), QByteArray("hi") },
        { QStringLiteral("Run me first.swf"), QByteArray("\xff\xd8\xff") } };
    QStringList folders;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(args.at(8 + 2 * i), QStringLiteral("--attach"));
        const QFileInfo copy(args.at(9 + 2 * i));
        EXPECT_EQ(copy.fileName(), expected[i].strName);
        EXPECT_EQ(QFileInfo(copy.absolutePath()).absolutePath(), QFileInfo(strStaging).absoluteFilePath());
        EXPECT_EQ(ReadBytes(copy.absoluteFilePath()), expected[i].bytes) << i;
        folders << copy.absolutePath();
    }
    // Two attachments shown under one name each lie in a folder of their own.
    folders.removeDuplicates();
    EXPECT_EQ(folders.size(), 3);
    // The originals stay where they were.
    EXPECT_EQ(ReadBytes(strMovie), QByteArray("FWS\x06", 4));
}

TEST(XdgMailer, WithoutXdgEmailNothingIsSent)
{
    QTemporaryDir dir;
    const QString strOld = qEnvironmentVariable("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    CXdgMailer mailer(dir.filePath(QStringLiteral("staging")));
    CMailMessage message;
    message.m_to = { QStringLiteral("friend@example.org") };
    const bool bSent = mailer.Send(message);
    qputenv("PATH", strOld.toLocal8Bit());
    EXPECT_FALSE(bSent);
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

// The desktop half of the shell talks to the session bus and to xdg-open, both of which Qt looks up
// once per process (and the offscreen platform opens no documents at all), so those calls run in a
// child of this program with its own bus, PATH and platform: this test, started by the ones below.
TEST(QtShellChild, DISABLED_CallsTheDesktop)
{
    const QString strAction = qEnvironmentVariable("MARROWLARK_TEST_SHELL_ACTION");
    const QString strFile = qEnvironmentVariable("MARROWLARK_TEST_SHELL_FILE");
    CQtShell shell(QDir::tempPath());
    if (strAction == QStringLiteral("open")) {
        EXPECT_TRUE(shell.OpenDocument(strFile));
    } else if (strAction == QStringLiteral("show")) {
        EXPECT_TRUE(shell.ShowInFolder(strFile));
    } else {
        FAIL() << "no action given";
    }
}

// Stands in for the file manager on the test's private bus and records what it was asked to show.
class CFakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList m_shown;
    QString m_strStartupId;
    int m_nCalls = 0;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& strStartupId)
    {
        ++m_nCalls;
        m_shown = uris;
        m_strStartupId = strStartupId;
    }
};

class QtShellDesktopTest : public ::testing::Test {
protected:
    static constexpr int kChildMs = 120000;

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strBin = m_dir.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(m_strBin));
        WriteScript(QDir(m_strBin).filePath(QStringLiteral("xdg-open")), 0);
        m_strOpened = QDir(m_strBin).filePath(QStringLiteral("args.txt"));
        m_strFile = m_dir.filePath(QStringLiteral("my gift.swf")); // a blank in the path
        WriteFile(m_strFile, { 'F', 'W', 'S', 6 });
    }

    void TearDown() override
    {
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.kill();
            m_bus.waitForFinished();
        }
    }

    static QString BusDaemon() { return QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")); }

    // Starts a session bus of the test's own, with no services to activate; false when it cannot.
    bool StartBus()
    {
        const QString strConfig = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile config(strConfig);
        if (!config.open(QIODevice::WriteOnly)) {
            return false;
        }
        // The session bus's own policy, without the folders of services it would start on demand.
        config.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                     "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        m_bus.start(BusDaemon(),
            { QStringLiteral("--config-file=") + strConfig, QStringLiteral("--nofork"),
                QStringLiteral("--print-address") });
        if (!WaitUntil([&] { return m_bus.canReadLine() || m_bus.state() == QProcess::NotRunning; })) {
            return false;
        }
        m_strBusAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
        return !m_strBusAddress.isEmpty();
    }

    // Runs the child test with the stand-in xdg-open first on PATH; true when it passed.
    bool RunChild(const QString& strAction, bool bOnX)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), m_strBin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
            m_strBusAddress.isEmpty()
                ? QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("no-bus"))
                : m_strBusAddress);
        env.insert(QStringLiteral("MARROWLARK_TEST_SHELL_ACTION"), strAction);
        env.insert(QStringLiteral("MARROWLARK_TEST_SHELL_FILE"), m_strFile);
        env.remove(QString::fromLatin1(kShowModeVariable));
        // Whatever desktop the tests run in, the child must not find a real one to hand over to.
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        env.remove(QStringLiteral("DESKTOP_SESSION"));
        // The X client libraries keep some allocations until the process ends.
        const QString strAsan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
            strAsan.isEmpty() ? QStringLiteral("detect_leaks=0")
                              : strAsan + QStringLiteral(":detect_leaks=0"));
        const QStringList args = { QStringLiteral("--gtest_filter=QtShellChild.DISABLED_CallsTheDesktop"),
            QStringLiteral("--gtest_also_run_disabled_tests") };
        const QString strSelf = QCoreApplication::applicationFilePath();
        if (bOnX) {
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            return RunUnderX(strSelf, args, env, kChildMs) == 0;
        }
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(strSelf, args);
        // The event loop keeps running, so a service of this process can answer the child.
        if (!WaitUntil([&] { return child.state() == QProcess::NotRunning; }, kChildMs)) {
            child.kill();
            child.waitForFinished();
            return false;
        }
        return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    }

    // The URL the stand-in xdg-open was given, once it has run.
    QUrl OpenedUrl()
    {
        if (!WaitUntil([&] { return QFile::exists(m_strOpened); })) {
            return {};
        }
        const QStringList lines = ReadLines(m_strOpened);
        return lines.size() == 2 ? QUrl::fromEncoded(lines.constFirst().toUtf8()) : QUrl();
    }

    QTemporaryDir m_dir;
    QString m_strBin;
    QString m_strOpened;
    QString m_strFile;
    QProcess m_bus;
    QString m_strBusAddress;
};

TEST_F(QtShellDesktopTest, OpensADocumentWithXdgOpen)
{
    if (!QFileInfo::exists(XvfbRun())) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    ASSERT_TRUE(RunChild(QStringLiteral("open"), true));
    const QUrl url = OpenedUrl();
    EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    EXPECT_EQ(url.toLocalFile(), m_strFile);
}

TEST_F(QtShellDesktopTest, ShowsTheFileSelectedThroughTheFileManagerService)
{
    if (BusDaemon().isEmpty()) {
        GTEST_SKIP() << "dbus-daemon is not installed";
    }
    ASSERT_TRUE(StartBus());
    const QString strConnection = QStringLiteral("fake-file-manager");
    CFakeFileManager fileManager;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(m_strBusAddress, strConnection);
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerObject(
            QStringLiteral("/org/freedesktop/FileManager1"), &fileManager, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }
    const bool bPassed = RunChild(QStringLiteral("show"), false);
    QDBusConnection::disconnectFromBus(strConnection);
    ASSERT_TRUE(bPassed);
    EXPECT_EQ(fileManager.m_nCalls, 1);
    EXPECT_EQ(fileManager.m_shown, QStringList { QUrl::fromLocalFile(m_strFile).toString() });
    EXPECT_EQ(fileManager.m_strStartupId, QString());
    EXPECT_FALSE(QFile::exists(m_strOpened)); // no folder window besides
}

TEST_F(QtShellDesktopTest, WithoutAFileManagerServiceOpensTheFolder)
{
    if (!QFileInfo::exists(XvfbRun())) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // A bus on which nobody answers for the file manager, then no bus at all.
    if (!BusDaemon().isEmpty()) {
        ASSERT_TRUE(StartBus());
        ASSERT_TRUE(RunChild(QStringLiteral("show"), true));
        const QUrl url = OpenedUrl();
        EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        EXPECT_EQ(url.toLocalFile(), m_dir.path());
        m_bus.kill();
        m_bus.waitForFinished();
        m_strBusAddress.clear();
        QFile::remove(m_strOpened);
    }
    ASSERT_TRUE(RunChild(QStringLiteral("show"), true));
    const QUrl url = OpenedUrl();
    EXPECT_EQ(url.toLocalFile(), m_dir.path());
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

#include "ServicesTest.moc"
