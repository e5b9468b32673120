// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window as a person waits for it: from the Preview command to the first frame of the
// whole gift on screen (the movie generated with every picture prepared afresh, the window made,
// the real player loading the movie), for the Quiz sample.
#include "bench/editor/BenchSamples.h"
#include "editor/preview/DlgPreview.h"
#include "generate/Generator.h"
#include "model/ProjectFile.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/InstallDir.h"
#include "platform/RufflePlayer.h"
#include "tests/editor/EditorTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

constexpr int kGiveUpMs = 60000;

void BM_PreviewToFirstFrame(benchmark::State& state)
{
    QTemporaryDir home;
    if (!home.isValid() || !editortest::LinkStagedInstallation(home.path())) {
        state.SkipWithError("no private installation folder");
        return;
    }
    CProject project;
    LoadProjectFile(
        std::filesystem::path(home.filePath(QStringLiteral("Themes/Quiz.mlp")).toStdString()), project);
    CNoGenerationReports reports;
    CGenerator generator(project, std::filesystem::path(home.path().toStdString()), reports);
    CFakePrompts prompts;
    CFakeProjector projector;
    CDialogServices services;
    services.m_strAppDir = home.path();
    services.m_pPrompts = &prompts;
    services.m_pProjector = &projector;
    const QString strRuffleDir = GetRuffleDir(home.path());
    CRufflePlayer* pPlayer = nullptr;
    services.m_makePlayer = [&](QWidget* pParent) -> CFlashPlayerWidget* {
        pPlayer = new CRufflePlayer(pParent, strRuffleDir);
        return pPlayer;
    };
    const QString strMovie = home.filePath(QStringLiteral("Temp/preview.swf"));
    const QSize giftSize(project.m_settings.m_nWidth, project.m_settings.m_nHeight);

    editorbench::CSamples firstFrame;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        generator.GenerateSWF(strMovie.toStdString(), nullptr, 1, 0);
        auto pWindow = std::make_unique<CDlgPreview>(
            services, strMovie, giftSize, [&](const QString& strPath, int bForce) {
                generator.GenerateSWF(strPath.toStdString(), nullptr, bForce, 0);
            });
        QSignalSpy shown(pPlayer, &CFlashPlayerWidget::MovieShown);
        pWindow->show();
        if (!shown.wait(kGiveUpMs) && shown.isEmpty()) {
            state.SkipWithError("the preview never showed its first frame");
            return;
        }
        firstFrame.Add(editorbench::Milliseconds(timer));
        state.SetIterationTime(editorbench::Milliseconds(timer) / 1000.0);
        pWindow.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    firstFrame.Report(state, "first_frame");
}
BENCHMARK(BM_PreviewToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
