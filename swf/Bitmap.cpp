// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Bitmap.h"

#include "swf/DblBitmap.h"
#include "swf/JpegBitmap.h"

#include <string>

namespace swf {

std::shared_ptr<Bitmap> loadBitmap(const std::filesystem::path& path)
{
    const std::string name = path.string();
    if (name.size() <= 4) {
        return nullptr;
    }
    const std::string ending = name.substr(name.size() - 4);
    if (ending == ".jpg") {
        return JpegBitmap::fromFile(path);
    }
    if (ending == ".dbl") {
        return DblBitmap::fromFile(path);
    }
    return nullptr;
}

} // namespace swf
