// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/Music.h"

#include "swf/Error.h"
#include "swf/Movie.h"
#include "swf/read/Sound.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

// StartSound loop count of the music: the largest the format holds, so the music goes on as long
// as anyone keeps a gift open (hours for any song), whatever the gift's own frame rate.
constexpr uint16_t kMusicLoops = 65535;

bool EndsWithNoCase(const std::string& strText, const std::string& strEnd)
{
    if (strText.size() < strEnd.size()) {
        return false;
    }
    return std::equal(strEnd.begin(), strEnd.end(),
        strText.end() - static_cast<std::ptrdiff_t>(strEnd.size()), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
}

std::filesystem::path FileSystemPath(std::string strPath)
{
    std::replace(strPath.begin(), strPath.end(), '\\', '/');
    return std::filesystem::path(strPath);
}

} // namespace

int32_t PrepareMusic(const std::string& strPath, const std::string& strAppDir)
{
    const bool bFlash = EndsWithNoCase(strPath, "swf");
    const bool bMp3 = EndsWithNoCase(strPath, "mp3");
    if (!bFlash && !bMp3) {
        return 0;
    }
    const std::filesystem::path target = FileSystemPath(strAppDir) / kStrMusicMovie;
    std::error_code ec;
    if (bFlash && std::filesystem::equivalent(FileSystemPath(strPath), target, ec)) {
        return 1; // the music file already is the music movie
    }
    std::filesystem::create_directories(target.parent_path(), ec);
    // Whatever an earlier generation left must not play in place of this music.
    std::filesystem::remove(target, ec);
    if (bFlash) {
        std::filesystem::copy_file(
            FileSystemPath(strPath), target, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            throw swf::Error(
                "cannot copy the music file " + strPath + " to " + target.string() + ": " + ec.message());
        }
        return 1;
    }
    const auto pSound = swf::EventSound::fromFile(FileSystemPath(strPath));
    swf::Movie movie(kMusicMovieVersion);
    movie.setDimension(1, 1);
    movie.setRate(kMusicMovieRate);
    movie.addTag(swf::startSound(pSound, kMusicLoops, true));
    movie.nextFrame();
    movie.write(target);
    return 1;
}

bool IsReadableMp3Music(const std::string& strPath)
{
    try {
        return swf::readMp3File(FileSystemPath(strPath)).frameCount() > 0;
    } catch (...) {
        // Missing, unreadable, too big or damaged: all the same to the person choosing music.
        return false;
    }
}
