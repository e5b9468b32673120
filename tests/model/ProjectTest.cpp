// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Project.h"
#include "model/ProjectError.h"

#include <gtest/gtest.h>

namespace {

// A project of n cards whose card i holds one link targeting targets[i] (compare target likewise).
void MakeCards(CProject& p, const std::vector<int>& targets, const std::vector<int>& compareTargets)
{
    for (size_t i = 0; i < targets.size(); ++i) {
        p.InsertCard(EInsertPos::Bottom);
        CLinkInfo* link = p.AddLink(EInsertPos::Bottom);
        ASSERT_NE(link, nullptr);
        link->m_nTarget = targets[i];
        link->m_nCompareTarget = compareTargets[i];
    }
}

std::vector<int> Targets(const CProject& p, bool compare = false)
{
    std::vector<int> out;
    for (const auto& card : p.Cards()) {
        for (const auto& link : *card->LinkList()) {
            out.push_back(compare ? link->m_nCompareTarget : link->m_nTarget);
        }
    }
    return out;
}

std::vector<std::string> Titles(const CProject& p)
{
    std::vector<std::string> out;
    for (const auto& card : p.Cards()) {
        out.push_back(card->m_strTitle);
    }
    return out;
}

} // namespace

TEST(ProjectCards, CreatedCardCarriesNumberTitleAndCommentOfTheCount)
{
    CProject p;
    p.InsertCard(EInsertPos::Bottom);
    p.InsertCard(EInsertPos::Bottom);
    p.InsertCard(EInsertPos::Top);
    const CCardInfo& third = p.Card(0);
    EXPECT_EQ(third.m_nNumber, 2);
    EXPECT_EQ(third.m_strTitle, "Card 3:");
    EXPECT_EQ(third.m_strComment, "Type your Card 3: here.\r\n\r\nA.\r\nB.\r\n");
    EXPECT_EQ(third.m_strBackground, "#FFFFFF");
    EXPECT_EQ(third.m_nBgAlign, 4);
    EXPECT_EQ(third.m_bUseProjectBg, 1);
    ASSERT_NE(third.LinkList(), nullptr);
    EXPECT_TRUE(third.LinkList()->empty());
}

TEST(ProjectCards, InsertPositionsRelativeToTheCurrentCard)
{
    CProject p;
    // In an empty project every position gives 0.
    EXPECT_EQ(p.InsertCard(EInsertPos::Before), 0);
    EXPECT_EQ(p.InsertCard(EInsertPos::After), 1); // after the last: the end
    p.SelectCard(&p.Card(0));
    EXPECT_EQ(p.InsertCard(EInsertPos::Before), 0); // before the first: 0
    EXPECT_EQ(p.CurrentCard(), &p.Card(0));
    p.SelectCard(&p.Card(1));
    EXPECT_EQ(p.InsertCard(EInsertPos::After), 2);
    EXPECT_EQ(p.InsertCard(EInsertPos::Top), 0);
    EXPECT_EQ(p.InsertCard(EInsertPos::Bottom), 5);
    EXPECT_EQ(Titles(p),
        (std::vector<std::string> { "Card 5:", "Card 3:", "Card 1:", "Card 4:", "Card 2:", "Card 6:" }));
}

