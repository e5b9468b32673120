// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with the real player: the live preview of the current card as Ruffle draws it,
// after start-up and after edits.
#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "editor/preview/DlgPreview.h"
#include "generate/Generator.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/FakeShell.h"
#include "platform/InstallDir.h"
#include "platform/RufflePlayer.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/platform/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

using namespace editortest;
using namespace testsupport;

namespace {

bool IsWhite(QColor colour)
{
    return Near(colour, Qt::white, 16);
}

// Text drawn in the default black, antialiased edges left out.
bool IsDark(QColor colour)
{
    return colour.red() < 90 && colour.green() < 90 && colour.blue() < 90;
}

int CountPixels(const QImage& frame, const std::function<bool(QColor)>& test)
{
    int nCount = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            nCount += test(frame.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return nCount;
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return a.width() * a.height();
    }
    int nCount = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            nCount += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return nCount;
}

// The editor on a private installation folder (the staged installation's read-only folders linked
// in, a Temp folder of its own), started with New: the starter project, its first card previewed
// by the real player.
class RuffleEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tip window keeps its place in the user's settings.
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(LinkStagedInstallation(m_home.path()));

        m_services = TestServices(m_prompts, m_shell, m_projector, m_dialogs, "ruffle-test");
        m_strRuffleDir = GetRuffleDir(m_home.path());
        m_services.m_makePlayer = [this, strRuffleDir = m_strRuffleDir](
                                      QWidget* pParent) -> CFlashPlayerWidget* {
            m_pPlayer = new CRufflePlayer(pParent, strRuffleDir);
            return m_pPlayer;
        };

        m_pApp = std::make_unique<CMarrowlarkApp>(m_home.path(), m_services);
        ASSERT_TRUE(m_pApp->StartUp());
        m_pWindow = std::make_unique<CMarrowlarkDlg>(*m_pApp);
        ASSERT_NE(m_pPlayer, nullptr);
        ASSERT_EQ(m_pWindow->Player(), m_pPlayer);
        // The window has loaded the first card while it was made; the frame comes from the event
        // loop, so the spies made now see it.
        m_pShown = std::make_unique<QSignalSpy>(m_pPlayer, &CFlashPlayerWidget::MovieShown);
        m_pFailed = std::make_unique<QSignalSpy>(m_pPlayer, &CFlashPlayerWidget::LoadFailed);
        m_pWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }

    void TearDown() override
    {
        m_pShown.reset();
        m_pFailed.reset();
        m_pWindow.reset();
        if (m_pApp) {
            m_pApp->ExitInstance();
        }
        m_pApp.reset();
    }

    [[nodiscard]] QImage Frame() const { return m_pPlayer->GrabFrame(); }

    // Waits for the next movie (after nShownBefore) to be on screen.
    [[nodiscard]] bool NextMovieShown(qsizetype nShownBefore) const
    {
        return WaitUntil([&] { return m_pShown->count() > nShownBefore; });
    }

    // The starter card as it first shows: white for the most part, with dark text on it.
    [[nodiscard]] static bool LooksLikeStarterCard(const QImage& frame)
    {
        const int nPixels = frame.width() * frame.height();
        return nPixels > 0 && CountPixels(frame, IsWhite) > nPixels / 2 && CountPixels(frame, IsDark) > 50;
    }

    QTemporaryDir m_home;
    QString m_strRuffleDir;
    CFakePrompts m_prompts;
    CFakeShell m_shell;
    CFakeProjector m_projector;
    CFakeEditorDialogs m_dialogs;
    CEditorServices m_services;
    CRufflePlayer* m_pPlayer = nullptr;
    std::unique_ptr<CMarrowlarkApp> m_pApp;
    std::unique_ptr<CMarrowlarkDlg> m_pWindow;
    std::unique_ptr<QSignalSpy> m_pShown;
    std::unique_ptr<QSignalSpy> m_pFailed;
};

