// SPDX-License-Identifier: GPL-3.0-or-later
// Generation's reports in the editor: one box per distinct reason in a run, every occurrence in the
// log.
#include "tests/editor/EditorFixture.h"

#include "generate/Generator.h"

#include <QDir>
#include <QFile>

namespace {

using editortest::EditorTest;

class EditorReportsTest : public EditorTest { };

// Texts of the prompts' calls of one kind from the given call on.
QStringList CallsFrom(const CFakePrompts& prompts, size_t nFirst, CFakePrompts::EKind kind)
{
    QStringList texts;
    for (size_t i = nFirst; i < prompts.m_calls.size(); ++i) {
        if (prompts.m_calls[i].m_kind == kind) {
            texts << prompts.m_calls[i].m_strText;
        }
    }
    return texts;
}

TEST_F(EditorReportsTest, ACutFontGivesOneBoxPerReasonAndEveryOccurrenceInTheLog)
{
    // A Font folder of the installation's own, its text font cut to 10 bytes.
    const QString strFont = Home(QStringLiteral("Font"));
    ASSERT_TRUE(QFile::remove(strFont));
    ASSERT_TRUE(QDir().mkpath(strFont));
    const QDir staged(QStringLiteral(MARROWLARK_BUILD_DIR "/home/Font"));
    for (const QString& strName : staged.entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(staged.filePath(strName), QDir(strFont).filePath(strName)));
    }
    QFile cut(QDir(strFont).filePath(QStringLiteral("Sans.fdb")));
    ASSERT_TRUE(cut.open(QIODevice::ReadWrite));
    ASSERT_TRUE(cut.resize(10));
    cut.close();

    // The starter project: three cards, two links on each of the first two.
    CMarrowlarkDlg& window = Window();
    window.Generator().LoadFonts(1);
    const size_t nFirst = m_prompts.m_calls.size();
    const QByteArray before = ReadHomeFile(QStringLiteral("mlp.log"));
    window.Generator().GenerateSWF(Home(QStringLiteral("Temp/gift.swf")).toStdString(), nullptr, 1, 0);

    // Two reasons, each in one box, though each step failed four times.
    const QStringList boxes = CallsFrom(m_prompts, nFirst, CFakePrompts::EKind::Message);
    ASSERT_EQ(boxes.size(), 2) << boxes.join(QStringLiteral("\n---\n")).toStdString();
    EXPECT_TRUE(
        boxes[0].contains(QStringLiteral("Error when adding the title of link, please restart the program")));
    EXPECT_TRUE(boxes[1].contains(QStringLiteral("Failed to move the title of the button")));
    // The notices of the run, each once: the font, and the comment the font left out.
    const QStringList notices = CallsFrom(m_prompts, nFirst, CFakePrompts::EKind::Notice);
    EXPECT_EQ(notices.filter(QStringLiteral("Error when add comment to the e-gift")).size(), 1);
    EXPECT_EQ(notices.filter(QStringLiteral("could not be loaded")).size(), 1);

    const QString strLog = QString::fromUtf8(ReadHomeFile(QStringLiteral("mlp.log")).mid(before.size()));
    EXPECT_EQ(
        strLog.count(QStringLiteral("Error when adding the title of link, please restart the program\n")), 4);
    EXPECT_EQ(strLog.count(QStringLiteral("Failed to move the title of the button\n")), 4);

    // A second run shows its reasons again.
    const size_t nSecond = m_prompts.m_calls.size();
    window.Generator().GenerateSWF(Home(QStringLiteral("Temp/gift.swf")).toStdString(), nullptr, 1, 0);
    EXPECT_EQ(CallsFrom(m_prompts, nSecond, CFakePrompts::EKind::Message).size(), 2);
}

} // namespace
