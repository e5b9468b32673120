// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's card tree, the two target lists, the card and link panel, the add and delete
// commands and the live preview.
#include "editor/app/MarrowlarkApp.h"
#include "editor/dialogs/EditorDialogs.h"
#include "editor/mainwindow/EditorReports.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "editor/mainwindow/TreeLabels.h"
#include "generate/Generator.h"
#include "model/InstallPaths.h"
#include "model/LookValue.h"
#include "model/ProjectError.h"
#include "platform/FlashPlayerWidget.h"
#include "platform/Prompts.h"

#include "ui_MarrowlarkDlg.h"

#include <QFile>
#include <QFocusEvent>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <vector>

namespace {

// Item data: the kind of item and the model object it stands for (the tree owns neither).
constexpr int kKindRole = Qt::UserRole;
constexpr int kObjectRole = Qt::UserRole + 1;
enum EItemKind { kItemCard = 1, kItemLink = 2 };

// The tree's 16 by 16 icons: a card and a link.
QIcon TreeIcon(EItemKind kind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (kind == kItemCard) {
        painter.setPen(QColor(0x8A, 0x55, 0x2A));
        painter.setBrush(QColor(0xF3, 0xD9, 0xA4));
        painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
        painter.setPen(QColor(0x8A, 0x55, 0x2A));
        painter.drawLine(QPointF(4, 6), QPointF(12, 6));
        painter.drawLine(QPointF(4, 9), QPointF(10, 9));
    } else {
        painter.setPen(QPen(QColor(0x27, 0x81, 0xC4), 2));
        painter.drawLine(QPointF(3, 8), QPointF(12, 8));
        painter.drawLine(QPointF(9, 5), QPointF(12, 8));
        painter.drawLine(QPointF(9, 11), QPointF(12, 8));
    }
    return QIcon(pixmap);
}

QColor ToQColor(const std::string& strColour)
{
    const CColour colour = ParseColour(strColour);
    return QColor(colour.red, colour.green, colour.blue);
}

// Comments keep "\r\n" line ends in the project; the text box works with "\n".
QString CommentToDisplay(const std::string& strComment)
{
    return QString::fromStdString(strComment).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string CommentFromDisplay(const QString& strText)
{
    return QString(strText).replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
}

} // namespace

void CMarrowlarkDlg::ConnectPanel()
{
    Ui::CMarrowlarkDlg& ui = *m_pUi;
    ui.treeCards->setIconSize(QSize(16, 16));
    ui.stackPanel->setCurrentWidget(ui.pageCard);
    for (const std::string& strOperator : CompareOperators()) {
        ui.comboCompare->addItem(QString::fromStdString(strOperator));
    }
    // Stored scores and comparison values may be any integer, negative ones included.
    ui.editScore->setRange(INT_MIN, INT_MAX);
    ui.editCompareValue->setRange(INT_MIN, INT_MAX);
    // No button is the default: Enter clicks none of them.
    for (QPushButton* pButton : findChildren<QPushButton*>()) {
        pButton->setAutoDefault(false);
        pButton->setDefault(false);
    }

    connect(ui.treeCards, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* pCurrent, QTreeWidgetItem*) { OnSelectionChanged(pCurrent); });
    connect(ui.editTitle, &QLineEdit::textEdited, this, &CMarrowlarkDlg::OnTitleEdited);
    connect(ui.editComment, &QPlainTextEdit::textChanged, this, &CMarrowlarkDlg::OnCommentChanged);
    connect(ui.btnTitleColour, &CColourPicker::ColourChosen, this,
        [this](const QColor& colour) { OnColourChosen(true, colour); });
    connect(ui.btnCommentColour, &CColourPicker::ColourChosen, this,
        [this](const QColor& colour) { OnColourChosen(false, colour); });
    connect(ui.CHKEmailSend, &QCheckBox::clicked, this, &CMarrowlarkDlg::EmailClicked);
    connect(ui.editLinkTitle, &QLineEdit::textEdited, this, &CMarrowlarkDlg::OnLinkTitleEdited);
    connect(ui.comboTarget, &QComboBox::activated, this, &CMarrowlarkDlg::OnTargetActivated);
    connect(ui.comboCompare, &QComboBox::activated, this, &CMarrowlarkDlg::OnCompareActivated);
    connect(ui.comboCompareTarget, &QComboBox::activated, this, &CMarrowlarkDlg::OnCompareTargetActivated);
    connect(ui.editScore, &QSpinBox::valueChanged, this, &CMarrowlarkDlg::OnScoreChanged);
    connect(ui.editCompareValue, &QSpinBox::valueChanged, this, &CMarrowlarkDlg::OnCompareValueChanged);
    ui.editTitle->installEventFilter(this);
    ui.editComment->installEventFilter(this);
    ui.editLinkTitle->installEventFilter(this);
}

