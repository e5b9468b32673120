// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// config.ini of the installation folder, at the Qt edge of the model's INI reader and writer.
class CSettingsFile {
public:
    explicit CSettingsFile(const QString& strInstallDir);

    [[nodiscard]] const QString& Path() const { return m_strPath; }

    // Creates the file with its initial content when it is missing; false when that fails (the
    // caller shows CreateFailedMessage and goes on).
    [[nodiscard]] bool EnsureExists() const;
    // The author e-mail (at most 100 characters), or the placeholder when the key is missing.
    [[nodiscard]] QString Email() const;

    // Any key; empty when missing.
    [[nodiscard]] QString Value(const QString& strSection, const QString& strKey) const;
    // Writes one key, keeping every other line of the file as it was. Throws std::runtime_error.
    void SetValue(const QString& strSection, const QString& strKey, const QString& strValue) const;

    [[nodiscard]] static QString CreateFailedMessage()
    {
        return QStringLiteral("Error when creating config.ini");
    }

private:
    QString m_strPath;
};
