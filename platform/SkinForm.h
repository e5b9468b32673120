// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QAbstractButton;
class QWidget;

// The events of a dressed window's named skin objects: every button below the window whose
// objectName is set reports Click when clicked and State when its state changes (first number 1
// when it is checked, or when a plain button is pressed), carrying its name.
class CSkinForm : public QObject {
    Q_OBJECT
public:
    explicit CSkinForm(QWidget* pWindow);

    // Picks up named buttons created after the form; already known ones are not connected twice.
    void Refresh();

    // Skin object names are compared without regard to case.
    [[nodiscard]] static bool SameName(const QString& strA, const QString& strB)
    {
        return strA.compare(strB, Qt::CaseInsensitive) == 0;
    }

Q_SIGNALS:
    void Click(const QString& strObject);
    void State(const QString& strObject, int nState, int nArg2, int nArg3);

private:
    void Connect(QAbstractButton* pButton);

    QWidget* m_pWindow;
    QSet<QObject*> m_connected;
};
