// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-cli build: generates the gift movie of a project (whole, or one card).
#include "cli/CliCommand.h"

#include "generate/GenerationReports.h"
#include "generate/Generator.h"
#include "model/AtomicFile.h"
#include "model/InstallPaths.h"
#include "model/ProjectFile.h"
#include "model/ProjectJson.h"

#include <charconv>
#include <optional>
#include <ostream>

namespace {

class CStreamReports : public IGenerationReports {
public:
    explicit CStreamReports(std::ostream& err)
        : m_err(err)
    {
    }
    void ReportError(const std::string& strReason) override
    {
        m_err << "error: " << strReason << '\n';
        m_bError = true;
    }
    void ShowNotice(const std::string& strText) override { m_err << "notice: " << strText << '\n'; }
    void ShowMessage(const std::string& strText) override { m_err << "message: " << strText << '\n'; }
    [[nodiscard]] bool HadError() const { return m_bError; }

private:
    std::ostream& m_err;
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
    CStreamReports reports(context.err);
    CGenerator generator(project, home ? std::filesystem::path(*home) : InstallFolder(), reports);
    generator.LoadFonts(1);
    (void)generator.GenerateSWF(files[1], pCard, force, card.value_or(0));
    if (reports.HadError()) {
        throw CRefusedError("the gift was generated with errors");
    }
}
