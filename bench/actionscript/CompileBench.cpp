// SPDX-License-Identifier: GPL-3.0-or-later
// Compiling every button script of a large project: 200 cards with 10 links each, half of the
// links with a score comparison, titles varied so that no two scripts are alike.
#include "swf/actionscript/Compiler.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCards = 200;
constexpr int kLinksPerCard = 10;

std::string linkScript(int card, int link)
{
    const std::string cardTitle =
        "Card " + std::to_string(card + 1) + (card % 3 == 0 ? " of the long journey" : "");
    const std::string linkTitle = "Link " + std::to_string(link + 1) + (link % 2 == 0 ? " onward" : "");
    const int score = (card * 7 + link * 3) % 21 - 5;
    const int target = (card + link + 1) % kCards;
    std::string condition;
    if (link % 2 == 1) {
        static const char* ops[] = { "==", ">", ">=", "<=", "<" };
        condition = "if(_root.score" + std::string(ops[(card + link) % 5]) + std::to_string(card % 40) +
            "){gotoAndStop(" + std::to_string((card + 3) % kCards + 1) + ");}else";
    }
    return "_root.score += " + std::to_string(score) + "; _root.trace+=\"" + cardTitle + "[-]" + linkTitle +
        "[N]\"; " + condition + " {gotoAndStop(" + std::to_string(target + 1) + ");}";
}

std::vector<std::string> projectScripts()
{
    std::vector<std::string> scripts;
    scripts.reserve(kCards * kLinksPerCard);
    for (int card = 0; card < kCards; ++card) {
        for (int link = 0; link < kLinksPerCard; ++link) {
            scripts.push_back(linkScript(card, link));
        }
    }
    return scripts;
}

void compileProjectButtonScripts(benchmark::State& state)
{
    const std::vector<std::string> scripts = projectScripts();
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const std::string& script : scripts) {
            const std::vector<uint8_t> block = swf::actionscript::compile(script);
            bytes += block.size();
            benchmark::DoNotOptimize(block.data());
        }
    }
    state.counters["scripts"] = static_cast<double>(scripts.size());
    state.counters["output_bytes"] = static_cast<double>(bytes);
    state.counters["scripts_per_s"] = benchmark::Counter(
        static_cast<double>(scripts.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(compileProjectButtonScripts)->Unit(benchmark::kMillisecond);

void compileOneLinkScript(benchmark::State& state)
{
    const std::string script = linkScript(4, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(swf::actionscript::compile(script));
    }
}
BENCHMARK(compileOneLinkScript)->Unit(benchmark::kMicrosecond);

} // namespace
