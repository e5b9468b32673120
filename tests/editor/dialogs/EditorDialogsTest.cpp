// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with the editor's real dialogs: the card background picker, the project
// settings (with the pickers and the music dialog they open) and the preview window, each acted on
// as the user would while it is open.
#include "editor/addbg/DlgAddBg.h"
#include "editor/music/DlgMusic.h"
#include "editor/preview/DlgPreview.h"
#include "editor/settings/DlgProjectSettings.h"
#include "platform/FakeSoundPlayer.h"
#include "tests/editor/EditorFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

using editortest::EditorTest;

// Runs the action on the dialog of type T once it is the open modal window, as the user would act.
template<typename T> void WhenOpen(std::function<void(T&)> action)
{
    QTimer::singleShot(0, [action] {
        auto* pDialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(pDialog, nullptr) << "the expected dialog is not open";
        action(*pDialog);
    });
}

template<typename T> T* Child(QWidget& dialog, const char* strName)
{
    T* pChild = dialog.findChild<T*>(QString::fromLatin1(strName));
    EXPECT_NE(pChild, nullptr) << strName;
    return pChild;
}

void SelectListItem(QDialog& dialog, const char* strList, const QString& strText)
{
    auto* pList = Child<QListWidget>(dialog, strList);
    const QList<QListWidgetItem*> found = pList->findItems(strText, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << strText.toStdString();
    // A click: the list choice becomes the source.
    pList->scrollToItem(found.first());
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->visualItemRect(found.first()).center());
}

class EditorDialogsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_pDialogs = std::make_unique<CEditorDialogs>(Home(), m_prompts, &m_sound);
        m_services.m_pDialogs = m_pDialogs.get();
    }

    void TearDown() override
    {
        EditorTest::TearDown();
        m_pDialogs.reset();
    }

    CFakeSoundPlayer m_sound;
    std::unique_ptr<CEditorDialogs> m_pDialogs;
};

TEST_F(EditorDialogsTest, ACardBackgroundFromTheListIsStoredWithItsFolder)
{
    Window();
    const int nLoads = LoadCount();
    WhenOpen<CDlgAddBg>([](CDlgAddBg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Adjust the background of cards"));
        SelectListItem(dialog, "listFiles", QStringLiteral("sky.jpg"));
        Child<QPushButton>(dialog, "btnOk")->click();
    });
    Window().CardBackground();
    const CCardInfo& card = App().m_project.Card(0);
    EXPECT_EQ(card.m_strBackground, "Background\\sky.jpg");
    EXPECT_EQ(card.m_bUseProjectBg, 0);
    EXPECT_GT(LoadCount(), nLoads); // the preview shows it
    EXPECT_TRUE(m_prompts.Messages().isEmpty()) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();

    // Cancel the second time: nothing changes.
    WhenOpen<CDlgAddBg>([](CDlgAddBg& dialog) { Child<QPushButton>(dialog, "btnCancel")->click(); });
    Window().CardBackground();
    EXPECT_EQ(App().m_project.Card(0).m_strBackground, "Background\\sky.jpg");
}

TEST_F(EditorDialogsTest, SettingsStoreWhatTheirDialogsChose)
{
    Window();
    WhenOpen<CDlgProjectSettings>([](CDlgProjectSettings& settings) {
        // The button look from its picker, then the music from its samples.
        WhenOpen<CDlgAddBg>([](CDlgAddBg& picker) {
            EXPECT_EQ(picker.windowTitle(), QStringLiteral("Adjust the style of button"));
            SelectListItem(picker, "listFiles", QStringLiteral("wood.jpg"));
            Child<QPushButton>(picker, "btnOk")->click();
        });
        Child<QPushButton>(settings, "btnEditButtons")->click();
        WhenOpen<CDlgMusic>([](CDlgMusic& music) {
            auto* pList = Child<QTreeWidget>(music, "listSamples");
            const QList<QTreeWidgetItem*> found =
                pList->findItems(QStringLiteral("calm.mp3"), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            pList->setCurrentItem(found.first());
            Child<QPushButton>(music, "btnOk")->click();
        });
        Child<QPushButton>(settings, "btnEditMusic")->click();
        Child<QLineEdit>(settings, "editWidth")->setText(QStringLiteral("500"));
        Child<QPushButton>(settings, "btnOk")->click();
    });
    const int nLoads = LoadCount();
    Window().ProjectSettings();
    const CProjectSettings& stored = App().m_project.m_settings;
    EXPECT_EQ(stored.m_strButton, "Button\\wood.jpg");
    EXPECT_EQ(stored.m_strMusic, "Music\\calm.mp3");
    EXPECT_EQ(stored.m_nWidth, 500);
    EXPECT_GT(LoadCount(), nLoads);
    EXPECT_TRUE(m_prompts.Messages().isEmpty()) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();
}

TEST_F(EditorDialogsTest, AnEditedBackgroundShowsEvenWhenTheSettingsAreCancelled)
{
    Window();
    ASSERT_EQ(App().m_project.Card(0).m_bUseProjectBg, 1);
    WhenOpen<CDlgProjectSettings>([](CDlgProjectSettings& settings) {
        WhenOpen<CDlgAddBg>([](CDlgAddBg& picker) {
            SelectListItem(picker, "listFiles", QStringLiteral("paper.jpg"));
            Child<QPushButton>(picker, "btnOk")->click();
        });
        Child<QPushButton>(settings, "btnEditBackground")->click();
        Child<QPushButton>(settings, "btnCancel")->click();
    });
    const int nLoads = LoadCount();
    Window().ProjectSettings();
    EXPECT_EQ(App().m_project.m_settings.m_strBackground, "Background\\paper.jpg");
    EXPECT_EQ(App().m_project.Card(0).m_strBackground, "Background\\paper.jpg");
    EXPECT_GT(LoadCount(), nLoads);
}

TEST_F(EditorDialogsTest, PreviewGeneratesTheWholeGiftAndShowsIt)
{
    Window();
    QString strLoaded;
    WhenOpen<CDlgPreview>([&strLoaded](CDlgPreview& preview) {
        strLoaded = preview.MoviePath();
        preview.close();
    });
    Window().Preview();
    EXPECT_EQ(strLoaded, Home(QStringLiteral("Temp/preview.swf")));
    EXPECT_TRUE(QFile::exists(strLoaded));
    // The window's recovery copy was written before.
    EXPECT_TRUE(QFile::exists(Home(QStringLiteral("Temp/temp.mlp"))));
    EXPECT_TRUE(m_prompts.Messages().isEmpty()) << m_prompts.Messages().join(QLatin1Char('\n')).toStdString();
}

} // namespace
