// SPDX-License-Identifier: GPL-3.0-or-later
// The project settings dialog on a private copy of the staged installation: opening it (font list,
// skin) and OK after a font change, which reloads the generator's two fonts.
#include "editor/settings/DlgProjectSettings.h"
#include "generate/GenerationReports.h"
#include "generate/Generator.h"
#include "model/Project.h"
#include "platform/FakePrompts.h"
#include "tests/editor/EditorTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct CSettingsBench {
    CSettingsBench()
    {
        m_bReady = m_home.isValid() && editortest::LinkStagedInstallation(m_home.path());
        m_services.m_strAppDir = m_home.path();
        m_services.m_pPrompts = &m_prompts;
        m_pGenerator = std::make_unique<CGenerator>(m_project, m_home.path().toStdString(), m_reports);
    }

    QTemporaryDir m_home;
    bool m_bReady = false;
    CFakePrompts m_prompts;
    CDialogServices m_services;
    CProject m_project;
    CNoGenerationReports m_reports;
    std::unique_ptr<CGenerator> m_pGenerator;
};

void BM_OpenProjectSettings(benchmark::State& state)
{
    CSettingsBench bench;
    if (!bench.m_bReady) {
        state.SkipWithError("no private installation");
        return;
    }
    for (auto _ : state) {
        CDlgProjectSettings dialog(bench.m_services, bench.m_project, *bench.m_pGenerator, {});
        benchmark::DoNotOptimize(&dialog);
    }
}
BENCHMARK(BM_OpenProjectSettings)->Unit(benchmark::kMillisecond);

void BM_OkWithAnotherFont(benchmark::State& state)
{
    CSettingsBench bench;
    if (!bench.m_bReady) {
        state.SkipWithError("no private installation");
        return;
    }
    bool bMono = false;
    for (auto _ : state) {
        CDlgProjectSettings dialog(bench.m_services, bench.m_project, *bench.m_pGenerator, {});
        bMono = !bMono;
        auto* pFont = dialog.findChild<QComboBox*>(QStringLiteral("comboFont"));
        pFont->setCurrentIndex(pFont->findText(bMono ? QStringLiteral("Mono") : QStringLiteral("Sans")));
        dialog.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    }
    if (!bench.m_pGenerator->HasTextFont()) {
        state.SkipWithError("the fonts did not load");
    }
}
BENCHMARK(BM_OkWithAnotherFont)->Unit(benchmark::kMillisecond);

} // namespace
