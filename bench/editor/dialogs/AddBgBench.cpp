// SPDX-License-Identifier: GPL-3.0-or-later
// The background and button picker as a person waits for it: from the command to the dialog on
// screen with every thumbnail, on the installation's Background and Button folders. The first
// opening of a run decodes every picture; later openings take them from the run's cache.
#include "editor/addbg/DlgAddBg.h"
#include "editor/addbg/ThumbnailCache.h"
#include "platform/FakeProjector.h"
#include "platform/FakePrompts.h"
#include "platform/FakeShell.h"
#include "tests/editor/EditorTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kGiveUpMs = 10000;

ELookFolder FolderOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? ELookFolder::Background : ELookFolder::Button;
}

// Opens the picker once and closes it; false when it never came on screen.
bool OpenOnce(
    const CDialogServices& services, CThumbnailCache& thumbnails, ELookFolder folder, double& seconds)
{
    QElapsedTimer timer;
    timer.start();
    auto pDialog = std::make_unique<CDlgAddBg>(services, thumbnails, folder);
    pDialog->SetValue(folder == ELookFolder::Background ? "Background\\sky.jpg" : "Button\\wood.jpg");
    pDialog->SetPlacementCode(4);
    pDialog->show();
    const bool bShown = QTest::qWaitForWindowExposed(pDialog.get(), kGiveUpMs);
    QCoreApplication::processEvents();
    seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    pDialog.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return bShown;
}

// range(0): 0 the Background folder, 1 the Button folder; range(1): 0 the first opening of a run
// (an empty cache each time), 1 a later one.
void BM_AddBgOpening(benchmark::State& state)
{
    QTemporaryDir home;
    if (!home.isValid() || !editortest::LinkStagedInstallation(home.path())) {
        state.SkipWithError("no private installation folder");
        return;
    }
    CFakePrompts prompts;
    CFakeShell shell;
    CFakeProjector projector;
    CDialogServices services;
    services.m_strAppDir = home.path();
    services.m_pPrompts = &prompts;
    services.m_pShell = &shell;
    services.m_pProjector = &projector;
    const ELookFolder folder = FolderOf(state);
    const bool bLater = state.range(1) != 0;

    CThumbnailCache runCache;
    double seconds = 0.0;
    if (bLater && !OpenOnce(services, runCache, folder, seconds)) {
        state.SkipWithError("the picker never showed");
        return;
    }
    int nDecodes = 0;
    for (auto _ : state) {
        CThumbnailCache firstCache;
        CThumbnailCache& thumbnails = bLater ? runCache : firstCache;
        const int nBefore = thumbnails.DecodeCount();
        if (!OpenOnce(services, thumbnails, folder, seconds)) {
            state.SkipWithError("the picker never showed");
            return;
        }
        nDecodes = thumbnails.DecodeCount() - nBefore;
        state.SetIterationTime(seconds);
    }
    state.counters["decodes"] = nDecodes;
}
BENCHMARK(BM_AddBgOpening)
    ->ArgNames({ "button", "later" })
    ->Args({ 0, 0 })
    ->Args({ 0, 1 })
    ->Args({ 1, 0 })
    ->Args({ 1, 1 })
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
