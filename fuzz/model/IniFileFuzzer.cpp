// SPDX-License-Identifier: GPL-3.0-or-later
// Parses arbitrary text as a profile file, reads and writes a key. The text must come back unchanged
// when nothing was written, and a written key must read back.
#include "model/IniFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CIniFile ini = CIniFile::FromText(text);
    if (ini.Text() != text) {
        __builtin_trap();
    }
    (void)ini.Value("SETTINGS", "EMAIL");
    ini.SetValue("SETTINGS", "EMAIL", "fuzz@example.org");
    if (ini.Value("SETTINGS", "EMAIL") != "fuzz@example.org") {
        __builtin_trap();
    }
    return 0;
}