bool CMarrowlarkDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::FocusOut) {
        if (pWatched == m_pUi->editTitle) {
            OnTitleFocusLost();
        } else if (pWatched == m_pUi->editComment) {
            OnCommentFocusLost();
        } else if (pWatched == m_pUi->editLinkTitle) {
            OnLinkTitleFocusLost();
        }
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

// ---- The tree -------------------------------------------------------------------------------

void CMarrowlarkDlg::ClearProject()
{
    m_bTreeReady = false;
    m_bPreviewReady = false;
    Project().Clear();
    Tree()->clear();
    m_pUi->comboTarget->clear();
    m_pUi->comboCompareTarget->clear();
    m_pReports->ForgetCards();
    m_pPreviewCard = nullptr;
    m_bPreviewPending = false;
    m_bTreeReady = true;
    m_bPreviewReady = true;
}

void CMarrowlarkDlg::RebuildTree()
{
    m_bTreeReady = false;
    m_bPreviewReady = false;
    Tree()->clear();
    m_pUi->comboTarget->clear();
    m_pUi->comboCompareTarget->clear();
    for (size_t i = 0; i < Project().CardCount(); ++i) {
        InsertTargetEntry(static_cast<int>(i), QString::fromStdString(Project().Card(i).m_strTitle));
    }
    for (size_t i = 0; i < Project().CardCount(); ++i) {
        CCardInfo& card = Project().Card(i);
        QTreeWidgetItem* pCardItem = AddCardItem(static_cast<int>(i), card);
        if (CLinkList* pList = card.LinkList()) {
            // A file of another tool may hold more links than a card can: the tree shows the
            // first ones, the card keeps them all.
            const size_t nShown = std::min(pList->size(), CProject::kMaxLinks);
            for (size_t p = 0; p < nShown; ++p) {
                AddLinkItem(pCardItem, static_cast<int>(p), *(*pList)[p]);
            }
            pCardItem->setExpanded(nShown > 0);
        }
    }
    RelabelAll();
    m_bTreeReady = true;
    m_bPreviewReady = true;
    // Only the card selected at the end is previewed.
    if (Tree()->topLevelItemCount() > 0) {
        Tree()->setCurrentItem(Tree()->topLevelItem(0));
    } else {
        ShowCard(nullptr);
    }
}

QTreeWidgetItem* CMarrowlarkDlg::AddCardItem(int nIndex, CCardInfo& card)
{
    auto* pItem = new QTreeWidgetItem;
    pItem->setText(0, QString::fromStdString(card.m_strTitle));
    pItem->setIcon(0, TreeIcon(kItemCard));
    pItem->setData(0, kKindRole, kItemCard);
    pItem->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(&card)));
    Tree()->insertTopLevelItem(nIndex, pItem);
    return pItem;
}

QTreeWidgetItem* CMarrowlarkDlg::AddLinkItem(QTreeWidgetItem* pCardItem, int nPosition, CLinkInfo& link)
{
    auto* pItem = new QTreeWidgetItem;
    pItem->setText(0, QString::fromStdString(link.m_strTitle));
    pItem->setIcon(0, TreeIcon(kItemLink));
    pItem->setData(0, kKindRole, kItemLink);
    pItem->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(&link)));
    pCardItem->insertChild(nPosition, pItem);
    return pItem;
}

CCardInfo* CMarrowlarkDlg::ItemCard(const QTreeWidgetItem* pItem) const
{
    if (pItem == nullptr || pItem->data(0, kKindRole).toInt() != kItemCard) {
        return nullptr;
    }
    return reinterpret_cast<CCardInfo*>(pItem->data(0, kObjectRole).value<quintptr>());
}

