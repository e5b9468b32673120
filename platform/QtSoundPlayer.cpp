// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtSoundPlayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

#include <utility>

CQtSoundPlayer::CQtSoundPlayer()
    : m_pOutput(std::make_unique<QAudioOutput>())
    , m_pPlayer(std::make_unique<QMediaPlayer>())
{
    m_pPlayer->setAudioOutput(m_pOutput.get());
    // A file that exists but cannot be decoded shows up only after Open, as an error, an
    // InvalidMedia status or both (GStreamer sends two errors for one bad file): report it once.
    QObject::connect(m_pPlayer.get(), &QMediaPlayer::errorOccurred, m_pPlayer.get(),
        [this](QMediaPlayer::Error, const QString& strText) { Fail(strText); });
    QObject::connect(m_pPlayer.get(), &QMediaPlayer::mediaStatusChanged, m_pPlayer.get(),
        [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia) {
                Fail(m_pPlayer->errorString());
            }
        });
}

CQtSoundPlayer::~CQtSoundPlayer()
{
    m_pPlayer->stop();
}

bool CQtSoundPlayer::Open(const QString& strPath)
{
    Close();
    if (!QFileInfo(strPath).isFile()) {
        return false;
    }
    m_bOpen = true;
    m_pPlayer->setSource(QUrl::fromLocalFile(strPath));
    return true;
}

void CQtSoundPlayer::Play()
{
    if (m_bOpen) {
        m_pPlayer->play();
    }
}

void CQtSoundPlayer::Stop()
{
    m_pPlayer->stop();
}

void CQtSoundPlayer::Close()
{
    m_bOpen = false;
    m_pPlayer->stop();
    m_pPlayer->setSource(QUrl());
}

void CQtSoundPlayer::SetLoadFailedHandler(LoadFailedHandler onLoadFailed)
{
    m_onLoadFailed = std::move(onLoadFailed);
}

qint64 CQtSoundPlayer::DurationMs() const
{
    return m_bOpen ? m_pPlayer->duration() : 0;
}

void CQtSoundPlayer::Fail(const QString& strReason)
{
    // Errors after Close (or a second one for the same file) are not news.
    if (!m_bOpen) {
        return;
    }
    m_bOpen = false;
    m_pPlayer->stop();
    if (m_onLoadFailed) {
        m_onLoadFailed(strReason.isEmpty() ? QStringLiteral("the file cannot be decoded") : strReason);
    }
}
