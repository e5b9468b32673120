// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Music.h"
#include "editor/music/DlgMusic.h"
#include "editor/music/MusicSamples.h"
#include "tests/editor/dialogs/DialogFixture.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <memory>
#include <string>

namespace {

const QString kNotPlayable = QStringLiteral("This music file can not be played.");
const QString kNotReadable = QStringLiteral("This music file can not be read. Please choose another one.");
const QString kNoSample = QStringLiteral("Please choose a sample from sample list.");

// The dialog on a private installation whose Music folder holds what each test writes: "a.MP3" a
// real MP3, "b.swf" a real Flash sound movie unless a test says otherwise.
class MusicTest : public editortest::DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LinkStagedFolder("Resource");
    }

    void AddGoodSamples()
    {
        CopyStaged(QStringLiteral("Music/birthday.mp3"), QStringLiteral("Music/a.MP3"));
        CopyStaged(QStringLiteral("Music/music-box.swf"), QStringLiteral("Music/b.swf"));
    }

    // The dialog shown (offscreen), set up as the settings dialog does before exec().
    CDlgMusic& Open(const std::string& strValue, int nSource = CDlgMusic::kSourceSamples)
    {
        // The old dialog goes first: it lets go of the sound player's handler as it goes.
        m_pDialog.reset();
        m_pDialog = std::make_unique<CDlgMusic>(m_services);
        m_pDialog->SetValue(strValue);
        m_pDialog->SetSource(nSource);
        m_pDialog->show();
        return *m_pDialog;
    }

    template<typename T> T* Child(const char* strName) const
    {
        T* pChild = m_pDialog->findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pChild, nullptr) << strName;
        return pChild;
    }

    QTreeWidget* List() const { return Child<QTreeWidget>("listSamples"); }
    QPushButton* Play() const { return Child<QPushButton>("btnPlay"); }
    void Click(const char* strButton) const { Child<QPushButton>(strButton)->click(); }

    QString Selected() const
    {
        const QList<QTreeWidgetItem*> selected = List()->selectedItems();
        return selected.size() == 1 ? selected.first()->text(0) : QString();
    }

    void Select(const QString& strName) const
    {
        const QList<QTreeWidgetItem*> found = List()->findItems(strName, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << strName.toStdString();
        List()->setCurrentItem(found.first());
    }

    // Closed with OK (or Remove) when the dialog is hidden with Accepted.
    bool Accepted() const { return !m_pDialog->isVisible() && m_pDialog->result() == QDialog::Accepted; }

    std::unique_ptr<CDlgMusic> m_pDialog;
};

TEST_F(MusicTest, ListsMusicFilesAndSelectsTheValuesRow)
{
    WriteFile(QStringLiteral("music/Thumbs.db"), "cache");
    WriteFile(QStringLiteral("music/notes.txt"), "x");
    WriteFile(QStringLiteral("music/folder.mp3/inner.mp3"), "x");
    CopyStaged(QStringLiteral("Music/birthday.mp3"), QStringLiteral("music/a.MP3"));
    CopyStaged(QStringLiteral("Music/calm.mp3"), QStringLiteral("music/B2.Mp3"));
    CopyStaged(QStringLiteral("Music/music-box.swf"), QStringLiteral("music/b.swf"));

    // The folder is found without regard to case; rows are music files only, sorted ignoring case.
    Open({});
    QStringList rows;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) {
        rows << List()->topLevelItem(i)->text(0) + QLatin1Char('|') + List()->topLevelItem(i)->text(1);
    }
    EXPECT_EQ(rows,
        QStringList(
            { QStringLiteral("a.MP3|mp3"), QStringLiteral("b.swf|swf"), QStringLiteral("B2.Mp3|mp3") }));
    // No music selects nothing, so a plain OK cannot add a sample.
    EXPECT_TRUE(Selected().isEmpty());

    // The exact name in any case first, else the first row the value begins.
    const std::vector<CMusicSample> samples = ListMusicSamples(Home());
    EXPECT_EQ(FindSampleRow(samples, QStringLiteral("B2.MP3")), 2);
    EXPECT_EQ(FindSampleRow(samples, QStringLiteral("b")), 1);
    EXPECT_EQ(FindSampleRow(samples, QStringLiteral("calm.mp3")), -1);

    Open("a.mp3");
    EXPECT_EQ(Selected(), QStringLiteral("a.MP3"));
    EXPECT_TRUE(List()->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>("editPath")->isEnabled());
    // OK takes the row's name as it is on disk.
    Click("btnOk");
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(m_pDialog->Value(), "a.MP3");
    EXPECT_EQ(m_pDialog->Source(), CDlgMusic::kSourceSamples);
}

