// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/settings/DlgProjectSettings.h"
#include "editor/dialogs/DialogPaths.h"

#include "ui_DlgProjectSettings.h"

#include "generate/Generator.h"
#include "model/InstallPaths.h"
#include "model/LookValue.h"
#include "model/Project.h"
#include "platform/Prompts.h"
#include "platform/Skin.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>

#include <filesystem>
#include <utility>

namespace {

// The button look has no placement; the picker gives it back unchanged.
constexpr int32_t kButtonAlign = 4;

QString ToQt(const std::string& strText)
{
    return QString::fromStdString(strText);
}

void ShowLook(QLabel* pLabel, const std::string& strValue)
{
    const QString strText = strValue.empty() ? QStringLiteral("none") : ToQt(strValue);
    pLabel->setText(strText);
    pLabel->setToolTip(strValue.empty() ? QString() : strText);
}

} // namespace

CDlgProjectSettings::CDlgProjectSettings(const CDialogServices& services, CProject& project,
    CGenerator& generator, CSubDialogs subDialogs, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgProjectSettings>())
    , m_services(services)
    , m_project(project)
    , m_generator(generator)
    , m_subDialogs(std::move(subDialogs))
{
    m_pUi->setupUi(this);
    for (const std::string& strDelay : SlideDelayValues()) {
        m_pUi->comboSlideDelay->addItem(ToQt(strDelay));
    }
    FillControls();

    connect(m_pUi->btnOk, &QPushButton::clicked, this, &CDlgProjectSettings::OnOk);
    connect(m_pUi->btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pUi->btnEditBackground, &QPushButton::clicked, this, &CDlgProjectSettings::OnEditBackground);
    connect(m_pUi->btnEditButtons, &QPushButton::clicked, this, &CDlgProjectSettings::OnEditButtons);
    connect(m_pUi->btnEditMusic, &QPushButton::clicked, this, &CDlgProjectSettings::OnEditMusic);
    connect(m_pUi->btnWhatsThis, &QPushButton::clicked, this, &CDlgProjectSettings::OnWhatsThis);
    connect(m_pUi->editQuality, &QLineEdit::textEdited, this, &CDlgProjectSettings::OnQualityEdited);
    // Every way of moving the slider (drag, click, keys, wheel) ends in a new value.
    connect(m_pUi->sliderQuality, &QSlider::valueChanged, this, &CDlgProjectSettings::OnSliderChanged);

    // Without its skin the dialog still works, in the plain look.
    CSkin skin;
    if (skin.Load(FromPath(InstallPath(ToPath(m_services.m_strAppDir), "\\Skin\\vwinaqua.skn")))) {
        skin.Apply(this);
    }
}

CDlgProjectSettings::~CDlgProjectSettings() = default;

void CDlgProjectSettings::FillControls()
{
    const CProjectSettings& settings = m_project.m_settings;
    m_pUi->editAuthor->setText(ToQt(settings.m_strAuthor));
    m_pUi->editEmail->setText(ToQt(settings.m_strEmail));
    m_pUi->editWidth->setText(QString::number(settings.m_nWidth));
    m_pUi->editHeight->setText(QString::number(settings.m_nHeight));
    m_pUi->checkSlideShow->setChecked(settings.m_bSlideShow != 0);
    m_pUi->comboSlideDelay->setCurrentIndex(-1);
    m_pUi->comboSlideDelay->setEditText(ToQt(settings.m_strSlideDelay));

    m_pUi->editQuality->setText(QString::number(settings.m_nQuality));
    m_pUi->sliderQuality->setValue(settings.m_nQuality);

    m_strBackground = settings.m_strBackground;
    m_nBgAlign = settings.m_nBgAlign;
    m_strButton = settings.m_strButton;
    m_strMusic = settings.m_strMusic;
    ShowLookLabels();

    const bool bColour = settings.m_strTextColor.find('#') != std::string::npos;
    const CColour colour = bColour ? ParseColour(settings.m_strTextColor) : CColour {};
    m_pUi->btnTextColor->SetColour(QColor(colour.red, colour.green, colour.blue));

    ListFonts();

    m_pUi->checkPromoteLastCard->setChecked(settings.m_bPromoteLastCard != 0);
    m_pUi->checkPromoteEachCard->setChecked(settings.m_bPromoteEachCard != 0);
}

