// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/export/ExportCommands.h"

#include "editor/dialogs/DialogPaths.h"
#include "editor/export/ExportTexts.h"
#include "platform/DesktopMime.h"
#include "platform/Projector.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

#include <QRandomGenerator>

#include <utility>

namespace {

// Print files are "<card>_<n>.swf" with n below this.
constexpr int kPrintNumbers = 1000;

} // namespace

CExportCommands::CExportCommands(const CDialogServices& services, NoticeFn notice)
    : m_services(services)
    , m_notice(std::move(notice))
{
    m_hasFlashProgram = [] { return !DefaultDesktopEntry(QString::fromLatin1(kFlashMimeType)).isEmpty(); };
    m_nextPrintNumber = [] { return static_cast<int>(QRandomGenerator::global()->bounded(kPrintNumbers)); };
}

void CExportCommands::ExportSwf(const WholeMovieFn& generate)
{
    IPrompts& prompts = *m_services.m_pPrompts;
    const QString strPath = prompts.SaveFile(GiftFileFilter(), QStringLiteral("swf"), QString(), true);
    if (strPath.isEmpty()) {
        return;
    }
    switch (WriteGiftMovie(generate, strPath)) {
    case EMovieWrite::Written:
        break;
    case EMovieWrite::NotGenerated:
        return;
    case EMovieWrite::NotReplaced:
        prompts.MessageBox(MovieNotReplacedMessage(strPath), EPromptButtons::Ok, EPromptIcon::Stop);
        return;
    }
    const EPromptAnswer answer =
        prompts.MessageBox(GiftSavedQuestion(), EPromptButtons::YesNoCancel, EPromptIcon::Question);
    if (answer == EPromptAnswer::Yes) {
        // The desktop's own program for Flash files; our player where the desktop has none.
        bool bShown = false;
        if (m_hasFlashProgram && m_hasFlashProgram() && m_services.m_pShell != nullptr) {
            bShown = m_services.m_pShell->OpenDocument(strPath);
        }
        if (!bShown && m_services.m_pProjector != nullptr &&
            !m_services.m_pProjector->ShowMovie(strPath, false)) {
            prompts.MessageBox(PlayerNotStartedMessage(), EPromptButtons::Ok, EPromptIcon::Warning);
        }
    } else if (answer == EPromptAnswer::No && m_services.m_pShell != nullptr) {
        m_services.m_pShell->ShowInFolder(strPath);
    }
}

void CExportCommands::ExportExe(const WholeMovieFn& generate)
{
    const QString strMovie = AppPath(m_services.m_strAppDir, "\\Temp\\generate.swf");
    const bool bMovie = WriteWorkingMovie(
        [&generate](const QString& strPath) {
            if (generate) {
                generate(strPath, 1);
            }
        },
        strMovie);
    if (!bMovie || m_services.m_pProjector == nullptr) {
        return;
    }
    switch (m_services.m_pProjector->MakeSelfRunningCopy(strMovie)) {
    case EPlayerExit::Ok:
        m_notice(ExeDoneNotice());
        break;
    case EPlayerExit::Cancelled:
        break;
    case EPlayerExit::Failed:
    case EPlayerExit::Usage:
        m_notice(CannotGenerateMessage());
        break;
    }
}

void CExportCommands::PrintCurrentCard(int nCardIndex, const CardMovieFn& generateCard)
{
    if (nCardIndex < 0) {
        return;
    }
    const QString strMovie = AppPath(m_services.m_strAppDir, "\\Temp") +
        QStringLiteral("/%1_%2.swf").arg(nCardIndex).arg(m_nextPrintNumber());
    // A card that could not be generated is not printed; generation has reported why.
    if (!WriteWorkingMovie(generateCard, strMovie) || m_services.m_pProjector == nullptr) {
        return;
    }
    const EPlayerExit result = m_services.m_pProjector->PrintMovie(strMovie);
    if (result == EPlayerExit::Failed || result == EPlayerExit::Usage) {
        m_notice(CannotPrintMessage());
    }
}
