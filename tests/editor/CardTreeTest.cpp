// SPDX-License-Identifier: GPL-3.0-or-later
// The card tree, the target lists, the card and link panel and the live preview.
#include "EditorFixture.h"

#include "model/ProjectError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>

using namespace editortest;

namespace {

class CardTreeTest : public EditorTest {
protected:
    QStringList Entries(const char* strCombo)
    {
        QStringList entries;
        auto* pCombo = Control<QComboBox>(strCombo);
        for (int i = 0; i < pCombo->count(); ++i) {
            entries << pCombo->itemText(i);
        }
        return entries;
    }

    void SelectCard(int nIndex) { Tree()->setCurrentItem(Tree()->topLevelItem(nIndex)); }
    void SelectLink(int nCard, int nLink)
    {
        Tree()->setCurrentItem(Tree()->topLevelItem(nCard)->child(nLink));
    }

    // The card titles in model order.
    QStringList ModelTitles()
    {
        QStringList titles;
        for (const auto& pCard : App().m_project.Cards()) {
            titles << QString::fromStdString(pCard->m_strTitle);
        }
        return titles;
    }

    // Every link's target as "card.link:target" in model order.
    QStringList Targets()
    {
        QStringList targets;
        for (size_t i = 0; i < App().m_project.CardCount(); ++i) {
            if (const CLinkList* pList = App().m_project.Card(i).LinkList()) {
                for (size_t l = 0; l < pList->size(); ++l) {
                    targets << QStringLiteral("%1.%2:%3").arg(i).arg(l).arg((*pList)[l]->m_nTarget);
                }
            }
        }
        return targets;
    }
};

TEST_F(CardTreeTest, ATypedTitleReachesModelTreeListsAndPreview)
{
    Window();
    const int nBefore = LoadCount();
    SelectCard(1);
    const int nSelected = LoadCount();
    EXPECT_EQ(nSelected, nBefore + 1);
    auto* pTitle = Control<QLineEdit>("editTitle");
    pTitle->selectAll();
    QTest::keyClicks(pTitle, QStringLiteral("Hi"));
    EXPECT_EQ(App().m_project.Card(1).m_strTitle, "Hi");
    EXPECT_EQ(Tree()->topLevelItem(1)->text(0), QStringLiteral("Hi {2}"));
    EXPECT_EQ(Entries("comboTarget")[1], QStringLiteral("Hi"));
    EXPECT_EQ(Entries("comboCompareTarget")[1], QStringLiteral("Hi"));
    // The links that lead to the card name it at once.
    EXPECT_EQ(Tree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("Link 1 (Hi)"));
    // One movie per keystroke, of that card, in Temp, and gone once loaded.
    ASSERT_EQ(LoadCount(), nSelected + 2);
    EXPECT_TRUE(m_pPlayer->m_calls.constLast().startsWith(
        QStringLiteral("load 0 ") + Home(QStringLiteral("Temp/1_"))))
        << m_pPlayer->m_calls.constLast().toStdString();
    EXPECT_TRUE(TempFiles().filter(QStringLiteral(".swf")).isEmpty());
}

TEST_F(CardTreeTest, AFlashBackgroundWaitsForTheFocusToLeave)
{
    Window();
    App().m_project.Card(0).m_strBackground = "Background\\drifting-lights.SWF";
    auto* pTitle = Control<QLineEdit>("editTitle");
    pTitle->setFocus();
    pTitle->end(false);
    const int nBefore = LoadCount();
    QTest::keyClicks(pTitle, QStringLiteral("abc"));
    EXPECT_EQ(LoadCount(), nBefore);
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Card 1:abc");
    Control<QPlainTextEdit>("editComment")->setFocus();
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(pTitle, &focusOut);
    EXPECT_EQ(LoadCount(), nBefore + 1);
    EXPECT_TRUE(Window().IsFlashBackground());
}

TEST_F(CardTreeTest, SelectingAFaceShowsItsFields)
{
    Window();
    App().m_project.Card(0).LinkList()->at(1)->m_strCompare = "<";
    App().m_project.Card(0).LinkList()->at(1)->m_nScore = -7;
    App().m_project.Card(0).LinkList()->at(1)->m_nCompareTarget = 2;
    SelectLink(0, 1);
    EXPECT_FALSE(App().m_bCardPanel);
    EXPECT_TRUE(Control<QLineEdit>("editLinkTitle")->isVisible());
    EXPECT_FALSE(Control<QLineEdit>("editTitle")->isVisible());
    EXPECT_EQ(Control<QLineEdit>("editLinkTitle")->text(), QStringLiteral("Link 2"));
    EXPECT_EQ(Control<QComboBox>("comboCompare")->currentIndex(), 5);
    EXPECT_EQ(Control<QSpinBox>("editScore")->value(), -7);
    EXPECT_EQ(Control<QComboBox>("comboTarget")->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>("comboCompareTarget")->currentIndex(), 2);
    EXPECT_EQ(Tree()->topLevelItem(0)->child(1)->text(0), QStringLiteral("Link 2 (Card 2:) [-7]"));
    // Edits of the link panel reach the link.
    auto* pScore = Control<QSpinBox>("editScore");
    pScore->setValue(5);
    EXPECT_EQ(App().m_project.Card(0).LinkList()->at(1)->m_nScore, 5);
    EXPECT_EQ(Tree()->topLevelItem(0)->child(1)->text(0), QStringLiteral("Link 2 (Card 2:) [5]"));
    Control<QComboBox>("comboTarget")->activated(2);
    EXPECT_EQ(App().m_project.Card(0).LinkList()->at(1)->m_nTarget, 2);
    Control<QComboBox>("comboCompare")->activated(2);
    EXPECT_EQ(App().m_project.Card(0).LinkList()->at(1)->m_strCompare, ">=");
    QTest::keyClicks(Control<QLineEdit>("editLinkTitle"), QStringLiteral("!"));
    EXPECT_EQ(App().m_project.Card(0).LinkList()->at(1)->m_strTitle, "Link 2!");
    SelectCard(2);
    EXPECT_TRUE(App().m_bCardPanel);
    EXPECT_EQ(Control<QLineEdit>("editTitle")->text(), QStringLiteral("Card 3:"));
    EXPECT_EQ(App().m_project.CurrentLink(), nullptr);
}

TEST_F(CardTreeTest, AddCardAtEveryPositionKeepsTreeListsAndTargetsInStep)
{
    Window();
    SelectCard(1);
    Window().AddCard(EInsertPos::Before);
    Window().AddCard(EInsertPos::Top);
    SelectCard(4);
    Window().AddCard(EInsertPos::After);
    Window().AddCard(EInsertPos::Bottom);
    EXPECT_EQ(ModelTitles(),
        (QStringList { QStringLiteral("Card 5:"), QStringLiteral("Card 1:"), QStringLiteral("Card 4:"),
            QStringLiteral("Card 2:"), QStringLiteral("Card 3:"), QStringLiteral("Card 6:"),
            QStringLiteral("Card 7:") }));
    EXPECT_EQ(Entries("comboTarget"), ModelTitles());
    EXPECT_EQ(Entries("comboCompareTarget"), ModelTitles());
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        EXPECT_TRUE(Tree()->topLevelItem(i)->text(0).startsWith(ModelTitles()[i])) << i;
    }
    // The links still lead to the cards they led to.
    EXPECT_EQ(Targets(),
        (QStringList { QStringLiteral("1.0:3"), QStringLiteral("1.1:3"), QStringLiteral("3.0:4"),
            QStringLiteral("3.1:4") }));
    // The new card is selected and current.
    EXPECT_EQ(Tree()->indexOfTopLevelItem(Tree()->currentItem()), 6);
    EXPECT_EQ(App().m_project.CurrentCard(), &App().m_project.Card(6));
}