CLinkInfo* CMarrowlarkDlg::ItemLink(const QTreeWidgetItem* pItem) const
{
    if (pItem == nullptr || pItem->data(0, kKindRole).toInt() != kItemLink) {
        return nullptr;
    }
    return reinterpret_cast<CLinkInfo*>(pItem->data(0, kObjectRole).value<quintptr>());
}

QTreeWidgetItem* CMarrowlarkDlg::CardItem(const CCardInfo* pCard) const
{
    const int nIndex = Project().IndexOf(pCard);
    return nIndex >= 0 && nIndex < Tree()->topLevelItemCount() ? Tree()->topLevelItem(nIndex) : nullptr;
}

void CMarrowlarkDlg::SetCardLabel(QTreeWidgetItem* pCardItem)
{
    const CCardInfo* pCard = ItemCard(pCardItem);
    if (pCard == nullptr) {
        return;
    }
    const int nPosition = Tree()->indexOfTopLevelItem(pCardItem) + 1;
    pCardItem->setText(0, QString::fromStdString(CardLabel(*pCard, nPosition)));
}

void CMarrowlarkDlg::SetLinkLabel(QTreeWidgetItem* pLinkItem)
{
    const CLinkInfo* pLink = ItemLink(pLinkItem);
    if (pLink == nullptr) {
        return;
    }
    pLinkItem->setText(0, QString::fromStdString(LinkLabel(*pLink, TargetTitles())));
    SetCardLabel(pLinkItem->parent());
}

std::vector<std::string> CMarrowlarkDlg::TargetTitles() const
{
    std::vector<std::string> titles;
    titles.reserve(Project().CardCount());
    for (const auto& pCard : Project().Cards()) {
        titles.push_back(pCard->m_strTitle);
    }
    return titles;
}

void CMarrowlarkDlg::RelabelAll()
{
    const std::vector<std::string> titles = TargetTitles();
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* pCardItem = Tree()->topLevelItem(i);
        for (int c = 0; c < pCardItem->childCount(); ++c) {
            QTreeWidgetItem* pLinkItem = pCardItem->child(c);
            if (const CLinkInfo* pLink = ItemLink(pLinkItem)) {
                pLinkItem->setText(0, QString::fromStdString(LinkLabel(*pLink, titles)));
            }
        }
        SetCardLabel(pCardItem);
    }
}

void CMarrowlarkDlg::RelabelLinksTo(int nTarget)
{
    // Only links that lead to the card show its title; a keystroke in a large project touches
    // those alone.
    const std::vector<std::string> titles = TargetTitles();
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* pCardItem = Tree()->topLevelItem(i);
        for (int c = 0; c < pCardItem->childCount(); ++c) {
            QTreeWidgetItem* pLinkItem = pCardItem->child(c);
            if (const CLinkInfo* pLink = ItemLink(pLinkItem);
                pLink != nullptr && pLink->m_nTarget == nTarget) {
                pLinkItem->setText(0, QString::fromStdString(LinkLabel(*pLink, titles)));
            }
        }
    }
}

void CMarrowlarkDlg::InsertTargetEntry(int nIndex, const QString& strTitle)
{
    m_pUi->comboTarget->insertItem(nIndex, strTitle);
    m_pUi->comboCompareTarget->insertItem(nIndex, strTitle);
}

void CMarrowlarkDlg::RemoveTargetEntry(int nIndex)
{
    m_pUi->comboTarget->removeItem(nIndex);
    m_pUi->comboCompareTarget->removeItem(nIndex);
}

void CMarrowlarkDlg::OnSelectionChanged(QTreeWidgetItem* pCurrent)
{
    if (!m_bTreeReady) {
        return;
    }
    Tree()->setFocus();
    if (CLinkInfo* pLink = ItemLink(pCurrent)) {
        const CCardInfo* pBefore = Project().CurrentCard();
        Project().SelectLink(pLink);
        ShowLink(pLink);
        if (Project().CurrentCard() != pBefore) {
            RefreshPreview(0);
        }
        m_pUi->editLinkTitle->setFocus();
    } else if (CCardInfo* pCard = ItemCard(pCurrent)) {
        ShowCard(pCard);
        RefreshPreview(1);
        m_pUi->editTitle->setFocus();
    } else {
        ShowCard(nullptr);
    }
}

