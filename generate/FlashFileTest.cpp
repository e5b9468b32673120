// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/FlashFileTest.h"

#include "model/InstallPaths.h"
#include "swf/read/PrebuiltClip.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace {

bool LoadsAsClip(const std::string& strFile)
{
    if (!std::ifstream(strFile, std::ios::binary)) {
        return true;
    }
    try {
        const auto pClip = swf::PrebuiltClip::fromFile(strFile);
        return pClip != nullptr;
    } catch (...) {
        // Any failure of the loader (damaged data, a refused tag, memory) refuses the file.
        return false;
    }
}

} // namespace

bool TestFlashFile(const std::string& strPath)
{
    const std::string strExt = ".swf";
    if (strPath.size() <= 4 || strPath.compare(strPath.size() - strExt.size(), strExt.size(), strExt) != 0) {
        return true;
    }
    // Stored references use backslashes; the file system wants slashes.
    std::string strFile = strPath;
    std::replace(strFile.begin(), strFile.end(), '\\', '/');
    return LoadsAsClip(strFile);
}

bool TestChosenFlashFile(const std::string& strPath)
{
    if (strPath.size() < 3) {
        return true;
    }
    std::string strEnd = strPath.substr(strPath.size() - 3);
    std::transform(strEnd.begin(), strEnd.end(), strEnd.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (strEnd != "swf") {
        return true;
    }
    // A path from a dialog is native; one written with backslashes is tried with folders as well.
    auto found = FindFileNoCase(std::filesystem::path(strPath));
    if (!found && strPath.find('\\') != std::string::npos) {
        std::string strFile = strPath;
        std::replace(strFile.begin(), strFile.end(), '\\', '/');
        found = FindFileNoCase(std::filesystem::path(strFile));
    }
    return !found || LoadsAsClip(found->string());
}
