// SPDX-License-Identifier: GPL-3.0-or-later
// The music dialog's "Play>", timed to where a person hears it begin: for an MP3 sample with the
// real sound player, to the moment its length is known (the file is open and decoding); for a
// Flash sample with the real player, to its first frame on screen, once in a fresh dialog (the
// player made, its page and core loaded) and again in a dialog whose player is warm. Each reports
// its median and maximum over the samples as counters (milliseconds).
#include "bench/editor/BenchSamples.h"
#include "editor/music/DlgMusic.h"
#include "platform/FakePrompts.h"
#include "platform/InstallDir.h"
#include "platform/QtSoundPlayer.h"
#include "platform/RufflePlayer.h"
#include "tests/editor/EditorTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Gives up on a sound or a movie that never comes (reported as an error, not a time).
constexpr int kGiveUpMs = 60000;

// Runs the event loop until done() says so; false when the time ran out.
bool WaitFor(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(kGiveUpMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// The dialog on a private copy of the staged installation, with the real sound player and player.
class CMusicBench {
public:
    CMusicBench()
        : m_bValid(m_home.isValid() && editortest::LinkStagedInstallation(m_home.path()))
    {
        m_services.m_strAppDir = m_home.path();
        m_services.m_pPrompts = &m_prompts;
        m_services.m_pSound = &m_sound;
        const QString strRuffleDir = GetRuffleDir(m_home.path());
        m_services.m_makePlayer = [this, strRuffleDir](QWidget* pParent) -> CFlashPlayerWidget* {
            m_pPlayer = new CRufflePlayer(pParent, strRuffleDir);
            return m_pPlayer;
        };
    }

    ~CMusicBench()
    {
        m_pDialog.reset();
        // The web views go with their deferred deletions.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    CMusicBench(const CMusicBench&) = delete;
    CMusicBench& operator=(const CMusicBench&) = delete;

    [[nodiscard]] bool IsValid() const { return m_bValid; }

    // A fresh dialog on the sample, shown.
    void Open(const std::string& strSample)
    {
        m_pDialog.reset();
        m_pPlayer = nullptr;
        m_pDialog = std::make_unique<CDlgMusic>(m_services);
        m_pDialog->SetValue(strSample);
        m_pDialog->SetSource(CDlgMusic::kSourceSamples);
        m_pDialog->show();
    }

    void ClickPlay() const { m_pDialog->findChild<QPushButton*>(QStringLiteral("btnPlay"))->click(); }
    [[nodiscard]] bool IsPlaying() const
    {
        return m_pDialog->findChild<QPushButton*>(QStringLiteral("btnPlay"))->isChecked();
    }
    [[nodiscard]] bool Refused() const { return !m_prompts.Messages().isEmpty(); }

    CQtSoundPlayer& Sound() { return m_sound; }
    [[nodiscard]] CFlashPlayerWidget* Player() const { return m_pPlayer; }

private:
    QTemporaryDir m_home;
    bool m_bValid = false;
    CFakePrompts m_prompts;
    CQtSoundPlayer m_sound;
    CDialogServices m_services;
    CFlashPlayerWidget* m_pPlayer = nullptr;
    std::unique_ptr<CDlgMusic> m_pDialog;
};

// Catches the player's next MovieShown or LoadFailed.
class CMovieWatch {
public:
    explicit CMovieWatch(CFlashPlayerWidget* pPlayer)
    {
        m_shown = QObject::connect(pPlayer, &CFlashPlayerWidget::MovieShown, [this] { m_bShown = true; });
        m_failed = QObject::connect(pPlayer, &CFlashPlayerWidget::LoadFailed, [this] { m_bFailed = true; });
    }
    ~CMovieWatch()
    {
        QObject::disconnect(m_shown);
        QObject::disconnect(m_failed);
    }
    CMovieWatch(const CMovieWatch&) = delete;
    CMovieWatch& operator=(const CMovieWatch&) = delete;

    [[nodiscard]] bool Wait() const
    {
        return WaitFor([this] { return m_bShown || m_bFailed; }) && m_bShown;
    }

private:
    QMetaObject::Connection m_shown;
    QMetaObject::Connection m_failed;
    bool m_bShown = false;
    bool m_bFailed = false;
};

// "Play>" on the MP3 sample to its length known, then "Play>" again to stop it.
void BM_MusicPlayMp3(benchmark::State& state)
{
    CMusicBench bench;
    if (!bench.IsValid()) {
        state.SkipWithError("the installation copy could not be made");
        return;
    }
    bench.Open("birthday.mp3");
    editorbench::CSamples play;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        bench.ClickPlay();
        const bool bKnown =
            WaitFor([&bench] { return bench.Sound().DurationMs() > 0 || !bench.IsPlaying(); });
        if (!bKnown || !bench.IsPlaying() || bench.Refused()) {
            state.SkipWithError("the MP3 did not start");
            break;
        }
        play.Add(editorbench::Milliseconds(clock));
        state.SetIterationTime(editorbench::Milliseconds(clock) / 1000.0);
        bench.ClickPlay();
    }
    play.Report(state, "duration_known");
}
BENCHMARK(BM_MusicPlayMp3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The first "Play>" of a Flash sample in a fresh dialog: the player is made, its page and core
// load, then the movie shows.
void BM_MusicPlayFlashFirst(benchmark::State& state)
{
    CMusicBench bench;
    if (!bench.IsValid()) {
        state.SkipWithError("the installation copy could not be made");
        return;
    }
    editorbench::CSamples play;
    for (auto _ : state) {
        bench.Open("music-box.swf");
        QElapsedTimer clock;
        clock.start();
        bench.ClickPlay();
        if (bench.Player() == nullptr) {
            state.SkipWithError("no player was made");
            break;
        }
        const CMovieWatch shown(bench.Player());
        if (!shown.Wait()) {
            state.SkipWithError("the Flash sample did not show");
            break;
        }
        play.Add(editorbench::Milliseconds(clock));
        state.SetIterationTime(editorbench::Milliseconds(clock) / 1000.0);
    }
    play.Report(state, "first_shown");
}
BENCHMARK(BM_MusicPlayFlashFirst)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// "Play>" of a Flash sample again, after "Play>" has stopped it and the silence movie has shown.
void BM_MusicPlayFlashAgain(benchmark::State& state)
{
    CMusicBench bench;
    if (!bench.IsValid()) {
        state.SkipWithError("the installation copy could not be made");
        return;
    }
    bench.Open("music-box.swf");
    bench.ClickPlay();
    if (bench.Player() == nullptr || !CMovieWatch(bench.Player()).Wait()) {
        state.SkipWithError("the Flash sample did not show");
        return;
    }
    editorbench::CSamples play;
    for (auto _ : state) {
        {
            const CMovieWatch silence(bench.Player());
            bench.ClickPlay();
            if (!silence.Wait()) {
                state.SkipWithError("the silence movie did not show");
                break;
            }
        }
        QElapsedTimer clock;
        const CMovieWatch shown(bench.Player());
        clock.start();
        bench.ClickPlay();
        if (!shown.Wait()) {
            state.SkipWithError("the Flash sample did not show");
            break;
        }
        play.Add(editorbench::Milliseconds(clock));
        state.SetIterationTime(editorbench::Milliseconds(clock) / 1000.0);
    }
    play.Report(state, "again_shown");
}
BENCHMARK(BM_MusicPlayFlashAgain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
