// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class CSkinForm;
class QWidget;

// A skin: a Qt style sheet file (.skn). Applying it dresses a window; applying a skin object by
// name dresses one widget and makes it that named object, so that the sheet's "#Name" rules
// reach it. Relative url(...) references in the sheet are taken from the skin's own folder.
class CSkin {
public:
    // False when the file is missing, unreadable, empty or not a style sheet (unbalanced braces).
    [[nodiscard]] bool Load(const QString& strPath);
    [[nodiscard]] bool IsLoaded() const { return !m_strSheet.isEmpty(); }
    [[nodiscard]] const QString& StyleSheet() const { return m_strSheet; }

    void Apply(QWidget* pWindow) const;
    void ApplyObject(QWidget* pWidget, const QString& strObjectName) const;
    // The form object of a window: raises the click and state events of its named widgets. The
    // window owns it.
    CSkinForm* GetForm(QWidget* pWindow) const;

    // Skin files bigger than this are not style sheets of ours.
    static constexpr qint64 kMaxSkinBytes = 4LL * 1024 * 1024;

    [[nodiscard]] static QString ControlMissingMessage()
    {
        return QStringLiteral(
            "Could not instantiate Skin control. Make sure ActiveSkin library is installed properly.");
    }
    [[nodiscard]] static QString LoadFailedMessage() { return QStringLiteral("Could not load the skin."); }

private:
    QString m_strSheet;
};
