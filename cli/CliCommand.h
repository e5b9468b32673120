// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Exit statuses of marrowlark-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1; // an input was refused or an output could not be written
inline constexpr int kExitUsage = 2; // the command line itself is wrong

// What a command works with. Commands write results to out and nothing else; failures are thrown.
struct CCliContext {
    std::ostream& out;
    std::ostream& err;
};

// A wrong command line: reported with the command's usage, exit status 2.
class CUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A refused input or failed output: reported as it is, exit status 1.
class CRefusedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of the command table: the arguments after the command name go to run.
struct CCliCommand {
    std::string_view name;
    std::string_view arguments; // e.g. "FILE.mlp OUT.json"
    std::string_view summary;
    void (*run)(CCliContext& context, std::span<const std::string> args);
};

// Every command, in the order --help lists them. A new command is one function in its own file
// and one line in CliCommands.cpp.
[[nodiscard]] std::span<const CCliCommand> CliCommands();

// Runs the command line (without the program name); returns the exit status.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Checks the number of arguments of a command, throwing CUsageError.
void ExpectArgumentCount(std::span<const std::string> args, size_t count);
