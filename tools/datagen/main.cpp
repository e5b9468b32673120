// SPDX-License-Identifier: GPL-3.0-or-later
// marrowlark-datagen: the installation's generated movies and DBL pictures.
//   dbl W H IN.rgba OUT.dbl      raw 8-bit RGBA pixels into a DBL file
//   flash-background OUT.swf     the animated Flash background
//   flash-button OUT.swf         the Flash button picture
//   silence OUT.swf              the movie that silences the player
//   sound IN.mp3 OUT.swf         an MP3 as a Flash sound movie
#include "generate/Music.h"
#include "tools/datagen/DataMovies.h"
#include "tools/datagen/DblWriter.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A raw picture larger than the biggest DBL side squared cannot be valid input.
constexpr std::uintmax_t kMaxRawBytes =
    static_cast<std::uintmax_t>(datagen::kMaxDblSide) * datagen::kMaxDblSide * 4;

std::vector<uint8_t> ReadRaw(const std::filesystem::path& path)
{
    if (std::filesystem::file_size(path) > kMaxRawBytes) {
        throw std::runtime_error(path.string() + " is too large");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path.string());
    }
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void MakeSound(const std::string& mp3, const std::filesystem::path& output)
{
    // The music preparation writes into an installation folder's Temp; use a scratch one.
    const std::filesystem::path scratch = output.parent_path() / (output.filename().string() + ".work");
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch / "Temp");
    if (PrepareMusic(mp3, scratch.string()) != 1) {
        throw std::runtime_error(mp3 + " is not an MP3 file");
    }
    std::filesystem::copy_file(
        scratch / kStrMusicMovie, output, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(scratch);
}

int Usage()
{
    std::cerr << "usage: marrowlark-datagen dbl W H IN.rgba OUT.dbl | flash-background OUT.swf |\n"
                 "       flash-button OUT.swf | silence OUT.swf | sound IN.mp3 OUT.swf\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return Usage();
    }
    try {
        const std::string& command = args[0];
        if (command == "dbl" && args.size() == 5) {
            const int width = std::stoi(args[1]);
            const int height = std::stoi(args[2]);
            WriteBytes(args[4], datagen::EncodeDbl(width, height, ReadRaw(args[3])));
        } else if (command == "flash-background" && args.size() == 2) {
            datagen::MakeFlashBackground().write(std::filesystem::path(args[1]), -1);
        } else if (command == "flash-button" && args.size() == 2) {
            datagen::MakeFlashButton().write(std::filesystem::path(args[1]), -1);
        } else if (command == "silence" && args.size() == 2) {
            datagen::MakeSilentMovie().write(std::filesystem::path(args[1]), -1);
        } else if (command == "sound" && args.size() == 3) {
            MakeSound(args[1], args[2]);
        } else {
            return Usage();
        }
    } catch (const std::exception& e) {
        std::cerr << "marrowlark-datagen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
