// SPDX-License-Identifier: GPL-3.0-or-later
// "Create Photo Album": the two dialogs and their cancel, the album made with progress and
// Cancel, the pictures left out named, failures told, and the question after it.
#include "editor/album/AlbumCommand.h"

#include "editor/dialogs/DialogPaths.h"
#include "tests/editor/dialogs/DialogFixture.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

#include <QRegularExpression>

#include <chrono>
#include <thread>

namespace {

using editortest::DialogTest;

class AlbumCommandTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Home(QStringLiteral("Temp"))));
        m_strFolder = Home(QStringLiteral("Pictures"));
        m_strMovie = Home(QStringLiteral("album.swf"));
        ASSERT_TRUE(QDir().mkpath(m_strFolder));
    }

    CAlbumCommand::EEnd Run()
    {
        CAlbumCommand command(m_services, nullptr);
        command.m_buildAlbum = m_buildAlbum;
        return command.Run();
    }

    // A builder that reports n pictures and writes the movie.
    void Builds(size_t nPictures, std::vector<CLeftOut> leftOut = {})
    {
        m_buildAlbum = [this, nPictures, leftOut](const std::filesystem::path& folder,
                           const std::filesystem::path& movie, const std::filesystem::path& scratch,
                           const PublishProgressFn& progress) {
            m_strBuiltFolder = FromPath(folder);
            m_strBuiltMovie = FromPath(movie);
            m_strScratch = FromPath(scratch);
            for (size_t i = 0; i <= nPictures; ++i) {
                progress(i, nPictures);
            }
            QFile file(FromPath(movie));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("CWS");
            CPublishResult result;
            result.m_outcome = EPublishOutcome::Written;
            result.m_nAdded = nPictures;
            result.m_leftOut = leftOut;
            return result;
        };
    }

    QString m_strFolder;
    QString m_strMovie;
    PhotoAlbumFn m_buildAlbum;
    QString m_strBuiltFolder;
    QString m_strBuiltMovie;
    QString m_strScratch;
};

TEST_F(AlbumCommandTest, AsksTheFolderAndTheMovieThenOffersToViewIt)
{
    Builds(3);
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(m_strMovie);
    m_prompts.QueueAnswer(EPromptAnswer::Yes);
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Asked);

    ASSERT_EQ(m_prompts.m_calls.size(), 3U);
    EXPECT_EQ(m_prompts.m_calls[0].m_kind, CFakePrompts::EKind::BrowseFolder);
    EXPECT_EQ(m_prompts.m_calls[0].m_strText,
        QStringLiteral("Choose the folder you want to lock and append\n(If you need only one file, please "
                       "move it into a folder too)"));
    EXPECT_EQ(m_prompts.m_calls[1].m_kind, CFakePrompts::EKind::SaveFile);
    EXPECT_EQ(m_prompts.m_calls[1].m_strFilter,
        QStringLiteral("Macromedia Flash Files (*.swf)|*.swf|All Files (*.*)|*.*||"));
    EXPECT_EQ(m_prompts.m_calls[1].m_strDefaultExt, QStringLiteral("swf"));
    EXPECT_TRUE(m_prompts.m_calls[1].m_bOverwritePrompt);
    EXPECT_EQ(m_prompts.m_calls[2].m_strText,
        QStringLiteral("The photo album has been created successfully, do you want to view it?\n\n"
                       "  Click Yes to view it.\n  Click No to open the location of photo album\n"
                       "  Click Cancel to quit"));
    EXPECT_EQ(m_prompts.m_calls[2].m_buttons, EPromptButtons::YesNoCancel);
    EXPECT_EQ(m_prompts.m_calls[2].m_icon, EPromptIcon::Question);

    // The pictures are prepared in the installation's Temp.
    EXPECT_EQ(m_strBuiltFolder, m_strFolder);
    EXPECT_EQ(m_strBuiltMovie, m_strMovie);
    EXPECT_EQ(m_strScratch, Home(QStringLiteral("Temp")));
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Show);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, m_strMovie);

    // No: the folder with the movie.
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(m_strMovie);
    m_prompts.QueueAnswer(EPromptAnswer::No);
    Run();
    ASSERT_EQ(m_shell.m_calls.size(), 1U);
    EXPECT_EQ(m_shell.m_calls[0].m_kind, CFakeShell::EKind::ShowInFolder);
    EXPECT_EQ(m_shell.m_calls[0].m_strPath, m_strMovie);
}