// ---- The panel ------------------------------------------------------------------------------

void CMarrowlarkDlg::SetPanelFace(bool bCardPanel)
{
    m_pUi->stackPanel->setCurrentWidget(bCardPanel ? m_pUi->pageCard : m_pUi->pageLink);
    m_app.m_bCardPanel = bCardPanel;
}

void CMarrowlarkDlg::ShowCard(CCardInfo* pCard)
{
    SetPanelFace(true);
    Project().SelectCard(pCard);
    // With the card itself selected there is no current link: a new link goes to its end.
    Project().ClearCurrentLink();
    m_bFilling = true;
    m_bPreviewPending = false;
    m_pUi->editTitle->setText(pCard != nullptr ? QString::fromStdString(pCard->m_strTitle) : QString());
    m_pUi->editComment->setPlainText(pCard != nullptr ? CommentToDisplay(pCard->m_strComment) : QString());
    m_pUi->CHKEmailSend->setChecked(pCard != nullptr && pCard->m_bEmail != 0);
    m_pUi->btnTitleColour->SetColour(ToQColor(pCard != nullptr ? pCard->m_strTitleColor : "#000000"));
    m_pUi->btnCommentColour->SetColour(ToQColor(pCard != nullptr ? pCard->m_strCommentColor : "#000000"));
    m_bFilling = false;
}

void CMarrowlarkDlg::ShowLink(CLinkInfo* pLink)
{
    // Every edit of the link panel reaches the link at once, so there is nothing to write back
    // into the link shown before: a destroyed link is never written.
    m_bFilling = true;
    m_bPreviewPending = false;
    const auto select = [](QComboBox* pCombo, int32_t nIndex) {
        pCombo->setCurrentIndex(nIndex >= 0 && nIndex < pCombo->count() ? nIndex : -1);
    };
    if (pLink != nullptr) {
        SetPanelFace(false);
        Project().SelectLink(pLink);
        m_pUi->editLinkTitle->setText(QString::fromStdString(pLink->m_strTitle));
        select(m_pUi->comboTarget, pLink->m_nTarget);
        select(m_pUi->comboCompareTarget, pLink->m_nCompareTarget);
        m_pUi->editScore->setValue(pLink->m_nScore);
        m_pUi->editCompareValue->setValue(pLink->m_nCompareValue);
        m_pUi->comboCompare->setCurrentIndex(CompareOperatorIndex(pLink->m_strCompare));
    } else {
        Project().ClearCurrentLink();
        m_pUi->editLinkTitle->clear();
        m_pUi->comboTarget->setCurrentIndex(-1);
        m_pUi->comboCompareTarget->setCurrentIndex(-1);
        m_pUi->editScore->setValue(0);
        m_pUi->editCompareValue->setValue(0);
    }
    m_bFilling = false;
    if (pLink != nullptr) {
        SetLinkLabel(Tree()->currentItem());
    }
}

void CMarrowlarkDlg::RefreshUnlessFlash()
{
    if (IsFlashBackground()) {
        m_bPreviewPending = true;
    } else {
        RefreshPreview(0);
    }
}

void CMarrowlarkDlg::OnTitleEdited(const QString& strText)
{
    CCardInfo* pCard = Project().CurrentCard();
    if (m_bFilling || pCard == nullptr || !m_app.m_bCardPanel) {
        return;
    }
    pCard->m_strTitle = strText.toStdString();
    const int nIndex = Project().IndexOf(pCard);
    m_pUi->comboTarget->setItemText(nIndex, strText);
    m_pUi->comboCompareTarget->setItemText(nIndex, strText);
    SetCardLabel(CardItem(pCard));
    RelabelLinksTo(nIndex);
    RefreshUnlessFlash();
}

void CMarrowlarkDlg::OnTitleFocusLost()
{
    CCardInfo* pCard = Project().CurrentCard();
    if (pCard == nullptr || !m_app.m_bCardPanel || !m_bPreviewPending) {
        return;
    }
    m_bPreviewPending = false;
    RefreshPreview(0);
}

