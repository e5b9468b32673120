// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "editor/export/MovieExport.h"
#include "platform/Prompts.h"
#include "publish/PublishResult.h"

#include <QCoreApplication>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>

class IMailer;
class QWidget;

// What the Finish dialog hands the Finish flow.
struct CFinishChoice {
    QString m_strTarget;
    bool m_bLock = false;
    QString m_strLockFolder;
    QString m_strPassword;
    bool m_bSendMail = false;
};

// Packs folder into a locked archive (the signature of BuildLockedArchive).
using LockedArchiveFn =
    std::function<CPublishResult(const std::filesystem::path& folder, const std::string& strPassword,
        const std::filesystem::path& archivePath, const PublishProgressFn& progress)>;

// The Finish flow once the dialog has closed with "Finish": the locked archive (with a progress
// dialog, off the UI thread), then the movie, then the mail or the question what to do with the
// gift. Each step talks to the user through the services; the archive builder, the mailer and the
// folder of the mail's attachments are given, so tests script every outcome.
class CFinishFlow {
    Q_DECLARE_TR_FUNCTIONS(CFinishFlow)
public:
    // How the flow ended.
    enum class EEnd {
        NoTarget, // "Please choose your target to export gift"
        ArchiveCancelled, // the user cancelled the archive: nothing else was done
        NoMovie, // the movie could not be written: no mail, no success question
        Mailed, // the mail program has the message
        MailNotSent, // the user was told the mail could not be handed on
        Asked, // the three-button question was asked (and answered)
    };

    // pParent carries the progress dialog; without pMailer a mail is never sent.
    CFinishFlow(const CDialogServices& services, IMailer* pMailer, QWidget* pParent);

    // The builder of the locked archive (none: the archive fails), the folder below which the
    // mail's attachments are staged, and the sender's address of the mail.
    LockedArchiveFn m_buildArchive;
    QString m_strOutgoingFolder;
    QString m_strOriginator;

    EEnd Run(const CFinishChoice& choice, const WholeMovieFn& generate);

    [[nodiscard]] static QString NoTargetMessage()
    {
        return QStringLiteral("Please choose your target to export gift");
    }
    [[nodiscard]] static QString ArchiveDoneMessage()
    {
        return QStringLiteral("The locked zip file has been created successfully.");
    }
    [[nodiscard]] static QString ArchiveFailedMessage()
    {
        return QStringLiteral("Create new zipped file failed");
    }
    [[nodiscard]] static QString GiftDoneQuestion()
    {
        return QStringLiteral("Creating gift successfully, \n  Yes to view it.\n  No to find it from folder");
    }

private:
    // Builds the archive; true when it was completed in this run. False also when it failed (the
    // user has been told) and when it was cancelled (bCancelled set).
    bool BuildArchive(const CFinishChoice& choice, const QString& strArchive, bool& bCancelled);
    EEnd SendMail(const CFinishChoice& choice, const QString& strArchive);
    void Tell(const QString& strText, EPromptIcon icon) const;

    CDialogServices m_services;
    IMailer* m_pMailer = nullptr;
    QWidget* m_pParent = nullptr;
};
