// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/FileData.h"

#include "swf/Error.h"

#include <fstream>
#include <string>
#include <system_error>

namespace swf {

std::vector<uint8_t> readFileData(const std::filesystem::path& path, uintmax_t maxSize, std::string_view what)
{
    const std::string prefix = std::string(what) + " " + path.string() + ": ";
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        throw Error(prefix + "cannot be read (" + error.message() + ")");
    }
    if (size > maxSize) {
        throw Error(prefix + "larger than " + std::to_string(maxSize) + " bytes");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw Error(prefix + "cannot be opened");
    }
    std::vector<uint8_t> data(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (static_cast<uintmax_t>(file.gcount()) != size) {
        throw Error(prefix + "could not be read whole");
    }
    return data;
}

} // namespace swf
