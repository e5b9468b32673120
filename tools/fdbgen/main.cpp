// SPDX-License-Identifier: GPL-3.0-or-later
// Build-time converter of a TrueType font into an FDB font file of the installation's Font folder:
//   marrowlark-fdbgen --name NAME INPUT.ttf OUTPUT.fdb
#include "tools/fdbgen/CodeRanges.h"
#include "tools/fdbgen/FdbWriter.h"
#include "tools/fdbgen/TrueTypeFont.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void writeFile(const std::filesystem::path& target, const std::vector<uint8_t>& bytes)
{
    // Written beside the target and renamed, so an interrupted build never leaves half a font.
    std::filesystem::path temporary = target;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write '" + temporary.string() + "'");
        }
    }
    std::filesystem::rename(temporary, target);
}

int usage()
{
    std::cerr << "usage: marrowlark-fdbgen --name NAME INPUT.ttf OUTPUT.fdb\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string name;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--name" && i + 1 < argc) {
            name = argv[++i];
        } else if (arg.starts_with("-")) {
            return usage();
        } else {
            files.emplace_back(arg);
        }
    }
    if (name.empty() || files.size() != 2) {
        return usage();
    }
    try {
        const fdbgen::TrueTypeFont font(files[0]);
        const fdbgen::FontData data = font.convert(fdbgen::defaultCodeRanges(), name);
        writeFile(files[1], fdbgen::writeFdb(data));
    } catch (const std::exception& e) {
        std::cerr << "marrowlark-fdbgen: " << files[0] << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
