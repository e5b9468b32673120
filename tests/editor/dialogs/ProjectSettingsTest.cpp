// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/settings/DlgProjectSettings.h"

#include "tests/editor/dialogs/DialogFixture.h"

#include "editor/mainwindow/ColourPicker.h"
#include "generate/GenerationReports.h"
#include "generate/Generator.h"
#include "model/Project.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class ProjectSettingsTest : public editortest::DialogTest {
protected:
    struct CLookCall {
        bool m_bButton = false;
        std::string m_strValue;
        int32_t m_nAlign = 0;
    };
    struct CMusicCall {
        std::string m_strValue;
        int m_nSource = 0;
    };

    void SetUp() override
    {
        DialogTest::SetUp();
        m_pGenerator = std::make_unique<CGenerator>(m_project, Home().toStdString(), m_reports);
    }

    // The dialog, shown (not modal) so that OK and Cancel can be seen to close it.
    CDlgProjectSettings& Open()
    {
        CDlgProjectSettings::CSubDialogs sub;
        sub.m_editLook = [this](QWidget*, bool bButton, const std::string& strValue, int32_t nAlign) {
            m_lookCalls.push_back({ bButton, strValue, nAlign });
            return Next(m_lookAnswers);
        };
        sub.m_editMusic = [this](QWidget*, const std::string& strValue, int nSource) {
            m_musicCalls.push_back({ strValue, nSource });
            return Next(m_musicAnswers);
        };
        m_pDialog = std::make_unique<CDlgProjectSettings>(m_services, m_project, *m_pGenerator, sub);
        m_pDialog->show();
        return *m_pDialog;
    }

    template<class T> T* Child(const char* strName) const
    {
        T* pChild = m_pDialog->findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pChild, nullptr) << strName;
        return pChild;
    }

    void Type(const char* strField, const QString& strText) { Child<QLineEdit>(strField)->setText(strText); }
    void Click(const char* strButton) { Child<QPushButton>(strButton)->click(); }
    [[nodiscard]] QString Label(const char* strName) const { return Child<QLabel>(strName)->text(); }

    // Presses OK on the open dialog; true when it closed.
    bool PressOk()
    {
        Click("btnOk");
        return !m_pDialog->isVisible();
    }

    // OK with one field holding strText: refused with strMessage and the focus on the field, or
    // taken. Returns whether it was taken; the dialog is opened afresh.
    bool TryOk(const char* strField, const QString& strText, const QString& strMessage)
    {
        Open();
        QLineEdit* pField = std::string(strField) == "comboSlideDelay"
            ? Child<QComboBox>(strField)->lineEdit()
            : Child<QLineEdit>(strField);
        pField->setText(strText);
        const size_t nMessages = m_prompts.Messages().size();
        if (PressOk()) {
            EXPECT_EQ(m_prompts.Messages().size(), nMessages);
            return true;
        }
        EXPECT_EQ(m_prompts.Messages().value(static_cast<int>(nMessages)), strMessage) << strField;
        // The slide delay's edit hands its focus to its drop-down.
        QWidget* pFocus = pField->focusProxy() != nullptr ? pField->focusProxy() : pField;
        EXPECT_EQ(m_pDialog->focusWidget(), pFocus) << strField;
        return false;
    }

    void WriteFonts(const QStringList& names)
    {
        for (const QString& strName : names) {
            WriteFile(QStringLiteral("Font/") + strName, "x");
        }
    }

    template<class T> static std::optional<T> Next(std::deque<std::optional<T>>& answers)
    {
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    CProject m_project;
    CNoGenerationReports m_reports;
    std::unique_ptr<CGenerator> m_pGenerator;
    std::unique_ptr<CDlgProjectSettings> m_pDialog;
    std::deque<std::optional<CLookChoice>> m_lookAnswers;
    std::deque<std::optional<CMusicChoice>> m_musicAnswers;
    std::vector<CLookCall> m_lookCalls;
    std::vector<CMusicCall> m_musicCalls;
};

