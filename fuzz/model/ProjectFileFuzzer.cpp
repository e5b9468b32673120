// SPDX-License-Identifier: GPL-3.0-or-later
// Loads arbitrary bytes as a project file. A file that loads must save and load again to the same
// bytes; anything else must be refused with the load message, never crash or hang.
#include "model/ProjectFile.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProject project;
    project.BuildStarter();
    try {
        LoadProjectBytes(std::span(data, size), project);
    } catch (const CProjectFileError& e) {
        if (std::strcmp(e.what(), kLoadFailureMessage) != 0) {
            __builtin_trap();
        }
        return 0;
    }
    const std::vector<uint8_t> saved = SaveProjectBytes(project);
    CProject again;
    LoadProjectBytes(saved, again);
    if (SaveProjectBytes(again) != saved) {
        __builtin_trap();
    }
    return 0;
}
