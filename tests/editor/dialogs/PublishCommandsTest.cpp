// SPDX-License-Identifier: GPL-3.0-or-later
// The publishing commands from the main window with the editor's real dialogs and generation:
// Finish (the dialog, then the flow), Print Current Card, Generate EXE and the photo album.
#include "editor/finish/DlgFinish.h"
#include "platform/FakeMailer.h"
#include "tests/editor/EditorFixture.h"
#include "tests/editor/dialogs/PublishTestSupport.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

namespace {

using editortest::EditorTest;
using editortest::ReadBytes;
using editortest::WhenModalOpen;

class PublishCommandsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(m_work.isValid());
        m_pDialogs = std::make_unique<CEditorDialogs>(Home(), m_prompts, nullptr, &m_mailer);
        m_pDialogs->m_strOutgoingFolder = m_work.filePath(QStringLiteral("outgoing"));
        m_services.m_pDialogs = m_pDialogs.get();
    }

    void TearDown() override
    {
        EditorTest::TearDown();
        m_pDialogs.reset();
    }

    QTemporaryDir m_work;
    CFakeMailer m_mailer;
    std::unique_ptr<CEditorDialogs> m_pDialogs;
};

template<typename T> T* Child(QWidget& dialog, const char* strName)
{
    T* pChild = dialog.findChild<T*>(QString::fromLatin1(strName));
    EXPECT_NE(pChild, nullptr) << strName;
    return pChild;
}

TEST_F(PublishCommandsTest, FinishWritesTheGiftChosenInTheDialog)
{
    Window();
    const QString strTarget = m_work.filePath(QStringLiteral("for Anna.swf"));
    m_prompts.QueuePath(strTarget);
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    WhenModalOpen<CDlgFinish>([](CDlgFinish& dialog) {
        Child<QPushButton>(dialog, "btnChoosePath")->click();
        Child<QPushButton>(dialog, "btnFinish")->click();
    });
    Window().RunCommand(kCmdFinishCtl);
    EXPECT_TRUE(ReadBytes(strTarget).startsWith("FWS"));
    EXPECT_EQ(m_prompts.Messages().filter(QStringLiteral("Creating gift successfully")).size(), 1);
    // The recovery copy came first.
    EXPECT_TRUE(QFile::exists(Home(QStringLiteral("Temp/temp.mlp"))));

    // Cancel in the dialog: nothing is asked.
    m_prompts.m_calls.clear();
    WhenModalOpen<CDlgFinish>([](CDlgFinish& dialog) { Child<QPushButton>(dialog, "btnCancel")->click(); });
    Window().Finish();
    EXPECT_TRUE(m_prompts.m_calls.empty());
}

TEST_F(PublishCommandsTest, PrintCurrentCardPrintsTheCardOfTheSelectedLink)
{
    Window();
    // The first link of the second card.
    QTreeWidgetItem* pLink = Tree()->topLevelItem(1)->child(0);
    ASSERT_NE(pLink, nullptr);
    Tree()->setCurrentItem(pLink);
    m_projector.m_result = EPlayerExit::Failed;
    Window().RunCommand(kCmdPrintCard);
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Print);
    const QFileInfo movie(m_projector.m_calls[0].m_strMovie);
    EXPECT_EQ(movie.absolutePath(), QFileInfo(Home(QStringLiteral("Temp"))).absoluteFilePath());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^1_[0-9]{1,3}\\.swf$")).match(movie.fileName()).hasMatch())
        << movie.fileName().toStdString();
    EXPECT_TRUE(ReadBytes(movie.absoluteFilePath()).startsWith("FWS"));
    EXPECT_TRUE(m_prompts.Notices().contains(QStringLiteral("Can not print, can not open Flash Player")));
}

TEST_F(PublishCommandsTest, GenerateExeNoticesItsOutcome)
{
    Window();
    Window().RunCommand(kCmdExportExe);
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Temp/generate.swf")));
    EXPECT_TRUE(m_prompts.Notices().contains(QStringLiteral("Creating e-gift successfully")));
    m_projector.m_result = EPlayerExit::Failed;
    Window().RunCommand(kCmdExportExe);
    EXPECT_TRUE(m_prompts.Notices().contains(
        QStringLiteral("Can not generate FlashPlayer, can not open Flash Player")));
}