void CMarrowlarkDlg::OnCommentChanged()
{
    CCardInfo* pCard = Project().CurrentCard();
    if (m_bFilling || pCard == nullptr || !m_app.m_bCardPanel) {
        return;
    }
    try {
        pCard->m_strComment = CommentFromDisplay(m_pUi->editComment->toPlainText());
        RefreshUnlessFlash();
    } catch (const std::exception&) {
        m_app.ReportError(QStringLiteral("Error in CMarrowlarkDlg::OnChangeEditComment"));
    }
}

void CMarrowlarkDlg::OnCommentFocusLost()
{
    OnTitleFocusLost();
}

void CMarrowlarkDlg::OnColourChosen(bool bTitle, const QColor& colour)
{
    CCardInfo* pCard = Project().CurrentCard();
    if (pCard == nullptr) {
        return;
    }
    const std::string strColour = FormatColour(CColour { static_cast<uint8_t>(colour.red()),
        static_cast<uint8_t>(colour.green()), static_cast<uint8_t>(colour.blue()) });
    (bTitle ? pCard->m_strTitleColor : pCard->m_strCommentColor) = strColour;
    RefreshPreview(0);
}

void CMarrowlarkDlg::EmailClicked()
{
    CCardInfo* pCard = Project().CurrentCard();
    if (pCard == nullptr) {
        return;
    }
    SaveProject(true);
    pCard->m_bEmail = m_pUi->CHKEmailSend->isChecked() ? 1 : 0;
}

void CMarrowlarkDlg::OnLinkTitleEdited(const QString& strText)
{
    CLinkInfo* pLink = Project().CurrentLink();
    if (m_bFilling || pLink == nullptr) {
        return;
    }
    pLink->m_strTitle = strText.toStdString();
    SetLinkLabel(Tree()->currentItem());
    RefreshUnlessFlash();
}

void CMarrowlarkDlg::OnLinkTitleFocusLost()
{
    CLinkInfo* pLink = Project().CurrentLink();
    if (pLink == nullptr || !m_bPreviewPending) {
        return;
    }
    try {
        m_bPreviewPending = false;
        RefreshPreview(0);
    } catch (const std::exception&) {
        m_app.ReportError(QStringLiteral("Error in CMarrowlarkDlg::OnKillfocusEditLinktitle"));
    }
}

void CMarrowlarkDlg::OnTargetActivated(int nIndex)
{
    if (CLinkInfo* pLink = Project().CurrentLink(); pLink != nullptr && !m_bFilling) {
        pLink->m_nTarget = nIndex;
        SetLinkLabel(Tree()->currentItem());
    }
}

void CMarrowlarkDlg::OnCompareActivated(int nIndex)
{
    const std::vector<std::string>& operators = CompareOperators();
    if (CLinkInfo* pLink = Project().CurrentLink();
        pLink != nullptr && !m_bFilling && nIndex >= 0 && static_cast<size_t>(nIndex) < operators.size()) {
        pLink->m_strCompare = operators[static_cast<size_t>(nIndex)];
    }
}

void CMarrowlarkDlg::OnScoreChanged(int nValue)
{
    if (CLinkInfo* pLink = Project().CurrentLink(); pLink != nullptr && !m_bFilling) {
        try {
            pLink->m_nScore = nValue;
            SetLinkLabel(Tree()->currentItem());
        } catch (const std::exception&) {
            m_app.ReportError(QStringLiteral("Error in CMarrowlarkDlg::OnChangeEditLinkscore"));
        }
    }
}

void CMarrowlarkDlg::OnCompareValueChanged(int nValue)
{
    if (CLinkInfo* pLink = Project().CurrentLink(); pLink != nullptr && !m_bFilling) {
        pLink->m_nCompareValue = nValue;
    }
}

void CMarrowlarkDlg::OnCompareTargetActivated(int nIndex)
{
    if (CLinkInfo* pLink = Project().CurrentLink(); pLink != nullptr && !m_bFilling) {
        pLink->m_nCompareTarget = nIndex;
    }
}

