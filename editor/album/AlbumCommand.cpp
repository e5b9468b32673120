// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/album/AlbumCommand.h"

#include "editor/dialogs/DialogPaths.h"
#include "editor/export/ExportTexts.h"
#include "editor/export/LeftOutText.h"
#include "editor/progress/ProgressRunner.h"
#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

CAlbumCommand::CAlbumCommand(const CDialogServices& services, QWidget* pParent)
    : m_services(services)
    , m_pParent(pParent)
{
}

CAlbumCommand::EEnd CAlbumCommand::Run()
{
    IPrompts& prompts = *m_services.m_pPrompts;
    const QString strFolder = prompts.BrowseFolder(LockFolderPrompt());
    if (strFolder.isEmpty()) {
        return EEnd::Cancelled;
    }
    const QString strMovie = prompts.SaveFile(AlbumFileFilter(), QStringLiteral("swf"), QString(), true);
    if (strMovie.isEmpty()) {
        return EEnd::Cancelled;
    }
    if (!m_buildAlbum) {
        prompts.MessageBox(tr("The photo album could not be created:\nthis build cannot make albums."),
            EPromptButtons::Ok, EPromptIcon::Stop);
        return EEnd::Failed;
    }

    const std::filesystem::path folder = ToPath(strFolder);
    const std::filesystem::path movie = ToPath(strMovie);
    const std::filesystem::path scratch = ToPath(AppPath(m_services.m_strAppDir, "\\Temp"));
    CProgressRunner runner(m_pParent, tr("Create Photo Album"), [](uint64_t nDone, uint64_t nTotal) {
        if (nTotal == 0) {
            return tr("Looking for pictures...");
        }
        // The picture being added; the last figure stays on the last picture.
        const uint64_t nCurrent = nDone < nTotal ? nDone + 1 : nTotal;
        return tr("picture %1 of %2").arg(nCurrent).arg(nTotal);
    });
    const CPublishResult result = runner.RunPublishing(
        [&](const PublishProgressFn& progress) { return m_buildAlbum(folder, movie, scratch, progress); });

    switch (result.m_outcome) {
    case EPublishOutcome::Cancelled:
        return EEnd::Cancelled;
    case EPublishOutcome::Failed:
        prompts.MessageBox(
            tr("The photo album could not be created:\n%1").arg(QString::fromStdString(result.m_strError)),
            EPromptButtons::Ok, EPromptIcon::Stop);
        return EEnd::Failed;
    case EPublishOutcome::Written:
        break;
    }
    if (!result.m_leftOut.empty()) {
        prompts.MessageBox(tr("These pictures were left out of the album:") + QLatin1Char('\n') +
                LeftOutLines(result.m_leftOut, folder),
            EPromptButtons::Ok, EPromptIcon::Warning);
    }
    const EPromptAnswer answer =
        prompts.MessageBox(AlbumDoneQuestion(), EPromptButtons::YesNoCancel, EPromptIcon::Question);
    if (answer == EPromptAnswer::Yes) {
        if (m_services.m_pProjector != nullptr && !m_services.m_pProjector->ShowMovie(strMovie, false)) {
            prompts.MessageBox(PlayerNotStartedMessage(), EPromptButtons::Ok, EPromptIcon::Warning);
        }
    } else if (answer == EPromptAnswer::No && m_services.m_pShell != nullptr) {
        m_services.m_pShell->ShowInFolder(strMovie);
    }
    return EEnd::Asked;
}
