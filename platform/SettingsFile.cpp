// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFile.h"

#include "model/IniFile.h"

#include <QDir>

#include <filesystem>

namespace {

std::filesystem::path FsPath(const QString& strPath)
{
    return std::filesystem::path(strPath.toStdU16String());
}

} // namespace

CSettingsFile::CSettingsFile(const QString& strInstallDir)
    : m_strPath(QDir(strInstallDir).filePath(QString::fromLatin1(kConfigFileName)))
{
}

bool CSettingsFile::EnsureExists() const
{
    return EnsureConfigFile(FsPath(m_strPath));
}

QString CSettingsFile::Email() const
{
    return QString::fromStdString(ReadConfigEmail(FsPath(m_strPath)));
}

QString CSettingsFile::Value(const QString& strSection, const QString& strKey) const
{
    try {
        const CIniFile ini = CIniFile::Load(FsPath(m_strPath));
        const std::optional<std::string> value = ini.Value(strSection.toStdString(), strKey.toStdString());
        return value ? QString::fromStdString(*value) : QString();
    } catch (const std::runtime_error&) {
        return {};
    }
}

void CSettingsFile::SetValue(const QString& strSection, const QString& strKey, const QString& strValue) const
{
    CIniFile ini = CIniFile::Load(FsPath(m_strPath));
    ini.SetValue(strSection.toStdString(), strKey.toStdString(), strValue.toStdString());
    ini.Save(FsPath(m_strPath));
}
