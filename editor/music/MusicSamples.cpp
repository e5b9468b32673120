// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/music/MusicSamples.h"
#include "editor/dialogs/DialogPaths.h"

#include "generate/FlashFileTest.h"
#include "generate/Music.h"
#include "model/InstallPaths.h"

#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

EMusicKind MusicKind(const QString& strName)
{
    if (strName.endsWith(QStringLiteral("mp3"), Qt::CaseInsensitive)) {
        return EMusicKind::Mp3;
    }
    if (strName.endsWith(QStringLiteral("swf"), Qt::CaseInsensitive)) {
        return EMusicKind::Flash;
    }
    return EMusicKind::Other;
}

std::vector<CMusicSample> ListMusicSamples(const QString& strAppDir)
{
    std::vector<CMusicSample> samples;
    const std::filesystem::path folder = InstallPath(ToPath(strAppDir), "\\Music");
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const QString strName = FromPath(it->path().filename());
        const EMusicKind kind = MusicKind(strName);
        // Thumbs.db and the like fall out here with every other name that is not music.
        if (kind == EMusicKind::Other) {
            continue;
        }
        samples.push_back(
            { strName, kind == EMusicKind::Mp3 ? QStringLiteral("mp3") : QStringLiteral("swf") });
    }
    std::sort(samples.begin(), samples.end(), [](const CMusicSample& a, const CMusicSample& b) {
        const int nOrder = a.m_strName.compare(b.m_strName, Qt::CaseInsensitive);
        return nOrder != 0 ? nOrder < 0 : a.m_strName < b.m_strName;
    });
    return samples;
}

int FindSampleRow(const std::vector<CMusicSample>& samples, const QString& strValue)
{
    // An empty value is no music: it must not pick the first sample, or a plain OK would add one.
    if (strValue.isEmpty()) {
        return -1;
    }
    const auto exact = std::find_if(samples.begin(), samples.end(), [&strValue](const CMusicSample& sample) {
        return sample.m_strName.compare(strValue, Qt::CaseInsensitive) == 0;
    });
    if (exact != samples.end()) {
        return static_cast<int>(exact - samples.begin());
    }
    const auto prefix = std::find_if(samples.begin(), samples.end(), [&strValue](const CMusicSample& sample) {
        return sample.m_strName.startsWith(strValue, Qt::CaseInsensitive);
    });
    return prefix != samples.end() ? static_cast<int>(prefix - samples.begin()) : -1;
}

QString SampleFile(const QString& strAppDir, const QString& strName)
{
    const std::filesystem::path file = InstallPath(ToPath(strAppDir), "\\Music") / ToPath(strName);
    return FromPath(FindFileNoCase(file).value_or(file));
}

QString DiskFile(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return {};
    }
    const std::filesystem::path file = ToPath(strPath);
    return FromPath(FindFileNoCase(file).value_or(file));
}

EMusicCheck CheckMusicFile(const QString& strFile)
{
    const EMusicKind kind = MusicKind(strFile);
    if (kind == EMusicKind::Flash && !TestChosenFlashFile(strFile.toStdString())) {
        return EMusicCheck::FlashRefused;
    }
    // A relative path would be read against the installation folder by generation, not where the
    // person found it; a missing file would fail generation's music step.
    const QFileInfo info(strFile);
    if (kind == EMusicKind::Other || !info.isAbsolute() || !info.isFile()) {
        return EMusicCheck::Unreadable;
    }
    if (kind == EMusicKind::Mp3 && !IsReadableMp3Music(strFile.toStdString())) {
        return EMusicCheck::Unreadable;
    }
    return EMusicCheck::Ok;
}
