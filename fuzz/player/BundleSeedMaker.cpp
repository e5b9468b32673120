// SPDX-License-Identifier: GPL-3.0-or-later
// Writes seed payloads for the player payload fuzzer into the folder given as argument.
#include "player/bundle/Bundle.h"

#include <filesystem>
#include <fstream>

namespace {

void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> program = { 0x7f, 'E', 'L', 'F', 2, 1, 1, 0 };
    std::vector<uint8_t> one = program;
    const std::vector<uint8_t> payload =
        WriteBundlePayload({ { "movie.swf", { 'F', 'W', 'S', 6, 8, 0, 0, 0 } } });
    one.insert(one.end(), payload.begin(), payload.end());
    Write(folder / "one-movie", one);
    Write(folder / "with-ruffle",
        WriteBundlePayload({ { "movie.swf", { 'F', 'W', 'S' } }, { "ruffle/ruffle.js", { '/', '/' } },
            { "ruffle/a.wasm", {} } }));
    Write(folder / "empty", WriteBundlePayload({}));
    Write(folder / "plain-program", program);
    return 0;
}
