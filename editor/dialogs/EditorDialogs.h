// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/album/AlbumCommand.h"
#include "editor/dialogs/DialogServices.h"
#include "editor/finish/FinishFlow.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class CMarrowlarkDlg;
class CThumbnailCache;
class IMailer;
class QWidget;

// What the background picker hands back: a look value and its placement code. A value picked from
// the installation's list is a bare file name (the caller stores "Background\" + name); a colour
// or a browsed file is the value itself.
struct CLookChoice {
    std::string m_strValue;
    bool m_bFromList = false;
    int32_t m_nAlign = 4;
};

// The editor's dialogs as the main window opens them. Each is modal; the window does its own part
// around the call (the recovery copy before, the preview refresh after). Tests script a fake.
class IEditorDialogs {
public:
    enum class EOpenResult { Ok, New, Cancel };

    virtual ~IEditorDialogs() = default;

    // The open-project dialog: Ok with the chosen project file in strPath, New, or Cancel.
    virtual EOpenResult OpenProject(QWidget* pParent, QString& strPath) = 0;
    // Project settings on the window's project; true when it ended with OK or changed the project
    // all the same (its Edit buttons apply their choice at once).
    virtual bool ProjectSettings(CMarrowlarkDlg& window) = 0;
    // The card background picker preset with the card's value and placement; nothing on Cancel.
    virtual std::optional<CLookChoice> CardBackground(
        CMarrowlarkDlg& window, const std::string& strValue, int32_t nAlign) = 0;
    // The whole gift in the preview window.
    virtual void Preview(CMarrowlarkDlg& window) = 0;
    // The Finish flow.
    virtual void Finish(CMarrowlarkDlg& window) = 0;
    // The export commands of the menu.
    virtual void PrintCurrentCard(CMarrowlarkDlg& window) = 0;
    virtual void ExportSwf(CMarrowlarkDlg& window) = 0;
    virtual void ExportExe(CMarrowlarkDlg& window) = 0;
    // The photo album maker.
    virtual void PhotoAlbum(CMarrowlarkDlg& window) = 0;
};

// The editor's own dialogs and the publishing commands that run from them.
class CEditorDialogs : public IEditorDialogs {
public:
    // pSound plays the music dialog's MP3 previews; without one they stay silent. pMailer takes
    // the Finish flow's mail; without one the user is told that no mail program was found.
    CEditorDialogs(
        QString strAppDir, IPrompts& prompts, ISoundPlayer* pSound = nullptr, IMailer* pMailer = nullptr);
    ~CEditorDialogs() override;

    EOpenResult OpenProject(QWidget* pParent, QString& strPath) override;
    bool ProjectSettings(CMarrowlarkDlg& window) override;
    std::optional<CLookChoice> CardBackground(
        CMarrowlarkDlg& window, const std::string& strValue, int32_t nAlign) override;
    void Preview(CMarrowlarkDlg& window) override;
    void Finish(CMarrowlarkDlg& window) override;
    void PrintCurrentCard(CMarrowlarkDlg& window) override;
    void ExportSwf(CMarrowlarkDlg& window) override;
    void ExportExe(CMarrowlarkDlg& window) override;
    void PhotoAlbum(CMarrowlarkDlg& window) override;

    // The publishing work the commands hand off: the locked archive and the album (publish/ by
    // default), the folder of the staged mail attachments, and whether the desktop has a program
    // for Flash files (empty: ask xdg-mime). Tests script them.
    LockedArchiveFn m_buildArchive;
    PhotoAlbumFn m_buildAlbum;
    QString m_strOutgoingFolder;
    std::function<bool()> m_hasFlashProgram;

private:
    // The services of a dialog opened over the window: its prompts (which count as open boxes),
    // the desktop stand-ins and the player of the editor, and its log.
    [[nodiscard]] CDialogServices ServicesFor(CMarrowlarkDlg& window) const;
    // The picker of the folder (false: backgrounds, true: the button look) preset with the value and
    // placement; nothing on Cancel.
    std::optional<CLookChoice> PickLook(const CDialogServices& services, QWidget* pParent, bool bButton,
        const std::string& strValue, int32_t nAlign);

    QString m_strAppDir;
    IPrompts& m_prompts;
    ISoundPlayer* m_pSound = nullptr;
    IMailer* m_pMailer = nullptr;
    // The pickers' thumbnails for the whole run: a second opening decodes nothing.
    std::unique_ptr<CThumbnailCache> m_pThumbnails;
};
