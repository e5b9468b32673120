// SPDX-License-Identifier: GPL-3.0-or-later
// The Finish flow after the dialog: no target, the locked archive first (completed, with items left
// out, failed, cancelled), the movie through a temporary file, then the mail with its staged
// attachments or the three-button question.
#include "editor/finish/FinishFlow.h"
#include "editor/dialogs/DialogPaths.h"
#include "editor/finish/GiftMail.h"

#include "platform/FakeMailer.h"
#include "tests/editor/dialogs/DialogFixture.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using editortest::CRecordedGeneration;
using editortest::DialogTest;
using editortest::ReadBytes;
using editortest::WhenModalOpen;

class FinishFlowTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(m_work.isValid());
        m_strTarget = Work(QStringLiteral("my gift.swf"));
        m_strFolder = Work(QStringLiteral("Pictures"));
        ASSERT_TRUE(QDir().mkpath(m_strFolder));
        m_choice.m_strTarget = m_strTarget;
    }

    [[nodiscard]] QString Work(const QString& strName) const { return m_work.filePath(strName); }

    void Lock(const QString& strPassword = QStringLiteral("pässwort"))
    {
        m_choice.m_bLock = true;
        m_choice.m_strLockFolder = m_strFolder;
        m_choice.m_strPassword = strPassword;
    }

    // An archive builder that records its call, reports progress and writes a small archive
    // (unless told to fail).
    [[nodiscard]] LockedArchiveFn Archive(CPublishResult result)
    {
        return [this, result](const std::filesystem::path& folder, const std::string& strPassword,
                   const std::filesystem::path& archive, const PublishProgressFn& progress) {
            m_events << QStringLiteral("archive");
            m_strArchiveFolder = FromPath(folder);
            m_strArchivePassword = strPassword;
            m_strArchivePath = FromPath(archive);
            progress(0, 100);
            progress(100, 100);
            if (result.IsWritten()) {
                QFile file(m_strArchivePath);
                EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("PK\x03\x04 new archive");
            }
            return result;
        };
    }

    CFinishFlow::EEnd Run()
    {
        CFinishFlow flow(m_services, &m_mailer, nullptr);
        flow.m_buildArchive = m_buildArchive;
        flow.m_strOutgoingFolder = Work(QStringLiteral("outgoing"));
        flow.m_strOriginator = QStringLiteral("anna@example.org");
        const WholeMovieFn whole = m_generation.Whole();
        return flow.Run(m_choice, [this, whole](const QString& strPath, int bForce) {
            m_events << QStringLiteral("movie");
            whole(strPath, bForce);
        });
    }

    [[nodiscard]] QStringList WorkFiles() const
    {
        return QDir(m_work.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_work;
    QString m_strTarget;
    QString m_strFolder;
    CFinishChoice m_choice;
    CRecordedGeneration m_generation;
    CFakeMailer m_mailer;
    LockedArchiveFn m_buildArchive;
    QStringList m_events;
    QString m_strArchiveFolder;
    std::string m_strArchivePassword;
    QString m_strArchivePath;
};

CPublishResult Written(std::vector<CLeftOut> leftOut = {})
{
    CPublishResult result;
    result.m_outcome = EPublishOutcome::Written;
    result.m_leftOut = std::move(leftOut);
    return result;
}

CPublishResult Failed(const char* strError)
{
    CPublishResult result;
    result.m_outcome = EPublishOutcome::Failed;
    result.m_strError = strError;
    return result;
}

TEST_F(FinishFlowTest, WithoutATargetNothingIsExported)
{
    m_choice.m_strTarget.clear();
    Lock();
    m_buildArchive = Archive(Written());
    EXPECT_EQ(Run(), CFinishFlow::EEnd::NoTarget);
    EXPECT_EQ(
        m_prompts.Messages(), QStringList { QStringLiteral("Please choose your target to export gift") });
    EXPECT_EQ(m_prompts.m_calls[0].m_buttons, EPromptButtons::Ok);
    EXPECT_TRUE(m_events.isEmpty());
    EXPECT_TRUE(m_mailer.m_sent.empty());
}

TEST_F(FinishFlowTest, LockAndMailSendTheArchiveMadeFirstAndTheMovieUnderTheirShownNames)
{
    Lock();
    m_choice.m_bSendMail = true;
    m_buildArchive = Archive(Written());
    EXPECT_EQ(Run(), CFinishFlow::EEnd::Mailed);

    // The archive comes before the movie, beside the target, from the chosen folder, with the
    // password as UTF-8.
    EXPECT_EQ(m_events, (QStringList { QStringLiteral("archive"), QStringLiteral("movie") }));
    EXPECT_EQ(m_strArchivePath, m_strTarget + QStringLiteral(".zip"));
    EXPECT_EQ(m_strArchiveFolder, m_strFolder);
    EXPECT_EQ(m_strArchivePassword, "p\xC3\xA4sswort");
    EXPECT_EQ(m_generation.m_calls.size(), 1);
    EXPECT_TRUE(m_generation.m_calls[0].endsWith(QStringLiteral(" 1"))); // the export form
    EXPECT_EQ(ReadBytes(m_strTarget), m_generation.m_bytes);
    // The archive's message, and no question after a mail.
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral("The locked zip file has been created successfully.") });

    ASSERT_EQ(m_mailer.m_sent.size(), 1U);
    const CMailMessage& mail = m_mailer.m_sent[0];
    EXPECT_EQ(mail.m_strSubject, QStringLiteral("Gift for you"));
    EXPECT_EQ(mail.m_strBody, QStringLiteral("Body text for this email"));
    EXPECT_EQ(mail.m_strOriginator, QStringLiteral("anna@example.org"));
    EXPECT_TRUE(mail.m_to.isEmpty()); // the user fills it in
    ASSERT_EQ(mail.m_attachments.size(), 2U);
    EXPECT_EQ(mail.m_attachments[0].m_strShownName, QStringLiteral("Run me first.swf"));
    EXPECT_EQ(mail.m_attachments[1].m_strShownName, QStringLiteral("Special gift but locked.zip"));
    // Staged copies under the shown names, in one folder below the outgoing folder (not Temp).
    const QFileInfo movieCopy(mail.m_attachments[0].m_strPath);
    const QFileInfo archiveCopy(mail.m_attachments[1].m_strPath);
    EXPECT_EQ(movieCopy.fileName(), QStringLiteral("Run me first.swf"));
    EXPECT_EQ(archiveCopy.fileName(), QStringLiteral("Special gift but locked.zip"));
    EXPECT_EQ(movieCopy.absolutePath(), archiveCopy.absolutePath());
    EXPECT_EQ(QFileInfo(movieCopy.absolutePath()).absolutePath(), Work(QStringLiteral("outgoing")));
    EXPECT_EQ(ReadBytes(movieCopy.absoluteFilePath()), m_generation.m_bytes);
    EXPECT_EQ(ReadBytes(archiveCopy.absoluteFilePath()), QByteArray("PK\x03\x04 new archive"));

    // A later gift at the same place leaves the staged copy as it was sent.
    m_generation.m_bytes = "FWS\x06 a later gift";
    m_choice.m_bLock = false;
    EXPECT_EQ(Run(), CFinishFlow::EEnd::Mailed);
    EXPECT_EQ(ReadBytes(movieCopy.absoluteFilePath()), QByteArray("FWS\x06new gift"));
}