TEST_F(CardTreeTest, AddLinkAtEveryPosition)
{
    Window();
    SelectCard(2);
    Window().AddLink(EInsertPos::Top); // the card itself selected: appended
    EXPECT_EQ(Tree()->topLevelItem(2)->childCount(), 1);
    EXPECT_TRUE(Tree()->topLevelItem(2)->isExpanded());
    SelectLink(0, 1);
    Window().AddLink(EInsertPos::Before);
    SelectLink(0, 0);
    Window().AddLink(EInsertPos::Top);
    SelectLink(0, 3);
    Window().AddLink(EInsertPos::After);
    Window().AddLink(EInsertPos::Bottom);
    QStringList titles;
    for (const auto& pLink : *App().m_project.Card(0).LinkList()) {
        titles << QString::fromStdString(pLink->m_strTitle);
    }
    EXPECT_EQ(titles,
        (QStringList { QStringLiteral("Link 4"), QStringLiteral("Link 1"), QStringLiteral("Link 3"),
            QStringLiteral("Link 2"), QStringLiteral("Link 5"), QStringLiteral("Link 6") }));
    const QTreeWidgetItem* pCard = Tree()->topLevelItem(0);
    ASSERT_EQ(pCard->childCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pCard->child(i)->text(0), titles[i] + QStringLiteral(" (Card 2:)"));
    }
    EXPECT_EQ(pCard->text(0), QStringLiteral("Card 1: {6}"));
    EXPECT_EQ(Tree()->currentItem(), pCard->child(5));
}

