// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtSoundPlayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

CQtSoundPlayer::CQtSoundPlayer()
    : m_pOutput(std::make_unique<QAudioOutput>())
    , m_pPlayer(std::make_unique<QMediaPlayer>())
{
    m_pPlayer->setAudioOutput(m_pOutput.get());
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
    m_pPlayer->setSource(QUrl::fromLocalFile(strPath));
    m_bOpen = true;
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
    m_pPlayer->stop();
    m_pPlayer->setSource(QUrl());
    m_bOpen = false;
}
