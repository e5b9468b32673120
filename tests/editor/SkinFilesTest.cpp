// SPDX-License-Identifier: GPL-3.0-or-later
// The skins the installation ships: they load, and Qt parses and applies them to the windows
// they are meant for.
#include "platform/Skin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QString SkinPath(const char* strName)
{
    QString strHome = qEnvironmentVariable("MARROWLARK_HOME");
    if (strHome.isEmpty()) {
        strHome = QStringLiteral(MARROWLARK_BUILD_DIR "/home");
    }
    return QDir(strHome).filePath(QStringLiteral("Skin/") + QString::fromLatin1(strName));
}

// Collects Qt's complaints about style sheets while it lives.
class CSheetWarnings {
public:
    CSheetWarnings() { m_previous = qInstallMessageHandler(&CSheetWarnings::Handle); }
    ~CSheetWarnings() { qInstallMessageHandler(m_previous); }
    CSheetWarnings(const CSheetWarnings&) = delete;
    CSheetWarnings& operator=(const CSheetWarnings&) = delete;

    static QStringList& Seen()
    {
        static QStringList seen;
        return seen;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext&, const QString& strMessage)
    {
        if (type != QtDebugMsg &&
            (strMessage.contains(QStringLiteral("Could not parse")) ||
                strMessage.contains(QStringLiteral("Unknown property")))) {
            Seen().append(strMessage);
        }
    }

    QtMessageHandler m_previous = nullptr;
};

template<typename T> T* Add(QWidget& window, const char* strName)
{
    auto* pWidget = new T(&window);
    pWidget->setObjectName(QString::fromLatin1(strName));
    window.layout()->addWidget(pWidget);
    return pWidget;
}

// Applies the skin as the window's object, shows and paints the window so that every rule is
// looked at.
void Dress(const CSkin& skin, QDialog& window, const QString& strObject)
{
    skin.ApplyObject(&window, strObject);
    window.show();
    for (QWidget* pChild : window.findChildren<QWidget*>()) {
        pChild->ensurePolished();
    }
    (void)window.grab();
}

TEST(SkinFiles, HeartwoodDressesTheMainWindowsNamedObjects)
{
    CSkin skin;
    ASSERT_TRUE(skin.Load(SkinPath("heartwood.skn"))) << SkinPath("heartwood.skn").toStdString();

    const char* const kNames[] = { "main", "treeCards", "framePreview", "editTitle", "editComment",
        "editLinkTitle", "comboTarget", "editScore", "comboCompare", "editCompareValue", "comboCompareTarget",
        "btnTitleColour", "btnCommentColour", "CHKEmailSend", "RDOStep1_New", "BTNStep1_Open", "RDOStep2",
        "RDOStep3", "RDOStep4", "RDOStep5", "RDOStep6", "BTNAddCard", "BTNAddLink", "BTNDelCard",
        "BTNDelLink", "BTNBG", "MenuButton", "labelHeader", "framePanel" };
    for (const char* strName : kNames) {
        const QRegularExpression rule(
            QStringLiteral("#%1(?![A-Za-z0-9_])").arg(QString::fromLatin1(strName)));
        EXPECT_TRUE(skin.StyleSheet().contains(rule)) << "no rule for " << strName;
    }

    QDialog window;
    new QVBoxLayout(&window);
    auto* pTree = Add<QTreeWidget>(window, "treeCards");
    new QTreeWidgetItem(pTree, QStringList(QStringLiteral("Card 1:")));
    Add<QFrame>(window, "framePreview");
    Add<QFrame>(window, "framePanel");
    auto* pHeader = Add<QLabel>(window, "labelHeader");
    pHeader->setText(QStringLiteral("Marrowlark"));
    Add<QLineEdit>(window, "editTitle");
    Add<QPlainTextEdit>(window, "editComment");
    Add<QLineEdit>(window, "editLinkTitle");
    Add<QSpinBox>(window, "editScore");
    Add<QSpinBox>(window, "editCompareValue")->setEnabled(false);
    for (const char* strName : { "comboTarget", "comboCompare", "comboCompareTarget" }) {
        Add<QComboBox>(window, strName)->addItem(QStringLiteral("Card 1:"));
    }
    auto* pEmail = Add<QCheckBox>(window, "CHKEmailSend");
    pEmail->setChecked(true);
    for (const char* strName : { "btnTitleColour", "btnCommentColour", "RDOStep1_New", "BTNStep1_Open",
             "RDOStep2", "RDOStep3", "RDOStep4", "RDOStep5", "RDOStep6", "BTNAddCard", "BTNAddLink",
             "BTNDelCard", "BTNDelLink", "BTNBG", "MenuButton" }) {
        Add<QPushButton>(window, strName)->setText(QString::fromLatin1(strName));
    }

    CSheetWarnings warnings;
    CSheetWarnings::Seen().clear();
    // The main window dresses itself as the object "main" and its check box as its own object.
    skin.ApplyObject(pEmail, QStringLiteral("CHKEmailSend"));
    Dress(skin, window, QStringLiteral("main"));
    EXPECT_TRUE(CSheetWarnings::Seen().isEmpty()) << CSheetWarnings::Seen().join(u'\n').toStdString();
    // Qt drops a sheet it cannot parse as a whole; a rule that shows proves it was taken. The
    // header's light text must win over the window's dark label text.
    EXPECT_EQ(pHeader->palette().color(QPalette::WindowText).name().toStdString(), "#fff6e2");
}

TEST(SkinFiles, AquaDressesTheOtherDialogs)
{
    CSkin skin;
    ASSERT_TRUE(skin.Load(SkinPath("vwinaqua.skn"))) << SkinPath("vwinaqua.skn").toStdString();

    QDialog window;
    new QVBoxLayout(&window);
    auto* pLabel = Add<QLabel>(window, "label");
    pLabel->setText(QStringLiteral("You can"));
    Add<QPushButton>(window, "btnOk")->setDefault(true);
    Add<QPushButton>(window, "btnOff")->setEnabled(false);
    auto* pList = Add<QListWidget>(window, "listSamples");
    pList->setViewMode(QListView::IconMode);
    pList->addItem(QStringLiteral("Birthday"));
    pList->setCurrentRow(0);
    Add<QLineEdit>(window, "edit");
    Add<QComboBox>(window, "combo")->addItem(QStringLiteral("one"));
    Add<QCheckBox>(window, "check")->setChecked(true);
    Add<QRadioButton>(window, "radio")->setChecked(true);
    auto* pGroup = Add<QGroupBox>(window, "group");
    pGroup->setTitle(QStringLiteral("Align"));
    Add<QSlider>(window, "slider")->setOrientation(Qt::Horizontal);
    Add<QSlider>(window, "sliderUp")->setOrientation(Qt::Vertical);

    CSheetWarnings warnings;
    CSheetWarnings::Seen().clear();
    Dress(skin, window, QStringLiteral("DlgOpenProject"));
    EXPECT_TRUE(CSheetWarnings::Seen().isEmpty()) << CSheetWarnings::Seen().join(u'\n').toStdString();
    EXPECT_EQ(pLabel->palette().color(QPalette::WindowText).name().toStdString(), "#12324a");
}

} // namespace
