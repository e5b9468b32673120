// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Character.h"

#include <filesystem>
#include <memory>

namespace swf {

// A bitmap character (JPEG or lossless). Its data is read when it is made; the file may then
// change or go away without affecting the movie.
class Bitmap : public Character {
public:
    [[nodiscard]] virtual int width() const = 0;
    [[nodiscard]] virtual int height() const = 0;
};

// Opens a bitmap by the last four characters of its name: ".jpg" as a JPEG, ".dbl" as a DBL file
// (exact case, as the callers lower-case their references). Any other name, or a name of four
// characters or less, gives no bitmap (nullptr). A file that cannot be read or is damaged throws
// swf::Error.
[[nodiscard]] std::shared_ptr<Bitmap> loadBitmap(const std::filesystem::path& path);

} // namespace swf
