// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the converter fuzzer's seeds (small TrueType fonts) into the folder named on the command
// line, so that no binary seed is committed.
#include "tests/tools/TinyTrueType.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: fdbgen_fuzz_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const bool bold : { false, true }) {
        const auto bytes = tinyttf::makeFont(bold);
        std::ofstream out(folder / (bold ? "tiny-bold.ttf" : "tiny.ttf"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "fdbgen_fuzz_seeds: cannot write into " << folder << '\n';
            return 1;
        }
    }
    return 0;
}