TEST_F(ProjectSettingsTest, OpensOnTheSettingsWithTheStagedInstallation)
{
    LinkStaged();
    m_project.m_settings.m_strMusic.clear();
    m_project.m_settings.m_strSlideDelay = "2.5";
    m_project.m_settings.m_nQuality = 55;
    m_project.m_settings.m_bPromoteEachCard = 0;
    Open();
    EXPECT_FALSE(m_pDialog->styleSheet().isEmpty());
    EXPECT_EQ(Child<QGroupBox>("groupPromote")->title(),
        QStringLiteral("Promote Options( Chance to get new version free )"));
    EXPECT_EQ(Label("labelBackground"), QStringLiteral("#ffffff"));
    EXPECT_EQ(Label("labelMusic"), QStringLiteral("none"));
    EXPECT_EQ(Child<QLineEdit>("editQuality")->text(), QStringLiteral("55"));
    EXPECT_EQ(Child<QSlider>("sliderQuality")->value(), 55);
    EXPECT_FALSE(Child<QCheckBox>("checkPromoteEachCard")->isChecked());

    auto* pDelay = Child<QComboBox>("comboSlideDelay");
    EXPECT_EQ(pDelay->currentText(), QStringLiteral("2.5"));
    QStringList delays;
    for (int i = 0; i < pDelay->count(); ++i) {
        delays << pDelay->itemText(i);
    }
    EXPECT_EQ(delays.join(u' '), QStringLiteral("0 0.01 0.02 0.03 0.04 0.05 0.08 0.1 0.2 0.5 1 1.5 3 5 10"));

    // The staged fonts without their "_" title fonts, the project's selected.
    auto* pFont = Child<QComboBox>("comboFont");
    ASSERT_EQ(pFont->count(), 3);
    EXPECT_EQ(pFont->itemText(0), QStringLiteral("Mono"));
    EXPECT_EQ(pFont->currentText(), QStringLiteral("Sans"));

    // Nothing touched: OK stores what was there (the empty music not as "none").
    const CProjectSettings before = m_project.m_settings;
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings, before);
    EXPECT_EQ(m_pGenerator->LastFontPaths().first, std::filesystem::path());
    EXPECT_TRUE(m_prompts.Messages().isEmpty());
}

TEST_F(ProjectSettingsTest, WithoutItsSkinTheDialogIsPlainAndSilent)
{
    WriteFile(QStringLiteral("Skin/vwinaqua.skn"), "QWidget { color: red;");
    Open();
    EXPECT_TRUE(m_pDialog->styleSheet().isEmpty());
    EXPECT_TRUE(m_prompts.m_calls.empty());
}

TEST_F(ProjectSettingsTest, NumbersAndTextsAreCheckedAtOk)
{
    const QString strSize = QStringLiteral("Please enter an integer between 1 and 1000.");
    for (const char* strField : { "editWidth", "editHeight" }) {
        EXPECT_FALSE(TryOk(strField, QStringLiteral("0"), strSize));
        EXPECT_FALSE(TryOk(strField, QStringLiteral("1001"), strSize));
        EXPECT_FALSE(TryOk(strField, QStringLiteral("12px"), strSize));
        EXPECT_FALSE(TryOk(strField, QString(), strSize));
    }
    EXPECT_EQ(m_project.m_settings.m_nWidth, 640);
    EXPECT_TRUE(TryOk("editWidth", QStringLiteral("1"), {}));
    EXPECT_EQ(m_project.m_settings.m_nWidth, 1);
    EXPECT_TRUE(TryOk("editHeight", QStringLiteral(" 1000 "), {}));
    EXPECT_EQ(m_project.m_settings.m_nHeight, 1000);

    const QString strQuality = QStringLiteral("Please enter an integer between 0 and 100.");
    EXPECT_FALSE(TryOk("editQuality", QStringLiteral("101"), strQuality));
    EXPECT_FALSE(TryOk("editQuality", QStringLiteral("-1"), strQuality));
    EXPECT_TRUE(TryOk("editQuality", QStringLiteral("0"), {}));
    EXPECT_EQ(m_project.m_settings.m_nQuality, 0);

    EXPECT_FALSE(
        TryOk("editAuthor", QString(41, u'a'), QStringLiteral("Please enter no more than 40 characters.")));
    EXPECT_FALSE(
        TryOk("editEmail", QString(51, u'e'), QStringLiteral("Please enter no more than 50 characters.")));
    EXPECT_FALSE(TryOk("comboSlideDelay", QStringLiteral("0.123456789"),
        QStringLiteral("Please enter no more than 10 characters.")));
    EXPECT_EQ(m_project.m_settings.m_strAuthor, "Marrowlark");
    // Characters, not bytes: forty accented letters fit.
    EXPECT_TRUE(TryOk("editAuthor", QString(40, QChar(0xE9)), {}));
    EXPECT_EQ(m_project.m_settings.m_strAuthor.size(), 80U);
    EXPECT_TRUE(TryOk("comboSlideDelay", QStringLiteral("2.5"), {}));
    EXPECT_EQ(m_project.m_settings.m_strSlideDelay, "2.5");
}

