// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/FlashFileTest.h"

#include "swf/read/PrebuiltClip.h"

#include <algorithm>
#include <fstream>

bool TestFlashFile(const std::string& strPath)
{
    const std::string strExt = ".swf";
    if (strPath.size() <= 4 || strPath.compare(strPath.size() - strExt.size(), strExt.size(), strExt) != 0) {
        return true;
    }
    // Stored references use backslashes; the file system wants slashes.
    std::string strFile = strPath;
    std::replace(strFile.begin(), strFile.end(), '\\', '/');
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
