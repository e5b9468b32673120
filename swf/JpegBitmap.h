// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace swf {

// A baseline JPEG as DefineBitsJPEG2. Only the segments a player needs are kept: SOI, the tables
// (DQT, DHT, DRI) and the frame header (SOF0/SOF1) in file order, then the scan up to EOI; APPn,
// COM and other segments are dropped. Progressive and other non-baseline JPEGs are refused.
class JpegBitmap : public Bitmap {
public:
    // Throws swf::ParseError for a damaged or unsupported JPEG.
    [[nodiscard]] static std::shared_ptr<JpegBitmap> fromBytes(std::span<const uint8_t> data);
    // Throws swf::Error when the file cannot be read, ParseError when it is not a usable JPEG.
    [[nodiscard]] static std::shared_ptr<JpegBitmap> fromFile(const std::filesystem::path& path);

    [[nodiscard]] int width() const override { return m_width; }
    [[nodiscard]] int height() const override { return m_height; }
    // The image data written after the character id.
    [[nodiscard]] const std::vector<uint8_t>& data() const { return m_data; }

    uint16_t defineIn(DefinitionContext& context) const override;

private:
    JpegBitmap() = default;

    std::vector<uint8_t> m_data;
    int m_width = 0;
    int m_height = 0;
};

} // namespace swf