TEST_F(ProjectSettingsTest, SliderAndQualityBoxFollowEachOther)
{
    Open();
    auto* pSlider = Child<QSlider>("sliderQuality");
    auto* pBox = Child<QLineEdit>("editQuality");
    pSlider->setValue(35);
    EXPECT_EQ(pBox->text(), QStringLiteral("35"));
    pBox->clear();
    QTest::keyClicks(pBox, QStringLiteral("80"));
    EXPECT_EQ(pSlider->value(), 80);
    EXPECT_EQ(pBox->text(), QStringLiteral("80"));
    // A value the slider cannot show leaves it where it is; OK refuses it.
    QTest::keyClicks(pBox, QStringLiteral("0"));
    EXPECT_EQ(pSlider->value(), 80);
    EXPECT_EQ(pBox->text(), QStringLiteral("800"));
    pSlider->setValue(90);
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings.m_nQuality, 90);
}

TEST_F(ProjectSettingsTest, FontListAndTheProjectFontsEntry)
{
    WriteFonts({ QStringLiteral("sans.fdb"), QStringLiteral("SansBold.FDB"), QStringLiteral("_sans.fdb"),
        QStringLiteral("alpha.fdb"), QStringLiteral("Alphabet.fdb"), QStringLiteral("notes.txt"),
        QStringLiteral("Dir.fdb/x") });
    const auto shown = [this](const std::string& strFont) {
        m_project.m_settings.m_strFont = strFont;
        Open();
        return Child<QComboBox>("comboFont")->currentText();
    };
    EXPECT_EQ(shown("Sans"), QStringLiteral("sans"));
    QStringList fonts;
    for (int i = 0; i < Child<QComboBox>("comboFont")->count(); ++i) {
        fonts << Child<QComboBox>("comboFont")->itemText(i);
    }
    EXPECT_EQ(fonts,
        QStringList({ QStringLiteral("alpha"), QStringLiteral("Alphabet"), QStringLiteral("sans"),
            QStringLiteral("SansBold") }));
    // The first entry is found by its own name, not passed over for a longer one.
    EXPECT_EQ(shown("alpha"), QStringLiteral("alpha"));
    // Only a name that is not listed itself falls back to the first entry it begins.
    EXPECT_EQ(shown("SansB"), QStringLiteral("SansBold"));
    EXPECT_EQ(shown("San"), QStringLiteral("sans"));

    // A font that is not installed shows no entry and OK keeps it.
    EXPECT_EQ(shown("Gothic"), QString());
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings.m_strFont, "Gothic");
    EXPECT_EQ(m_pGenerator->LastFontPaths().first, std::filesystem::path());
}

TEST_F(ProjectSettingsTest, ChangedFontReloadsTheGeneratorsFonts)
{
    CopyStaged(QStringLiteral("Font/Sans.fdb"), QStringLiteral("Font/Sans.fdb"));
    CopyStaged(QStringLiteral("Font/Mono.fdb"), QStringLiteral("Font/Mono.fdb"));
    CopyStaged(QStringLiteral("Font/_Mono.fdb"), QStringLiteral("Font/_Mono.fdb"));
    const std::filesystem::path font = std::filesystem::path(Home().toStdString()) / "Font";
    const auto choose = [this](const QString& strFont) {
        Open();
        auto* pCombo = Child<QComboBox>("comboFont");
        pCombo->setCurrentIndex(pCombo->findText(strFont));
        return PressOk();
    };

    m_project.m_settings.m_strFont = "Sans";
    ASSERT_TRUE(choose(QStringLiteral("Mono")));
    EXPECT_EQ(m_project.m_settings.m_strFont, "Mono");
    EXPECT_EQ(m_pGenerator->LastFontPaths(), std::make_pair(font / "Mono.fdb", font / "_Mono.fdb"));
    EXPECT_TRUE(m_pGenerator->HasTextFont() && m_pGenerator->HasTitleFont());

    // Without "_Sans.fdb" both fonts come from "Sans.fdb".
    ASSERT_TRUE(choose(QStringLiteral("Sans")));
    EXPECT_EQ(m_pGenerator->LastFontPaths(), std::make_pair(font / "Sans.fdb", font / "Sans.fdb"));
    EXPECT_TRUE(m_pGenerator->HasTextFont() && m_pGenerator->HasTitleFont());

    // A font file removed after listing: the name is stored, the loaded fonts stay.
    Open();
    auto* pCombo = Child<QComboBox>("comboFont");
    pCombo->setCurrentIndex(pCombo->findText(QStringLiteral("Mono")));
    ASSERT_TRUE(QFile::remove(Home(QStringLiteral("Font/Mono.fdb"))));
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings.m_strFont, "Mono");
    EXPECT_EQ(m_pGenerator->LastFontPaths().first, font / "Sans.fdb");
}

