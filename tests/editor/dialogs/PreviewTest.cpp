// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/preview/DlgPreview.h"

#include "tests/editor/dialogs/DialogFixture.h"

#include <QFrame>
#include <QPushButton>
#include <QTimer>

#include <deque>

namespace {

using editortest::DialogTest;

// The preview window over a movie in Temp; generation is recorded and writes a small file unless
// told that it fails.
class PreviewTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LinkStagedFolder("Skin");
        WriteFile(QStringLiteral("Temp/preview.swf"), "FWS");
    }

    std::unique_ptr<CDlgPreview> MakeWindow()
    {
        auto pWindow = std::make_unique<CDlgPreview>(m_services, Home(QStringLiteral("Temp/preview.swf")),
            QSize(320, 240), [this](const QString& strPath, int bForce) {
                m_generated << QStringLiteral("%1 %2").arg(QFileInfo(strPath).fileName()).arg(bForce);
                if (m_bGenerationWrites) {
                    QFile file(strPath);
                    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                    file.write("FWS");
                }
            });
        pWindow->m_nextReloadNumber = [this] {
            const int n = m_numbers.front();
            m_numbers.pop_front();
            return n;
        };
        return pWindow;
    }

    QStringList m_generated;
    bool m_bGenerationWrites = true;
    std::deque<int> m_numbers;
};

TEST_F(PreviewTest, OpensOnTheGivenMovieAtTheGiftsSize)
{
    auto pWindow = MakeWindow();
    ASSERT_TRUE(pWindow->IsSkinned());
    EXPECT_EQ(pWindow->objectName(), QStringLiteral("FRMPreview"));
    EXPECT_EQ(pWindow->windowTitle(), QStringLiteral("Preview your e-gift"));
    ASSERT_NE(m_pPlayer, nullptr);
    EXPECT_EQ(m_pPlayer->m_calls,
        QStringList { QStringLiteral("load 0 ") + Home(QStringLiteral("Temp/preview.swf")) });
    // The player fills its frame two pixels inside.
    const auto* pFrame = pWindow->findChild<QFrame*>(QStringLiteral("framePlayer"));
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(pFrame->size(), QSize(324, 244));
    pWindow->show();
    EXPECT_EQ(m_pPlayer->geometry(), QRect(2, 2, 320, 240));
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(PreviewTest, ReloadWritesOneOfTwentyFilesAndPlaysIt)
{
    auto pWindow = MakeWindow();
    m_numbers = { 3, 19, 3 };
    auto* pReload = pWindow->findChild<QPushButton*>(QStringLiteral("BTNReload"));
    ASSERT_NE(pReload, nullptr);
    pReload->click(); // through the skin form's click, as the user presses it
    pWindow->Reload();
    pWindow->Reload();
    EXPECT_EQ(m_generated,
        (QStringList { QStringLiteral("preview_3.swf 0"), QStringLiteral("preview_19.swf 0"),
            QStringLiteral("preview_3.swf 0") }));
    const QString strTemp = Home(QStringLiteral("Temp/"));
    EXPECT_EQ(m_pPlayer->m_calls.mid(1),
        (QStringList { QStringLiteral("load 0 ") + strTemp + QStringLiteral("preview_3.swf"),
            QStringLiteral("load 0 ") + strTemp + QStringLiteral("preview_19.swf"),
            QStringLiteral("load 0 ") + strTemp + QStringLiteral("preview_3.swf") }));
    // The movie of the window stays the one it was opened on.
    EXPECT_EQ(pWindow->MoviePath(), Home(QStringLiteral("Temp/preview.swf")));
}

TEST_F(PreviewTest, AFailedReloadKeepsWhatThePlayerShows)
{
    auto pWindow = MakeWindow();
    m_numbers = { 5, 5 };
    pWindow->Reload();
    ASSERT_EQ(m_pPlayer->m_calls.size(), 2);
    // The same number again, and this time generation writes nothing: the old file of that
    // number is not shown in its place.
    m_bGenerationWrites = false;
    pWindow->Reload();
    EXPECT_EQ(m_pPlayer->m_calls.size(), 2);
    EXPECT_FALSE(QFile::exists(Home(QStringLiteral("Temp/preview_5.swf"))));
}

TEST_F(PreviewTest, PrintPrintsTheMovieOfTheOpeningAndSaysWhenItCannot)
{
    auto pWindow = MakeWindow();
    m_numbers = { 7 };
    pWindow->Reload();
    auto* pPrint = pWindow->findChild<QPushButton*>(QStringLiteral("BTNPrint"));
    ASSERT_NE(pPrint, nullptr);
    pPrint->click();
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Print);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/preview.swf")));
    EXPECT_TRUE(m_prompts.Messages().isEmpty());

    m_projector.m_result = EPlayerExit::Cancelled;
    pWindow->Print();
    EXPECT_TRUE(m_prompts.Messages().isEmpty());

    m_projector.m_result = EPlayerExit::Failed;
    pWindow->Print();
    EXPECT_EQ(
        m_prompts.Messages(), QStringList { QStringLiteral("Can not print, can not open Flash Player") });
    EXPECT_TRUE(pWindow->IsSkinned()); // the window stays open
}

TEST_F(PreviewTest, ClosingStopsTheMovie)
{
    auto pWindow = MakeWindow();
    QTimer::singleShot(0, pWindow.get(), [&] { pWindow->close(); });
    pWindow->exec();
    ASSERT_FALSE(m_pPlayer->m_calls.isEmpty());
    EXPECT_EQ(m_pPlayer->m_calls.last(), QStringLiteral("stop"));
}

TEST_F(PreviewTest, WithoutItsSkinTheWindowSaysSoAndCloses)
{
    ASSERT_TRUE(QFile::remove(Home(QStringLiteral("Skin"))));
    auto pWindow = MakeWindow();
    EXPECT_FALSE(pWindow->IsSkinned());
    EXPECT_EQ(m_prompts.Messages(), QStringList { QStringLiteral("Could not load the skin.") });
    // The close request is already queued: exec returns at once, nothing was loaded.
    EXPECT_EQ(pWindow->exec(), QDialog::Rejected);
    EXPECT_FALSE(
        m_pPlayer->m_calls.contains(QStringLiteral("load 0 ") + Home(QStringLiteral("Temp/preview.swf"))));
}

} // namespace