void CDlgProjectSettings::ListFonts()
{
    m_fonts = ListGiftFonts(ToPath(m_services.m_strAppDir));
    for (const std::string& strFont : m_fonts) {
        m_pUi->comboFont->addItem(ToQt(strFont));
    }
    m_pUi->comboFont->setCurrentIndex(FindGiftFont(m_fonts, m_project.m_settings.m_strFont));
}

void CDlgProjectSettings::ShowLookLabels()
{
    ShowLook(m_pUi->labelBackground, m_strBackground);
    ShowLook(m_pUi->labelButton, m_strButton);
    ShowLook(m_pUi->labelMusic, m_strMusic);
}

void CDlgProjectSettings::OnQualityEdited(const QString& strText)
{
    const auto nQuality = ParseSettingInteger(strText.toStdString(), kMinQuality, kMaxQuality);
    if (!nQuality) {
        // Checked at OK; while typing the slider stays where it is.
        return;
    }
    m_bSyncingQuality = true;
    m_pUi->sliderQuality->setValue(*nQuality);
    m_bSyncingQuality = false;
}

void CDlgProjectSettings::OnSliderChanged(int nValue)
{
    if (m_bSyncingQuality) {
        return;
    }
    m_pUi->editQuality->setText(QString::number(nValue));
}

void CDlgProjectSettings::OnEditBackground()
{
    if (!m_subDialogs.m_editLook) {
        return;
    }
    const auto choice = m_subDialogs.m_editLook(this, false, m_strBackground, m_nBgAlign);
    if (!choice) {
        return;
    }
    m_strBackground = StoredLookValue(*choice, false);
    m_nBgAlign = choice->m_nAlign;
    m_project.m_settings.m_strBackground = m_strBackground;
    m_project.m_settings.m_nBgAlign = m_nBgAlign;
    m_project.ApplyProjectBackground();
    m_bProjectChanged = true;
    ShowLookLabels();
}

void CDlgProjectSettings::OnEditButtons()
{
    if (!m_subDialogs.m_editLook) {
        return;
    }
    const auto choice = m_subDialogs.m_editLook(this, true, m_strButton, kButtonAlign);
    if (!choice) {
        return;
    }
    m_strButton = StoredLookValue(*choice, true);
    m_project.m_settings.m_strButton = m_strButton;
    m_bProjectChanged = true;
    ShowLookLabels();
}

void CDlgProjectSettings::OnEditMusic()
{
    if (!m_subDialogs.m_editMusic) {
        return;
    }
    const CMusicStart start = MusicDialogStart(m_strMusic);
    const auto choice = m_subDialogs.m_editMusic(this, start.m_strValue, start.m_nSource);
    if (!choice) {
        return;
    }
    m_strMusic = StoredMusicValue(*choice);
    m_project.m_settings.m_strMusic = m_strMusic;
    m_bProjectChanged = true;
    ShowLookLabels();
}

QString CDlgProjectSettings::PromotionExplanation()
{
    return QStringLiteral(
        "Add an Marrowlark link to the last card:\n"
        "    The cards that end the gift (cards without link buttons) show a small line at the bottom "
        "right: \"Created By:\" with the author's name, and a link to the Marrowlark web site. When the "
        "author is not left as Marrowlark, clicking the name writes an e-mail to the address above.\n\n"
        "Add links to each card:\n"
        "    Every card shows this line with its links, not only the last ones. It works together with "
        "the first option and does nothing while that one is off.");
}

void CDlgProjectSettings::OnWhatsThis()
{
    if (m_services.m_pPrompts != nullptr) {
        m_services.m_pPrompts->MessageBox(
            PromotionExplanation(), EPromptButtons::Ok, EPromptIcon::Information);
    }
}