TEST_F(ProjectSettingsTest, EditBackgroundAppliesAtOnceAndOutlivesCancel)
{
    for (int i = 0; i < 3; ++i) {
        m_project.InsertCard(EInsertPos::Bottom);
    }
    CCardInfo& own = m_project.Card(1);
    own.m_bUseProjectBg = 0;
    own.m_strBackground = "#00FF00";
    own.m_nBgAlign = 2;
    m_project.m_settings.m_nBgAlign = 5;
    Open();

    m_lookAnswers = { CLookChoice { "sky.jpg", true, 9 }, std::nullopt };
    Click("btnEditBackground");
    ASSERT_EQ(m_lookCalls.size(), 1U);
    EXPECT_FALSE(m_lookCalls[0].m_bButton);
    EXPECT_EQ(m_lookCalls[0].m_strValue, "#ffffff");
    EXPECT_EQ(m_lookCalls[0].m_nAlign, 5);
    EXPECT_EQ(Label("labelBackground"), QStringLiteral("Background\\sky.jpg"));
    // Cancel in the picker changes nothing.
    Click("btnEditBackground");
    EXPECT_EQ(m_lookCalls[1].m_strValue, "Background\\sky.jpg");
    EXPECT_EQ(m_lookCalls[1].m_nAlign, 9);

    Click("btnCancel");
    EXPECT_TRUE(m_pDialog->ProjectChanged());
    EXPECT_EQ(m_project.m_settings.m_strBackground, "Background\\sky.jpg");
    EXPECT_EQ(m_project.m_settings.m_nBgAlign, 9);
    for (size_t i : { 0U, 2U }) {
        EXPECT_EQ(m_project.Card(i).m_strBackground, "Background\\sky.jpg");
        EXPECT_EQ(m_project.Card(i).m_nBgAlign, 9);
    }
    EXPECT_EQ(own.m_strBackground, "#00FF00");
    EXPECT_EQ(own.m_nBgAlign, 2);

    // A colour or a file from disk is stored as it is.
    Open();
    m_lookAnswers = { CLookChoice { "#12AB34", false, 4 } };
    Click("btnEditBackground");
    EXPECT_EQ(m_project.m_settings.m_strBackground, "#12AB34");
    EXPECT_EQ(m_project.Card(0).m_strBackground, "#12AB34");
}

TEST_F(ProjectSettingsTest, EditButtonsStoresTheLookWithItsPrefix)
{
    Open();
    Click("btnEditButtons");
    EXPECT_FALSE(m_pDialog->ProjectChanged());
    EXPECT_EQ(m_project.m_settings.m_strButton, "#2781c4");

    m_lookAnswers = { CLookChoice { "round.png", true, 4 }, CLookChoice { "/home/u/b.swf", false, 4 } };
    Click("btnEditButtons");
    EXPECT_TRUE(m_lookCalls[1].m_bButton);
    EXPECT_EQ(m_lookCalls[1].m_strValue, "#2781c4");
    EXPECT_EQ(m_project.m_settings.m_strButton, "Button\\round.png");
    EXPECT_EQ(m_project.m_settings.m_nBgAlign, 4);
    Click("btnEditButtons");
    EXPECT_EQ(m_lookCalls[2].m_strValue, "Button\\round.png");
    EXPECT_EQ(m_project.m_settings.m_strButton, "/home/u/b.swf");
    EXPECT_EQ(Label("labelButton"), QStringLiteral("/home/u/b.swf"));
    EXPECT_TRUE(m_pDialog->ProjectChanged());
}

