// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProjectSettings.h"

void CProjectSettings::ResetForClear()
{
    m_nWidth = 640;
    m_nHeight = 480;
    m_strBackground = "#FFFFFF";
    m_nBgAlign = 0;
    m_strSlideDelay.clear();
    m_bSlideShow = 0;
    m_strMusic.clear();
}

void CProjectSettings::ResetForNew()
{
    m_strBackground = "#FFFFFF";
    m_nBgAlign = 4;
    m_strButton = "#2781c4";
    m_strTextColor = "#000000";
    m_strMusic.clear();
    m_bPromoteLastCard = 1;
    m_bPromoteEachCard = 1;
    m_nWidth = 640;
    m_nHeight = 480;
    m_strSlideDelay.clear();
    m_nQuality = 70;
    m_bSlideShow = 0;
    m_strFont = "Sans";
    m_strProjectPath.clear();
}