TEST_F(FinishFlowTest, LockWithoutMailWritesTheArchiveThenTheMovieThenAsks)
{
    Lock();
    m_buildArchive = Archive(Written());
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    EXPECT_EQ(Run(), CFinishFlow::EEnd::Asked);
    EXPECT_EQ(m_events, (QStringList { QStringLiteral("archive"), QStringLiteral("movie") }));
    EXPECT_EQ(m_prompts.Messages(),
        (QStringList { QStringLiteral("The locked zip file has been created successfully."),
            QStringLiteral(
                "Creating gift successfully, \n  Yes to view it.\n  No to find it from folder") }));
    EXPECT_TRUE(m_mailer.m_sent.empty());
    // Only the gift and its archive are left: no temporary file.
    EXPECT_EQ(
        WorkFiles(), (QStringList { QStringLiteral("my gift.swf"), QStringLiteral("my gift.swf.zip") }));
}

TEST_F(FinishFlowTest, TheArchivesMessageNamesWhatWasLeftOut)
{
    Lock();
    const std::filesystem::path folder = ToPath(m_strFolder);
    m_buildArchive = Archive(Written({ { folder / "pipe", "a special file" },
        { folder / "holiday" / "to album", "a link to a folder" } }));
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Run();
    ASSERT_FALSE(m_prompts.Messages().isEmpty());
    EXPECT_EQ(m_prompts.Messages()[0],
        QStringLiteral("The locked zip file has been created successfully.\n\nThese items were left out:\n"
                       "    pipe: a special file\n    holiday/to album: a link to a folder"));
}

