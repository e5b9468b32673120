// SPDX-License-Identifier: GPL-3.0-or-later
// Generation of a large quiz: 200 cards of 10 colour-button links (every other link with a
// comparison), the e-mail alert on every card; and one card of it alone, as the live preview does.
// Titles are the editor's defaults ("Card n:", "Link k"), so that the size compares with other writers.
#include "generate/Generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class CQuietReports : public IGenerationReports {
public:
    void ReportError(const std::string&) override { ++errors; }
    void ShowNotice(const std::string&) override { }
    void ShowMessage(const std::string&) override { }
    int errors = 0;
};

void BuildQuiz(CProject& project)
{
    for (size_t i = 0; i < CProject::kMaxCards; ++i) {
        project.InsertCard(EInsertPos::Bottom);
    }
    for (size_t i = 0; i < project.CardCount(); ++i) {
        CCardInfo& card = project.Card(i);
        card.m_bEmail = 1;
        card.m_pLinks = CLinks::CreateWithList();
        for (int k = 0; k < static_cast<int>(CProject::kMaxLinks); ++k) {
            const auto target = static_cast<int32_t>((i + 1) % project.CardCount());
            const bool compare = (k % 2) == 1;
            card.LinkList()->push_back(std::make_unique<CLinkInfo>("Link " + std::to_string(k + 1), target, k,
                compare ? ">=" : "", 10, static_cast<int32_t>((i + 2) % project.CardCount())));
        }
    }
}

void Run(benchmark::State& state, bool bSingleCard)
{
    CProject project;
    BuildQuiz(project);
    const fs::path output =
        fs::temp_directory_path() / (bSingleCard ? "marrowlark-bench-card.swf" : "marrowlark-bench.swf");
    CQuietReports reports;
    CGenerator generator(project, MARROWLARK_STAGED_HOME, reports);
    generator.LoadFonts(1);
    for (auto _ : state) {
        (void)generator.GenerateSWF(output.string(), bSingleCard ? &project.Card(5) : nullptr, 0, 5);
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(output));
    state.counters["errors"] = reports.errors;
    fs::remove(output);
}

void BM_GenerateWholeQuiz(benchmark::State& state)
{
    Run(state, false);
}
BENCHMARK(BM_GenerateWholeQuiz)->Unit(benchmark::kMillisecond);

void BM_GenerateOneCard(benchmark::State& state)
{
    Run(state, true);
}
BENCHMARK(BM_GenerateOneCard)->Unit(benchmark::kMicrosecond);

} // namespace
