// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/addbg/LookFolder.h"
#include "editor/addbg/LookPlacement.h"
#include "editor/dialogs/DialogServices.h"

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CThumbnailCache;

namespace Ui {
class DlgAddBg;
}

// "Add picture or color": chooses one look, a colour, a file of the installation's Background or
// Button folder, or a picture or Flash file from anywhere on disk, and for backgrounds also how the
// picture is placed. It only chooses; the caller reads the choice after OK and stores it.
class CDlgAddBg : public QDialog {
    Q_OBJECT
public:
    // Source() values.
    static constexpr int kSourceNone = -1;
    static constexpr int kSourceList = 0;
    static constexpr int kSourceColour = 1;
    static constexpr int kSourceDisk = 2;

    static constexpr QSize kPreviewSize { 120, 80 };

    // The thumbnails are taken from the cache, which the caller keeps for the whole run.
    CDlgAddBg(const CDialogServices& services, CThumbnailCache& thumbnails, ELookFolder folder,
        QWidget* pParent = nullptr);
    ~CDlgAddBg() override;

    // Before the dialog is shown: the current look and its placement code (buttons get the code
    // back unchanged).
    void SetValue(const std::string& strValue);
    void SetPlacementCode(int32_t nCode);

    // After OK: a file of the list as its bare name, a colour as "#RRGGBB", a file from disk as its
    // path; unchanged when no source was chosen.
    [[nodiscard]] const std::string& Value() const { return m_strValue; }
    [[nodiscard]] int Source() const { return m_nSource; }
    [[nodiscard]] int32_t PlacementCode() const { return m_nPlacementCode; }

    // The dialog fills itself on its first showing, after the caller has set the value.
    void setVisible(bool bVisible) override;

    // The small picture that stands for a movie or a DBL in the preview box.
    [[nodiscard]] static QPixmap MoviePlaceholder(QSize size);

private:
    void OnInitDialog();
    void FillList();
    void ShowValue();
    void ShowPlacement();
    void UpdatePlacementControls();
    void CheckSource(int nSource);
    void ShowDiskFile(const QString& strPath, const std::optional<QImage>& thumbnail);

    void OnColourChosen();
    void OnListClicked();
    void OnBrowse();
    void OnPreview();
    void OnOk();
    // Ends the dialog with this choice and the placement the controls show.
    void AcceptWith(std::string strValue, int nSource);

    [[nodiscard]] bool FlashFileAccepted(const QString& strPath) const;
    [[nodiscard]] int CheckedSource() const;

    std::unique_ptr<Ui::DlgAddBg> m_pUi;
    CDialogServices m_services;
    CThumbnailCache& m_thumbnails;
    ELookFolder m_folder;
    QSize m_thumbnailSize;

    std::string m_strValue;
    int m_nSource = kSourceNone;
    int32_t m_nPlacementCode = 4;
    CLookPlacement m_placement;
    // The file chosen from disk (or the path value the dialog opened with).
    QString m_strPath;
    bool m_bInitialised = false;
};
