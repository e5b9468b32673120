// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace swf {

// A DBL file: a DefineBitsLossless (type 1) or DefineBitsLossless2 (type 2) body without its id,
// behind a small header ("DB", 'l' with a UI32 length or the old 'L' with a UI16 length).
class DblBitmap : public Bitmap {
public:
    // Throws swf::ParseError for a bad magic, a length beyond the data or a bad body.
    [[nodiscard]] static std::shared_ptr<DblBitmap> fromBytes(std::span<const uint8_t> data);
    [[nodiscard]] static std::shared_ptr<DblBitmap> fromFile(const std::filesystem::path& path);

    [[nodiscard]] int width() const override { return m_width; }
    [[nodiscard]] int height() const override { return m_height; }
    [[nodiscard]] bool hasAlpha() const { return m_alpha; }
    // 3 palette, 4 15-bit, 5 32-bit.
    [[nodiscard]] int format() const { return m_format; }

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    DblBitmap() = default;

    std::vector<uint8_t> m_body;
    int m_width = 0;
    int m_height = 0;
    int m_format = 0;
    bool m_alpha = false;
};

} // namespace swf