bool CDlgProjectSettings::Refuse(QWidget* pField, const std::string& strMessage)
{
    if (m_services.m_pPrompts != nullptr) {
        m_services.m_pPrompts->MessageBox(ToQt(strMessage), EPromptButtons::Ok, EPromptIcon::Warning);
    }
    pField->setFocus(Qt::OtherFocusReason);
    if (auto* pEdit = qobject_cast<QLineEdit*>(pField)) {
        pEdit->selectAll();
    }
    return false;
}

bool CDlgProjectSettings::CheckLength(QLineEdit* pField, int nMaxCharacters)
{
    if (CharacterCount(pField->text().toStdString()) > static_cast<size_t>(nMaxCharacters)) {
        return Refuse(pField, TextTooLongMessage(nMaxCharacters));
    }
    return true;
}

bool CDlgProjectSettings::CheckInteger(QLineEdit* pField, int32_t nMin, int32_t nMax, int32_t& nValue)
{
    const auto parsed = ParseSettingInteger(pField->text().toStdString(), nMin, nMax);
    if (!parsed) {
        return Refuse(pField, IntegerRangeMessage(nMin, nMax));
    }
    nValue = *parsed;
    return true;
}

void CDlgProjectSettings::OnOk()
{
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int32_t nQuality = 0;
    if (!CheckLength(m_pUi->editAuthor, kMaxAuthor) || !CheckLength(m_pUi->editEmail, kMaxEmail) ||
        !CheckInteger(m_pUi->editWidth, kMinGiftSize, kMaxGiftSize, nWidth) ||
        !CheckInteger(m_pUi->editHeight, kMinGiftSize, kMaxGiftSize, nHeight) ||
        !CheckLength(m_pUi->comboSlideDelay->lineEdit(), kMaxSlideDelay) ||
        !CheckInteger(m_pUi->editQuality, kMinQuality, kMaxQuality, nQuality)) {
        return;
    }

    CProjectSettings& settings = m_project.m_settings;
    settings.m_strAuthor = m_pUi->editAuthor->text().toStdString();
    settings.m_strEmail = m_pUi->editEmail->text().toStdString();
    settings.m_strBackground = m_strBackground;
    settings.m_nBgAlign = m_nBgAlign;
    settings.m_strButton = m_strButton;
    settings.m_strMusic = m_strMusic;
    const QColor colour = m_pUi->btnTextColor->Colour();
    settings.m_strTextColor = FormatColour(CColour { static_cast<uint8_t>(colour.red()),
        static_cast<uint8_t>(colour.green()), static_cast<uint8_t>(colour.blue()) });
    settings.m_bPromoteEachCard = m_pUi->checkPromoteEachCard->isChecked() ? 1 : 0;
    settings.m_bPromoteLastCard = m_pUi->checkPromoteLastCard->isChecked() ? 1 : 0;
    settings.m_nWidth = nWidth;
    settings.m_nHeight = nHeight;
    settings.m_strSlideDelay = m_pUi->comboSlideDelay->currentText().toStdString();
    settings.m_bSlideShow = m_pUi->checkSlideShow->isChecked() ? 1 : 0;
    settings.m_nQuality = nQuality;
    StoreFont();
    accept();
}

void CDlgProjectSettings::StoreFont()
{
    const int nIndex = m_pUi->comboFont->currentIndex();
    // No entry shows the project font (it is not installed): keep it rather than empty it.
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_fonts.size()) {
        return;
    }
    const std::string& strFont = m_fonts[static_cast<size_t>(nIndex)];
    if (strFont == m_project.m_settings.m_strFont) {
        return;
    }
    m_project.m_settings.m_strFont = strFont;
    // A font file removed since the list was made: the name is stored, the loaded fonts stay.
    if (FindFileNoCase(JoinInstallPath(ToPath(m_services.m_strAppDir), "Font\\" + strFont + ".fdb"))) {
        m_generator.LoadFonts(1);
    }
}