TEST(ProjectCards, InsertRenumbersBothTargetsIndependently)
{
    CProject p;
    MakeCards(p, { 0, 1, 2 }, { 2, 0, 1 });
    p.InsertCard(EInsertPos::Top);
    EXPECT_EQ(Targets(p), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(Targets(p, true), (std::vector<int> { 3, 1, 2 }));

    // Appending at the bottom changes nothing.
    p.InsertCard(EInsertPos::Bottom);
    EXPECT_EQ(Targets(p), (std::vector<int> { 1, 2, 3 }));

    // In the middle, only targets at or after the new index move.
    p.SelectCard(&p.Card(1));
    EXPECT_EQ(p.InsertCard(EInsertPos::After), 2);
    EXPECT_EQ(Targets(p), (std::vector<int> { 1, 3, 4 }));
    EXPECT_EQ(Targets(p, true), (std::vector<int> { 4, 1, 3 }));
}

TEST(ProjectCards, InsertKeepsATargetAtTheLargestValue)
{
    CProject p;
    MakeCards(p, { 2147483647 }, { 2147483646 });
    p.InsertCard(EInsertPos::Top);
    EXPECT_EQ(Targets(p), (std::vector<int> { 2147483647 }));
    EXPECT_EQ(Targets(p, true), (std::vector<int> { 2147483647 }));
}

TEST(ProjectCards, DeleteRenumbersAndRedirectsToCardZero)
{
    CProject p;
    MakeCards(p, { 1, 2, 0 }, { 0, 1, 2 });
    p.SelectCard(&p.Card(1));
    p.SelectLink((*p.Card(1).LinkList())[0].get());
    p.DeleteCard(1);
    ASSERT_EQ(p.CardCount(), 2U);
    // Card 0's link targeted 1 (deleted) and becomes 0; card 2's link targeted 0 and stays.
    EXPECT_EQ(Targets(p), (std::vector<int> { 0, 0 }));
    EXPECT_EQ(Targets(p, true), (std::vector<int> { 0, 1 }));
    EXPECT_EQ(p.CurrentCard(), nullptr);
    EXPECT_EQ(p.CurrentLink(), nullptr);
}

TEST(ProjectCards, TwoHundredAndFirstCardIsRefusedWithTheNotice)
{
    CProject p;
    for (size_t i = 0; i < CProject::kMaxCards; ++i) {
        p.InsertCard(EInsertPos::Bottom);
    }
    CCardInfo* current = p.CurrentCard();
    try {
        p.InsertCard(EInsertPos::Top);
        FAIL() << "the card limit was not enforced";
    } catch (const CProjectLimitError& e) {
        EXPECT_STREQ(e.what(),
            "Attention:\n    You have reached the maximum number of cards allowed.\n\nSuggestion:\n"
            "    1.You must delete a card before you can add any more.");
    }
    EXPECT_EQ(p.CardCount(), CProject::kMaxCards);
    EXPECT_EQ(p.CurrentCard(), current);
    EXPECT_EQ(p.Card(0).m_strTitle, "Card 1:");
}

TEST(ProjectLinks, NewLinkDefaultsAndTargetOfTheNextCard)
{
    CProject p;
    EXPECT_EQ(p.AddLink(EInsertPos::Bottom), nullptr); // no current card: nothing
    p.InsertCard(EInsertPos::Bottom);
    p.InsertCard(EInsertPos::Bottom);
    CLinkInfo* first = p.AddLink(EInsertPos::Top);
    CLinkInfo* second = p.AddLink(EInsertPos::After);
    EXPECT_EQ(*first, CLinkInfo("Link 1", 2, 0, "", 0, 0)); // one past the end on the last card
    EXPECT_EQ(second->m_strTitle, "Link 2");
    EXPECT_EQ(p.CurrentLink(), second);
    EXPECT_EQ(p.CardOfLink(second), &p.Card(1));
}

TEST(ProjectLinks, PositionsRelativeToTheCurrentLinkOfThisCard)
{
    CProject p;
    p.InsertCard(EInsertPos::Bottom);
    CLinkInfo* l1 = p.AddLink(EInsertPos::Bottom);
    CLinkInfo* l2 = p.AddLink(EInsertPos::Bottom);
    p.SelectLink(l1);
    CLinkInfo* before = p.AddLink(EInsertPos::Before); // at p = 0
    p.SelectLink(l1);
    CLinkInfo* after = p.AddLink(EInsertPos::After); // at p + 1
    p.SelectLink(l2);
    CLinkInfo* top = p.AddLink(EInsertPos::Top);
    const CLinkList& list = *p.Card(0).LinkList();
    std::vector<CLinkInfo*> order;
    for (const auto& l : list) {
        order.push_back(l.get());
    }
    EXPECT_EQ(order, (std::vector<CLinkInfo*> { top, before, l1, after, l2 }));
    EXPECT_EQ(top->m_strTitle, "Link 5");
}

TEST(ProjectLinks, WithTheCardSelectedEveryPositionAppends)
{
    CProject p;
    p.InsertCard(EInsertPos::Bottom);
    CLinkInfo* onFirst = p.AddLink(EInsertPos::Bottom);
    p.InsertCard(EInsertPos::Bottom);
    p.AddLink(EInsertPos::Bottom);
    // The current link belongs to another card: positions do not apply.
    p.SelectLink(onFirst);
    p.SelectCard(&p.Card(1));
    CLinkInfo* top = p.AddLink(EInsertPos::Top);
    EXPECT_EQ((*p.Card(1).LinkList()).back().get(), top);
    p.ClearCurrentLink();
    CLinkInfo* before = p.AddLink(EInsertPos::Before);
    EXPECT_EQ((*p.Card(1).LinkList()).back().get(), before);
}

TEST(ProjectLinks, EleventhLinkIsRefusedWithTheNotice)
{
    CProject p;
    p.InsertCard(EInsertPos::Bottom);
    for (size_t i = 0; i < CProject::kMaxLinks; ++i) {
        p.AddLink(EInsertPos::After);
    }
    EXPECT_THROW(
        {
            try {
                p.AddLink(EInsertPos::After);
            } catch (const CProjectLimitError& e) {
                EXPECT_STREQ(e.what(),
                    "Attention:\n    You have reached the maximum number of links allowed.\n\nSuggestion:\n"
                    "    1.You must delete a link before you can add any more.\n"
                    "    2.Split links into another card.");
                throw;
            }
        },
        CProjectLimitError);
    EXPECT_EQ(p.Card(0).LinkCount(), CProject::kMaxLinks);
}

TEST(ProjectLinks, RemoveLinkTakesTheCurrentOneAndKeepsTargets)
{
    CProject p;
    MakeCards(p, { 2, 1, 0 }, { 0, 0, 0 });
    p.SelectLink((*p.Card(1).LinkList())[0].get());
    p.RemoveLink();
    EXPECT_EQ(p.CurrentLink(), nullptr);
    EXPECT_EQ(p.Card(1).LinkCount(), 0U);
    EXPECT_EQ(Targets(p), (std::vector<int> { 2, 0 }));
    p.RemoveLink(); // nothing current: nothing happens
    EXPECT_EQ(Targets(p), (std::vector<int> { 2, 0 }));
}

TEST(ProjectLinks, AddLinkSuppliesAMissingHolderOrList)
{
    CProject p;
    p.InsertCard(EInsertPos::Bottom);
    p.Card(0).m_pLinks.reset();
    ASSERT_NE(p.AddLink(EInsertPos::Bottom), nullptr);
    p.Card(0).m_pLinks->m_pList.reset();
    ASSERT_NE(p.AddLink(EInsertPos::Bottom), nullptr);
    EXPECT_EQ(p.Card(0).LinkCount(), 1U);
}

TEST(ProjectWhole, StarterProjectHasThreeCardsAndTwoLinksOnTheFirstTwo)
{
    CProject p;
    p.BuildStarter();
    EXPECT_EQ(Titles(p), (std::vector<std::string> { "Card 1:", "Card 2:", "Card 3:" }));
    for (size_t i = 0; i < 2; ++i) {
        const CLinkList& links = *p.Card(i).LinkList();
        ASSERT_EQ(links.size(), 2U);
        EXPECT_EQ(links[0]->m_strTitle, "Link 1");
        EXPECT_EQ(links[1]->m_strTitle, "Link 2");
        EXPECT_EQ(links[0]->m_nTarget, static_cast<int>(i) + 1);
        EXPECT_EQ(links[1]->m_nTarget, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(p.Card(2).LinkCount(), 0U);
    EXPECT_EQ(p.Card(2).m_nNumber, 2);
}

TEST(ProjectWhole, ClearResetsOnlyItsSettings)
{
    CProject p;
    p.BuildStarter();
    p.m_settings.m_strAuthor = "Ada";
    p.m_settings.m_strFont = "Serif";
    p.m_settings.m_nWidth = 300;
    p.m_settings.m_strMusic = "Music\\a.mp3";
    p.m_settings.m_nQuality = 40;
    p.m_settings.m_strSlideDelay = "1.5";
    p.Clear();
    EXPECT_EQ(p.CardCount(), 0U);
    EXPECT_EQ(p.CurrentCard(), nullptr);
    EXPECT_EQ(p.CurrentLink(), nullptr);
    EXPECT_EQ(p.m_settings.m_strBackground, "#FFFFFF");
    EXPECT_EQ(p.m_settings.m_nBgAlign, 0);
    EXPECT_EQ(p.m_settings.m_nWidth, 640);
    EXPECT_EQ(p.m_settings.m_strMusic, "");
    EXPECT_EQ(p.m_settings.m_strSlideDelay, "");
    EXPECT_EQ(p.m_settings.m_strAuthor, "Ada");
    EXPECT_EQ(p.m_settings.m_strFont, "Serif");
    EXPECT_EQ(p.m_settings.m_nQuality, 40);

    p.m_settings.m_strProjectPath = "/x.mlp";
    p.m_settings.ResetForNew();
    EXPECT_EQ(p.m_settings.m_nBgAlign, 4);
    EXPECT_EQ(p.m_settings.m_strFont, "Sans");
    EXPECT_EQ(p.m_settings.m_nQuality, 70);
    EXPECT_EQ(p.m_settings.m_strProjectPath, "");
    EXPECT_EQ(p.m_settings.m_strAuthor, "Ada");
}

TEST(ProjectWhole, ApplyProjectBackgroundOnlyToCardsThatUseIt)
{
    CProject p;
    p.BuildStarter();
    p.Card(1).m_bUseProjectBg = 0;
    p.Card(1).m_strBackground = "Background\\own.jpg";
    p.m_settings.m_strBackground = "Background\\sky.swf";
    p.m_settings.m_nBgAlign = 10;
    p.ApplyProjectBackground();
    EXPECT_EQ(p.Card(0).m_strBackground, "Background\\sky.swf");
    EXPECT_EQ(p.Card(0).m_nBgAlign, 10);
    EXPECT_EQ(p.Card(1).m_strBackground, "Background\\own.jpg");
    EXPECT_EQ(p.Card(1).m_nBgAlign, 4);
    EXPECT_EQ(p.Card(2).m_strBackground, "Background\\sky.swf");
}