TEST_F(MusicTest, PathValueOpensOnTheDisk)
{
    AddGoodSamples();
    Open("/x/y.mp3", CDlgMusic::kSourceDisk);
    EXPECT_TRUE(Child<QRadioButton>("radioDisk")->isChecked());
    EXPECT_EQ(Child<QLineEdit>("editPath")->text(), QStringLiteral("/x/y.mp3"));
    EXPECT_TRUE(Child<QPushButton>("btnBrowse")->isEnabled());
    EXPECT_FALSE(List()->isEnabled());

    // A drive path from another system is a path too; an empty value opens on the source given.
    Open("D:\\x.mp3");
    EXPECT_EQ(m_pDialog->Source(), CDlgMusic::kSourceDisk);
    Open({}, CDlgMusic::kSourceDisk);
    EXPECT_EQ(m_pDialog->Source(), CDlgMusic::kSourceDisk);
}

TEST_F(MusicTest, BrowsedPathIsTakenWhole)
{
    // Typing stops at 200 characters; a longer file chosen in the file dialog must not be cut to
    // the name of another one.
    const QString strRelative = QString(120, QLatin1Char('d')) + QLatin1Char('/') +
        QString(100, QLatin1Char('f')) + QStringLiteral(".mp3");
    CopyStaged(QStringLiteral("Music/birthday.mp3"), strRelative);
    const QString strPath = Home(strRelative);
    Open({});
    Child<QRadioButton>("radioDisk")->click();
    EXPECT_EQ(Child<QLineEdit>("editPath")->maxLength(), CDlgMusic::kMaxPathChars);

    m_prompts.QueuePath(strPath);
    Click("btnBrowse");
    ASSERT_EQ(m_prompts.m_calls.size(), 1U);
    EXPECT_EQ(m_prompts.m_calls[0].m_strFilter, QStringLiteral("(*.mp3;*.swf)|*.mp3;*.swf||"));
    // Cancelling a second browse keeps the path.
    Click("btnBrowse");
    EXPECT_EQ(Child<QLineEdit>("editPath")->text(), strPath);

    Click("btnOk");
    EXPECT_TRUE(Accepted());
    EXPECT_EQ(m_pDialog->Value(), strPath.toStdString());
    EXPECT_EQ(m_pDialog->Source(), CDlgMusic::kSourceDisk);
}