TEST_F(CardTreeTest, LimitsGiveTheirNotices)
{
    Window();
    SelectCard(2);
    for (int i = 0; i < 10; ++i) {
        Window().AddLink(EInsertPos::After);
    }
    Window().AddLink(EInsertPos::After);
    EXPECT_EQ(App().m_project.Card(2).LinkCount(), 10U);
    EXPECT_EQ(m_prompts.Notices().constLast(), QString::fromLatin1(kLinkLimitMessage));
    while (App().m_project.CardCount() < CProject::kMaxCards) {
        Window().AddCard(EInsertPos::Bottom);
    }
    Window().AddCard(EInsertPos::Bottom);
    EXPECT_EQ(Tree()->topLevelItemCount(), 200);
    EXPECT_EQ(m_prompts.Notices().constLast(), QString::fromLatin1(kCardLimitMessage));
}

TEST_F(CardTreeTest, DeleteCardMakesTheNextSelectionCurrent)
{
    Window();
    SelectLink(0, 0);
    SelectCard(0);
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().DeleteCard();
    ASSERT_EQ(App().m_project.CardCount(), 2U);
    EXPECT_EQ(ModelTitles(), (QStringList { QStringLiteral("Card 2:"), QStringLiteral("Card 3:") }));
    EXPECT_EQ(Entries("comboTarget"), ModelTitles());
    // The card the tree selected is current: edits reach it.
    ASSERT_NE(App().m_project.CurrentCard(), nullptr);
    EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
    QTest::keyClicks(Control<QLineEdit>("editTitle"), QStringLiteral("!"));
    EXPECT_EQ(App().m_project.Card(0).m_strTitle, "Card 2:!");
    EXPECT_EQ(Targets(), (QStringList { QStringLiteral("0.0:1"), QStringLiteral("0.1:1") }));

    // A link selected: nothing; nothing selected: the notice.
    SelectLink(0, 0);
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().DeleteCard();
    EXPECT_EQ(App().m_project.CardCount(), 2U);
    Tree()->setCurrentItem(nullptr);
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().DeleteCard();
    EXPECT_EQ(m_prompts.Notices().constLast(), QStringLiteral("Please select a card before deleting."));
    m_prompts.QueueAnswer(EPromptAnswer::No);
    SelectCard(0);
    Window().DeleteCard();
    EXPECT_EQ(App().m_project.CardCount(), 2U);
    EXPECT_EQ(m_prompts.Messages().constLast(), QStringLiteral("Do you really want to delete this card?"));
}

TEST_F(CardTreeTest, DeletingTheCardOfTheCurrentLinkLeavesNoCurrentLink)
{
    Window();
    SelectLink(1, 1);
    SelectCard(1);
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Window().DeleteCard();
    // Whatever the tree selected next, no cursor points into the destroyed card.
    CLinkInfo* pLink = App().m_project.CurrentLink();
    EXPECT_TRUE(pLink == nullptr || App().m_project.CardOfLink(pLink) != nullptr);
    EXPECT_GE(App().m_project.IndexOf(App().m_project.CurrentCard()), 0);
    EXPECT_EQ(App().m_project.CardCount(), 2U);
}

