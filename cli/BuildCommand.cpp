// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-cli build: generates the gift movie of a project (whole, or one card).
#include "cli/CliCommand.h"
#include "cli/InterruptCleanup.h"

#include "generate/GenerationReports.h"
#include "generate/Generator.h"
#include "imaging/Scratch.h"
#include "model/AtomicFile.h"
#include "model/InstallPaths.h"
#include "model/ProjectFile.h"
#include "model/ProjectJson.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// The reports of a run, each distinct one printed once when the run ends, in the order they first
// came, with how often it came: "error: Error when creating title (3 times)".
class CCountedReports : public IGenerationReports {
public:
    explicit CCountedReports(std::ostream& err)
        : m_err(err)
    {
    }
    void BeginRun() override { m_reports.clear(); }
    void EndRun() override
    {
        for (const auto& [strLine, nCount] : m_reports) {
            m_err << strLine;
            if (nCount > 1) {
                m_err << " (" << nCount << " times)";
            }
            m_err << '\n';
        }
        m_reports.clear();
    }
    void ReportError(const std::string& strReason) override
    {
        Add("error: " + strReason);
        m_bError = true;
    }
    void ShowNotice(const std::string& strText) override { Add("notice: " + strText); }
    void ShowMessage(const std::string& strText) override { Add("message: " + strText); }
    [[nodiscard]] bool HadError() const { return m_bError; }

private:
    void Add(std::string strLine)
    {
        for (auto& [strSeen, nCount] : m_reports) {
            if (strSeen == strLine) {
                ++nCount;
                return;
            }
        }
        m_reports.emplace_back(std::move(strLine), 1);
    }

    std::ostream& m_err;
    std::vector<std::pair<std::string, int>> m_reports;
    bool m_bError = false;
};

int ParseInt(const std::string& strText, const std::string& strOption)
{
    int value = 0;
    const char* end = strText.data() + strText.size();
    const auto [ptr, ec] = std::from_chars(strText.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        throw CUsageError(strOption + " needs a number, not " + strText);
    }
    return value;
}

void LoadProject(const std::string& strPath, CProject& project)
{
    try {
        if (strPath.size() > 5 && strPath.ends_with(".json")) {
            const std::vector<uint8_t> bytes = ReadWholeFile(strPath);
            ProjectFromJson(std::string(bytes.begin(), bytes.end()), project);
        } else {
            LoadProjectFile(strPath, project);
        }
    } catch (const std::exception& e) {
        throw CRefusedError("cannot load " + strPath + ": " + e.what());
    }
}

} // namespace

void RunBuild(CCliContext& context, std::span<const std::string> args)
{
    std::vector<std::string> files;
    std::optional<int> card;
    int force = 1;
    std::optional<std::string> home;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--card" || arg == "--force" || arg == "--home") {
            if (i + 1 >= args.size()) {
                throw CUsageError(arg + " needs a value");
            }
            const std::string& value = args[++i];
            if (arg == "--card") {
                card = ParseInt(value, arg);
            } else if (arg == "--force") {
                force = ParseInt(value, arg);
                if (force != 0 && force != 1) {
                    throw CUsageError("--force takes 0 or 1");
                }
            } else {
                home = value;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw CUsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    ExpectArgumentCount(files, 2);
    CProject project;
    LoadProject(files[0], project);
    const CCardInfo* pCard = nullptr;
    if (card) {
        if (*card < 0 || static_cast<size_t>(*card) >= project.CardCount()) {
            throw CRefusedError("the project has no card " + std::to_string(*card) +
                " (cards are numbered from 0 to " +
                std::to_string(static_cast<long>(project.CardCount()) - 1) + ")");
        }
        pCard = &project.Card(static_cast<size_t>(*card));
    }
    const std::filesystem::path appDir = home ? std::filesystem::path(*home) : InstallFolder();
    // Picture work keeps its scratch files in the installation's Temp folder, and an interrupted
    // build removes them before it ends.
    imaging::setScratchFolder(appDir / "Temp");
    const CInterruptCleanup interrupts;
    CCountedReports reports(context.err);
    CGenerator generator(project, appDir, reports);
    generator.LoadFonts(1);
    (void)generator.GenerateSWF(files[1], pCard, force, card.value_or(0));
    if (reports.HadError()) {
        throw CRefusedError("the gift was generated with errors");
    }
}
