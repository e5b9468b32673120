// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/app/TipWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The per-user settings go to a folder of the test's own, set before any settings object exists
// (static initialisation runs before main creates the application).
struct CIsolatedConfig {
    CIsolatedConfig()
        : m_pDir(std::make_unique<QTemporaryDir>())
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_pDir->path()));
    }
    std::unique_ptr<QTemporaryDir> m_pDir;
};
const CIsolatedConfig g_config;

QSettings UserSettings()
{
    return QSettings(QStringLiteral("Marrowlark"), QStringLiteral("Marrowlark"));
}

class TipWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UserSettings().fileName().startsWith(g_config.m_pDir->path()));
        UserSettings().remove(QStringLiteral("Tips"));
        ASSERT_TRUE(m_home.isValid());
    }

    void WriteTips(const QByteArray& text)
    {
        QFile file(m_home.filePath(QStringLiteral("Tips.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    template<typename T> static T* Child(const CTipWindow& window, const char* strName)
    {
        T* pChild = window.findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pChild, nullptr) << strName;
        return pChild;
    }

    QTemporaryDir m_home;
};

TEST_F(TipWindowTest, ShowsAtFirstStartAndKeepsTheCheckBox)
{
    WriteTips("One tip\n");
    EXPECT_TRUE(CTipWindow::ShowAtStartup());
    {
        CTipWindow window(m_home.path());
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Marrowlark Tip of toay"));
        EXPECT_FALSE(window.isModal());
        auto* pCheck = Child<QCheckBox>(window, "chkShowAtStartup");
        EXPECT_EQ(pCheck->text(), QStringLiteral("Show tips at startup"));
        EXPECT_TRUE(pCheck->isChecked());
        pCheck->click();
    }
    EXPECT_FALSE(CTipWindow::ShowAtStartup());
    CTipWindow window(m_home.path());
    auto* pCheck = Child<QCheckBox>(window, "chkShowAtStartup");
    EXPECT_FALSE(pCheck->isChecked());
    pCheck->click();
    EXPECT_TRUE(CTipWindow::ShowAtStartup());
}

TEST_F(TipWindowTest, EachOpeningAndNextTipMoveOnAndWrap)
{
    // Comments, blank lines, CRLF line ends and surrounding blanks are not tips.
    WriteTips(
        "\xEF\xBB\xBF# tips\r\nFirst tip\r\n\r\n   \n  Second tip  \n#not a tip\nThird tip \xE2\x9C\x93");
    const QString strFirst = QStringLiteral("First tip");
    const QString strSecond = QStringLiteral("Second tip");
    const QString strThird = QStringLiteral("Third tip \u2713");
    {
        CTipWindow window(m_home.path());
        EXPECT_EQ(window.CurrentTip(), strFirst);
        EXPECT_EQ(Child<QLabel>(window, "labelTip")->text(), strFirst);
        auto* pNext = Child<QPushButton>(window, "btnNextTip");
        pNext->click();
        EXPECT_EQ(Child<QLabel>(window, "labelTip")->text(), strSecond);
        pNext->click();
        EXPECT_EQ(window.CurrentTip(), strThird);
        pNext->click();
        EXPECT_EQ(window.CurrentTip(), strFirst);
    }
    // The next opening goes on after the tip last shown.
    for (const QString& strExpected : { strSecond, strThird, strFirst }) {
        CTipWindow window(m_home.path());
        EXPECT_EQ(window.CurrentTip(), strExpected);
    }
}

TEST_F(TipWindowTest, CopesWithAMissingFileAndAStalePosition)
{
    {
        CTipWindow window(m_home.path());
        const QString strBuiltIn = window.CurrentTip();
        EXPECT_FALSE(strBuiltIn.isEmpty());
        Child<QPushButton>(window, "btnNextTip")->click();
        EXPECT_EQ(window.CurrentTip(), strBuiltIn);
    }
    WriteTips("A\nB\nC\n");
    struct Case {
        QVariant m_stored;
        QString m_strShown;
    };
    for (const Case& c : { Case { 7, QStringLiteral("B") }, Case { -4, QStringLiteral("A") },
             Case { QStringLiteral("junk"), QStringLiteral("A") } }) {
        UserSettings().setValue(QStringLiteral("Tips/Next"), c.m_stored);
        CTipWindow window(m_home.path());
        EXPECT_EQ(window.CurrentTip(), c.m_strShown) << c.m_stored.toString().toStdString();
    }
}

} // namespace