TEST_F(ProjectSettingsTest, EditMusicOpensOnTheValueWithoutPrefixAndStoresTheResult)
{
    m_project.m_settings.m_strMusic = "Music\\a.mp3";
    Open();
    EXPECT_EQ(Label("labelMusic"), QStringLiteral("Music\\a.mp3"));
    m_musicAnswers = { CMusicChoice { "b.swf", true }, CMusicChoice { "/home/u/c.mp3", false },
        CMusicChoice { "", false } };
    Click("btnEditMusic");
    EXPECT_EQ(m_project.m_settings.m_strMusic, "Music\\b.swf");
    Click("btnEditMusic");
    EXPECT_EQ(m_project.m_settings.m_strMusic, "/home/u/c.mp3");
    // Remove: no music, and OK does not bring back the label's "none".
    Click("btnEditMusic");
    EXPECT_EQ(m_project.m_settings.m_strMusic, "");
    EXPECT_EQ(Label("labelMusic"), QStringLiteral("none"));
    ASSERT_EQ(m_musicCalls.size(), 3U);
    EXPECT_EQ(m_musicCalls[0].m_strValue, "a.mp3");
    EXPECT_EQ(m_musicCalls[0].m_nSource, 0);
    EXPECT_EQ(m_musicCalls[1].m_strValue, "b.swf");
    EXPECT_EQ(m_musicCalls[2].m_strValue, "/home/u/c.mp3");
    EXPECT_EQ(m_musicCalls[2].m_nSource, 1);
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings.m_strMusic, "");
}

TEST_F(ProjectSettingsTest, OkStoresTheControlsAndCancelNothing)
{
    m_project.m_settings.m_strTextColor = "#2781c4";
    const CProjectSettings before = m_project.m_settings;
    const auto edit = [this] {
        Type("editAuthor", QStringLiteral("Ann"));
        Type("editEmail", QStringLiteral("ann@example.org"));
        Type("editWidth", QStringLiteral("300"));
        Type("editHeight", QStringLiteral("200"));
        Child<QComboBox>("comboSlideDelay")->setCurrentIndex(11);
        Child<QCheckBox>("checkSlideShow")->setChecked(true);
        Child<QCheckBox>("checkPromoteLastCard")->setChecked(false);
        auto* pColour = Child<CColourPicker>("btnTextColor");
        EXPECT_EQ(pColour->Colour(), QColor(0x27, 0x81, 0xc4));
        pColour->m_chooseColour = [](const QColor&, QWidget*) { return QColor(0x12, 0xab, 0xef); };
        pColour->click();
    };
    Open();
    edit();
    Click("btnCancel");
    EXPECT_EQ(m_project.m_settings, before);
    EXPECT_FALSE(m_pDialog->ProjectChanged());

    Open();
    edit();
    ASSERT_TRUE(PressOk());
    const CProjectSettings& after = m_project.m_settings;
    EXPECT_EQ(after.m_strAuthor, "Ann");
    EXPECT_EQ(after.m_strEmail, "ann@example.org");
    EXPECT_EQ(after.m_nWidth, 300);
    EXPECT_EQ(after.m_nHeight, 200);
    EXPECT_EQ(after.m_strSlideDelay, "1.5");
    EXPECT_EQ(after.m_bSlideShow, 1);
    EXPECT_EQ(after.m_bPromoteLastCard, 0);
    EXPECT_EQ(after.m_bPromoteEachCard, 1);
    EXPECT_EQ(after.m_strTextColor, "#12ABEF");

    // A text colour that is no colour text shows black and is stored as such.
    m_project.m_settings.m_strTextColor = "blue";
    Open();
    EXPECT_EQ(Child<CColourPicker>("btnTextColor")->Colour(), QColor(Qt::black));
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(m_project.m_settings.m_strTextColor, "#000000");
}

TEST_F(ProjectSettingsTest, WhatsThisExplainsThePromotionLinks)
{
    Open();
    Click("btnWhatsThis");
    ASSERT_EQ(m_prompts.m_calls.size(), 1U);
    EXPECT_EQ(m_prompts.m_calls[0].m_icon, EPromptIcon::Information);
    EXPECT_EQ(m_prompts.m_calls[0].m_strText, CDlgProjectSettings::PromotionExplanation());
    EXPECT_TRUE(m_pDialog->isVisible());
}

} // namespace
