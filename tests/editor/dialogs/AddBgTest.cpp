// SPDX-License-Identifier: GPL-3.0-or-later
// The background and button picker, shown offscreen on a private installation: what it lists and
// how, the current look it opens with, every reaction, and what OK hands back or refuses.
#include "editor/addbg/DlgAddBg.h"
#include "editor/addbg/ThumbnailCache.h"
#include "editor/mainwindow/ColourPicker.h"
#include "generate/FlashFileTest.h"

#include "tests/editor/dialogs/DialogFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

using editortest::DialogTest;

const QSize kBackgroundThumb(120, 100);
const QSize kButtonThumb(120, 60);
const char* const kAnchorTexts[] = { "LT", "MT", "RT", "LC", "MC", "RC", "LB", "MB", "RB" };

class AddBgTest : public DialogTest {
protected:
    // The dialog as a caller opens it; show() runs the opening as exec() would.
    std::unique_ptr<CDlgAddBg> Open(ELookFolder folder, const std::string& strValue = {}, int32_t nCode = 4)
    {
        auto pDialog = std::make_unique<CDlgAddBg>(m_services, m_thumbnails, folder);
        pDialog->SetValue(strValue);
        pDialog->SetPlacementCode(nCode);
        pDialog->show();
        return pDialog;
    }

    // A plain picture of one colour below the private installation.
    void WritePicture(const QString& strRelative, QColor colour, QSize size = QSize(64, 48))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Home(strRelative)).path()));
        ASSERT_TRUE(image.save(Home(strRelative), "PNG")) << strRelative.toStdString();
    }

    // A background folder of the test's own, with the staged resource pictures and skin.
    void OwnBackgrounds()
    {
        LinkStagedFolder("Resource");
        LinkStagedFolder("Skin");
        WritePicture(QStringLiteral("Background/Sea.JPG"), Qt::blue);
        WritePicture(QStringLiteral("Background/seaside.png"), Qt::cyan);
        WritePicture(QStringLiteral("Background/apple.png"), Qt::red);
        CopyStaged(QStringLiteral("Background/drifting-lights.swf"), QStringLiteral("Background/Movie.swf"));
        // A picture under a Flash name: the loader refuses it.
        WritePicture(QStringLiteral("Background/X.SWF"), Qt::green);
    }

    template<typename T> static T* Child(const CDlgAddBg& dialog, const char* strName)
    {
        T* pChild = dialog.findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pChild, nullptr) << strName;
        return pChild;
    }

    // Found by caption: the skin renames the anchors to their skin object.
    static QAbstractButton* Captioned(const CDlgAddBg& dialog, const char* strText)
    {
        const QList<QAbstractButton*> buttons = dialog.findChildren<QAbstractButton*>();
        for (QAbstractButton* pButton : buttons) {
            if (pButton->text() == QLatin1String(strText)) {
                return pButton;
            }
        }
        ADD_FAILURE() << "no button " << strText;
        return nullptr;
    }

    static QListWidget* List(const CDlgAddBg& dialog) { return Child<QListWidget>(dialog, "listFiles"); }

    static QStringList Items(const CDlgAddBg& dialog)
    {
        QStringList items;
        for (int i = 0; i < List(dialog)->count(); ++i) {
            items << List(dialog)->item(i)->text();
        }
        return items;
    }

    static QListWidgetItem* Item(const CDlgAddBg& dialog, const QString& strName)
    {
        const QList<QListWidgetItem*> found = List(dialog)->findItems(strName, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << strName.toStdString();
        return found.value(0);
    }

    static QImage Thumb(const CDlgAddBg& dialog, const QString& strName, QSize size)
    {
        const QListWidgetItem* pItem = Item(dialog, strName);
        return pItem ? pItem->icon().pixmap(size).toImage().convertToFormat(QImage::Format_RGB32) : QImage();
    }

    static void Click(const CDlgAddBg& dialog, const QString& strName)
    {
        QListWidget* pList = List(dialog);
        QListWidgetItem* pItem = Item(dialog, strName);
        ASSERT_NE(pItem, nullptr);
        pList->scrollToItem(pItem);
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->visualItemRect(pItem).center());
        ASSERT_TRUE(pItem->isSelected()) << strName.toStdString();
    }

    static QString Selected(const CDlgAddBg& dialog)
    {
        const QList<QListWidgetItem*> selected = List(dialog)->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }

    static int CheckedSource(const CDlgAddBg& dialog)
    {
        if (Child<QRadioButton>(dialog, "radioDefault")->isChecked()) {
            return CDlgAddBg::kSourceList;
        }
        if (Child<QRadioButton>(dialog, "radioColour")->isChecked()) {
            return CDlgAddBg::kSourceColour;
        }
        return Child<QRadioButton>(dialog, "radioPicture")->isChecked() ? CDlgAddBg::kSourceDisk
                                                                        : CDlgAddBg::kSourceNone;
    }

    // Presses OK; true when the dialog closed accepted.
    static bool PressOk(CDlgAddBg& dialog)
    {
        Child<QPushButton>(dialog, "btnOk")->click();
        return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
    }

    CThumbnailCache m_thumbnails;
};

