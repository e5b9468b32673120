// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/music/DlgMusic.h"
#include "editor/dialogs/DialogPaths.h"

#include "ui_DlgMusic.h"

#include "generate/FlashFileTest.h"
#include "model/InstallPaths.h"
#include "model/LookValue.h"
#include "platform/FlashPlayerWidget.h"
#include "platform/Prompts.h"
#include "platform/Skin.h"
#include "platform/SoundPlayer.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidgetItem>

#include <algorithm>
#include <filesystem>

namespace {

// Width of the "Type" column; the name column takes the rest of the list.
constexpr int kTypeColumnWidth = 40;
// The embedded player lies this far inside its frame on every side.
constexpr int kPlayerInset = 2;

QString NotPlayableMessage()
{
    return QStringLiteral("This music file can not be played.");
}

} // namespace

CDlgMusic::CDlgMusic(const CDialogServices& services, QWidget* pParent)
    : QDialog(pParent)
    , m_pUi(std::make_unique<Ui::DlgMusic>())
    , m_services(services)
{
    m_pUi->setupUi(this);
    m_pUi->editPath->setMaxLength(kMaxPathChars);

    QHeaderView* pHeader = m_pUi->listSamples->header();
    pHeader->setStretchLastSection(false);
    pHeader->setSectionResizeMode(0, QHeaderView::Stretch);
    pHeader->setSectionResizeMode(1, QHeaderView::Fixed);
    pHeader->resizeSection(1, kTypeColumnWidth);
    m_pUi->listSamples->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    m_samples = ListMusicSamples(m_services.m_strAppDir);
    for (const CMusicSample& sample : m_samples) {
        auto* pItem = new QTreeWidgetItem(m_pUi->listSamples, { sample.m_strName, sample.m_strType });
        pItem->setTextAlignment(1, Qt::AlignCenter);
    }

    connect(m_pUi->radioSamples, &QRadioButton::clicked, this, &CDlgMusic::OnSamplesClicked);
    connect(m_pUi->radioDisk, &QRadioButton::clicked, this, &CDlgMusic::OnDiskClicked);
    connect(m_pUi->btnBrowse, &QPushButton::clicked, this, &CDlgMusic::OnBrowse);
    connect(m_pUi->btnPlay, &QPushButton::clicked, this, &CDlgMusic::OnPlayClicked);
    connect(m_pUi->btnRemove, &QPushButton::clicked, this, &CDlgMusic::OnRemove);
    connect(m_pUi->btnOk, &QPushButton::clicked, this, &CDlgMusic::OnOk);
    connect(m_pUi->btnCancel, &QPushButton::clicked, this, &CDlgMusic::reject);
    m_pUi->framePlayer->installEventFilter(this);

    if (m_services.m_pSound != nullptr) {
        m_services.m_pSound->SetLoadFailedHandler(
            [this](const QString& strReason) { OnSoundFailed(strReason); });
    }
    ShowValue();

    // Without its skin the dialog still works, in the plain look.
    CSkin skin;
    if (skin.Load(AppPath(m_services.m_strAppDir, "\\Skin\\vwinaqua.skn"))) {
        skin.Apply(this);
    }
}

CDlgMusic::~CDlgMusic()
{
    // The sound player outlives the dialog: it must neither keep playing nor call back into it.
    if (m_services.m_pSound != nullptr) {
        if (m_bSoundOpen) {
            m_services.m_pSound->Close();
        }
        m_services.m_pSound->SetLoadFailedHandler({});
    }
}

void CDlgMusic::SetValue(const std::string& strValue)
{
    m_strValue = strValue;
    ShowValue();
}

void CDlgMusic::SetSource(int nSource)
{
    m_nSource = nSource;
    ShowValue();
}

void CDlgMusic::ShowValue()
{
    const QString strValue = QString::fromStdString(m_strValue);
    const bool bDisk = m_strValue.empty() ? m_nSource == kSourceDisk : IsAbsoluteLookPath(m_strValue);
    SetDiskMode(bDisk);
    m_pUi->listSamples->clearSelection();
    if (bDisk) {
        SetPathText(strValue);
        return;
    }
    const int nRow = FindSampleRow(m_samples, strValue);
    if (nRow >= 0) {
        QTreeWidgetItem* pItem = m_pUi->listSamples->topLevelItem(nRow);
        m_pUi->listSamples->setCurrentItem(pItem);
        m_pUi->listSamples->scrollToItem(pItem);
    }
}

