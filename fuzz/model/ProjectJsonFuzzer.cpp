// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary text as a JSON project; accepted text must give a project whose JSON reads back
// to the same JSON.
#include "model/ProjectJson.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProject project;
    try {
        ProjectFromJson(std::string_view(reinterpret_cast<const char*>(data), size), project);
    } catch (const CProjectJsonError&) {
        return 0;
    }
    const std::string json = ProjectToJson(project);
    CProject again;
    ProjectFromJson(json, again);
    if (ProjectToJson(again) != json) {
        __builtin_trap();
    }
    return 0;
}
