// SPDX-License-Identifier: GPL-3.0-or-later
// The player program end to end: shows, prints and packs a movie, run as the editor runs it.
#include "platform/Projector.h"
#include "player/bundle/Bundle.h"
#include "tests/platform/TestMovies.h"
#include "tests/platform/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

constexpr int kRunMs = 120000;
// A program on a fresh X server starts slower than offscreen: the server, GL and the page.
constexpr int kRunUnderXMs = 240000;

class PlayerProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strMovie = m_dir.filePath(QStringLiteral("red card.swf")); // a blank in the path
        WriteFile(m_strMovie, testmovies::SolidMovie({ 255, 0, 0 }, 160, 120));
    }

    // Runs a program headless and returns its exit status (-1 when it did not end normally).
    int Run(const QString& strProgram, const QStringList& args, const QString& strHome,
        const QString& strSnapshot = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        env.insert(QStringLiteral("MARROWLARK_HOME"), strHome);
        if (!strSnapshot.isEmpty()) {
            env.insert(QStringLiteral("MARROWLARK_PLAYER_SNAPSHOT"), strSnapshot);
        }
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(strProgram, args);
        if (!process.waitForFinished(kRunMs) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitCode();
    }

    int RunPlayer(const QStringList& args, const QString& strSnapshot = {})
    {
        return Run(QStringLiteral(MARROWLARK_PLAYER), args, StagedHome(), strSnapshot);
    }

    static bool IsRed(const QImage& image)
    {
        return !image.isNull() && Near(image.pixelColor(image.width() / 2, image.height() / 2), Qt::red);
    }

    QTemporaryDir m_dir;
    QString m_strMovie;
};

TEST_F(PlayerProgramTest, ShowsTheMovieAtItsOwnSize)
{
    const QString strShot = m_dir.filePath(QStringLiteral("shown.png"));
    ASSERT_EQ(RunPlayer({ m_strMovie }, strShot), 0);
    const QImage shot(strShot);
    EXPECT_EQ(shot.size(), QSize(160, 120));
    EXPECT_TRUE(IsRed(shot));
}

TEST_F(PlayerProgramTest, PrintsTheMovieIntoAPdf)
{
    const QString strPdf = m_dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_EQ(RunPlayer({ QStringLiteral("--print"), QStringLiteral("--pdf"), strPdf, m_strMovie }), 0);
    QFile pdf(strPdf);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    EXPECT_TRUE(content.startsWith("%PDF"));
    EXPECT_TRUE(content.contains("/Image"));

    const QString strRenderer = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (strRenderer.isEmpty()) {
        GTEST_SKIP() << "pdftoppm is not installed; the page was not rendered";
    }
    const QString strPage = m_dir.filePath(QStringLiteral("page"));
    QProcess render;
    render.start(strRenderer,
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-singlefile"),
            strPdf, strPage });
    ASSERT_TRUE(render.waitForFinished(kRunMs));
    EXPECT_TRUE(IsRed(QImage(strPage + QStringLiteral(".png"))));
}

