// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RufflePlayer.h"
#include "platform/InstallDir.h"
#include "tests/platform/TestMovies.h"
#include "tests/platform/TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

class RufflePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_player.resize(200, 200);
        m_player.show();
    }

    QString Write(const QString& strName, const std::vector<uint8_t>& bytes)
    {
        const QString strPath = m_dir.filePath(strName);
        WriteFile(strPath, bytes);
        return strPath;
    }

    QColor Centre() { return m_player.GrabFrame().pixelColor(100, 100); }

    bool ShowsColour(QColor colour)
    {
        return WaitUntil([&] { return Near(Centre(), colour); });
    }

    // A movie red for 4.5 seconds' worth of frames, then green, where it stops.
    static constexpr int kRedFrames = 54;
    static constexpr int kRedMs = kRedFrames * 1000 / 12;

    QString RedThenGreen()
    {
        return Write(
            QStringLiteral("red-then-green.swf"), testmovies::RedThenGreenMovie(200, 200, kRedFrames));
    }

    // Red all over: nothing of the player's own (its play button over a stopped movie) hides it.
    bool AllRed()
    {
        const QImage frame = m_player.GrabFrame();
        for (int y = 10; y < 200; y += 20) {
            for (int x = 10; x < 200; x += 20) {
                if (!Near(frame.pixelColor(x, y), Qt::red)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Red all over now and for well over the red period: a movie that went on would have turned.
    bool StaysRed()
    {
        return AllRed() && !WaitUntil([&] { return !AllRed(); }, kRedMs + 2000);
    }

    QTemporaryDir m_dir;
    CRufflePlayer m_player { nullptr, GetRuffleDir(StagedHome()) };
};

TEST_F(RufflePlayerTest, ShowsAMovieAndReplacesItWithTheNextOne)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    QSignalSpy failed(&m_player, &CFlashPlayerWidget::LoadFailed);
    const QString strRed = Write(QStringLiteral("red.swf"), testmovies::SolidMovie({ 255, 0, 0 }, 200, 200));
    ASSERT_TRUE(m_player.LoadMovie(0, strRed));
    // The player reads the file at once: the caller deletes it right after the call.
    QFile::remove(strRed);
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 1; }));
    EXPECT_TRUE(ShowsColour(Qt::red));

    const QString strGreen =
        Write(QStringLiteral("green.swf"), testmovies::SolidMovie({ 0, 255, 0 }, 200, 200));
    ASSERT_TRUE(m_player.LoadMovie(0, strGreen));
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 2; }));
    EXPECT_TRUE(ShowsColour(Qt::green));
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(RufflePlayerTest, AClickOnTheButtonReachesTheMovie)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    ASSERT_TRUE(
        m_player.LoadMovie(0, Write(QStringLiteral("button.swf"), testmovies::ButtonMovie(200, 200))));
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 1; }));
    ASSERT_TRUE(ShowsColour(Qt::red)); // the button, over a blue frame
    EXPECT_TRUE(Near(m_player.GrabFrame().pixelColor(10, 10), Qt::blue));

    ASSERT_NE(m_player.View()->focusProxy(), nullptr);
    const bool bGreen = WaitUntil(
        [&] {
            // Go through the window, as a real pointer does, so that the event reaches whichever
            // widget the web view uses for input at that moment; press and release apart, as a
            // hand does, so that the movie sees the button go down before it comes up.
            QWindow* pWindow = m_player.window()->windowHandle();
            if (pWindow == nullptr) {
                return false;
            }
            const QPoint point = m_player.View()->mapTo(m_player.window(), QPoint(100, 100));
            QTest::mouseMove(pWindow, point);
            QTest::mousePress(pWindow, Qt::LeftButton, Qt::NoModifier, point);
            QTest::qWait(50);
            QTest::mouseRelease(pWindow, Qt::LeftButton, Qt::NoModifier, point);
            return WaitUntil([&] { return Near(Centre(), Qt::green); }, 1000);
        },
        30000);
    EXPECT_TRUE(bGreen);
}

