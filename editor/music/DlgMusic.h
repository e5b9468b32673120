// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/dialogs/DialogServices.h"
#include "editor/music/MusicSamples.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class CFlashPlayerWidget;

namespace Ui {
class DlgMusic;
}

// "Choose a swf file as sound": the gift's music, an MP3 file or a Flash movie that sounds, from the
// installation's Music folder or from anywhere on disk, with "Play>" to hear it before it is taken.
// MP3 files play through the services' sound player, Flash files through an embedded player made
// at the first Flash "Play>". Closing the dialog in any way ends what it plays.
class CDlgMusic : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSourceSamples = 0;
    static constexpr int kSourceDisk = 1;
    // The path box takes this many characters as typed; a longer path chosen with "Browse" or
    // handed in is shown whole rather than cut to a different file.
    static constexpr int kMaxPathChars = 200;

    explicit CDlgMusic(const CDialogServices& services, QWidget* pParent = nullptr);
    ~CDlgMusic() override;

    CDlgMusic(const CDlgMusic&) = delete;
    CDlgMusic& operator=(const CDlgMusic&) = delete;

    // Before exec(): the current music, a bare file name of the Music folder or a full path (the
    // caller strips "Music\"), and the source (kSourceSamples, kSourceDisk). A value that is a path
    // (contains ":" or starts with "/") opens on the disk choice, any other value on the samples
    // with its row selected; an empty value (no music) opens on the source given.
    void SetValue(const std::string& strValue);
    void SetSource(int nSource);

    // After OK: the chosen music (the file name for a sample, the path for a disk file), empty for
    // none, and where it came from.
    [[nodiscard]] const std::string& Value() const { return m_strValue; }
    [[nodiscard]] int Source() const { return m_nSource; }

    void done(int nResult) override;

private Q_SLOTS:
    void OnSamplesClicked();
    void OnDiskClicked();
    void OnBrowse();
    void OnPlayClicked(bool bChecked);
    void OnRemove();
    void OnOk();

private:
    enum class EPlaying { None, Mp3, Flash };

    void ShowValue();
    void SetDiskMode(bool bDisk);
    void SetPathText(const QString& strPath);
    // The file the current choice names: the selected sample's in samples mode, the path box's on disk.
    [[nodiscard]] QString ChosenFile() const;
    void StartPlaying();
    void StopPlaying();
    void PlayFailed(const QString& strReason);
    void OnSoundFailed(const QString& strReason);
    void OnPlayerFailed(const QString& strReason);
    CFlashPlayerWidget* Player();
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

    std::unique_ptr<Ui::DlgMusic> m_pUi;
    CDialogServices m_services;
    std::vector<CMusicSample> m_samples;
    std::string m_strValue;
    int m_nSource = -1;
    EPlaying m_playing = EPlaying::None;
    QString m_strPlayingFile;
    bool m_bSoundOpen = false; // the sound player holds a file of ours
    CFlashPlayerWidget* m_pPlayer = nullptr; // a child of the player frame, made when first needed
};