// ---- Adding and deleting -------------------------------------------------------------------

void CMarrowlarkDlg::AddCard(EInsertPos pos)
{
    int nIndex = 0;
    try {
        nIndex = Project().InsertCard(pos);
    } catch (const CProjectLimitError& error) {
        ShowNotice(QString::fromUtf8(error.what()));
        Tree()->update();
        return;
    }
    CCardInfo& card = Project().Card(static_cast<size_t>(nIndex));
    InsertTargetEntry(nIndex, QString::fromStdString(card.m_strTitle));
    QTreeWidgetItem* pItem = AddCardItem(nIndex, card);
    // Later untitled cards are numbered by position, so every label is made again.
    RelabelAll();
    Tree()->setCurrentItem(pItem);
    Tree()->update();
}

void CMarrowlarkDlg::DeleteCard()
{
    EPromptAnswer answer = EPromptAnswer::No;
    {
        const CMarrowlarkApp::CModalScope modal(m_app);
        answer = m_app.Prompts().MessageBox(QStringLiteral("Do you really want to delete this card?"),
            EPromptButtons::YesNo, EPromptIcon::Question);
    }
    if (answer != EPromptAnswer::Yes) {
        return;
    }
    QTreeWidgetItem* pItem = Tree()->currentItem();
    if (ItemLink(pItem) != nullptr) {
        return;
    }
    CCardInfo* pCard = ItemCard(pItem);
    if (pCard == nullptr) {
        ShowNotice(QStringLiteral("Please select a card before deleting."));
        return;
    }
    const int nIndex = Tree()->indexOfTopLevelItem(pItem);
    RemoveTargetEntry(nIndex);
    m_pReports->ForgetCard(pCard);
    if (m_pPreviewCard == pCard) {
        m_pPreviewCard = nullptr;
    }
    // The card and its links are gone with the cursors that pointed at them; the item the tree
    // selects next becomes current through the selection change.
    Project().DeleteCard(static_cast<size_t>(nIndex));
    delete pItem;
    RelabelAll();
    if (Tree()->topLevelItemCount() == 0) {
        ShowCard(nullptr);
    }
}

void CMarrowlarkDlg::AddLink(EInsertPos pos)
{
    CCardInfo* pCard = Project().CurrentCard();
    if (pCard == nullptr) {
        return;
    }
    CLinkInfo* pLink = nullptr;
    try {
        pLink = Project().AddLink(pos);
    } catch (const CProjectLimitError& error) {
        ShowNotice(QString::fromUtf8(error.what()));
        Tree()->update();
        return;
    }
    if (pLink == nullptr) {
        return;
    }
    const CLinkList& list = *pCard->LinkList();
    const auto it =
        std::find_if(list.begin(), list.end(), [pLink](const auto& p) { return p.get() == pLink; });
    const int nPosition = static_cast<int>(it - list.begin());
    QTreeWidgetItem* pCardItem = CardItem(pCard);
    const bool bFirstChild = pCardItem->childCount() == 0;
    QTreeWidgetItem* pItem = AddLinkItem(pCardItem, nPosition, *pLink);
    if (bFirstChild) {
        pCardItem->setExpanded(true);
    }
    Tree()->setCurrentItem(pItem);
    SetLinkLabel(pItem);
    RefreshPreview(0);
    Tree()->update();
}

void CMarrowlarkDlg::RemoveLink()
{
    QTreeWidgetItem* pItem = Tree()->currentItem();
    CLinkInfo* pLink = ItemLink(pItem);
    if (pLink == nullptr) {
        return;
    }
    try {
        CCardInfo* pCard = Project().CardOfLink(pLink);
        Project().SelectLink(pLink);
        Project().RemoveLink();
        pItem->setData(0, kObjectRole, QVariant());
        pItem->setData(0, kKindRole, QVariant());
        QTreeWidgetItem* pCardItem = pItem->parent();
        m_bTreeReady = false;
        delete pItem;
        m_bTreeReady = true;
        SetCardLabel(pCardItem);
        Project().SelectCard(pCard);
        RefreshPreview(0);
        QTreeWidgetItem* pNext = Tree()->currentItem();
        if (CLinkInfo* pNextLink = ItemLink(pNext); pNextLink != nullptr && pNext->parent() == pCardItem) {
            ShowLink(pNextLink);
        } else {
            m_bTreeReady = false;
            Tree()->setCurrentItem(pCardItem);
            m_bTreeReady = true;
            ShowCard(pCard);
        }
    } catch (const std::exception&) {
        m_bTreeReady = true;
        m_app.ReportError(QStringLiteral("Exception in CMarrowlarkDlg::OnBtnRemovelink"));
    }
}

