// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FlashPlayerWidget.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

class QWebEngineView;
class CRufflePage;

// The embedded player: a web view running Ruffle from the installation folder over file://.
// One page and one Ruffle player serve every movie, so that a new movie (the live preview of each
// edit) replaces the old one without reloading the page or the WebAssembly core.
class CRufflePlayer : public CFlashPlayerWidget {
    Q_OBJECT
public:
    // strRuffleDir holds ruffle.js, its cores and player.html; empty: the installation's.
    explicit CRufflePlayer(QWidget* pParent = nullptr, const QString& strRuffleDir = {});
    ~CRufflePlayer() override;

    bool LoadMovie(int nLayer, const QString& strPath) override;
    void Play() override;
    void Stop() override;

    // Loads a movie held in memory (the self-running copy carries its movie inside).
    bool LoadMovieData(const QByteArray& movie);

    // The frame as the screen shows it.
    [[nodiscard]] QImage GrabFrame();
    [[nodiscard]] QWebEngineView* View() const { return m_pView; }
    [[nodiscard]] bool IsPageReady() const { return m_bPageReady; }

    // How long a movie may take to show its first frame before the load counts as failed.
    static constexpr int kLoadTimeoutMs = 15000;

Q_SIGNALS:
    void PageReady();

private:
    void OnPageEvent(const QString& strKind, int nToken, const QString& strDetail);
    void OnPageLoaded(bool bOk);
    void Send();
    void Fail(const QString& strReason);

    QWebEngineView* m_pView = nullptr;
    CRufflePage* m_pPage = nullptr;
    bool m_bPageReady = false;
    bool m_bPageFailed = false;
    QByteArray m_pending; // a movie waiting for the page
    bool m_bHasPending = false;
    bool m_bPlaying = true; // the latest Play or Stop, or a load (which plays); travels with the movie
    int m_nToken = 0; // counts loads; events of older loads are ignored
    bool m_bWaiting = false;
    QElapsedTimer m_loadClock;
    QTimer m_timeout;
};