TEST_F(FinishFlowTest, AFailedArchiveIsToldAndNotAttachedNorAnOlderOne)
{
    Lock();
    m_choice.m_bSendMail = true;
    {
        QFile older(m_strTarget + QStringLiteral(".zip"));
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("an archive of last week");
    }
    m_buildArchive = Archive(Failed("No space left on device"));
    EXPECT_EQ(Run(), CFinishFlow::EEnd::Mailed);
    ASSERT_FALSE(m_prompts.m_calls.empty());
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral("Create new zipped file failed\nNo space left on device") });
    EXPECT_EQ(m_prompts.m_calls[0].m_icon, EPromptIcon::Stop);
    // The movie still goes, alone.
    ASSERT_EQ(m_mailer.m_sent.size(), 1U);
    ASSERT_EQ(m_mailer.m_sent[0].m_attachments.size(), 1U);
    EXPECT_EQ(m_mailer.m_sent[0].m_attachments[0].m_strShownName, QStringLiteral("Run me first.swf"));
}

TEST_F(FinishFlowTest, AnArchiveThatCannotBeBuiltAtAllIsAFailure)
{
    Lock();
    m_choice.m_bSendMail = true;
    // No builder in this build, then a builder that throws, then no password (which the dialog
    // refuses): each is told, none is attached.
    struct Case {
        LockedArchiveFn build;
        QString strPassword;
        QString strMessage;
    };
    const Case cases[] = {
        { {}, QStringLiteral("pw"),
            QStringLiteral("Create new zipped file failed\nThis build cannot write archives.") },
        { [](auto&&...) -> CPublishResult { throw std::runtime_error("Permission denied"); },
            QStringLiteral("pw"), QStringLiteral("Create new zipped file failed\nPermission denied") },
        { Archive(Written()), QString(),
            QStringLiteral("Create new zipped file failed\nNo password was given.") },
    };
    for (const Case& c : cases) {
        m_prompts.m_calls.clear();
        m_mailer.m_sent.clear();
        m_events.clear();
        m_buildArchive = c.build;
        m_choice.m_strPassword = c.strPassword;
        EXPECT_EQ(Run(), CFinishFlow::EEnd::Mailed);
        EXPECT_EQ(m_prompts.Messages(), QStringList { c.strMessage });
        EXPECT_FALSE(m_events.contains(QStringLiteral("archive")));
        ASSERT_EQ(m_mailer.m_sent.size(), 1U);
        EXPECT_EQ(m_mailer.m_sent[0].m_attachments.size(), 1U);
    }
}