TEST_F(CardTreeTest, RemoveLinkShowsTheNextLinkOrTheCard)
{
    Window();
    SelectLink(0, 0);
    Window().RemoveLink();
    EXPECT_EQ(App().m_project.Card(0).LinkCount(), 1U);
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Card 1: {1}"));
    ASSERT_NE(App().m_project.CurrentLink(), nullptr);
    EXPECT_EQ(App().m_project.CurrentLink()->m_strTitle, "Link 2");
    EXPECT_EQ(Control<QLineEdit>("editLinkTitle")->text(), QStringLiteral("Link 2"));
    Window().RemoveLink();
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QStringLiteral("Card 1:"));
    EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(0));
    EXPECT_TRUE(App().m_bCardPanel);
    EXPECT_EQ(App().m_project.CurrentLink(), nullptr);
    // With a card selected, nothing happens.
    Window().RemoveLink();
    EXPECT_EQ(App().m_project.Card(1).LinkCount(), 2U);
}

TEST_F(CardTreeTest, CardBackgroundStoresTheChoice)
{
    Window();
    SelectCard(1);
    m_dialogs.m_background = CLookChoice { "sky.jpg", true, 10 };
    const int nBefore = LoadCount();
    Window().CardBackground();
    EXPECT_EQ(m_dialogs.m_calls.constLast(), QStringLiteral("background #FFFFFF 4"));
    EXPECT_EQ(App().m_project.Card(1).m_strBackground, "Background\\sky.jpg");
    EXPECT_EQ(App().m_project.Card(1).m_bUseProjectBg, 0);
    EXPECT_EQ(App().m_project.Card(1).m_nBgAlign, 10);
    m_dialogs.m_background.reset();
    Window().CardBackground();
    EXPECT_EQ(App().m_project.Card(1).m_strBackground, "Background\\sky.jpg");
    // The preview is made again either way.
    EXPECT_EQ(LoadCount(), nBefore + 2);
}

TEST_F(CardTreeTest, EmailBoxWritesTheRecoveryCopyAndTheFlag)
{
    Window();
    Control<QCheckBox>("CHKEmailSend")->click();
    EXPECT_EQ(App().m_project.Card(0).m_bEmail, 1);
    EXPECT_TRUE(QFile::exists(Home(QStringLiteral("Temp/temp.mlp"))));
    Control<QCheckBox>("CHKEmailSend")->click();
    EXPECT_EQ(App().m_project.Card(0).m_bEmail, 0);
}

TEST_F(CardTreeTest, PreviewFailuresAreShownOncePerCard)
{
    Window();
    m_pPlayer->m_strFailure = QStringLiteral("broken");
    auto* pTitle = Control<QLineEdit>("editTitle");
    QTest::keyClicks(pTitle, QStringLiteral("xyz"));
    const QString strReason =
        QStringLiteral("Bad generation of flash document. Please restart the program or contact us.");
    EXPECT_EQ(m_prompts.Messages().filter(strReason).size(), 1);
    const QString strLog = QString::fromUtf8(ReadHomeFile(QStringLiteral("mlp.log")));
    EXPECT_EQ(strLog.count(strReason), 3);
    // Another card gets its own report.
    SelectCard(1);
    EXPECT_EQ(m_prompts.Messages().filter(strReason).size(), 2);
}

TEST_F(CardTreeTest, ADamagedPictureBoxesOnceWhileTyping)
{
    QFile picture(Home(QStringLiteral("broken.jpg")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("this is not a picture");
    picture.close();
    Window();
    SelectCard(1);
    App().m_project.Card(1).m_strBackground = Home(QStringLiteral("broken.jpg")).toStdString();
    App().m_project.Card(1).m_bUseProjectBg = 0;
    QTest::keyClicks(Control<QLineEdit>("editTitle"), QStringLiteral("abcd"));
    EXPECT_EQ(m_prompts.Messages().filter(QStringLiteral("loading")).size(), 1);
    EXPECT_EQ(m_prompts.m_nUnscripted, 1);
}

} // namespace
