// SPDX-License-Identifier: GPL-3.0-or-later
// The window's plain rules: tree labels, the operator list, the command table and skin objects.
#include "editor/mainwindow/EditorCommands.h"
#include "editor/mainwindow/TreeLabels.h"
#include "model/CardInfo.h"
#include "model/LinkInfo.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::unique_ptr<CCardInfo> CardWithLinks(const std::string& strTitle, int nLinks)
{
    auto pCard = std::make_unique<CCardInfo>();
    pCard->m_strTitle = strTitle;
    pCard->m_pLinks = CLinks::CreateWithList();
    for (int i = 0; i < nLinks; ++i) {
        pCard->m_pLinks->m_pList->push_back(std::make_unique<CLinkInfo>("L", 0, 0, "", 0, 0));
    }
    return pCard;
}

TEST(TreeLabelsTest, CardLabels)
{
    EXPECT_EQ(CardLabel(*CardWithLinks("", 0), 3), "[Card 3]");
    EXPECT_EQ(CardLabel(*CardWithLinks("", 2), 3), "[Card 3] {2}");
    EXPECT_EQ(CardLabel(*CardWithLinks("Card 2:", 1), 2), "Card 2: {1}");
    // A card stored without a links holder has no links.
    CCardInfo bare;
    bare.m_strTitle = "Bare";
    EXPECT_EQ(CardLabel(bare, 1), "Bare");
}

TEST(TreeLabelsTest, LinkLabels)
{
    const std::vector<std::string> titles { "Card 1:", "Card 2:", "" };
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", 1, 5, "", 0, 0), titles), "Go (Card 2:) [5]");
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", 1, 0, "", 0, 0), titles), "Go (Card 2:)");
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", 3, -2, "", 0, 0), titles), "Go [-2]");
    // One past the last card, a negative target and an untitled target show no name.
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", 3, 0, "", 0, 0), titles), "Go");
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", -1, 0, "", 0, 0), titles), "Go");
    EXPECT_EQ(LinkLabel(CLinkInfo("Go", 2, 0, "", 0, 0), titles), "Go");
}

TEST(TreeLabelsTest, OperatorEntries)
{
    EXPECT_EQ(CompareOperators(), (std::vector<std::string> { "", ">", ">=", "=", "<=", "<" }));
    EXPECT_EQ(CompareOperatorIndex("<"), 5);
    EXPECT_EQ(CompareOperatorIndex(">="), 2);
    EXPECT_EQ(CompareOperatorIndex(""), 0);
    EXPECT_EQ(CompareOperatorIndex("=>"), 0);
}

TEST(EditorCommandsTest, MenuIdsAreUniqueAndComplete)
{
    std::set<int> ids;
    for (const CMenuEntry& entry : PopupMenuEntries()) {
        EXPECT_TRUE(ids.insert(entry.m_nId).second) << entry.m_strText;
        EXPECT_FALSE(entry.m_path.empty()) << entry.m_strText;
    }
    EXPECT_EQ(ids.size(), 45U);
    for (int nId : { kCmdNew, kCmdOpen, kCmdSave, kCmdExit, kCmdHotKeys, kCmdAbout, kCmdUpdateProgram,
             kCmdAddLinkBottom, kCmdSampleKidTraining }) {
        EXPECT_TRUE(ids.count(nId)) << nId;
    }
}

TEST(EditorCommandsTest, SamplesOfTheViewSamplesMenu)
{
    EXPECT_EQ(SampleOfCommand(kCmdSampleWorkout), "\\Samples\\workout.swf");
    EXPECT_EQ(SampleOfCommand(kCmdSampleMensaTest), "\\Samples\\MensaTest.swf");
    EXPECT_EQ(SampleOfCommand(kCmdSampleKidTraining), "\\Samples\\kidsitesample.swf");
    EXPECT_EQ(SampleOfCommand(kCmdNew), std::nullopt);
}

TEST(EditorCommandsTest, SkinObjectsByEventAndAnyCase)
{
    EXPECT_EQ(CommandOfSkinObject("RDOStep4", ESkinEvent::State), kCmdPreviewCtl);
    EXPECT_EQ(CommandOfSkinObject("rdostep1_NEW", ESkinEvent::State), kCmdNewProjectCtl);
    EXPECT_EQ(CommandOfSkinObject("btnaddcard", ESkinEvent::Click), kCmdAddCardAfterCtl);
    EXPECT_EQ(CommandOfSkinObject("BTNBG", ESkinEvent::Click), kCmdCardBackgroundCtl);
    // Each object reports through one event only, so a push of a button runs its command once.
    EXPECT_EQ(CommandOfSkinObject("BTNAddCard", ESkinEvent::State), std::nullopt);
    EXPECT_EQ(CommandOfSkinObject("RDOStep4", ESkinEvent::Click), std::nullopt);
    EXPECT_EQ(CommandOfSkinObject("BTNAddCardX", ESkinEvent::Click), std::nullopt);
}

} // namespace
