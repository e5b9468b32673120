// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FilterString.h"

#include <QRegularExpression>

QStringList ConvertFilterString(const QString& strFilter)
{
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString strDescription = parts.at(i).trimmed();
        if (strDescription.isEmpty()) {
            break; // the "||" that ends the list
        }
        QStringList patterns;
        for (const QString& strPattern : parts.at(i + 1).split(QLatin1Char(';'))) {
            QString strClean = strPattern.trimmed();
            if (strClean.isEmpty()) {
                continue;
            }
            if (strClean == QStringLiteral("*.*")) {
                strClean = QStringLiteral("*");
            }
            if (!patterns.contains(strClean)) {
                patterns.append(strClean);
            }
        }
        if (patterns.isEmpty()) {
            continue;
        }
        static const QRegularExpression kTrailingList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        strDescription.remove(kTrailingList);
        const QString strList = QStringLiteral("(") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
        filters.append(strDescription.isEmpty() ? strList : strDescription + QLatin1Char(' ') + strList);
    }
    return filters;
}