TEST_F(FinishFlowTest, CancellingTheArchiveStopsTheFinish)
{
    Lock();
    m_choice.m_bSendMail = true;
    m_buildArchive = [this](const std::filesystem::path&, const std::string&, const std::filesystem::path&,
                         const PublishProgressFn& progress) {
        m_events << QStringLiteral("archive");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        uint64_t n = 0;
        while (progress(++n, 1U << 30) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        CPublishResult result;
        result.m_outcome = EPublishOutcome::Cancelled;
        return result;
    };
    QString strTitle;
    WhenModalOpen<CProgressDialog>([&strTitle](CProgressDialog& dialog) { strTitle = dialog.windowTitle(); });
    QString strLabel;
    const auto pWatch = editortest::CancelOnceLabelShows(QStringLiteral("Packed "), strLabel);
    EXPECT_EQ(Run(), CFinishFlow::EEnd::ArchiveCancelled);
    EXPECT_EQ(strTitle, QStringLiteral("Locking the files"));
    // Bytes of the total, in the locale's units.
    EXPECT_TRUE(strLabel.endsWith(QStringLiteral(" of 1.00 GiB"))) << strLabel.toStdString();
    EXPECT_EQ(m_events, QStringList { QStringLiteral("archive") });
    EXPECT_TRUE(m_prompts.m_calls.empty());
    EXPECT_TRUE(m_mailer.m_sent.empty());
    EXPECT_FALSE(QFile::exists(m_strTarget));
}

TEST_F(FinishFlowTest, TheQuestionsAnswersViewFindOrDoNothing)
{
    struct Case {
        EPromptAnswer answer;
        size_t nShows;
        size_t nFolders;
    };
    const Case cases[] = { { EPromptAnswer::Yes, 1, 0 }, { EPromptAnswer::No, 0, 1 },
        { EPromptAnswer::Cancel, 0, 0 } };
    for (const Case& c : cases) {
        m_prompts.m_calls.clear();
        m_projector.m_calls.clear();
        m_shell.m_calls.clear();
        m_prompts.QueueAnswer(c.answer);
        EXPECT_EQ(Run(), CFinishFlow::EEnd::Asked);
        ASSERT_EQ(m_prompts.m_calls.size(), 1U);
        EXPECT_EQ(m_prompts.m_calls[0].m_buttons, EPromptButtons::YesNoCancel);
        EXPECT_EQ(m_prompts.m_calls[0].m_icon, EPromptIcon::Question);
        ASSERT_EQ(m_projector.m_calls.size(), c.nShows);
        if (c.nShows > 0) {
            EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Show);
            EXPECT_EQ(m_projector.m_calls[0].m_strMovie, m_strTarget);
            EXPECT_FALSE(m_projector.m_calls[0].m_bMaximised);
        }
        ASSERT_EQ(m_shell.m_calls.size(), c.nFolders);
        if (c.nFolders > 0) {
            EXPECT_EQ(m_shell.m_calls[0].m_kind, CFakeShell::EKind::ShowInFolder);
            EXPECT_EQ(m_shell.m_calls[0].m_strPath, m_strTarget);
        }
    }

    // A player that does not start is told.
    m_projector.m_bStarts = false;
    m_prompts.m_calls.clear();
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    Run();
    EXPECT_EQ(
        m_prompts.Messages().last(), QStringLiteral("The program marrowlark-player could not be started."));
}

