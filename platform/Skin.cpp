// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Skin.h"

#include "platform/SkinForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWidget>

namespace {

// Braces balance outside comments and strings: a cheap test that the file is a style sheet.
bool Balanced(const QString& strSheet)
{
    int nDepth = 0;
    QChar quote;
    for (qsizetype i = 0; i < strSheet.size(); ++i) {
        const QChar c = strSheet.at(i);
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < strSheet.size() && strSheet.at(i + 1) == QLatin1Char('*')) {
            const qsizetype nEnd = strSheet.indexOf(QStringLiteral("*/"), i + 2);
            if (nEnd < 0) {
                return false;
            }
            i = nEnd + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('{')) {
            ++nDepth;
        } else if (c == QLatin1Char('}') && --nDepth < 0) {
            return false;
        }
    }
    return nDepth == 0 && quote.isNull();
}

} // namespace

bool CSkin::Load(const QString& strPath)
{
    m_strSheet.clear();
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSkinBytes) {
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString strSheet = decoder(file.readAll());
    if (decoder.hasError() || strSheet.trimmed().isEmpty() || !Balanced(strSheet)) {
        return false;
    }
    // Qt resolves relative url() against the working folder; the skin's pictures lie beside it.
    const QDir base = QFileInfo(strPath).absoluteDir();
    static const QRegularExpression kUrl(QStringLiteral("url\\(\\s*([\"']?)([^)\"']+)\\1\\s*\\)"));
    QString strResolved;
    qsizetype nLast = 0;
    for (const QRegularExpressionMatch& match : kUrl.globalMatch(strSheet)) {
        QString strTarget = match.captured(2).trimmed();
        if (QDir::isRelativePath(strTarget) && !strTarget.startsWith(QLatin1Char(':'))) {
            strTarget = base.absoluteFilePath(strTarget);
        }
        strResolved += strSheet.mid(nLast, match.capturedStart() - nLast);
        strResolved += QStringLiteral("url(\"") + strTarget + QStringLiteral("\")");
        nLast = match.capturedEnd();
    }
    strResolved += strSheet.mid(nLast);
    m_strSheet = strResolved;
    return true;
}

void CSkin::Apply(QWidget* pWindow) const
{
    pWindow->setStyleSheet(m_strSheet);
}

void CSkin::ApplyObject(QWidget* pWidget, const QString& strObjectName) const
{
    pWidget->setObjectName(strObjectName);
    pWidget->setStyleSheet(m_strSheet);
}

CSkinForm* CSkin::GetForm(QWidget* pWindow) const
{
    return new CSkinForm(pWindow);
}