TEST_F(PublishCommandsTest, ThePhotoAlbumUsesTheInstallationsTemp)
{
    Window();
    std::filesystem::path scratch;
    m_pDialogs->m_buildAlbum = [&scratch](const std::filesystem::path&, const std::filesystem::path& movie,
                                   const std::filesystem::path& scratchFolder, const PublishProgressFn&) {
        scratch = scratchFolder;
        QFile file(QString::fromStdU16String(movie.u16string()));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        CPublishResult result;
        result.m_outcome = EPublishOutcome::Written;
        return result;
    };
    m_prompts.QueuePath(m_work.path());
    m_prompts.QueuePath(m_work.filePath(QStringLiteral("album.swf")));
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Window().RunCommand(kCmdPhotoAlbum);
    EXPECT_EQ(QString::fromStdU16String(scratch.u16string()), Home(QStringLiteral("Temp")));
    EXPECT_EQ(m_prompts.Messages().size(), 1);
    EXPECT_TRUE(
        m_prompts.Messages()[0].startsWith(QStringLiteral("The photo album has been created successfully")));
}

TEST_F(PublishCommandsTest, TheRealBuildersLockTheFolderAndMakeTheAlbum)
{
    Window();
    const QString strFolder = m_work.filePath(QStringLiteral("Holiday"));
    ASSERT_TRUE(QDir().mkpath(strFolder + QStringLiteral("/beach")));
    for (const char* strName : { "a.png", "beach/b.png" }) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(QDir(strFolder).filePath(QString::fromLatin1(strName))));
    }
    const QStringList before = QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // The locked archive beside the gift, every entry enciphered (flag bit 0), mailed from the
    // project's address.
    App().m_project.m_settings.m_strEmail = "anna@example.org";
    const QString strTarget = m_work.filePath(QStringLiteral("gift.swf"));
    m_prompts.QueuePath(strTarget);
    m_prompts.QueuePath(strFolder);
    WhenModalOpen<CDlgFinish>([](CDlgFinish& dialog) {
        Child<QPushButton>(dialog, "btnChoosePath")->click();
        Child<QCheckBox>(dialog, "checkLock")->click();
        Child<QLineEdit>(dialog, "editPassword")->setText(QStringLiteral("secret"));
        Child<QCheckBox>(dialog, "checkSendMail")->click();
        Child<QPushButton>(dialog, "btnFinish")->click();
    });
    Window().Finish();
    ASSERT_EQ(m_mailer.m_sent.size(), 1U);
    EXPECT_EQ(m_mailer.m_sent[0].m_strOriginator, QStringLiteral("anna@example.org"));
    ASSERT_EQ(m_mailer.m_sent[0].m_attachments.size(), 2U);
    EXPECT_EQ(ReadBytes(m_mailer.m_sent[0].m_attachments[1].m_strPath),
        ReadBytes(strTarget + QStringLiteral(".zip")));
    const QByteArray archive = ReadBytes(strTarget + QStringLiteral(".zip"));
    ASSERT_GE(archive.size(), 30);
    EXPECT_TRUE(archive.startsWith("PK\x03\x04"));
    EXPECT_EQ(archive[6] & 1, 1);
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral("The locked zip file has been created successfully.") });

    // The album of the same folder, which stays as it was.
    m_prompts.m_calls.clear();
    const QString strAlbum = m_work.filePath(QStringLiteral("album.swf"));
    m_prompts.QueuePath(strFolder);
    m_prompts.QueuePath(strAlbum);
    m_prompts.QueueAnswer(EPromptAnswer::Cancel);
    Window().RunCommand(kCmdPhotoAlbum);
    EXPECT_TRUE(ReadBytes(strAlbum).startsWith("CWS"));
    EXPECT_EQ(m_prompts.Messages().size(), 1) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

} // namespace
