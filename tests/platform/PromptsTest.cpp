// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FakePrompts.h"
#include "platform/NoticeBalloon.h"
#include "platform/QtPrompts.h"
#include "platform/SwfSignature.h"
#include "tests/platform/TestMovies.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

TEST(FakePrompts, AnswersFromTheScriptAndRecordsEveryQuestion)
{
    CFakePrompts prompts;
    prompts.QueueAnswer(EPromptAnswer::Yes);
    prompts.QueuePath(QStringLiteral("/tmp/gift.mlp"));
    EXPECT_EQ(prompts.MessageBox(QStringLiteral("Save?"), EPromptButtons::YesNoCancel, EPromptIcon::Question),
        EPromptAnswer::Yes);
    EXPECT_EQ(prompts.SaveFile(QStringLiteral("P (*.mlp)|*.mlp||"), QStringLiteral("mlp"), {}, true),
        QStringLiteral("/tmp/gift.mlp"));
    prompts.ShowNotice(QStringLiteral("Please select a card before deleting."), QPoint(5, 7));
    EXPECT_EQ(prompts.m_nUnscripted, 0);

    // Unscripted questions get the answer that changes nothing.
    EXPECT_EQ(
        prompts.MessageBox(QStringLiteral("a"), EPromptButtons::YesNo, EPromptIcon::Stop), EPromptAnswer::No);
    EXPECT_EQ(prompts.MessageBox(QStringLiteral("b"), EPromptButtons::YesNoCancel, EPromptIcon::Question),
        EPromptAnswer::Cancel);
    EXPECT_EQ(prompts.MessageBox(QStringLiteral("c"), EPromptButtons::Ok, EPromptIcon::Information),
        EPromptAnswer::Ok);
    EXPECT_EQ(prompts.BrowseFolder(QStringLiteral("Choose")), QString());
    EXPECT_EQ(prompts.m_nUnscripted, 4);

    ASSERT_EQ(prompts.m_calls.size(), 7U);
    EXPECT_EQ(prompts.m_calls[1].m_strDefaultExt, QStringLiteral("mlp"));
    EXPECT_TRUE(prompts.m_calls[1].m_bOverwritePrompt);
    EXPECT_EQ(prompts.m_calls[2].m_point, QPoint(5, 7));
    EXPECT_EQ(prompts.Messages(),
        (QStringList {
            QStringLiteral("Save?"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") }));
    EXPECT_EQ(prompts.Notices(), QStringList { QStringLiteral("Please select a card before deleting.") });
}

TEST(NoticeBalloon, ShowsWithoutBlockingAndKeepsLineBreaks)
{
    QWidget owner;
    CQtPrompts prompts(&owner);
    prompts.ShowNotice(QStringLiteral("F1:  Help Center\nF2:  Add new card"), QPoint(40, 50));
    CNoticeBalloon* pBalloon = prompts.Balloon();
    ASSERT_NE(pBalloon, nullptr);
    EXPECT_TRUE(pBalloon->isVisible());
    EXPECT_EQ(pBalloon->pos(), QPoint(40, 50));
    EXPECT_TRUE(pBalloon->text().contains(QStringLiteral("<br>")));
    EXPECT_FALSE(QApplication::activeModalWidget());
    prompts.ShowNotice(QStringLiteral("<b>bold</b>"), QPoint(60, 70));
    EXPECT_EQ(pBalloon->text(), QStringLiteral("<b>bold</b>"));
}

TEST(SwfSignature, ReadsTheStageSizeFromTheHeader)
{
    const std::vector<uint8_t> movie = testmovies::SolidMovie({ 1, 2, 3 }, 640, 480);
    const QByteArray bytes(reinterpret_cast<const char*>(movie.data()), static_cast<qsizetype>(movie.size()));
    EXPECT_TRUE(LooksLikeSwf(bytes));
    EXPECT_EQ(MovieFrameSize(bytes), QSize(640, 480));

    // The same movie compressed.
    QByteArray compressed = qCompress(bytes.mid(8), 9).mid(4); // qCompress puts a length first
    compressed.prepend(bytes.left(8));
    compressed[0] = 'C';
    EXPECT_EQ(MovieFrameSize(compressed), QSize(640, 480));

    struct Case {
        QByteArray bytes;
        bool swf;
    };
    const Case refused[] = { { "", false }, { "FWS", false }, { "GIF89a..", false },
        { QByteArray("FWS\x06\0\0\0\0", 8), true }, { QByteArray("CWS\x06\0\0\0\0garbage", 15), true },
        { QByteArray("ZWS\x0d\0\0\0\0", 8), true } };
    for (const Case& c : refused) {
        EXPECT_EQ(LooksLikeSwf(c.bytes), c.swf) << c.bytes.toStdString();
        EXPECT_FALSE(MovieFrameSize(c.bytes).isValid()) << c.bytes.toStdString();
    }
    // The 640x480 RECT of the writer's facts.
    const QByteArray known = QByteArray("FWS\x06\0\0\0\0", 8) + QByteArray::fromHex("78000640000012c000");
    EXPECT_EQ(MovieFrameSize(known), QSize(640, 480));
}

} // namespace
