// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommand.h"

#include <array>

void RunNew(CCliContext& context, std::span<const std::string> args);
void RunShow(CCliContext& context, std::span<const std::string> args);
void RunExportJson(CCliContext& context, std::span<const std::string> args);
void RunImportJson(CCliContext& context, std::span<const std::string> args);
void RunBuild(CCliContext& context, std::span<const std::string> args);
void RunAlbum(CCliContext& context, std::span<const std::string> args);
void RunZip(CCliContext& context, std::span<const std::string> args);

std::span<const CCliCommand> CliCommands()
{
    static const std::array<CCliCommand, 7> commands = { {
        { "new", "[--force] FILE.mlp",
            "write the starter project (three cards) with the start-up settings; the e-mail comes from "
            "the installation's config.ini",
            RunNew },
        { "show", "FILE.mlp", "print the project as JSON", RunShow },
        { "export-json", "FILE.mlp OUT.json", "write the project as JSON", RunExportJson },
        { "import-json", "IN.json OUT.mlp", "write a project file from JSON (missing fields take defaults)",
            RunImportJson },
        { "build", "PROJECT.mlp|PROJECT.json OUT.swf [--card N] [--force 0|1] [--home DIR]",
            "generate the gift movie (card N alone with --card, counted from 0); reports go to stderr as "
            "error:, notice:, message:, each once with the number of times it came; exit status 1 when an "
            "error was reported; INT and TERM end the build after removing its scratch files",
            RunBuild },
        { "album", "FOLDER OUT.swf",
            "make the photo album movie of the folder's pictures (JPG, PNG, BMP, WMF, GIF; sub-folders "
            "after the folder's own; at most 300); each picture left out goes to stderr as \"warning: "
            "PATH: reason\", with exit status 1 (the album is written all the same)",
            RunAlbum },
        { "zip", "FOLDER OUT.zip (--password PW | --password-file FILE)",
            "pack the folder into a ZIP archive locked with the password (the traditional encryption every "
            "unzip tool opens; a password file gives its first line); each item left out goes to stderr as "
            "\"warning: PATH: reason\", with exit status 1 (the archive is written all the same)",
            RunZip },
    } };
    return commands;
}
