// SPDX-License-Identifier: GPL-3.0-or-later
// The project file commands: new, show, export-json, import-json.
#include "cli/CliCommand.h"

#include "model/AtomicFile.h"
#include "model/IniFile.h"
#include "model/InstallPaths.h"
#include "model/ProjectFile.h"
#include "model/ProjectJson.h"

#include <filesystem>
#include <ostream>

namespace {

// Largest JSON project accepted; a hand-written project is a few kilobytes.
constexpr uintmax_t kMaxJsonFileSize = 64ULL * 1024 * 1024;

CProject LoadOrRefuse(const std::string& path)
{
    CProject project;
    try {
        LoadProjectFile(path, project);
    } catch (const CProjectFileError& e) {
        if (e.Kind() == CProjectFileError::EKind::OpenFailed) {
            throw CRefusedError(e.what());
        }
        throw CRefusedError("cannot load " + path + ": " + e.what() + " (" + e.Detail() + ")");
    }
    return project;
}

void SaveOrRefuse(const CProject& project, const std::string& path)
{
    if (!SaveProjectFile(project, path)) {
        throw CRefusedError("the project has no cards; nothing was written to " + path);
    }
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

} // namespace

void RunNew(CCliContext& context, std::span<const std::string> args)
{
    bool force = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--force") {
            force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw CUsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    ExpectArgumentCount(files, 1);
    const std::string& path = files[0];
    std::error_code ec;
    if (!force && std::filesystem::exists(path, ec)) {
        throw CRefusedError(path + " exists already (use --force to replace it)");
    }
    CProject project;
    // A first run without config.ini starts with an empty address, as the editor does.
    const std::filesystem::path config = InstallPath(InstallFolder(), std::string("\\") + kConfigFileName);
    project.m_settings.m_strEmail = std::filesystem::exists(config, ec) ? ReadConfigEmail(config) : "";
    project.BuildStarter();
    SaveOrRefuse(project, path);
    (void)context;
}

void RunShow(CCliContext& context, std::span<const std::string> args)
{
    ExpectArgumentCount(args, 1);
    context.out << ProjectToJson(LoadOrRefuse(args[0]));
}

void RunExportJson(CCliContext& context, std::span<const std::string> args)
{
    ExpectArgumentCount(args, 2);
    WriteText(args[1], ProjectToJson(LoadOrRefuse(args[0])));
    (void)context;
}

void RunImportJson(CCliContext& context, std::span<const std::string> args)
{
    ExpectArgumentCount(args, 2);
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(args[0], kMaxJsonFileSize);
    } catch (const std::runtime_error& e) {
        throw CRefusedError(e.what());
    }
    CProject project;
    try {
        ProjectFromJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), project);
    } catch (const CProjectJsonError& e) {
        throw CRefusedError(args[0] + ": " + e.what());
    }
    SaveOrRefuse(project, args[1]);
    (void)context;
}