TEST_F(AddBgTest, ListsTheFoldersPicturesAndMoviesByName)
{
    OwnBackgrounds();
    CopyStaged(QStringLiteral("Background/rainbow.dbl"), QStringLiteral("Background/Rainbow.DBL"));
    WritePicture(QStringLiteral("Background/Rainbow.DBL.png"), Qt::magenta);
    CopyStaged(QStringLiteral("Button/glossy-teal.dbl"), QStringLiteral("Background/plain.dbl"));
    WriteFile(QStringLiteral("Background/notes.txt"), "text");
    WriteFile(QStringLiteral("Background/broken.jpg"), "not a picture");
    WritePicture(QStringLiteral("Background/.hidden.png"), Qt::black);
    WritePicture(QStringLiteral("Background/folder.png/inner.png"), Qt::black);

    const auto pDialog = Open(ELookFolder::Background);
    EXPECT_EQ(Items(*pDialog),
        QStringList({ QStringLiteral("apple.png"), QStringLiteral("broken.jpg"), QStringLiteral("Movie.swf"),
            QStringLiteral("plain.dbl"), QStringLiteral("Rainbow.DBL"), QStringLiteral("Sea.JPG"),
            QStringLiteral("seaside.png"), QStringLiteral("X.SWF") }));
    EXPECT_EQ(List(*pDialog)->viewMode(), QListView::IconMode);
    EXPECT_EQ(List(*pDialog)->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(pDialog->windowTitle(), QStringLiteral("Adjust the background of cards"));
    EXPECT_EQ(m_log, QStringList(QStringLiteral("CDlgAddBg::OnInitDialog }")));

    // Exactly the thumbnail size, framed in grey, the picture stretched inside on white.
    const QImage apple = Thumb(*pDialog, QStringLiteral("apple.png"), kBackgroundThumb);
    ASSERT_EQ(apple.size(), kBackgroundThumb);
    for (const QPoint corner : { QPoint(0, 0), QPoint(119, 0), QPoint(0, 99), QPoint(119, 99), QPoint(60, 0),
             QPoint(0, 50), QPoint(119, 50), QPoint(60, 99) }) {
        EXPECT_EQ(apple.pixel(corner), CThumbnailCache::kFrameColour) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(apple.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(apple.pixel(60, 50), qRgb(255, 0, 0));

    // Movies show the installation's Flash picture; a DBL its companion, else the DBL picture.
    CThumbnailCache fresh;
    EXPECT_EQ(Thumb(*pDialog, QStringLiteral("Movie.swf"), kBackgroundThumb),
        fresh.Thumbnail(Home(QStringLiteral("Resource/flash.gif")), kBackgroundThumb));
    EXPECT_EQ(
        Thumb(*pDialog, QStringLiteral("Rainbow.DBL"), kBackgroundThumb).pixel(60, 50), qRgb(255, 0, 255));
    EXPECT_EQ(Thumb(*pDialog, QStringLiteral("plain.dbl"), kBackgroundThumb),
        fresh.Thumbnail(Home(QStringLiteral("Resource/dbl.gif")), kBackgroundThumb));

    // A picture that does not decode keeps its name, with an empty framed thumbnail.
    const QImage broken = Thumb(*pDialog, QStringLiteral("broken.jpg"), kBackgroundThumb);
    EXPECT_EQ(broken.pixel(0, 0), CThumbnailCache::kFrameColour);
    EXPECT_EQ(broken.pixel(60, 50), qRgb(255, 255, 255));
}

TEST_F(AddBgTest, OpensWithTheCurrentLook)
{
    OwnBackgrounds();
    struct CCase {
        const char* m_strValue;
        int m_nSource;
        const char* m_strSelected;
    };
    for (const CCase& c : {
             CCase { "Background\\Sea.JPG", CDlgAddBg::kSourceList, "Sea.JPG" },
             CCase { "background\\sea.jpg", CDlgAddBg::kSourceList, "Sea.JPG" },
             CCase { "BACKGROUND/SEA.JPG", CDlgAddBg::kSourceList, "Sea.JPG" },
             CCase { "Sea.JPG", CDlgAddBg::kSourceList, "Sea.JPG" },
             // Names that only begin with the value: the first of them.
             CCase { "Background\\SEA", CDlgAddBg::kSourceList, "Sea.JPG" },
             CCase { "Background\\seas", CDlgAddBg::kSourceList, "seaside.png" },
             CCase { "Background\\gone.png", CDlgAddBg::kSourceList, "" },
             CCase { "#00ff80", CDlgAddBg::kSourceColour, "" },
             // An empty look is no choice at all, not the first file of the list.
             CCase { "", CDlgAddBg::kSourceNone, "" },
         }) {
        const auto pDialog = Open(ELookFolder::Background, c.m_strValue);
        EXPECT_EQ(CheckedSource(*pDialog), c.m_nSource) << c.m_strValue;
        EXPECT_EQ(Selected(*pDialog), QLatin1String(c.m_strSelected)) << c.m_strValue;
    }

    const auto pColour = Open(ELookFolder::Background, "#00ff80");
    EXPECT_EQ(Child<CColourPicker>(*pColour, "btnColour")->Colour(), QColor(0x00, 0xff, 0x80));

    // A path: its name in the label and its picture in the preview box, exactly that size.
    WritePicture(QStringLiteral("pictures/own.png"), Qt::darkGreen);
    const std::string strOwn = Home(QStringLiteral("pictures/own.png")).toStdString();
    const auto pPath = Open(ELookFolder::Background, strOwn);
    EXPECT_EQ(CheckedSource(*pPath), CDlgAddBg::kSourceDisk);
    EXPECT_EQ(Child<QLabel>(*pPath, "labelPicture")->text().toStdString(), strOwn);
    const QImage preview = Child<QLabel>(*pPath, "labelPreview")->pixmap().toImage();
    EXPECT_EQ(preview.size(), CDlgAddBg::kPreviewSize);
    EXPECT_EQ(preview.pixel(60, 40), QColor(Qt::darkGreen).rgb());

    // A movie path shows the movie placeholder.
    const auto pMovie = Open(ELookFolder::Background, "C:\\gifts\\intro.swf");
    EXPECT_EQ(CheckedSource(*pMovie), CDlgAddBg::kSourceDisk);
    EXPECT_EQ(Child<QLabel>(*pMovie, "labelPreview")->pixmap().toImage(),
        CDlgAddBg::MoviePlaceholder(CDlgAddBg::kPreviewSize).toImage());
}

TEST_F(AddBgTest, LaterOpeningsDecodeNothingAndFollowTheFolder)
{
    LinkStagedFolder("Resource");
    WritePicture(QStringLiteral("Background/a-red.png"), Qt::red);
    WritePicture(QStringLiteral("Background/c-green.png"), Qt::green);
    WritePicture(QStringLiteral("Background/e-blue.png"), Qt::blue);

    {
        const auto pFirst = Open(ELookFolder::Background);
    }
    const int nFirst = m_thumbnails.DecodeCount();
    EXPECT_EQ(nFirst, 3);
    {
        const auto pSecond = Open(ELookFolder::Background);
        EXPECT_EQ(m_thumbnails.DecodeCount(), nFirst);
        EXPECT_EQ(Thumb(*pSecond, QStringLiteral("c-green.png"), kBackgroundThumb).pixel(60, 50),
            QColor(Qt::green).rgb());
    }

    // A file added before the others and one removed: each keeps its own picture, only the new
    // one is decoded.
    WritePicture(QStringLiteral("Background/0-yellow.png"), Qt::yellow);
    ASSERT_TRUE(QFile::remove(Home(QStringLiteral("Background/c-green.png"))));
    {
        const auto pThird = Open(ELookFolder::Background);
        EXPECT_EQ(m_thumbnails.DecodeCount(), nFirst + 1);
        EXPECT_EQ(Items(*pThird),
            QStringList({ QStringLiteral("0-yellow.png"), QStringLiteral("a-red.png"),
                QStringLiteral("e-blue.png") }));
        EXPECT_EQ(Thumb(*pThird, QStringLiteral("0-yellow.png"), kBackgroundThumb).pixel(60, 50),
            QColor(Qt::yellow).rgb());
        EXPECT_EQ(Thumb(*pThird, QStringLiteral("a-red.png"), kBackgroundThumb).pixel(60, 50),
            QColor(Qt::red).rgb());
        EXPECT_EQ(Thumb(*pThird, QStringLiteral("e-blue.png"), kBackgroundThumb).pixel(60, 50),
            QColor(Qt::blue).rgb());
    }

    // A file replaced under the same name is decoded again.
    WritePicture(QStringLiteral("Background/a-red.png"), Qt::black, QSize(30, 30));
    {
        const auto pFourth = Open(ELookFolder::Background);
        EXPECT_EQ(m_thumbnails.DecodeCount(), nFirst + 2);
        EXPECT_EQ(
            Thumb(*pFourth, QStringLiteral("a-red.png"), kBackgroundThumb).pixel(60, 50), qRgb(0, 0, 0));
    }
}

TEST_F(AddBgTest, ButtonsKeepTheirPlacementAndAllowNone)
{
    LinkStaged();
    for (const int32_t nCode : { 9, 7, 11 }) {
        const auto pDialog = Open(ELookFolder::Button, "Button\\pill-gold.png", nCode);
        EXPECT_EQ(pDialog->windowTitle(), QStringLiteral("Adjust the style of button"));
        EXPECT_FALSE(Child<QGroupBox>(*pDialog, "groupAlignment")->isEnabled());
        for (const char* strText : { "default", "Tile", "Stretch", "Lock W:H" }) {
            EXPECT_FALSE(Captioned(*pDialog, strText)->isEnabled()) << strText;
        }
        for (const char* strText : kAnchorTexts) {
            EXPECT_FALSE(Captioned(*pDialog, strText)->isEnabled()) << strText;
        }
        EXPECT_EQ(Selected(*pDialog), QStringLiteral("pill-gold.png"));
        Click(*pDialog, QStringLiteral("wood.jpg"));
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(pDialog->Value(), "wood.jpg");
        EXPECT_EQ(pDialog->PlacementCode(), nCode);
    }

    // Button thumbnails are lower; a movie shows the button's Flash picture.
    const auto pDialog = Open(ELookFolder::Button);
    EXPECT_EQ(List(*pDialog)->iconSize(), kButtonThumb);
    CThumbnailCache fresh;
    EXPECT_EQ(Thumb(*pDialog, QStringLiteral("pulse.swf"), kButtonThumb),
        fresh.Thumbnail(Home(QStringLiteral("Resource/flash_btn.gif")), kButtonThumb));
    EXPECT_EQ(Thumb(*pDialog, QStringLiteral("glossy-teal.dbl"), kButtonThumb),
        fresh.Thumbnail(Home(QStringLiteral("Button/glossy-teal.dbl.png")), kButtonThumb));
    EXPECT_FALSE(Items(*pDialog).contains(QStringLiteral("glossy-teal.dbl.png")));
}

TEST_F(AddBgTest, PlacementControlsFollowTheMode)
{
    LinkStaged();
    const auto pDialog = Open(ELookFolder::Background, "Background\\sky.jpg", 11);
    const auto anchorsEnabled = [&] {
        int nEnabled = 0;
        for (const char* strText : kAnchorTexts) {
            nEnabled += Captioned(*pDialog, strText)->isEnabled() ? 1 : 0;
        }
        return nEnabled;
    };
    // The skin dresses each anchor as its own object.
    for (const char* strText : kAnchorTexts) {
        EXPECT_EQ(Captioned(*pDialog, strText)->objectName(), QStringLiteral("RdoAlignPicker"));
    }
    QAbstractButton* pLock = Captioned(*pDialog, "Lock W:H");
    EXPECT_TRUE(Captioned(*pDialog, "Stretch")->isChecked());
    EXPECT_TRUE(pLock->isChecked());
    EXPECT_TRUE(pLock->isEnabled());
    EXPECT_EQ(anchorsEnabled(), 0);

    Captioned(*pDialog, "default")->click();
    EXPECT_EQ(anchorsEnabled(), 9);
    EXPECT_FALSE(pLock->isEnabled());
    EXPECT_TRUE(Captioned(*pDialog, "MC")->isChecked());
    Captioned(*pDialog, "MB")->click();

    Captioned(*pDialog, "Tile")->click();
    EXPECT_EQ(anchorsEnabled(), 0);
    EXPECT_FALSE(pLock->isEnabled());
    Captioned(*pDialog, "default")->click();
    ASSERT_TRUE(PressOk(*pDialog));
    EXPECT_EQ(pDialog->PlacementCode(), 7);

    struct CCase {
        int32_t m_nCodeIn;
        const char* m_strMode;
        bool m_bLock;
        int32_t m_nCodeOut;
    };
    for (const CCase& c : { CCase { 0, "Tile", false, 9 }, CCase { 9, "Stretch", false, 10 },
             CCase { 9, "Stretch", true, 11 }, CCase { 10, "default", false, 4 } }) {
        const auto pCase = Open(ELookFolder::Background, "Background\\sky.jpg", c.m_nCodeIn);
        Captioned(*pCase, c.m_strMode)->click();
        if (c.m_bLock) {
            Captioned(*pCase, "Lock W:H")->click();
        }
        ASSERT_TRUE(PressOk(*pCase));
        EXPECT_EQ(pCase->PlacementCode(), c.m_nCodeOut) << c.m_nCodeIn << " " << c.m_strMode;
    }
}

TEST_F(AddBgTest, ColourAndListChoicesSwitchTheSource)
{
    LinkStaged();
    const auto pDialog = Open(ELookFolder::Background, "Background\\sky.jpg");
    auto* pPicker = Child<CColourPicker>(*pDialog, "btnColour");
    QColor answer; // cancelled first
    pPicker->m_chooseColour = [&answer](const QColor&, QWidget*) { return answer; };
    pPicker->click();
    EXPECT_EQ(CheckedSource(*pDialog), CDlgAddBg::kSourceList);

    answer = QColor(0x12, 0xab, 0x34);
    pPicker->click();
    EXPECT_EQ(CheckedSource(*pDialog), CDlgAddBg::kSourceColour);
    Click(*pDialog, QStringLiteral("snow.png"));
    EXPECT_EQ(CheckedSource(*pDialog), CDlgAddBg::kSourceList);
    pPicker->click();
    ASSERT_TRUE(PressOk(*pDialog));
    EXPECT_EQ(pDialog->Value(), "#12AB34");
    EXPECT_EQ(pDialog->Source(), CDlgAddBg::kSourceColour);

    // Choosing with the keyboard counts as a click.
    const auto pKeys = Open(ELookFolder::Background, "#FFFFFF");
    pKeys->activateWindow();
    List(*pKeys)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    // Gaining the focus alone chooses nothing.
    EXPECT_EQ(CheckedSource(*pKeys), CDlgAddBg::kSourceColour);
    QTest::keyClick(List(*pKeys), Qt::Key_Right);
    EXPECT_EQ(CheckedSource(*pKeys), CDlgAddBg::kSourceList);
    EXPECT_FALSE(Selected(*pKeys).isEmpty());
}

TEST_F(AddBgTest, PreviewOpensEachKindItsWay)
{
    LinkStaged();
    const auto pDialog = Open(ELookFolder::Background, "#FFFFFF");
    auto* pPreview = Child<QPushButton>(*pDialog, "btnPreview");
    pPreview->click();
    EXPECT_EQ(m_prompts.Messages(),
        QStringList(QStringLiteral("Choose a picture or swf from the list to preview.")));
    EXPECT_TRUE(m_projector.m_calls.empty());
    EXPECT_TRUE(m_shell.m_calls.empty());

    Click(*pDialog, QStringLiteral("drifting-lights.swf"));
    pPreview->click();
    ASSERT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_EQ(m_projector.m_calls[0].m_kind, CFakeProjector::EKind::Show);
    EXPECT_EQ(m_projector.m_calls[0].m_strMovie, Home(QStringLiteral("Background/drifting-lights.swf")));
    EXPECT_FALSE(m_projector.m_calls[0].m_bMaximised);

    Click(*pDialog, QStringLiteral("rainbow.dbl"));
    pPreview->click();
    Click(*pDialog, QStringLiteral("sky.jpg"));
    pPreview->click();
    // A double click previews as well.
    QListWidget* pList = List(*pDialog);
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {},
        pList->visualItemRect(Item(*pDialog, QStringLiteral("sky.jpg"))).center());
    ASSERT_EQ(m_shell.m_calls.size(), 3U);
    EXPECT_EQ(m_shell.m_calls[0].m_kind, CFakeShell::EKind::OpenDocument);
    EXPECT_EQ(m_shell.m_calls[0].m_strPath, Home(QStringLiteral("Background/rainbow.dbl.png")));
    EXPECT_EQ(m_shell.m_calls[1].m_strPath, Home(QStringLiteral("Background/sky.jpg")));
    EXPECT_EQ(m_shell.m_calls[2].m_strPath, Home(QStringLiteral("Background/sky.jpg")));
    EXPECT_EQ(m_projector.m_calls.size(), 1U);
    EXPECT_TRUE(pDialog->isVisible());
}

TEST_F(AddBgTest, OkTakesAListFileUnlessItsMovieIsRefused)
{
    OwnBackgrounds();
    ASSERT_FALSE(TestChosenFlashFile(Home(QStringLiteral("Background/X.SWF")).toStdString()));
    {
        const auto pDialog = Open(ELookFolder::Background, "Background\\apple.png", 3);
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(pDialog->Value(), "apple.png");
        EXPECT_EQ(pDialog->Source(), CDlgAddBg::kSourceList);
        EXPECT_EQ(pDialog->PlacementCode(), 3);
    }
    {
        // Refused: told, and the dialog stays open with the look unchanged.
        const auto pDialog = Open(ELookFolder::Background, "Background\\apple.png");
        Click(*pDialog, QStringLiteral("X.SWF"));
        EXPECT_FALSE(PressOk(*pDialog));
        EXPECT_TRUE(pDialog->isVisible());
        EXPECT_EQ(m_prompts.Messages(), QStringList(QString::fromUtf8(kStrFlashFileNotSupported)));
        EXPECT_EQ(pDialog->Value(), "Background\\apple.png");
        EXPECT_EQ(pDialog->Source(), CDlgAddBg::kSourceNone);
        Click(*pDialog, QStringLiteral("Movie.swf"));
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(pDialog->Value(), "Movie.swf");
    }
    {
        // "Default" with nothing selected.
        const auto pDialog = Open(ELookFolder::Background, "Background\\gone.png");
        EXPECT_FALSE(PressOk(*pDialog));
        EXPECT_EQ(m_prompts.Messages().last(), QStringLiteral("Please choose a picture before continue."));
    }
    {
        // Nothing chosen at all: OK keeps the look; Cancel never changes it.
        const auto pDialog = Open(ELookFolder::Background, "", 10);
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(pDialog->Value(), "");
        EXPECT_EQ(pDialog->Source(), CDlgAddBg::kSourceNone);
        EXPECT_EQ(pDialog->PlacementCode(), 10);
        const auto pCancelled = Open(ELookFolder::Background, "Background\\apple.png", 2);
        Click(*pCancelled, QStringLiteral("Sea.JPG"));
        Child<QPushButton>(*pCancelled, "btnCancel")->click();
        EXPECT_EQ(pCancelled->result(), QDialog::Rejected);
        EXPECT_EQ(pCancelled->Value(), "Background\\apple.png");
        EXPECT_EQ(pCancelled->Source(), CDlgAddBg::kSourceNone);
    }
}

TEST_F(AddBgTest, OkTakesAFileFromDiskUnlessItsMovieIsRefused)
{
    OwnBackgrounds();
    WritePicture(QStringLiteral("pictures/own.png"), Qt::darkRed);
    WritePicture(QStringLiteral("pictures/X.SWF"), Qt::green);
    CopyStaged(QStringLiteral("Background/drifting-lights.swf"), QStringLiteral("pictures/Good.SWF"));
    const QString strFilter =
        QStringLiteral("All Images (*.jpg;*.gif;*.swf;*.png;*.bmp;*.ico;*.pcx;*.dbl)|"
                       "*.jpg;*.gif;*.swf;*.png;*.bmp;*.ico;*.pcx;*.dbl;*.swf|(*.swf)|*.swf|"
                       "All Files (*.*)|*.*||");
    {
        const auto pDialog = Open(ELookFolder::Background, "Background\\apple.png");
        m_prompts.QueuePath(Home(QStringLiteral("pictures/own.png")));
        Child<QPushButton>(*pDialog, "btnBrowse")->click();
        ASSERT_EQ(m_prompts.m_calls.size(), 1U);
        EXPECT_EQ(m_prompts.m_calls[0].m_kind, CFakePrompts::EKind::OpenFile);
        EXPECT_EQ(m_prompts.m_calls[0].m_strFilter, strFilter);
        EXPECT_EQ(CheckedSource(*pDialog), CDlgAddBg::kSourceDisk);
        EXPECT_EQ(Child<QLabel>(*pDialog, "labelPicture")->text(), Home(QStringLiteral("pictures/own.png")));
        EXPECT_EQ(Child<QLabel>(*pDialog, "labelPreview")->pixmap().toImage().pixel(60, 40),
            QColor(Qt::darkRed).rgb());
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(QString::fromStdString(pDialog->Value()), Home(QStringLiteral("pictures/own.png")));
        EXPECT_EQ(pDialog->Source(), CDlgAddBg::kSourceDisk);
    }
    {
        // A damaged movie is refused at OK, after its placeholder was shown; then a sound one.
        const auto pDialog = Open(ELookFolder::Background, "Background\\apple.png");
        m_prompts.QueuePath(Home(QStringLiteral("pictures/X.SWF")));
        Child<QPushButton>(*pDialog, "btnBrowse")->click();
        EXPECT_EQ(Child<QLabel>(*pDialog, "labelPreview")->pixmap().toImage(),
            CDlgAddBg::MoviePlaceholder(CDlgAddBg::kPreviewSize).toImage());
        EXPECT_FALSE(PressOk(*pDialog));
        EXPECT_EQ(m_prompts.Messages(), QStringList(QString::fromUtf8(kStrFlashFileNotSupported)));
        EXPECT_EQ(pDialog->Value(), "Background\\apple.png");
        m_prompts.QueuePath(Home(QStringLiteral("pictures/Good.SWF")));
        Child<QPushButton>(*pDialog, "btnBrowse")->click();
        ASSERT_TRUE(PressOk(*pDialog));
        EXPECT_EQ(QString::fromStdString(pDialog->Value()), Home(QStringLiteral("pictures/Good.SWF")));
    }
    {
        // "Picture or Flash Only" without a file would store an empty look.
        const auto pDialog = Open(ELookFolder::Background, "Background\\apple.png");
        Child<QRadioButton>(*pDialog, "radioPicture")->click();
        EXPECT_FALSE(PressOk(*pDialog));
        EXPECT_EQ(m_prompts.Messages().last(), QStringLiteral("Please choose a picture before continue."));
        EXPECT_EQ(pDialog->Value(), "Background\\apple.png");
        // Cancelling the file dialog changes nothing either.
        m_prompts.QueuePath(QString());
        Child<QPushButton>(*pDialog, "btnBrowse")->click();
        EXPECT_EQ(Child<QLabel>(*pDialog, "labelPicture")->text(), QStringLiteral("name of picture"));
    }
}

TEST_F(AddBgTest, AnUnreadableBrowsedPictureKeepsTheEarlierChoice)
{
    OwnBackgrounds();
    WritePicture(QStringLiteral("pictures/own.png"), Qt::darkRed);
    WriteFile(QStringLiteral("pictures/damaged.png"), "\x89PNG\r\n\x1a\n but nothing more");
    const QString strMessage = QStringLiteral("This picture can not be read. Please choose another one.");

    // After a list choice: the list stays chosen.
    const auto pList = Open(ELookFolder::Background, "Background\\apple.png");
    m_prompts.QueuePath(Home(QStringLiteral("pictures/damaged.png")));
    Child<QPushButton>(*pList, "btnBrowse")->click();
    EXPECT_EQ(m_prompts.Messages(), QStringList(strMessage));
    EXPECT_EQ(CheckedSource(*pList), CDlgAddBg::kSourceList);
    EXPECT_EQ(Child<QLabel>(*pList, "labelPicture")->text(), QStringLiteral("name of picture"));
    ASSERT_TRUE(PressOk(*pList));
    EXPECT_EQ(pList->Value(), "apple.png");

    // After a file from disk: that file, its label and its preview stay.
    const auto pDisk = Open(ELookFolder::Background, "Background\\apple.png");
    m_prompts.QueuePath(Home(QStringLiteral("pictures/own.png")));
    Child<QPushButton>(*pDisk, "btnBrowse")->click();
    m_prompts.QueuePath(Home(QStringLiteral("pictures/damaged.png")));
    Child<QPushButton>(*pDisk, "btnBrowse")->click();
    EXPECT_EQ(m_prompts.Messages(), QStringList({ strMessage, strMessage }));
    EXPECT_EQ(Child<QLabel>(*pDisk, "labelPicture")->text(), Home(QStringLiteral("pictures/own.png")));
    EXPECT_EQ(
        Child<QLabel>(*pDisk, "labelPreview")->pixmap().toImage().pixel(60, 40), QColor(Qt::darkRed).rgb());
    ASSERT_TRUE(PressOk(*pDisk));
    EXPECT_EQ(QString::fromStdString(pDisk->Value()), Home(QStringLiteral("pictures/own.png")));
}

} // namespace
