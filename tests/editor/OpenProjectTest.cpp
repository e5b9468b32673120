// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/openproject/DlgOpenProject.h"

#include "platform/FakePrompts.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// What exec() gives when the scripted action left the dialog open.
constexpr int kStillOpen = -99;

void Touch(const QString& strPath, const QByteArray& content = "x")
{
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << strPath.toStdString();
    file.write(content);
}

// An installation folder whose sample folder is spelt "themes", so that it is only found when the
// name is matched without regard to case.
class OpenProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_strThemes = m_home.filePath(QStringLiteral("themes"));
        ASSERT_TRUE(QDir().mkpath(m_strThemes));
    }

    void AddSample(const QString& strName) { Touch(QDir(m_strThemes).filePath(strName)); }

    template<typename T> static T* Child(const CDlgOpenProject& dialog, const char* strName)
    {
        T* pChild = dialog.findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pChild, nullptr) << strName;
        return pChild;
    }

    static QStringList Items(const CDlgOpenProject& dialog)
    {
        QStringList items;
        const QListWidget* pList = Child<QListWidget>(dialog, "listSamples");
        for (int i = 0; i < pList->count(); ++i) {
            items.append(pList->item(i)->text());
        }
        return items;
    }

    // Runs the dialog modally; the action runs once it is open, as the user would act.
    static int ExecWith(CDlgOpenProject& dialog, const std::function<void()>& action)
    {
        QTimer::singleShot(0, &dialog, [&dialog, action] {
            action();
            if (dialog.isVisible()) {
                dialog.done(kStillOpen);
            }
        });
        return dialog.exec();
    }

    static void Select(CDlgOpenProject& dialog, const QString& strText)
    {
        auto* pList = Child<QListWidget>(dialog, "listSamples");
        const QList<QListWidgetItem*> found = pList->findItems(strText, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << strText.toStdString();
        pList->setCurrentItem(found.first());
    }

    QTemporaryDir m_home;
    QString m_strThemes;
    CFakePrompts m_prompts;
};