TEST_F(PlayerProgramTest, WritesASelfRunningCopyThatPlaysWhereverItIsMoved)
{
    const QString strCopy = m_dir.filePath(QStringLiteral("gift"));
    ASSERT_EQ(
        RunPlayer({ QStringLiteral("--make-exe"), QStringLiteral("--output"), strCopy, m_strMovie }), 0);
    ASSERT_TRUE(QFileInfo(strCopy).isExecutable());

    // Elsewhere, with neither the movie nor an installation beside it.
    QTemporaryDir elsewhere;
    const QString strMoved = elsewhere.filePath(QStringLiteral("moved-gift"));
    ASSERT_TRUE(QFile::rename(strCopy, strMoved));
    ASSERT_TRUE(QFile::remove(m_strMovie));
    const QString strShot = elsewhere.filePath(QStringLiteral("shown.png"));
    ASSERT_EQ(Run(strMoved, {}, elsewhere.filePath(QStringLiteral("no-installation")), strShot), 0);
    EXPECT_TRUE(IsRed(QImage(strShot)));

    // A copy made from a copy carries one payload, not two.
    const QString strSecondMovie = elsewhere.filePath(QStringLiteral("second.swf"));
    WriteFile(strSecondMovie, testmovies::SolidMovie({ 0, 0, 255 }, 80, 60));
    const QString strSecond = elsewhere.filePath(QStringLiteral("second"));
    ASSERT_EQ(
        Run(strMoved, { QStringLiteral("--make-exe"), QStringLiteral("--output"), strSecond, strSecondMovie },
            StagedHome()),
        0);
    QFile second(strSecond);
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    const QByteArray bytes = second.readAll();
    const std::optional<CBundle> bundle = ReadBundle(
        { reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()) });
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(
        bundle->m_nProgramSize, static_cast<size_t>(QFileInfo(QStringLiteral(MARROWLARK_PLAYER)).size()));
    const QString strSecondShot = elsewhere.filePath(QStringLiteral("second.png"));
    ASSERT_EQ(Run(strSecond, {}, StagedHome(), strSecondShot), 0);
    const QImage secondShot(strSecondShot);
    EXPECT_EQ(secondShot.size(), QSize(80, 60));
    EXPECT_TRUE(Near(secondShot.pixelColor(40, 30), Qt::blue));
}

TEST_F(PlayerProgramTest, ASelfRunningCopyStartedWithNoArgumentsShowsTheMovieOnAnXServer)
{
    if (!QFileInfo::exists(XvfbRun())) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    const QString strCopy = m_dir.filePath(QStringLiteral("gift"));
    ASSERT_EQ(
        RunPlayer({ QStringLiteral("--make-exe"), QStringLiteral("--output"), strCopy, m_strMovie }), 0);

    // Double-clicked on a desktop: a fresh folder, no movie, no installation, no arguments.
    QTemporaryDir fresh;
    const QString strMoved = fresh.filePath(QStringLiteral("gift"));
    ASSERT_TRUE(QFile::rename(strCopy, strMoved));
    ASSERT_TRUE(QFile::remove(m_strMovie));
    const QString strShot = fresh.filePath(QStringLiteral("shown.png"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the desktop's own platform, on the X server
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("MARROWLARK_HOME"), fresh.filePath(QStringLiteral("no-installation")));
    env.insert(QStringLiteral("MARROWLARK_PLAYER_SNAPSHOT"), strShot);
    ASSERT_EQ(RunUnderX(strMoved, {}, env, kRunUnderXMs), 0);
    const QImage shot(strShot);
    EXPECT_EQ(shot.size(), QSize(160, 120));
    EXPECT_TRUE(IsRed(shot));
}

TEST_F(PlayerProgramTest, ReportsFailuresThroughItsExitStatus)
{
    const int nUsage = static_cast<int>(EPlayerExit::Usage);
    const int nFailed = static_cast<int>(EPlayerExit::Failed);
    EXPECT_EQ(RunPlayer({ QStringLiteral("--bogus"), m_strMovie }), nUsage);
    EXPECT_EQ(RunPlayer({ QStringLiteral("--print") }), nUsage);
    EXPECT_EQ(RunPlayer({}), nUsage); // the plain program carries no movie
    const QString strMissing = m_dir.filePath(QStringLiteral("missing.swf"));
    EXPECT_EQ(RunPlayer({ QStringLiteral("--print"), QStringLiteral("--pdf"),
                  m_dir.filePath(QStringLiteral("x.pdf")), strMissing }),
        nFailed);
    const QString strText = m_dir.filePath(QStringLiteral("text.swf"));
    WriteFile(strText, { 'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e' });
    EXPECT_EQ(RunPlayer({ QStringLiteral("--make-exe"), QStringLiteral("--output"),
                  m_dir.filePath(QStringLiteral("copy")), strText }),
        nFailed);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("copy"))));
}

} // namespace
