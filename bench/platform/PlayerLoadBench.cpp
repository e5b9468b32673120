// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstallDir.h"
#include "platform/RufflePlayer.h"
#include "tests/platform/TestMovies.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Gives up on a load that never shows (counted as an error, not a time).
constexpr int kGiveUpMs = 60000;

QApplication& App()
{
    static int s_nArgc = 1;
    static char s_name[] = "platform_player_bench";
    static char* s_argv[] = { s_name, nullptr };
    static std::unique_ptr<QApplication> s_pApp = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        }
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        return std::make_unique<QApplication>(s_nArgc, s_argv);
    }();
    return *s_pApp;
}

QString RuffleDir()
{
    const QString strHome =
        qEnvironmentVariable("MARROWLARK_HOME", QStringLiteral(MARROWLARK_BUILD_DIR "/home"));
    return GetRuffleDir(strHome);
}

// A one-card movie of the editor's usual size.
QString WriteCard(const QTemporaryDir& dir, int nIndex)
{
    const std::vector<uint8_t> movie =
        testmovies::SolidMovie({ static_cast<uint8_t>(40 * nIndex), 120, 200 }, 640, 480);
    const QString strPath = dir.filePath(QStringLiteral("card%1.swf").arg(nIndex));
    QFile file(strPath);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(movie.data()), static_cast<qint64>(movie.size()));
    return strPath;
}

// Loads one movie and returns the milliseconds to its first frame, or -1.
qint64 LoadAndWait(CRufflePlayer& player, const QString& strMovie)
{
    qint64 nShown = -1;
    bool bFailed = false;
    const auto shown =
        QObject::connect(&player, &CFlashPlayerWidget::MovieShown, [&](qint64 n) { nShown = n; });
    const auto failed = QObject::connect(&player, &CFlashPlayerWidget::LoadFailed, [&] { bFailed = true; });
    if (player.LoadMovie(0, strMovie)) {
        QDeadlineTimer deadline(kGiveUpMs);
        while (nShown < 0 && !bFailed && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    QObject::disconnect(shown);
    QObject::disconnect(failed);
    return nShown;
}

// A fresh player each time: the page, Ruffle's start-up and the movie.
void BM_FirstLoad(benchmark::State& state)
{
    App();
    QTemporaryDir dir;
    const QString strMovie = WriteCard(dir, 0);
    for (auto _ : state) {
        CRufflePlayer player(nullptr, RuffleDir());
        player.resize(640, 480);
        player.show();
        const qint64 nMs = LoadAndWait(player, strMovie);
        if (nMs < 0) {
            state.SkipWithError("the movie did not show");
            break;
        }
        state.SetIterationTime(static_cast<double>(nMs) / 1000.0);
    }
}
BENCHMARK(BM_FirstLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// One player, movie after movie: what the live preview pays for each edit.
void BM_LaterLoad(benchmark::State& state)
{
    App();
    QTemporaryDir dir;
    const QString strMovies[2] = { WriteCard(dir, 1), WriteCard(dir, 2) };
    CRufflePlayer player(nullptr, RuffleDir());
    player.resize(640, 480);
    player.show();
    if (LoadAndWait(player, strMovies[0]) < 0) {
        state.SkipWithError("the first movie did not show");
        return;
    }
    int nNext = 1;
    for (auto _ : state) {
        const qint64 nMs = LoadAndWait(player, strMovies[nNext]);
        nNext = 1 - nNext;
        if (nMs < 0) {
            state.SkipWithError("a movie did not show");
            break;
        }
        state.SetIterationTime(static_cast<double>(nMs) / 1000.0);
    }
}
BENCHMARK(BM_LaterLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

} // namespace