TEST_F(OpenProjectTest, ListsSampleFilesByNameIgnoringCase)
{
    AddSample(QStringLiteral("zebra.mlp"));
    AddSample(QStringLiteral("Birthday.mlp"));
    AddSample(QStringLiteral("a.MLP"));
    AddSample(QStringLiteral("cake.Mlp"));
    AddSample(QStringLiteral("notes.txt"));
    AddSample(QStringLiteral("mlp"));
    AddSample(QStringLiteral("party.mlp.bak"));
    ASSERT_TRUE(QDir(m_strThemes).mkdir(QStringLiteral("X.mlp")));

    CDlgOpenProject dialog(m_home.path(), m_prompts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Open Existing Marrowlark project files"));
    EXPECT_EQ(Items(dialog),
        QStringList({ QStringLiteral("a"), QStringLiteral("Birthday"), QStringLiteral("cake"),
            QStringLiteral("zebra") }));
    const auto* pList = Child<QListWidget>(dialog, "listSamples");
    EXPECT_EQ(pList->viewMode(), QListView::IconMode);
    EXPECT_EQ(pList->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(pList->item(0)->icon().isNull());
    EXPECT_TRUE(Child<QLabel>(dialog, "labelNoSamples")->isHidden());
}

TEST_F(OpenProjectTest, OkOpensTheSelectedSampleAsNamedOnDisk)
{
    AddSample(QStringLiteral("Birthday.mlp"));
    AddSample(QStringLiteral("quiz.MLP"));
    struct Case {
        QString m_strItem;
        QString m_strFile;
    };
    for (const Case& c : { Case { QStringLiteral("Birthday"), QStringLiteral("Birthday.mlp") },
             Case { QStringLiteral("quiz"), QStringLiteral("quiz.MLP") } }) {
        CDlgOpenProject dialog(m_home.path(), m_prompts);
        const int nResult = ExecWith(dialog, [&] {
            Select(dialog, c.m_strItem);
            Child<QPushButton>(dialog, "btnOk")->click();
        });
        EXPECT_EQ(nResult, QDialog::Accepted);
        EXPECT_EQ(dialog.ProjectPath(), QDir(m_strThemes).filePath(c.m_strFile));
    }

    // A double click on an item opens it too.
    CDlgOpenProject dialog(m_home.path(), m_prompts);
    const int nResult = ExecWith(dialog, [&] {
        auto* pList = Child<QListWidget>(dialog, "listSamples");
        const QRect rect = pList->visualItemRect(pList->item(0));
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, rect.center());
    });
    EXPECT_EQ(nResult, QDialog::Accepted);
    EXPECT_EQ(dialog.ProjectPath(), QDir(m_strThemes).filePath(QStringLiteral("Birthday.mlp")));
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(OpenProjectTest, OkWithoutSelectionAsksAndStaysOpen)
{
    AddSample(QStringLiteral("Birthday.mlp"));
    CDlgOpenProject dialog(m_home.path(), m_prompts);
    bool bStayed = false;
    const int nResult = ExecWith(dialog, [&] {
        Child<QPushButton>(dialog, "btnOk")->click();
        bStayed = dialog.isVisible();
    });
    EXPECT_TRUE(bStayed);
    EXPECT_EQ(nResult, kStillOpen);
    EXPECT_EQ(m_prompts.Messages(), QStringList(QStringLiteral("Please choose a sample from template.")));
    EXPECT_TRUE(dialog.ProjectPath().isEmpty());
}

TEST_F(OpenProjectTest, OpenFromTakesTheChosenFileOrStays)
{
    const QString strChosen = QStringLiteral("/somewhere/else/My Gift.mlp");
    m_prompts.QueuePath(strChosen);
    CDlgOpenProject dialog(m_home.path(), m_prompts);
    EXPECT_EQ(
        ExecWith(dialog, [&] { Child<QPushButton>(dialog, "btnOpenFrom")->click(); }), QDialog::Accepted);
    EXPECT_EQ(dialog.ProjectPath(), strChosen);
    ASSERT_EQ(m_prompts.m_calls.size(), 1U);
    EXPECT_EQ(m_prompts.m_calls[0].m_kind, CFakePrompts::EKind::OpenFile);
    EXPECT_EQ(m_prompts.m_calls[0].m_strFilter,
        QStringLiteral("Marrowlark Project (*.mlp)|*.mlp|All Files (*.*)|*.*||"));
    EXPECT_EQ(m_prompts.m_calls[0].m_strDefaultExt, QStringLiteral("mlp"));

    m_prompts.QueuePath(QString());
    CDlgOpenProject cancelled(m_home.path(), m_prompts);
    EXPECT_EQ(
        ExecWith(cancelled, [&] { Child<QPushButton>(cancelled, "btnOpenFrom")->click(); }), kStillOpen);
    EXPECT_TRUE(cancelled.ProjectPath().isEmpty());
}

TEST_F(OpenProjectTest, NewEscapeAndEnterRightAfterOpening)
{
    AddSample(QStringLiteral("Birthday.mlp"));
    {
        CDlgOpenProject dialog(m_home.path(), m_prompts);
        EXPECT_EQ(ExecWith(dialog, [&] { Child<QPushButton>(dialog, "btnNew")->click(); }),
            CDlgOpenProject::kResultNew);
        EXPECT_TRUE(dialog.ProjectPath().isEmpty());
    }
    {
        CDlgOpenProject dialog(m_home.path(), m_prompts);
        EXPECT_EQ(ExecWith(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }), QDialog::Rejected);
    }
    {
        // Enter goes to the focused widget, which is New, and New is the default button as well.
        CDlgOpenProject dialog(m_home.path(), m_prompts);
        QWidget* pFocus = nullptr;
        const int nResult = ExecWith(dialog, [&] {
            pFocus = dialog.focusWidget();
            QTest::keyClick(pFocus != nullptr ? pFocus : &dialog, Qt::Key_Return);
        });
        EXPECT_EQ(pFocus, Child<QPushButton>(dialog, "btnNew"));
        EXPECT_TRUE(Child<QPushButton>(dialog, "btnNew")->isDefault());
        EXPECT_EQ(nResult, CDlgOpenProject::kResultNew);
    }
    {
        // Enter in the list with a sample chosen opens that sample.
        CDlgOpenProject dialog(m_home.path(), m_prompts);
        const int nResult = ExecWith(dialog, [&] {
            Select(dialog, QStringLiteral("Birthday"));
            QTest::keyClick(Child<QListWidget>(dialog, "listSamples"), Qt::Key_Return);
        });
        EXPECT_EQ(nResult, QDialog::Accepted);
        EXPECT_EQ(dialog.ProjectPath(), QDir(m_strThemes).filePath(QStringLiteral("Birthday.mlp")));
    }
    EXPECT_TRUE(m_prompts.m_calls.empty());
}

TEST_F(OpenProjectTest, WithoutSamplesSaysSoAndOtherWaysStillWork)
{
    QTemporaryDir bare; // no Themes folder at all
    for (const QString& strHome : { bare.path(), m_home.path() }) {
        CDlgOpenProject dialog(strHome, m_prompts);
        EXPECT_TRUE(Items(dialog).isEmpty());
        const auto* pLabel = Child<QLabel>(dialog, "labelNoSamples");
        EXPECT_FALSE(pLabel->isHidden());
        EXPECT_EQ(pLabel->text(), QStringLiteral("No sample projects were found."));
        EXPECT_EQ(ExecWith(dialog, [&] { Child<QPushButton>(dialog, "btnNew")->click(); }),
            CDlgOpenProject::kResultNew);
    }
    m_prompts.QueuePath(QStringLiteral("/tmp/gift.mlp"));
    CDlgOpenProject dialog(bare.path(), m_prompts);
    EXPECT_EQ(
        ExecWith(dialog, [&] { Child<QPushButton>(dialog, "btnOpenFrom")->click(); }), QDialog::Accepted);
    EXPECT_EQ(dialog.ProjectPath(), QStringLiteral("/tmp/gift.mlp"));
}

TEST_F(OpenProjectTest, DressedByTheDialogSkinWhenItLoads)
{
    CDlgOpenProject undressed(m_home.path(), m_prompts);
    EXPECT_TRUE(undressed.styleSheet().isEmpty());

    const QString strSkinDir = m_home.filePath(QStringLiteral("SKIN"));
    ASSERT_TRUE(QDir().mkpath(strSkinDir));
    Touch(QDir(strSkinDir).filePath(QStringLiteral("VWinAqua.skn")), "QDialog { background: #def; }");
    CDlgOpenProject dressed(m_home.path(), m_prompts);
    EXPECT_TRUE(dressed.styleSheet().contains(QStringLiteral("#def")));

    // A damaged skin leaves the plain look, without a word.
    Touch(QDir(strSkinDir).filePath(QStringLiteral("VWinAqua.skn")), "QDialog { background: #def;");
    CDlgOpenProject damaged(m_home.path(), m_prompts);
    EXPECT_TRUE(damaged.styleSheet().isEmpty());
    EXPECT_TRUE(m_prompts.m_calls.empty());
}

} // namespace
