// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/mainwindow/EditorCommands.h"
#include "model/Project.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CEditorReports;
class CFlashPlayerWidget;
class CGenerator;
class IEditorDialogs;
class CMarrowlarkApp;
class CSkinForm;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class CMarrowlarkDlg;
}

// The editor's main window: the card tree, the card and link panel, the live preview of the
// current card and every command. Commands arrive from the popup menu, the skin's named buttons
// and the hot keys; the window owns the tree that mirrors the project's cards, the generator with
// the project fonts, and the recovery timer.
class CMarrowlarkDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRecoveryTimerMs = 15000;
    static constexpr int kPreviewInset = 2;

    // Constructs and initialises the window: player, Temp, menu, recovery timer, skin, then the
    // project (m_strProjectPath of the application, or the starter project) with its first card
    // selected. A skin that fails to load closes the window before the project is touched.
    explicit CMarrowlarkDlg(CMarrowlarkApp& app, QWidget* pParent = nullptr);
    ~CMarrowlarkDlg() override;

    // Runs a command by its menu or control id; false for an id the window does not know.
    bool RunCommand(int nCommandId);

    // The commands.
    void NewProject();
    void OpenProject();
    enum class ESaveResult { Saved, NothingToSave, Cancelled, Failed };
    // The interactive save (a file dialog, then a message on success) or the recovery copy.
    ESaveResult SaveProject(bool bTemporary);
    // Replaces the project with the file's content; a file that cannot be read leaves the open
    // project as it was.
    void LoadProject(const QString& strPath);
    void ProjectSettings();
    void ShowGuide();
    void Preview();
    void Finish();
    void PlaySample(const QString& strRelative);
    void ShowHelp();
    void StartPackageManager();
    void ExpandAllCards(bool bExpand);
    void EditCommand(EEditCommand command);
    void ShowHotKeys();
    void ShowTip();
    void ShowAbout();
    void AddCard(EInsertPos pos);
    void DeleteCard();
    void AddLink(EInsertPos pos);
    void RemoveLink();
    void CardBackground();
    void EmailClicked();

    // Regenerates the current card alone and shows it; bForce 1 prepares its pictures again.
    void RefreshPreview(int bForce);
    // The notice balloon at the preview's lower right corner.
    void ShowNotice(const QString& strText);
    // True when the current card's background or the project's button is a Flash file: typing
    // then waits for the field to lose the focus before the preview is made again.
    [[nodiscard]] bool IsFlashBackground() const;

    // One tick of the recovery timer: writes the recovery copy unless a box or dialog is open.
    void OnRecoveryTimer();

    [[nodiscard]] bool IsInitialised() const { return m_bInitialised; }
    [[nodiscard]] CMarrowlarkApp& App() const { return m_app; }
    [[nodiscard]] CProject& Project() const;
    [[nodiscard]] CGenerator& Generator() const { return *m_pGenerator; }
    [[nodiscard]] CFlashPlayerWidget* Player() const { return m_pPlayer; }
    [[nodiscard]] QTreeWidget* Tree() const;
    [[nodiscard]] QMenu* PopupMenu() const { return m_pPopup; }
    [[nodiscard]] CSkinForm* SkinForm() const { return m_pSkinForm; }
    [[nodiscard]] QTimer& RecoveryTimer() { return m_recoveryTimer; }
    // The screen point the notices are shown at.
    [[nodiscard]] QPoint NoticePoint() const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    // Escape does nothing: the window closes through Close only.
    void reject() override { }

private:
    // Initialisation.
    void CreatePlayer();
    void BuildPopupMenu();
    void ConnectPanel();
    void InstallHotKeys();
    [[nodiscard]] bool LoadSkin();
    void OnSkinClick(const QString& strObject);
    void OnSkinState(const QString& strObject, int nState, int nArg2, int nArg3);
    void ShowPopupMenu();

    // Opens one of the dialogs that change nothing the window has to mend afterwards.
    void RunDialog(void (IEditorDialogs::*dialog)(CMarrowlarkDlg&));
    // Clears the open project (when bClear), then builds the starter project and opens the
    // project settings.
    void StartNewProject(bool bClear);
    // The close question and save; false when the window stays open.
    [[nodiscard]] bool ConfirmClose();
    // Asks whether to save the open project before it is replaced; false when the command stops.
    [[nodiscard]] bool ConfirmReplace();

    // The tree and the target lists.
    void ClearProject();
    void RebuildTree();
    QTreeWidgetItem* AddCardItem(int nIndex, CCardInfo& card);
    QTreeWidgetItem* AddLinkItem(QTreeWidgetItem* pCardItem, int nPosition, CLinkInfo& link);
    [[nodiscard]] QTreeWidgetItem* CardItem(const CCardInfo* pCard) const;
    [[nodiscard]] CCardInfo* ItemCard(const QTreeWidgetItem* pItem) const;
    [[nodiscard]] CLinkInfo* ItemLink(const QTreeWidgetItem* pItem) const;
    void SetCardLabel(QTreeWidgetItem* pCardItem);
    void SetLinkLabel(QTreeWidgetItem* pLinkItem);
    void RelabelAll();
    void RelabelLinksTo(int nTarget);
    // The target list's entries: the card titles in order.
    [[nodiscard]] std::vector<std::string> TargetTitles() const;
    void InsertTargetEntry(int nIndex, const QString& strTitle);
    void RemoveTargetEntry(int nIndex);
    void OnSelectionChanged(QTreeWidgetItem* pCurrent);

    // The panel.
    void ShowCard(CCardInfo* pCard);
    void ShowLink(CLinkInfo* pLink);
    void SetPanelFace(bool bCardPanel);
    void OnTitleEdited(const QString& strText);
    void OnTitleFocusLost();
    void OnCommentChanged();
    void OnCommentFocusLost();
    void OnColourChosen(bool bTitle, const QColor& colour);
    void OnLinkTitleEdited(const QString& strText);
    void OnLinkTitleFocusLost();
    void OnTargetActivated(int nIndex);
    void OnCompareActivated(int nIndex);
    void OnScoreChanged(int nValue);
    void OnCompareValueChanged(int nValue);
    void OnCompareTargetActivated(int nIndex);
    void RefreshUnlessFlash();
    void OnPreviewLoadFailed(const QString& strReason);
    // After a load: one notice naming every picture, Flash file and music the project refers to
    // that is not on disk.
    void NoticeMissingFiles();

    [[nodiscard]] QString TempFolder() const;

    CMarrowlarkApp& m_app;
    std::unique_ptr<Ui::CMarrowlarkDlg> m_pUi;
    std::unique_ptr<CEditorReports> m_pReports;
    std::unique_ptr<CGenerator> m_pGenerator;
    CFlashPlayerWidget* m_pPlayer = nullptr;
    QMenu* m_pPopup = nullptr;
    CSkinForm* m_pSkinForm = nullptr;
    QTimer m_recoveryTimer;

    bool m_bInitialised = false;
    bool m_bTreeReady = true;
    bool m_bPreviewReady = true;
    // Set while the window fills the panel's controls: the edit handlers ignore those changes.
    bool m_bFilling = false;
    // A typed change whose preview waits for the field to lose the focus (a Flash background).
    bool m_bPreviewPending = false;
    // The recovery copy failed and the user has been told; later failures are only logged.
    bool m_bRecoveryFailureShown = false;
    // Interactive saves that completed, so a save that goes through an error report's own save
    // can tell whether the project reached a file.
    int m_nSavesCompleted = 0;
    // The card of the latest preview, for the report of a movie that failed to load.
    const CCardInfo* m_pPreviewCard = nullptr;
};
