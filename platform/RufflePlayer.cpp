// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RufflePlayer.h"

#include "platform/InstallDir.h"
#include "platform/RufflePage.h"
#include "platform/SwfSignature.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Movies bigger than this are refused before they are copied into the page as text.
constexpr qint64 kMaxMovieBytes = 256LL * 1024 * 1024;

// One private, in-memory profile for every player of the process: nothing is written to the
// user's web data, and the WebAssembly cores are compiled once.
QWebEngineProfile* SharedProfile()
{
    static QWebEngineProfile* s_pProfile = nullptr;
    if (s_pProfile == nullptr) {
        s_pProfile = new QWebEngineProfile(QCoreApplication::instance());
        s_pProfile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        s_pProfile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    }
    return s_pProfile;
}

} // namespace

CRufflePlayer::CRufflePlayer(QWidget* pParent, const QString& strRuffleDir)
    : CFlashPlayerWidget(pParent)
{
    const QString strDir = strRuffleDir.isEmpty() ? GetRuffleDir(GetInstallDir()) : strRuffleDir;

    m_pView = new QWebEngineView(this);
    m_pView->setContextMenuPolicy(Qt::NoContextMenu);
    m_pPage = new CRufflePage(SharedProfile(), m_pView);
    QWebEngineSettings* pSettings = m_pPage->settings();
    pSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    pSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    pSettings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    pSettings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    pSettings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    m_pPage->setBackgroundColor(Qt::white);
    m_pView->setPage(m_pPage);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pView);

    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kLoadTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("the movie did not show within the time limit")); });
    connect(m_pPage, &CRufflePage::PageEvent, this, &CRufflePlayer::OnPageEvent);
    connect(m_pPage, &QWebEnginePage::loadFinished, this, &CRufflePlayer::OnPageLoaded);

    const QString strPage = QDir(strDir).filePath(QStringLiteral("player.html"));
    if (!QFileInfo::exists(strPage) ||
        !QFileInfo::exists(QDir(strDir).filePath(QStringLiteral("ruffle.js")))) {
        m_bPageFailed = true;
        return;
    }
    m_pPage->load(QUrl::fromLocalFile(strPage));
}

CRufflePlayer::~CRufflePlayer() = default;

bool CRufflePlayer::LoadMovie(int nLayer, const QString& strPath)
{
    if (nLayer != 0) {
        Fail(QStringLiteral("only layer 0 is supported"));
        return false;
    }
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot open the movie %1").arg(strPath));
        return false;
    }
    if (file.size() > kMaxMovieBytes) {
        Fail(QStringLiteral("the movie %1 is too big").arg(strPath));
        return false;
    }
    const QByteArray movie = file.readAll();
    if (movie.size() != file.size()) {
        Fail(QStringLiteral("cannot read the movie %1").arg(strPath));
        return false;
    }
    return LoadMovieData(movie);
}

bool CRufflePlayer::LoadMovieData(const QByteArray& movie)
{
    m_loadClock.start();
    ++m_nToken;
    if (m_bPageFailed) {
        Fail(QStringLiteral("the player page or Ruffle is missing from the installation"));
        return false;
    }
    if (!LooksLikeSwf(movie)) {
        Fail(QStringLiteral("the file is not a Flash movie"));
        return false;
    }
    m_pending = movie;
    m_bHasPending = true;
    m_bPlaying = true; // a new movie plays once loaded, unless a Stop comes after this call
    m_bWaiting = true;
    m_timeout.start();
    if (m_bPageReady) {
        Send();
    }
    return true;
}

void CRufflePlayer::Send()
{
    if (!m_bHasPending) {
        return;
    }
    // The movie carries the latest Play or Stop: one that came before the page was ready has not
    // reached the page on its own.
    const QString strScript = QStringLiteral("mlkLoad(\"%1\", %2, %3);")
                                  .arg(QString::fromLatin1(m_pending.toBase64()))
                                  .arg(m_nToken)
                                  .arg(m_bPlaying ? QStringLiteral("true") : QStringLiteral("false"));
    m_pending.clear();
    m_bHasPending = false;
    m_pPage->runJavaScript(strScript);
}

// Once the page is ready it keeps the state itself and applies it to a movie still loading as soon
// as that movie is in; before, the state waits here for the movie to be sent.
void CRufflePlayer::Play()
{
    m_bPlaying = true;
    if (m_bPageReady) {
        m_pPage->runJavaScript(QStringLiteral("mlkPlay();"));
    }
}

void CRufflePlayer::Stop()
{
    m_bPlaying = false;
    if (m_bPageReady) {
        m_pPage->runJavaScript(QStringLiteral("mlkStop();"));
    }
}

QImage CRufflePlayer::GrabFrame()
{
    return m_pView->grab().toImage();
}

void CRufflePlayer::OnPageLoaded(bool bOk)
{
    if (!bOk && !m_bPageReady) {
        m_bPageFailed = true;
        if (m_bWaiting) {
            Fail(QStringLiteral("the player page did not load"));
        }
    }
}

void CRufflePlayer::OnPageEvent(const QString& strKind, int nToken, const QString& strDetail)
{
    if (strKind == QStringLiteral("ready")) {
        m_bPageReady = true;
        Q_EMIT PageReady();
        Send();
        return;
    }
    if (nToken != m_nToken || !m_bWaiting) {
        return; // an older movie, already replaced
    }
    if (strKind == QStringLiteral("frame")) {
        m_bWaiting = false;
        m_timeout.stop();
        if (qEnvironmentVariableIsSet("MARROWLARK_PLAYER_TRACE")) {
            qInfo("movie shown after %lld ms (page: %s)", static_cast<long long>(m_loadClock.elapsed()),
                qPrintable(strDetail));
        }
        Q_EMIT MovieShown(m_loadClock.elapsed());
    } else if (strKind == QStringLiteral("error")) {
        Fail(strDetail.isEmpty() ? QStringLiteral("the player refused the movie") : strDetail);
    }
}

void CRufflePlayer::Fail(const QString& strReason)
{
    m_bWaiting = false;
    m_timeout.stop();
    Q_EMIT LoadFailed(strReason);
}
