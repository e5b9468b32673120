// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/dialogs/EditorDialogs.h"

#include "editor/addbg/DlgAddBg.h"
#include "editor/addbg/ThumbnailCache.h"
#include "editor/app/MarrowlarkApp.h"
#include "editor/export/ExportCommands.h"
#include "editor/finish/DlgFinish.h"
#include "editor/finish/GiftMail.h"
#include "editor/mainwindow/MarrowlarkDlg.h"
#include "editor/music/DlgMusic.h"
#include "editor/preview/DlgPreview.h"
#include "editor/settings/DlgProjectSettings.h"
#include "generate/Generator.h"
#include "publish/LockedArchive.h"
#include "publish/PhotoAlbum.h"

#include <QSize>
#include <QTreeWidget>

CEditorDialogs::CEditorDialogs(QString strAppDir, IPrompts& prompts, ISoundPlayer* pSound, IMailer* pMailer)
    : m_buildArchive(BuildLockedArchive)
    , m_buildAlbum(BuildPhotoAlbum)
    , m_strOutgoingFolder(OutgoingMailFolder())
    , m_strAppDir(std::move(strAppDir))
    , m_prompts(prompts)
    , m_pSound(pSound)
    , m_pMailer(pMailer)
    , m_pThumbnails(std::make_unique<CThumbnailCache>())
{
}

CEditorDialogs::~CEditorDialogs() = default;

CDialogServices CEditorDialogs::ServicesFor(CMarrowlarkDlg& window) const
{
    CMarrowlarkApp& app = window.App();
    CDialogServices services;
    services.m_strAppDir = app.GetInstallDir();
    services.m_pPrompts = &app.Prompts();
    services.m_pShell = app.Services().m_pShell;
    services.m_pProjector = app.Services().m_pProjector;
    services.m_pSound = m_pSound;
    services.m_makePlayer = app.Services().m_makePlayer;
    services.m_log = [&app](const QString& strLine) { app.LogText(strLine); };
    return services;
}

std::optional<CLookChoice> CEditorDialogs::PickLook(const CDialogServices& services, QWidget* pParent,
    bool bButton, const std::string& strValue, int32_t nAlign)
{
    CDlgAddBg dialog(
        services, *m_pThumbnails, bButton ? ELookFolder::Button : ELookFolder::Background, pParent);
    dialog.SetValue(strValue);
    dialog.SetPlacementCode(nAlign);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return CLookChoice { dialog.Value(), dialog.Source() == CDlgAddBg::kSourceList, dialog.PlacementCode() };
}

bool CEditorDialogs::ProjectSettings(CMarrowlarkDlg& window)
{
    const CDialogServices services = ServicesFor(window);
    CDlgProjectSettings::CSubDialogs subDialogs;
    subDialogs.m_editLook = [this, services](
                                QWidget* pParent, bool bButton, const std::string& strValue, int32_t nAlign) {
        return PickLook(services, pParent, bButton, strValue, nAlign);
    };
    subDialogs.m_editMusic = [services](QWidget* pParent, const std::string& strValue,
                                 int nSource) -> std::optional<CMusicChoice> {
        CDlgMusic dialog(services, pParent);
        dialog.SetSource(nSource);
        dialog.SetValue(strValue);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return CMusicChoice { dialog.Value(), dialog.Source() == CDlgMusic::kSourceSamples };
    };
    CDlgProjectSettings dialog(
        services, window.Project(), window.Generator(), std::move(subDialogs), &window);
    const bool bOk = dialog.exec() == QDialog::Accepted;
    // What the Edit buttons chose is in the project even after Cancel: the preview must show it.
    return bOk || dialog.ProjectChanged();
}

std::optional<CLookChoice> CEditorDialogs::CardBackground(
    CMarrowlarkDlg& window, const std::string& strValue, int32_t nAlign)
{
    return PickLook(ServicesFor(window), &window, false, strValue, nAlign);
}

void CEditorDialogs::Preview(CMarrowlarkDlg& window)
{
    // The movie at opening has every picture prepared afresh; reloads reuse them.
    const QString strMovie = window.App().InstallPath("\\Temp\\preview.swf");
    CGenerator& generator = window.Generator();
    generator.GenerateSWF(strMovie.toStdString(), nullptr, 1, 0);
    const CProjectSettings& settings = window.Project().m_settings;
    CDlgPreview dialog(
        ServicesFor(window), strMovie, QSize(settings.m_nWidth, settings.m_nHeight),
        [&generator](const QString& strPath, int bForce) {
            generator.GenerateSWF(strPath.toStdString(), nullptr, bForce, 0);
        },
        &window);
    dialog.exec();
}

namespace {

// The whole gift from the window's generator.
WholeMovieFn WholeMovie(CMarrowlarkDlg& window)
{
    CGenerator& generator = window.Generator();
    return [&generator](const QString& strPath, int bForce) {
        generator.GenerateSWF(strPath.toStdString(), nullptr, bForce, 0);
    };
}

} // namespace

void CEditorDialogs::Finish(CMarrowlarkDlg& window)
{
    const CDialogServices services = ServicesFor(window);
    const WholeMovieFn generate = WholeMovie(window);
    CDlgFinish dialog(services, generate, &window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    CFinishFlow flow(services, m_pMailer, &window);
    flow.m_buildArchive = m_buildArchive;
    flow.m_strOutgoingFolder = m_strOutgoingFolder;
    flow.m_strOriginator = QString::fromStdString(window.Project().m_settings.m_strEmail);
    flow.Run(dialog.Choice(), generate);
}

void CEditorDialogs::PrintCurrentCard(CMarrowlarkDlg& window)
{
    // The selected card, or the card of the selected link.
    QTreeWidgetItem* pItem = window.Tree()->currentItem();
    if (pItem == nullptr) {
        return;
    }
    if (pItem->parent() != nullptr) {
        pItem = pItem->parent();
    }
    const int nIndex = window.Tree()->indexOfTopLevelItem(pItem);
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= window.Project().CardCount()) {
        return;
    }
    const CCardInfo* pCard = &window.Project().Card(static_cast<size_t>(nIndex));
    CGenerator& generator = window.Generator();
    CExportCommands commands(
        ServicesFor(window), [&window](const QString& strText) { window.ShowNotice(strText); });
    commands.PrintCurrentCard(nIndex, [&generator, pCard, nIndex](const QString& strPath) {
        generator.GenerateSWF(strPath.toStdString(), pCard, 0, nIndex);
    });
}

void CEditorDialogs::ExportSwf(CMarrowlarkDlg& window)
{
    CExportCommands commands(
        ServicesFor(window), [&window](const QString& strText) { window.ShowNotice(strText); });
    if (m_hasFlashProgram) {
        commands.m_hasFlashProgram = m_hasFlashProgram;
    }
    commands.ExportSwf(WholeMovie(window));
}

void CEditorDialogs::ExportExe(CMarrowlarkDlg& window)
{
    CExportCommands commands(
        ServicesFor(window), [&window](const QString& strText) { window.ShowNotice(strText); });
    commands.ExportExe(WholeMovie(window));
}

void CEditorDialogs::PhotoAlbum(CMarrowlarkDlg& window)
{
    CAlbumCommand command(ServicesFor(window), &window);
    command.m_buildAlbum = m_buildAlbum;
    command.Run();
}
