// SPDX-License-Identifier: GPL-3.0-or-later
// swfdump FILE.swf: prints the header and every tag of a movie with its fields and actions.
#include "swf/Error.h"
#include "swf/read/Dump.h"
#include "swf/read/SwfFile.h"

#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: swfdump FILE.swf\n");
        return argc == 2 ? 0 : 2;
    }
    try {
        const auto bytes = swf::readFileBytes(argv[1]);
        std::cout << swf::dumpMovie(bytes);
    } catch (const swf::Error& e) {
        std::fprintf(stderr, "swfdump: %s\n", e.what());
        return 1;
    }
    return 0;
}
