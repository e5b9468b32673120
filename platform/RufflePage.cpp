// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RufflePage.h"

#include <QUrl>

CRufflePage::CRufflePage(QWebEngineProfile* pProfile, QObject* pParent)
    : QWebEnginePage(pProfile, pParent)
{
}

void CRufflePage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel, const QString& strMessage, int, const QString&)
{
    static const QString kPrefix = QStringLiteral("mlk:");
    if (!strMessage.startsWith(kPrefix)) {
        return;
    }
    // mlk:<kind>:<token>:<detail>; the detail may itself hold colons.
    const QStringList parts = strMessage.mid(kPrefix.size()).split(QLatin1Char(':'));
    if (parts.size() < 2) {
        return;
    }
    bool bOk = false;
    const int nToken = parts.at(1).toInt(&bOk);
    if (!bOk) {
        return;
    }
    const QString strDetail = parts.mid(2).join(QLatin1Char(':'));
    Q_EMIT PageEvent(parts.at(0), nToken, strDetail);
}

bool CRufflePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool bMainFrame)
{
    return bMainFrame && url.isLocalFile();
}

QWebEnginePage* CRufflePage::createWindow(WebWindowType)
{
    return nullptr;
}
