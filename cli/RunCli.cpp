// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"

#include <exception>
#include <ostream>

namespace {

constexpr std::string_view kProgram = "marrowlark-cli";

void PrintUsage(std::ostream& os)
{
    os << "Usage: " << kProgram << " COMMAND [ARGUMENTS]\n"
       << "       " << kProgram << " COMMAND --help\n\n"
       << "Commands:\n";
    for (const CCliCommand& c : CliCommands()) {
        os << "  " << c.name << ' ' << c.arguments << "\n      " << c.summary << '\n';
    }
    os << "\nExit status: 0 on success, 1 when an input is refused or an output cannot be written, 2 on a\n"
          "usage error. The installation folder (for config.ini) is MARROWLARK_HOME when set, else the\n"
          "program's folder.\n";
}

void PrintCommandUsage(std::ostream& os, const CCliCommand& c)
{
    os << "Usage: " << kProgram << ' ' << c.name << ' ' << c.arguments << "\n  " << c.summary << '\n';
}

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h" || arg == "help";
}

} // namespace

void ExpectArgumentCount(std::span<const std::string> args, size_t count)
{
    if (args.size() != count) {
        throw CUsageError("expected " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") +
            ", got " + std::to_string(args.size()));
    }
}

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        PrintUsage(err);
        return kExitUsage;
    }
    if (IsHelp(args[0])) {
        PrintUsage(out);
        return kExitOk;
    }
    const CCliCommand* command = nullptr;
    for (const CCliCommand& c : CliCommands()) {
        if (c.name == args[0]) {
            command = &c;
        }
    }
    if (!command) {
        err << kProgram << ": unknown command \"" << args[0] << "\"\n\n";
        PrintUsage(err);
        return kExitUsage;
    }
    const std::span<const std::string> rest = args.subspan(1);
    for (const std::string& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            PrintCommandUsage(out, *command);
            return kExitOk;
        }
    }
    CCliContext context { out, err };
    try {
        command->run(context, rest);
        return kExitOk;
    } catch (const CUsageError& e) {
        err << kProgram << ' ' << command->name << ": " << e.what() << '\n';
        PrintCommandUsage(err, *command);
        return kExitUsage;
    } catch (const std::exception& e) {
        err << kProgram << ' ' << command->name << ": " << e.what() << '\n';
        return kExitRefused;
    }
}
