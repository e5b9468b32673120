// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// The music file of a gift, relative to the installation folder ("\Temp\MP3.swf" in stored form).
inline constexpr const char* kStrMusicMovie = "Temp/MP3.swf";

// Frame rate and version of the sound movie made from an MP3 file.
inline constexpr float kMusicMovieRate = 12.0F;
inline constexpr int kMusicMovieVersion = 6;

// Prepares the music of a gift as strAppDir/Temp/MP3.swf. A path ending in "swf" (in any letter
// case) is copied there; one ending in "mp3" becomes a version 6 movie at 12 frames per second
// whose one frame starts the MP3 as an event sound, looping for as long as the gift is shown.
// Returns 1 when that file is to be used as the music, 0 for any other ending (no music).
// Throws std::runtime_error (swf::Error) when the copy or the conversion fails; no stale music file
// is left behind then.
[[nodiscard]] int32_t PrepareMusic(const std::string& strPath, const std::string& strAppDir);

// True when the MP3 reader that PrepareMusic converts with takes the file: it exists, is not over
// the reader's size cap and holds valid layer III frames. The dialogs ask before a file is taken
// as the music, so that generation does not fail on it later. Never throws.
[[nodiscard]] bool IsReadableMp3Music(const std::string& strPath);