TEST_F(RufflePlayerTest, AStoppedMovieHoldsUntilPlayed)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    ASSERT_TRUE(m_player.LoadMovie(0, RedThenGreen()));
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 1; }));
    m_player.Stop();
    ASSERT_TRUE(ShowsColour(Qt::red));
    EXPECT_TRUE(StaysRed()) << "the stopped movie did not hold red";
    m_player.Play();
    EXPECT_TRUE(ShowsColour(Qt::green));
}

TEST_F(RufflePlayerTest, AStopRightAfterTheLoadHoldsTheMovieOnceItIsIn)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    const QString strMovie = RedThenGreen();
    // The first load comes before the page is ready (the player was made just now), the second after.
    for (int nLoad = 1; nLoad <= 2; ++nLoad) {
        ASSERT_EQ(m_player.IsPageReady(), nLoad == 2);
        ASSERT_TRUE(m_player.LoadMovie(0, strMovie));
        m_player.Stop();
        ASSERT_TRUE(WaitUntil([&] { return shown.count() == nLoad; })) << nLoad;
        ASSERT_TRUE(ShowsColour(Qt::red)) << nLoad;
        EXPECT_TRUE(StaysRed()) << nLoad << ": the stopped movie did not hold red";
        m_player.Play();
        EXPECT_TRUE(ShowsColour(Qt::green)) << nLoad;
    }
}

TEST_F(RufflePlayerTest, ALoadAfterAStopPlaysTheNewMovie)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    const QString strMovie = RedThenGreen();
    ASSERT_TRUE(m_player.LoadMovie(0, strMovie));
    m_player.Stop();
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 1; }));
    ASSERT_TRUE(ShowsColour(Qt::red));

    // A Stop before a load does not carry over to the new movie.
    m_player.Stop();
    ASSERT_TRUE(m_player.LoadMovie(0, strMovie));
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 2; }));
    EXPECT_TRUE(ShowsColour(Qt::green));

    // The latest of a Stop and a Play during the load wins.
    ASSERT_TRUE(m_player.LoadMovie(0, strMovie));
    m_player.Stop();
    m_player.Play();
    ASSERT_TRUE(WaitUntil([&] { return shown.count() == 3; }));
    EXPECT_TRUE(ShowsColour(Qt::green));
}

TEST_F(RufflePlayerTest, RefusesWhatIsNotAMovie)
{
    QSignalSpy failed(&m_player, &CFlashPlayerWidget::LoadFailed);
    EXPECT_FALSE(m_player.LoadMovie(0, m_dir.filePath(QStringLiteral("missing.swf"))));
    EXPECT_FALSE(
        m_player.LoadMovie(0, Write(QStringLiteral("text.swf"), { 'h', 'e', 'l', 'l', 'o', '!', '!', '!' })));
    EXPECT_FALSE(m_player.LoadMovie(
        1, Write(QStringLiteral("layer.swf"), testmovies::SolidMovie({ 0, 0, 0 }, 10, 10))));
    EXPECT_EQ(failed.count(), 3);
}

TEST_F(RufflePlayerTest, ADamagedMovieEndsInALoadFailure)
{
    QSignalSpy shown(&m_player, &CFlashPlayerWidget::MovieShown);
    QSignalSpy failed(&m_player, &CFlashPlayerWidget::LoadFailed);
    std::vector<uint8_t> damaged = testmovies::SolidMovie({ 255, 0, 0 }, 200, 200);
    damaged.resize(12); // the header, cut inside the frame size
    ASSERT_TRUE(m_player.LoadMovie(0, Write(QStringLiteral("damaged.swf"), damaged)));
    EXPECT_TRUE(WaitUntil([&] { return failed.count() == 1; }, CRufflePlayer::kLoadTimeoutMs * 2));
    EXPECT_EQ(shown.count(), 0);
}

TEST(RufflePlayerSetup, AMissingInstallationReportsTheLoadAsFailed)
{
    QTemporaryDir empty;
    CRufflePlayer player(nullptr, empty.path());
    QSignalSpy failed(&player, &CFlashPlayerWidget::LoadFailed);
    const QString strPath = empty.filePath(QStringLiteral("m.swf"));
    WriteFile(strPath, testmovies::SolidMovie({ 0, 0, 0 }, 10, 10));
    EXPECT_FALSE(player.LoadMovie(0, strPath));
    EXPECT_EQ(failed.count(), 1);
}

} // namespace
