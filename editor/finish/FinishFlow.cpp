// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finish/FinishFlow.h"

#include "editor/dialogs/DialogPaths.h"
#include "editor/export/ExportTexts.h"
#include "editor/export/LeftOutText.h"
#include "editor/finish/GiftMail.h"
#include "editor/progress/ProgressRunner.h"
#include "platform/Mailer.h"
#include "platform/Projector.h"
#include "platform/Shell.h"

#include <QLocale>

#include <utility>

CFinishFlow::CFinishFlow(const CDialogServices& services, IMailer* pMailer, QWidget* pParent)
    : m_services(services)
    , m_pMailer(pMailer)
    , m_pParent(pParent)
{
}

void CFinishFlow::Tell(const QString& strText, EPromptIcon icon) const
{
    m_services.m_pPrompts->MessageBox(strText, EPromptButtons::Ok, icon);
}

CFinishFlow::EEnd CFinishFlow::Run(const CFinishChoice& choice, const WholeMovieFn& generate)
{
    if (choice.m_strTarget.isEmpty()) {
        Tell(NoTargetMessage(), EPromptIcon::None);
        return EEnd::NoTarget;
    }

    // The archive comes first; only one completed now goes with the mail, never an older file
    // of the same name.
    QString strArchive;
    if (choice.m_bLock) {
        const QString strPath = choice.m_strTarget + QStringLiteral(".zip");
        bool bCancelled = false;
        if (BuildArchive(choice, strPath, bCancelled)) {
            strArchive = strPath;
        } else if (bCancelled) {
            return EEnd::ArchiveCancelled;
        }
    }

    switch (WriteGiftMovie(generate, choice.m_strTarget)) {
    case EMovieWrite::Written:
        break;
    case EMovieWrite::NotGenerated:
        // Generation has reported why.
        return EEnd::NoMovie;
    case EMovieWrite::NotReplaced:
        Tell(MovieNotReplacedMessage(choice.m_strTarget), EPromptIcon::Stop);
        return EEnd::NoMovie;
    }

    if (choice.m_bSendMail) {
        return SendMail(choice, strArchive);
    }
    const EPromptAnswer answer = m_services.m_pPrompts->MessageBox(
        GiftDoneQuestion(), EPromptButtons::YesNoCancel, EPromptIcon::Question);
    if (answer == EPromptAnswer::Yes) {
        if (m_services.m_pProjector != nullptr &&
            !m_services.m_pProjector->ShowMovie(choice.m_strTarget, false)) {
            Tell(PlayerNotStartedMessage(), EPromptIcon::Warning);
        }
    } else if (answer == EPromptAnswer::No && m_services.m_pShell != nullptr) {
        m_services.m_pShell->ShowInFolder(choice.m_strTarget);
    }
    return EEnd::Asked;
}

bool CFinishFlow::BuildArchive(const CFinishChoice& choice, const QString& strArchive, bool& bCancelled)
{
    bCancelled = false;
    if (!m_buildArchive) {
        Tell(ArchiveFailedMessage() + QLatin1Char('\n') + tr("This build cannot write archives."),
            EPromptIcon::Stop);
        return false;
    }
    // The dialog refuses an empty password; an archive that is not locked is never announced as
    // a locked one.
    if (choice.m_strPassword.isEmpty()) {
        Tell(ArchiveFailedMessage() + QLatin1Char('\n') + tr("No password was given."), EPromptIcon::Stop);
        return false;
    }

    const std::filesystem::path folder = ToPath(choice.m_strLockFolder);
    const std::string strPassword = choice.m_strPassword.toStdString();
    const std::filesystem::path archive = ToPath(strArchive);
    CProgressRunner runner(m_pParent, tr("Locking the files"), [](uint64_t nDone, uint64_t nTotal) {
        const QLocale locale;
        if (nTotal == 0) {
            return tr("Looking at the files...");
        }
        return tr("Packed %1 of %2")
            .arg(locale.formattedDataSize(static_cast<qint64>(nDone)),
                locale.formattedDataSize(static_cast<qint64>(nTotal)));
    });
    const CPublishResult result = runner.RunPublishing([&](const PublishProgressFn& progress) {
        return m_buildArchive(folder, strPassword, archive, progress);
    });

    switch (result.m_outcome) {
    case EPublishOutcome::Cancelled:
        bCancelled = true;
        return false;
    case EPublishOutcome::Failed:
        Tell(ArchiveFailedMessage() + QLatin1Char('\n') + QString::fromStdString(result.m_strError),
            EPromptIcon::Stop);
        return false;
    case EPublishOutcome::Written:
        break;
    }
    QString strText = ArchiveDoneMessage();
    if (!result.m_leftOut.empty()) {
        strText += QStringLiteral("\n\n") + tr("These items were left out:") + QLatin1Char('\n') +
            LeftOutLines(result.m_leftOut, folder);
    }
    Tell(strText, result.m_leftOut.empty() ? EPromptIcon::Information : EPromptIcon::Warning);
    return true;
}

CFinishFlow::EEnd CFinishFlow::SendMail(const CFinishChoice& choice, const QString& strArchive)
{
    QString strError;
    const std::optional<CGiftMail> mail =
        StageGiftMail(m_strOutgoingFolder, choice.m_strTarget, strArchive, m_strOriginator, strError);
    if (!mail) {
        Tell(tr("The files for the e-mail could not be prepared: %1.").arg(strError), EPromptIcon::Stop);
        return EEnd::MailNotSent;
    }
    if (m_pMailer == nullptr || !m_pMailer->Send(mail->m_message)) {
        Tell(tr("No mail program could be started. The files to send are in %1.").arg(mail->m_strFolder),
            EPromptIcon::Warning);
        return EEnd::MailNotSent;
    }
    return EEnd::Mailed;
}
