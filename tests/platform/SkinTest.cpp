// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Skin.h"
#include "platform/SkinForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QString WriteText(const QTemporaryDir& dir, const QString& strName, const QByteArray& text)
{
    const QString strPath = dir.filePath(strName);
    QFile file(strPath);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return strPath;
}

TEST(Skin, LoadsStyleSheetsAndRefusesOtherFiles)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray text;
        bool loads;
    };
    const Case cases[] = {
        { "plain.skn", "#main { background: #fff; }", true },
        { "comment.skn", "/* } */ QPushButton#BTNPrint { color: red; }", true },
        { "quoted.skn", "QLabel { qproperty-text: \"}\"; }", true },
        { "empty.skn", "  \n", false },
        { "unbalanced.skn", "#main { background: #fff;", false },
        { "closing.skn", "} #main {", false },
        { "open-comment.skn", "#main { } /* ", false },
        { "binary.skn", QByteArray("\xff\xfe\x00{", 4), false },
    };
    for (const Case& c : cases) {
        CSkin skin;
        EXPECT_EQ(skin.Load(WriteText(dir, QString::fromLatin1(c.name), c.text)), c.loads) << c.name;
        EXPECT_EQ(skin.IsLoaded(), c.loads) << c.name;
    }
    CSkin missing;
    EXPECT_FALSE(missing.Load(dir.filePath(QStringLiteral("none.skn"))));
}

TEST(Skin, ResolvesPicturesBesideTheSkinFile)
{
    QTemporaryDir dir;
    CSkin skin;
    ASSERT_TRUE(skin.Load(WriteText(dir, QStringLiteral("s.skn"),
        "#a { image: url(pics/a.png); } #b { image: url(\"/abs/b.png\"); } "
        "#c { image: url(:/res/c.png); }")));
    const QString strSheet = skin.StyleSheet();
    EXPECT_TRUE(strSheet.contains(
        QStringLiteral("url(\"") + QDir(dir.path()).absoluteFilePath(QStringLiteral("pics/a.png"))))
        << strSheet.toStdString();
    EXPECT_TRUE(strSheet.contains(QStringLiteral("url(\"/abs/b.png\")")));
    EXPECT_TRUE(strSheet.contains(QStringLiteral("url(\":/res/c.png\")")));
}

TEST(Skin, DressesWindowsAndNamedObjects)
{
    QTemporaryDir dir;
    CSkin skin;
    ASSERT_TRUE(skin.Load(WriteText(dir, QStringLiteral("s.skn"), "#CHKEmailSend { color: #ff0000; }")));
    QWidget window;
    auto* pBox = new QCheckBox(&window);
    skin.Apply(&window);
    skin.ApplyObject(pBox, QStringLiteral("CHKEmailSend"));
    EXPECT_EQ(window.styleSheet(), skin.StyleSheet());
    EXPECT_EQ(pBox->objectName(), QStringLiteral("CHKEmailSend"));
    pBox->ensurePolished();
    EXPECT_EQ(pBox->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST(SkinForm, RaisesClickAndStateEventsWithTheObjectName)
{
    QWidget window;
    auto* pLayout = new QVBoxLayout(&window);
    auto* pAdd = new QPushButton(QStringLiteral("Add"));
    pAdd->setObjectName(QStringLiteral("BTNAddCard"));
    auto* pStep = new QRadioButton(QStringLiteral("Step 2"));
    pStep->setObjectName(QStringLiteral("RDOStep2"));
    auto* pOther = new QRadioButton(QStringLiteral("Step 3"));
    pOther->setObjectName(QStringLiteral("RDOStep3"));
    auto* pUnnamed = new QPushButton(QStringLiteral("plain"));
    pLayout->addWidget(pAdd);
    pLayout->addWidget(pStep);
    pLayout->addWidget(pOther);
    pLayout->addWidget(pUnnamed);

    CSkin skin;
    CSkinForm* pForm = skin.GetForm(&window);
    ASSERT_EQ(pForm->parent(), &window);
    QSignalSpy clicks(pForm, &CSkinForm::Click);
    QSignalSpy states(pForm, &CSkinForm::State);

    pAdd->click();
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toString(), QStringLiteral("BTNAddCard"));
    ASSERT_EQ(states.count(), 1); // a plain button reports its press as state 1 too
    EXPECT_EQ(states.at(0).at(1).toInt(), 1);

    states.clear();
    pStep->click();
    pOther->click(); // RDOStep2 goes off (0), RDOStep3 on (1)
    QList<QPair<QString, int>> seen;
    for (const QList<QVariant>& s : states) {
        seen.append({ s.at(0).toString(), s.at(1).toInt() });
    }
    const QList<QPair<QString, int>> expected = { { QStringLiteral("RDOStep2"), 1 },
        { QStringLiteral("RDOStep2"), 0 }, { QStringLiteral("RDOStep3"), 1 } };
    EXPECT_EQ(seen, expected);

    clicks.clear();
    pUnnamed->click();
    EXPECT_EQ(clicks.count(), 0);

    // A named button added later joins after Refresh, and only once.
    auto* pLate = new QPushButton(&window);
    pLate->setObjectName(QStringLiteral("BTNReload"));
    pForm->Refresh();
    pForm->Refresh();
    pLate->click();
    EXPECT_EQ(clicks.count(), 1);

    EXPECT_TRUE(CSkinForm::SameName(QStringLiteral("btnreload"), QStringLiteral("BTNReload")));
    EXPECT_FALSE(CSkinForm::SameName(QStringLiteral("BTNReload"), QStringLiteral("BTNPrint")));
}

} // namespace