TEST_F(FinishFlowTest, AMovieThatWasNotWrittenKeepsThePreviousGiftAndEndsTheFlow)
{
    {
        QFile previous(m_strTarget);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("last year's gift");
    }
    m_choice.m_bSendMail = true;
    m_generation.m_bWrites = false;
    EXPECT_EQ(Run(), CFinishFlow::EEnd::NoMovie);
    EXPECT_EQ(ReadBytes(m_strTarget), QByteArray("last year's gift"));
    EXPECT_TRUE(m_prompts.m_calls.empty()); // generation told its own failure
    EXPECT_TRUE(m_mailer.m_sent.empty());
    EXPECT_EQ(WorkFiles(), QStringList { QStringLiteral("my gift.swf") });
    // Generation wrote into a temporary file beside the target, not into the target.
    ASSERT_EQ(m_generation.m_paths.size(), 1);
    EXPECT_EQ(QFileInfo(m_generation.m_paths[0]).absolutePath(), m_work.path());
    EXPECT_NE(m_generation.m_paths[0], m_strTarget);

    // A movie that cannot take the target's place (a folder of that name) is told.
    m_strTarget = Work(QStringLiteral("a folder.swf"));
    ASSERT_TRUE(QDir().mkpath(m_strTarget + QStringLiteral("/inside")));
    m_choice.m_strTarget = m_strTarget;
    m_generation.m_bWrites = true;
    EXPECT_EQ(Run(), CFinishFlow::EEnd::NoMovie);
    EXPECT_EQ(m_prompts.Messages(),
        QStringList {
            QStringLiteral("Failed to write the e-gift to %1, please check the folder.").arg(m_strTarget) });
    EXPECT_TRUE(m_mailer.m_sent.empty());
    EXPECT_EQ(WorkFiles(), QStringList { QStringLiteral("my gift.swf") });
}

TEST_F(FinishFlowTest, WithoutAMailProgramTheUserIsToldWhereTheFilesAre)
{
    m_choice.m_bSendMail = true;
    m_mailer.m_bResult = false;
    EXPECT_EQ(Run(), CFinishFlow::EEnd::MailNotSent);
    ASSERT_EQ(m_mailer.m_sent.size(), 1U);
    const QString strFolder = QFileInfo(m_mailer.m_sent[0].m_attachments[0].m_strPath).absolutePath();
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral("No mail program could be started. The files to send are in %1.")
                          .arg(strFolder) });
    EXPECT_TRUE(QFile::exists(QDir(strFolder).filePath(QStringLiteral("Run me first.swf"))));

    // No mailer at all: the same.
    m_prompts.m_calls.clear();
    CFinishFlow flow(m_services, nullptr, nullptr);
    flow.m_strOutgoingFolder = Work(QStringLiteral("outgoing"));
    EXPECT_EQ(flow.Run(m_choice, m_generation.Whole()), CFinishFlow::EEnd::MailNotSent);
    ASSERT_EQ(m_prompts.Messages().size(), 1);
    EXPECT_TRUE(m_prompts.Messages()[0].startsWith(QStringLiteral("No mail program could be started.")));
}

TEST_F(FinishFlowTest, StagingPrunesOldMailFoldersAndLeavesNoHalfFolder)
{
    const QString strOutgoing = Work(QStringLiteral("outgoing"));
    const QString strOld = QDir(strOutgoing).filePath(QStringLiteral("20010101-000000-000"));
    const QString strRecent = QDir(strOutgoing).filePath(QStringLiteral("mail-recent"));
    ASSERT_TRUE(QDir().mkpath(strOld));
    ASSERT_TRUE(QDir().mkpath(strRecent));
    std::filesystem::last_write_time(ToPath(strOld),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * (kOutgoingKeepDays + 1)));
    {
        QFile movie(m_strTarget);
        ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
        movie.write("FWS");
    }
    QString strError;
    const auto mail = StageGiftMail(strOutgoing, m_strTarget, QString(), QStringLiteral("a@b.c"), strError);
    ASSERT_TRUE(mail.has_value()) << strError.toStdString();
    EXPECT_FALSE(QFileInfo::exists(strOld));
    EXPECT_TRUE(QFileInfo::exists(strRecent));
    EXPECT_EQ(mail->m_message.m_attachments.size(), 1U);

    // An archive that is not there: nothing staged, nothing left behind, the error says what.
    const QStringList before = QDir(strOutgoing).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const auto missing =
        StageGiftMail(strOutgoing, m_strTarget, Work(QStringLiteral("gone.zip")), QString(), strError);
    EXPECT_FALSE(missing.has_value());
    EXPECT_TRUE(strError.contains(Work(QStringLiteral("gone.zip"))));
    EXPECT_EQ(QDir(strOutgoing).entryList(QDir::Dirs | QDir::NoDotAndDotDot), before);
}

} // namespace