TEST_F(AlbumCommandTest, CancellingADialogOrTheProgressWritesNothing)
{
    int nBuilds = 0;
    m_buildAlbum = [&nBuilds](auto&&...) {
        ++nBuilds;
        return CPublishResult {};
    };
    // The folder browser, then the save dialog.
    m_prompts.QueuePath(QString());
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Cancelled);
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(QString());
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Cancelled);
    EXPECT_EQ(nBuilds, 0);

    // Cancel in the progress dialog: the builder is told and nothing follows.
    QString strLabel;
    m_buildAlbum = [](const std::filesystem::path&, const std::filesystem::path&,
                       const std::filesystem::path&, const PublishProgressFn& progress) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        uint64_t n = 0;
        while (progress(n % 40, 40) && std::chrono::steady_clock::now() < deadline) {
            ++n;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        CPublishResult result;
        result.m_outcome = EPublishOutcome::Cancelled;
        return result;
    };
    const auto pWatch = editortest::CancelOnceLabelShows(QStringLiteral("picture "), strLabel);
    m_prompts.m_calls.clear();
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(m_strMovie);
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Cancelled);
    // "picture k of n", k counting from 1.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^picture ([1-9]|[1-3][0-9]|40) of 40$"))
                    .match(strLabel)
                    .hasMatch())
        << strLabel.toStdString();
    EXPECT_EQ(m_prompts.m_calls.size(), 2U); // the two dialogs, no message
    EXPECT_FALSE(QFile::exists(m_strMovie));
}

TEST_F(AlbumCommandTest, PicturesLeftOutAreNamedBeforeTheQuestion)
{
    const std::filesystem::path folder = ToPath(m_strFolder);
    std::vector<CLeftOut> leftOut { { folder / "broken.jpg", "cannot be decoded" } };
    for (int i = 0; i < 24; ++i) {
        leftOut.push_back(
            { folder / "more" / QStringLiteral("p%1.png").arg(i).toStdString(), "beyond 300 pictures" });
    }
    Builds(300, leftOut);
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(m_strMovie);
    m_prompts.QueueAnswer(EPromptAnswer::Ok);
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Asked);
    const QStringList messages = m_prompts.Messages();
    ASSERT_EQ(messages.size(), 2);
    const QStringList lines = messages[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[0], QStringLiteral("These pictures were left out of the album:"));
    EXPECT_EQ(lines[1], QStringLiteral("    broken.jpg: cannot be decoded"));
    EXPECT_EQ(lines[2], QStringLiteral("    more/p0.png: beyond 300 pictures"));
    EXPECT_EQ(lines[21], QStringLiteral("    and 5 more"));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("The photo album has been created successfully")));
    EXPECT_TRUE(m_projector.m_calls.empty());
    EXPECT_TRUE(m_shell.m_calls.empty());
}

TEST_F(AlbumCommandTest, AnAlbumThatCouldNotBeWrittenIsTold)
{
    m_buildAlbum = [](auto&&...) {
        CPublishResult result;
        result.m_outcome = EPublishOutcome::Failed;
        result.m_strError = "the folder holds no file that could be read";
        return result;
    };
    m_prompts.QueuePath(m_strFolder);
    m_prompts.QueuePath(m_strMovie);
    EXPECT_EQ(Run(), CAlbumCommand::EEnd::Failed);
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral(
            "The photo album could not be created:\nthe folder holds no file that could be read") });
    EXPECT_EQ(m_prompts.m_calls.back().m_icon, EPromptIcon::Stop);
    EXPECT_TRUE(m_projector.m_calls.empty());
}

} // namespace
