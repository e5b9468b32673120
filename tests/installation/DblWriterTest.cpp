// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/DblWriter.h"
#include "swf/DblBitmap.h"
#include "swf/Error.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <zlib.h>

namespace {

std::vector<uint8_t> Inflate(std::span<const uint8_t> packed, size_t size)
{
    std::vector<uint8_t> out(size);
    uLongf outSize = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(out.data(), &outSize, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
    out.resize(outSize);
    return out;
}

// One table of pixels checked by writing and by reading back through the writer's DBL reader.
struct PixelCase {
    uint8_t r, g, b, a;
    uint8_t pa, pr, pg, pb; // the stored ARGB, premultiplied
};
constexpr PixelCase kPixels[] = {
    { 255, 255, 255, 255, 255, 255, 255, 255 },
    { 0, 0, 0, 0, 0, 0, 0, 0 },
    { 255, 0, 0, 128, 128, 128, 0, 0 },
    { 200, 100, 50, 255, 255, 200, 100, 50 },
    { 255, 255, 255, 0, 0, 0, 0, 0 }, // transparent colour drops to zero
    { 100, 200, 250, 51, 51, 20, 40, 50 },
};

TEST(DblWriter, HeaderAndPixelsReadBack)
{
    constexpr int kWidth = 3;
    constexpr int kHeight = 2;
    std::vector<uint8_t> rgba;
    for (const PixelCase& p : kPixels) {
        rgba.insert(rgba.end(), { p.r, p.g, p.b, p.a });
    }
    const std::vector<uint8_t> file = datagen::EncodeDbl(kWidth, kHeight, rgba);
    ASSERT_GE(file.size(), 13U);
    EXPECT_EQ(file[0], 'D');
    EXPECT_EQ(file[1], 'B');
    EXPECT_EQ(file[2], 'l');
    EXPECT_EQ(file[3], 2); // DefineBitsLossless2
    const size_t length =
        (size_t { file[4] } << 24U) | (size_t { file[5] } << 16U) | (size_t { file[6] } << 8U) | file[7];
    EXPECT_EQ(length, file.size() - 8);
    EXPECT_EQ(file[8], 5); // 32-bit format
    EXPECT_EQ(file[9] | (file[10] << 8), kWidth);
    EXPECT_EQ(file[11] | (file[12] << 8), kHeight);

    const std::vector<uint8_t> argb = Inflate(std::span(file).subspan(13), rgba.size());
    ASSERT_EQ(argb.size(), rgba.size());
    for (size_t i = 0; i < std::size(kPixels); ++i) {
        const PixelCase& p = kPixels[i];
        EXPECT_EQ(argb[i * 4], p.pa) << "pixel " << i;
        EXPECT_EQ(argb[i * 4 + 1], p.pr) << "pixel " << i;
        EXPECT_EQ(argb[i * 4 + 2], p.pg) << "pixel " << i;
        EXPECT_EQ(argb[i * 4 + 3], p.pb) << "pixel " << i;
    }

    const auto bitmap = swf::DblBitmap::fromBytes(file);
    EXPECT_EQ(bitmap->width(), kWidth);
    EXPECT_EQ(bitmap->height(), kHeight);
    EXPECT_EQ(bitmap->format(), 5);
    EXPECT_TRUE(bitmap->hasAlpha());
}

TEST(DblWriter, RefusesSizesAndPixelCountsThatDoNotFit)
{
    const std::vector<uint8_t> four(4, 0);
    EXPECT_THROW((void)datagen::EncodeDbl(0, 1, {}), std::invalid_argument);
    EXPECT_THROW((void)datagen::EncodeDbl(1, -1, four), std::invalid_argument);
    EXPECT_THROW((void)datagen::EncodeDbl(datagen::kMaxDblSide + 1, 1, four), std::invalid_argument);
    EXPECT_THROW((void)datagen::EncodeDbl(2, 1, four), std::invalid_argument);
    EXPECT_THROW((void)datagen::EncodeDbl(1, 1, std::vector<uint8_t>(5, 0)), std::invalid_argument);
    EXPECT_NO_THROW((void)datagen::EncodeDbl(1, 1, four));
}

} // namespace