TEST_F(MusicTest, PlayTwiceStartsAndStopsAnMp3)
{
    AddGoodSamples();
    CopyStaged(QStringLiteral("Music/calm.mp3"), QStringLiteral("Music/c.mp3"));
    Open("a.mp3");
    Play()->click();
    EXPECT_TRUE(Play()->isChecked());
    Play()->click();
    EXPECT_FALSE(Play()->isChecked());
    EXPECT_EQ(m_sound.m_calls,
        QStringList({ QStringLiteral("open ") + Home(QStringLiteral("Music/a.MP3")), QStringLiteral("play"),
            QStringLiteral("stop"), QStringLiteral("close") }));
    // MP3 files need no embedded player.
    EXPECT_EQ(m_nPlayersMade, 0);

    // What plays is the row selected now, not the value the dialog opened with.
    Select(QStringLiteral("c.mp3"));
    Play()->click();
    EXPECT_EQ(m_sound.m_calls.value(4), QStringLiteral("open ") + Home(QStringLiteral("Music/c.mp3")));
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(MusicTest, PlayTwiceLoadsAFlashSampleThenTheSilenceMovie)
{
    AddGoodSamples();
    Open("b.swf");
    EXPECT_EQ(m_nPlayersMade, 0);
    Play()->click();
    ASSERT_EQ(m_nPlayersMade, 1);
    // Laid over its frame, two pixels inside it.
    const QFrame* pFrame = Child<QFrame>("framePlayer");
    EXPECT_EQ(m_pPlayer->parentWidget(), pFrame);
    EXPECT_EQ(m_pPlayer->geometry(), pFrame->rect().adjusted(2, 2, -2, -2));

    Play()->click();
    EXPECT_FALSE(Play()->isChecked());
    EXPECT_EQ(m_pPlayer->m_calls,
        QStringList({ QStringLiteral("load 0 ") + Home(QStringLiteral("Music/b.swf")), QStringLiteral("play"),
            QStringLiteral("stop"),
            QStringLiteral("load 0 ") + Home(QStringLiteral("Resource/soundstop.swf")) }));

    // One player serves every later "Play>"; the sound player is not touched.
    Play()->click();
    EXPECT_EQ(m_nPlayersMade, 1);
    EXPECT_TRUE(m_sound.m_calls.isEmpty());
}

TEST_F(MusicTest, UnplayableMusicPopsThePlayButtonUp)
{
    AddGoodSamples();
    Open("a.mp3");
    // Refused at once.
    m_sound.m_bOpenResult = false;
    Play()->click();
    EXPECT_FALSE(Play()->isChecked());
    EXPECT_EQ(m_prompts.Messages(), QStringList { kNotPlayable });

    // Refused later, while it should be playing: the reason goes to the log.
    m_sound.m_bOpenResult = true;
    Play()->click();
    m_sound.FailLoad(QStringLiteral("no decoder"));
    EXPECT_FALSE(Play()->isChecked());
    EXPECT_EQ(m_prompts.Messages().size(), 2);
    EXPECT_TRUE(m_log.value(1).contains(QStringLiteral("no decoder")));

    // The dialog carries on; a failure arriving after the user stopped is no news.
    Play()->click();
    Play()->click();
    m_sound.FailLoad(QStringLiteral("late"));
    EXPECT_EQ(m_prompts.Messages().size(), 2);
    EXPECT_TRUE(m_pDialog->isVisible());

    // A movie the player cannot load does the same.
    Select(QStringLiteral("b.swf"));
    Play()->click();
    Play()->click();
    m_pPlayer->m_strFailure = QStringLiteral("not a movie");
    Play()->click();
    EXPECT_FALSE(Play()->isChecked());
    EXPECT_EQ(m_prompts.Messages().size(), 3);
    EXPECT_EQ(m_pPlayer->m_calls.count(QStringLiteral("play")), 1);
}

TEST_F(MusicTest, RemoveOkAndCancelEndTheSound)
{
    AddGoodSamples();
    Open("a.mp3");
    Play()->click();
    Click("btnRemove");
    EXPECT_TRUE(Accepted());
    EXPECT_TRUE(m_pDialog->Value().empty());
    EXPECT_EQ(m_sound.m_calls.last(), QStringLiteral("close"));

    for (const char* strButton : { "btnOk", "btnCancel" }) {
        m_sound.m_calls.clear();
        Open("a.mp3");
        Play()->click();
        Click(strButton);
        EXPECT_FALSE(m_pDialog->isVisible());
        EXPECT_EQ(m_sound.m_calls.last(), QStringLiteral("close")) << strButton;
    }

    // A Flash sample playing when the dialog closes is silenced as "Play>" would.
    Open("b.swf");
    Play()->click();
    m_pDialog->reject();
    EXPECT_EQ(m_pPlayer->m_calls.last(),
        QStringLiteral("load 0 ") + Home(QStringLiteral("Resource/soundstop.swf")));

    // A dialog gone closes its sound and no longer hears of failures.
    Open("a.mp3");
    Play()->click();
    m_pDialog.reset();
    EXPECT_EQ(m_sound.m_calls.last(), QStringLiteral("close"));
    m_sound.FailLoad(QStringLiteral("after the dialog"));
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(MusicTest, RefusedFlashFileEmptiesTheValueAndStaysOpen)
{
    WriteFile(QStringLiteral("Music/b.swf"), "not a movie");
    Open("b.swf");
    Click("btnOk");
    EXPECT_EQ(m_prompts.Messages(),
        QStringList { QStringLiteral(" The version of flash file (swf) is not support.") });
    EXPECT_TRUE(m_pDialog->isVisible());
    EXPECT_TRUE(m_pDialog->Value().empty());

    // On disk, an upper-case ending is tested as well; a good movie passes.
    WriteFile(QStringLiteral("Documents/Picture.SWF"), "GIF89a");
    CopyStaged(QStringLiteral("Music/music-box.swf"), QStringLiteral("Documents/Box.SWF"));
    Open(Home(QStringLiteral("Documents/Picture.SWF")).toStdString());
    Click("btnOk");
    EXPECT_EQ(m_prompts.Messages().size(), 2);
    Open(Home(QStringLiteral("Documents/Box.SWF")).toStdString());
    Click("btnOk");
    EXPECT_TRUE(Accepted());
}

TEST_F(MusicTest, UnreadableMusicFileKeepsTheDialogOpen)
{
    WriteFile(QStringLiteral("Music/damaged.mp3"), QByteArray(4096, 'x'));
    WriteFile(QStringLiteral("Documents/silence.mp3"), QByteArray(4096, '\0'));
    CopyStaged(QStringLiteral("Music/birthday.mp3"), QStringLiteral("Documents/Good.mp3"));
    CopyStaged(QStringLiteral("Music/birthday.mp3"), QStringLiteral("Documents/sound.wav"));
    EXPECT_TRUE(IsReadableMp3Music(Home(QStringLiteral("Documents/Good.mp3")).toStdString()));
    EXPECT_FALSE(IsReadableMp3Music(Home(QStringLiteral("Music/damaged.mp3")).toStdString()));

    Open("damaged.mp3");
    Click("btnOk");
    EXPECT_EQ(m_prompts.Messages(), QStringList { kNotReadable });
    EXPECT_TRUE(m_pDialog->isVisible());

    // On disk: no frames, missing (an MP3 or a movie), relative, not music.
    for (const QString& strPath : { Home(QStringLiteral("Documents/silence.mp3")),
             Home(QStringLiteral("Documents/missing.mp3")), Home(QStringLiteral("Documents/missing.swf")),
             QStringLiteral("Documents/Good.mp3"), Home(QStringLiteral("Documents/sound.wav")) }) {
        m_prompts.m_calls.clear();
        Open({}, CDlgMusic::kSourceDisk);
        Child<QLineEdit>("editPath")->setText(strPath);
        Click("btnOk");
        EXPECT_EQ(m_prompts.Messages(), QStringList { kNotReadable }) << strPath.toStdString();
        EXPECT_TRUE(m_pDialog->isVisible()) << strPath.toStdString();
    }

    // The file is found without regard to case; an empty path box is no music.
    m_prompts.m_calls.clear();
    Open({}, CDlgMusic::kSourceDisk);
    Child<QLineEdit>("editPath")->setText(Home(QStringLiteral("documents/GOOD.MP3")));
    Click("btnOk");
    EXPECT_TRUE(Accepted());
    Open({}, CDlgMusic::kSourceDisk);
    Click("btnOk");
    EXPECT_TRUE(Accepted());
    EXPECT_TRUE(m_pDialog->Value().empty());
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(MusicTest, NoSelectionInSamplesModeAsksForOne)
{
    AddGoodSamples();
    Open("calm.mp3");
    Click("btnOk");
    EXPECT_EQ(m_prompts.Messages(), QStringList { kNoSample });
    EXPECT_TRUE(m_pDialog->isVisible());

    // A path typed on the disk side does not count once the samples are chosen again.
    Child<QRadioButton>("radioDisk")->click();
    Child<QLineEdit>("editPath")->setText(Home(QStringLiteral("Music/a.MP3")));
    Child<QRadioButton>("radioSamples")->click();
    Click("btnOk");
    EXPECT_EQ(m_prompts.Messages().size(), 2);
    Select(QStringLiteral("b.swf"));
    Click("btnOk");
    EXPECT_EQ(m_pDialog->Value(), "b.swf");
}

TEST_F(MusicTest, SkinDressesTheDialogWhenItLoads)
{
    // A skin that does not load leaves the dialog plain, without a word.
    WriteFile(QStringLiteral("Skin/vwinaqua.skn"), "QWidget { color: red;");
    Open({});
    EXPECT_TRUE(m_pDialog->styleSheet().isEmpty());
    EXPECT_TRUE(m_prompts.m_calls.empty());

    ASSERT_TRUE(QDir(Home(QStringLiteral("Skin"))).removeRecursively());
    LinkStagedFolder("Skin");
    Open({});
    EXPECT_FALSE(m_pDialog->styleSheet().isEmpty());
}

} // namespace