void CMarrowlarkDlg::CardBackground()
{
    CCardInfo* pCard = Project().CurrentCard();
    if (pCard == nullptr) {
        return;
    }
    std::optional<CLookChoice> choice;
    {
        const CMarrowlarkApp::CModalScope modal(m_app);
        choice =
            m_app.Services().m_pDialogs->CardBackground(*this, pCard->m_strBackground, pCard->m_nBgAlign);
    }
    if (choice) {
        pCard->m_strBackground =
            choice->m_bFromList ? "Background\\" + choice->m_strValue : choice->m_strValue;
        pCard->m_bUseProjectBg = 0;
        pCard->m_nBgAlign = choice->m_nAlign;
    }
    RefreshPreview(1);
}

// ---- The preview ----------------------------------------------------------------------------

bool CMarrowlarkDlg::IsFlashBackground() const
{
    const auto hasSwf = [](const std::string& strValue) {
        std::string strLower = strValue;
        std::transform(strLower.begin(), strLower.end(), strLower.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return strLower.find(".swf") != std::string::npos;
    };
    const CCardInfo* pCard = Project().CurrentCard();
    return (pCard != nullptr && hasSwf(pCard->m_strBackground)) || hasSwf(Project().m_settings.m_strButton);
}

void CMarrowlarkDlg::RefreshPreview(int bForce)
{
    if (!m_bPreviewReady) {
        return;
    }
    CCardInfo* pCard = Project().CurrentCard();
    const int nIndex = Project().IndexOf(pCard);
    if (nIndex < 0) {
        return;
    }
    // A new name each time: the player never reads a file that is being written.
    const QString strPath = QStringLiteral("%1/%2_%3.swf")
                                .arg(TempFolder())
                                .arg(nIndex)
                                .arg(QRandomGenerator::global()->bounded(1000));
    m_pReports->BeginPreview(pCard);
    m_pGenerator->GenerateSWF(strPath.toStdString(), pCard, bForce, nIndex);
    m_pReports->EndPreview();
    m_pPreviewCard = pCard;
    // A movie that could not be written has been reported by generation already.
    if (m_pPlayer != nullptr && QFile::exists(strPath)) {
        m_pPlayer->LoadMovie(0, strPath);
    }
    QFile::remove(strPath);
}

void CMarrowlarkDlg::OnPreviewLoadFailed(const QString& /*strReason*/)
{
    m_pReports->ReportPreviewError(
        m_pPreviewCard, "Bad generation of flash document. Please restart the program or contact us.");
}

void CMarrowlarkDlg::NoticeMissingFiles()
{
    const std::filesystem::path home(m_app.GetInstallDir().toStdU16String());
    std::vector<std::string> missing;
    const auto check = [&](const std::string& strValue) {
        if (strValue.empty() || IsColourValue(strValue)) {
            return;
        }
        const std::filesystem::path file = ResolveLookPath(strValue, home);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error) &&
            std::find(missing.begin(), missing.end(), strValue) == missing.end()) {
            missing.push_back(strValue);
        }
    };
    const CProjectSettings& settings = Project().m_settings;
    check(settings.m_strBackground);
    check(settings.m_strButton);
    check(settings.m_strMusic);
    for (const auto& pCard : Project().Cards()) {
        if (pCard->m_bUseProjectBg == 0) {
            check(pCard->m_strBackground);
        }
    }
    if (missing.empty()) {
        return;
    }
    QString strText = QStringLiteral("Some files of this project were not found; the cards show their colour "
                                     "instead until they are back:");
    for (const std::string& strValue : missing) {
        strText += QStringLiteral("\n    ") + QString::fromStdString(strValue);
    }
    ShowNotice(strText);
}