TEST_F(RuffleEditorTest, TheStarterProjectsFirstCardShows)
{
    ASSERT_TRUE(NextMovieShown(0));
    EXPECT_TRUE(WaitUntil([&] { return LooksLikeStarterCard(Frame()); }))
        << "white " << CountPixels(Frame(), IsWhite) << ", dark " << CountPixels(Frame(), IsDark);
    EXPECT_EQ(m_pFailed->count(), 0);
    EXPECT_TRUE(m_prompts.Messages().isEmpty()) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(RuffleEditorTest, ACardBackgroundColourFillsThePreview)
{
    ASSERT_TRUE(NextMovieShown(0));
    ASSERT_TRUE(WaitUntil([&] { return LooksLikeStarterCard(Frame()); }));

    const QColor strong(0xC8, 0x1E, 0x1E);
    m_dialogs.m_background = CLookChoice { "#C81E1E", false, 4 };
    const qsizetype nShown = m_pShown->count();
    m_pWindow->CardBackground();
    ASSERT_TRUE(NextMovieShown(nShown));
    const auto isStrong = [&](QColor colour) { return Near(colour, strong, 24); };
    EXPECT_TRUE(WaitUntil([&] {
        const QImage frame = Frame();
        return CountPixels(frame, isStrong) > frame.width() * frame.height() / 2;
    })) << "strong "
        << CountPixels(Frame(), isStrong) << " of " << Frame().width() * Frame().height();
    EXPECT_EQ(m_pFailed->count(), 0);
}

TEST_F(RuffleEditorTest, ATypedTitleChangesThePreview)
{
    ASSERT_TRUE(NextMovieShown(0));
    ASSERT_TRUE(WaitUntil([&] { return LooksLikeStarterCard(Frame()); }));
    const QImage before = Frame();
    const int nDarkBefore = CountPixels(before, IsDark);

    auto* pTitle = m_pWindow->findChild<QLineEdit*>(QStringLiteral("editTitle"));
    ASSERT_NE(pTitle, nullptr);
    // The window selects the whole title as it shows (a dialog's first field): type after it.
    pTitle->end(false);
    const qsizetype nShown = m_pShown->count();
    // Wide letters: the longer title darkens more of the card than the old one.
    QTest::keyClicks(pTitle, QStringLiteral(" WWMMWWMM"));
    ASSERT_EQ(m_pApp->m_project.Card(0).m_strTitle, "Card 1: WWMMWWMM");
    ASSERT_TRUE(NextMovieShown(nShown));
    EXPECT_TRUE(WaitUntil([&] {
        const QImage after = Frame();
        return DifferingPixels(before, after) > 50 && CountPixels(after, IsDark) > nDarkBefore;
    })) << "differing "
        << DifferingPixels(before, Frame()) << ", dark " << nDarkBefore << " then "
        << CountPixels(Frame(), IsDark);
    EXPECT_EQ(m_pFailed->count(), 0);
}

TEST_F(RuffleEditorTest, ThePreviewWindowPlaysTheWholeGiftAndItsReload)
{
    ASSERT_TRUE(NextMovieShown(0));
    const QString strMovie = m_home.filePath(QStringLiteral("Temp/preview.swf"));
    CGenerator& generator = m_pWindow->Generator();
    generator.GenerateSWF(strMovie.toStdString(), nullptr, 1, 0);

    CDialogServices services;
    services.m_strAppDir = m_home.path();
    services.m_pPrompts = &m_prompts;
    services.m_pProjector = &m_projector;
    CRufflePlayer* pPlayer = nullptr;
    services.m_makePlayer = [&](QWidget* pParent) -> CFlashPlayerWidget* {
        pPlayer = new CRufflePlayer(pParent, m_strRuffleDir);
        return pPlayer;
    };
    CDlgPreview preview(
        services, strMovie, QSize(640, 480),
        [&](const QString& strPath, int bForce) {
            generator.GenerateSWF(strPath.toStdString(), nullptr, bForce, 0);
        },
        m_pWindow.get());
    ASSERT_TRUE(preview.IsSkinned());
    ASSERT_NE(pPlayer, nullptr);
    QSignalSpy shown(pPlayer, &CFlashPlayerWidget::MovieShown);
    QSignalSpy failed(pPlayer, &CFlashPlayerWidget::LoadFailed);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    ASSERT_TRUE(WaitUntil([&] { return shown.count() > 0; }));
    EXPECT_TRUE(WaitUntil([&] { return LooksLikeStarterCard(pPlayer->GrabFrame()); }));
    EXPECT_EQ(pPlayer->GrabFrame().size(), QSize(640, 480));

    preview.m_nextReloadNumber = [] { return 11; };
    preview.Reload();
    ASSERT_TRUE(WaitUntil([&] { return shown.count() > 1; }));
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("Temp/preview_11.swf"))));
    EXPECT_TRUE(WaitUntil([&] { return LooksLikeStarterCard(pPlayer->GrabFrame()); }));
    EXPECT_EQ(failed.count(), 0);
    EXPECT_TRUE(m_prompts.Messages().isEmpty()) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();
}

} // namespace
