// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWebEnginePage>

// The player page: its console lines "mlk:<event>:<token>:<detail>" become PageEvent signals;
// every navigation away from the local page is refused (no network, no new windows).
class CRufflePage : public QWebEnginePage {
    Q_OBJECT
public:
    CRufflePage(QWebEngineProfile* pProfile, QObject* pParent);

Q_SIGNALS:
    void PageEvent(const QString& strKind, int nToken, const QString& strDetail);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& strMessage, int nLine,
        const QString& strSource) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool bMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
};