void CDlgMusic::SetDiskMode(bool bDisk)
{
    m_nSource = bDisk ? kSourceDisk : kSourceSamples;
    m_pUi->radioSamples->setChecked(!bDisk);
    m_pUi->radioDisk->setChecked(bDisk);
    m_pUi->listSamples->setEnabled(!bDisk);
    m_pUi->editPath->setEnabled(bDisk);
    m_pUi->btnBrowse->setEnabled(bDisk);
}

void CDlgMusic::SetPathText(const QString& strPath)
{
    m_pUi->editPath->setMaxLength(std::max(kMaxPathChars, static_cast<int>(strPath.size())));
    m_pUi->editPath->setText(strPath);
}

void CDlgMusic::OnSamplesClicked()
{
    SetDiskMode(false);
}

void CDlgMusic::OnDiskClicked()
{
    SetDiskMode(true);
}

void CDlgMusic::OnBrowse()
{
    const QString strPath = m_services.m_pPrompts->OpenFile(
        QStringLiteral("(*.mp3;*.swf)|*.mp3;*.swf||"), {}, m_pUi->editPath->text());
    if (strPath.isEmpty()) {
        return;
    }
    SetPathText(strPath);
}

QString CDlgMusic::ChosenFile() const
{
    if (m_nSource == kSourceDisk) {
        return DiskFile(m_pUi->editPath->text());
    }
    const QTreeWidgetItem* pItem = m_pUi->listSamples->currentItem();
    if (pItem == nullptr || !pItem->isSelected()) {
        return {};
    }
    return SampleFile(m_services.m_strAppDir, pItem->text(0));
}

void CDlgMusic::OnPlayClicked(bool bChecked)
{
    if (bChecked) {
        StartPlaying();
    } else {
        StopPlaying();
    }
}

// Plays what is chosen now, the sample selected or the path typed, not what was chosen when the
// dialog opened. A file of any other kind leaves "Play>" down with nothing sounding.
void CDlgMusic::StartPlaying()
{
    m_pUi->btnPlay->setChecked(true);
    m_strPlayingFile = ChosenFile();
    switch (MusicKind(m_strPlayingFile)) {
    case EMusicKind::Mp3:
        if (m_services.m_pSound == nullptr) {
            return;
        }
        // Set first: the sound player may report a file it cannot decode from inside Open.
        m_playing = EPlaying::Mp3;
        m_bSoundOpen = true;
        if (!m_services.m_pSound->Open(m_strPlayingFile)) {
            m_bSoundOpen = false;
            PlayFailed(QStringLiteral("the file cannot be opened"));
            return;
        }
        if (m_playing == EPlaying::Mp3) {
            m_services.m_pSound->Play();
        }
        return;
    case EMusicKind::Flash: {
        CFlashPlayerWidget* pPlayer = Player();
        if (pPlayer == nullptr) {
            return;
        }
        m_playing = EPlaying::Flash;
        if (!pPlayer->LoadMovie(0, m_strPlayingFile)) {
            PlayFailed(QStringLiteral("the movie cannot be loaded"));
            return;
        }
        if (m_playing == EPlaying::Flash) {
            pPlayer->Play();
        }
        return;
    }
    case EMusicKind::Other:
        return;
    }
}

void CDlgMusic::StopPlaying()
{
    m_pUi->btnPlay->setChecked(false);
    m_playing = EPlaying::None;
    if (m_pPlayer != nullptr) {
        // Stopping leaves the movie's sounds going; the silence movie replaces it.
        m_pPlayer->Stop();
        m_pPlayer->LoadMovie(0, AppPath(m_services.m_strAppDir, "\\Resource\\soundstop.swf"));
    }
    if (m_bSoundOpen) {
        m_bSoundOpen = false;
        m_services.m_pSound->Stop();
        m_services.m_pSound->Close();
    }
}

// "Play>" pops up and says so; the dialog carries on. Only the attempt still under way is
// reported, so a late failure of a file already stopped says nothing.
void CDlgMusic::PlayFailed(const QString& strReason)
{
    if (m_playing == EPlaying::None) {
        return;
    }
    m_playing = EPlaying::None;
    m_pUi->btnPlay->setChecked(false);
    if (m_services.m_log) {
        m_services.m_log(QStringLiteral("Music preview of %1 failed: %2").arg(m_strPlayingFile, strReason));
    }
    m_services.m_pPrompts->MessageBox(NotPlayableMessage(), EPromptButtons::Ok, EPromptIcon::Warning);
}

void CDlgMusic::OnSoundFailed(const QString& strReason)
{
    // The sound player has closed the file itself.
    m_bSoundOpen = false;
    if (m_playing == EPlaying::Mp3) {
        PlayFailed(strReason);
    }
}

void CDlgMusic::OnPlayerFailed(const QString& strReason)
{
    // The silence movie failing is no news to the person listening.
    if (m_playing == EPlaying::Flash) {
        PlayFailed(strReason);
    }
}

CFlashPlayerWidget* CDlgMusic::Player()
{
    if (m_pPlayer == nullptr && m_services.m_makePlayer) {
        m_pPlayer = m_services.m_makePlayer(m_pUi->framePlayer);
        if (m_pPlayer != nullptr) {
            m_pPlayer->setGeometry(m_pUi->framePlayer->rect().adjusted(
                kPlayerInset, kPlayerInset, -kPlayerInset, -kPlayerInset));
            m_pPlayer->show();
            connect(m_pPlayer, &CFlashPlayerWidget::LoadFailed, this, &CDlgMusic::OnPlayerFailed);
        }
    }
    return m_pPlayer;
}

bool CDlgMusic::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pUi->framePlayer && pEvent->type() == QEvent::Resize && m_pPlayer != nullptr) {
        m_pPlayer->setGeometry(
            m_pUi->framePlayer->rect().adjusted(kPlayerInset, kPlayerInset, -kPlayerInset, -kPlayerInset));
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CDlgMusic::OnRemove()
{
    m_strValue.clear();
    accept();
}

void CDlgMusic::OnOk()
{
    QString strValue;
    QString strFile;
    if (m_nSource == kSourceDisk) {
        strValue = m_pUi->editPath->text();
        strFile = DiskFile(strValue);
    } else {
        const QTreeWidgetItem* pItem = m_pUi->listSamples->currentItem();
        if (pItem == nullptr || !pItem->isSelected()) {
            m_services.m_pPrompts->MessageBox(QStringLiteral("Please choose a sample from sample list."),
                EPromptButtons::Ok, EPromptIcon::Information);
            return;
        }
        strValue = pItem->text(0);
        strFile = SampleFile(m_services.m_strAppDir, strValue);
    }
    // An empty path box is no music, as "Remove" gives.
    if (!strValue.isEmpty()) {
        switch (CheckMusicFile(strFile)) {
        case EMusicCheck::FlashRefused:
            m_strValue.clear();
            m_services.m_pPrompts->MessageBox(
                QString::fromLatin1(kStrFlashFileNotSupported), EPromptButtons::Ok, EPromptIcon::Warning);
            return;
        case EMusicCheck::Unreadable:
            m_services.m_pPrompts->MessageBox(
                QStringLiteral("This music file can not be read. Please choose another one."),
                EPromptButtons::Ok, EPromptIcon::Warning);
            return;
        case EMusicCheck::Ok:
            break;
        }
    }
    m_strValue = strValue.toStdString();
    accept();
}

void CDlgMusic::done(int nResult)
{
    // OK, Remove, Cancel, Escape and the window's close button all end the sound: a dialog kept
    // after exec() must not go on playing.
    if (m_playing == EPlaying::Flash && m_pPlayer != nullptr) {
        StopPlaying();
    }
    if (m_bSoundOpen) {
        m_bSoundOpen = false;
        m_services.m_pSound->Close();
    }
    m_playing = EPlaying::None;
    m_pUi->btnPlay->setChecked(false);
    QDialog::done(nResult);
}
