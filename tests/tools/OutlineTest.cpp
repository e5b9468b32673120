// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fdbgen/Outline.h"
#include "tools/fdbgen/EmScale.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using fdbgen::PathSegment;

PathSegment move(int32_t x, int32_t y)
{
    return { PathSegment::Kind::Move, {}, { x, y } };
}
PathSegment line(int32_t x, int32_t y)
{
    return { PathSegment::Kind::Line, {}, { x, y } };
}
PathSegment quad(int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    return { PathSegment::Kind::Quad, { cx, cy }, { x, y } };
}

constexpr char kOn = FT_CURVE_TAG_ON;
constexpr char kOff = FT_CURVE_TAG_CONIC;
constexpr char kCubic = FT_CURVE_TAG_CUBIC;

// A hand-made outline in font units, as FreeType loads it unscaled.
struct TestOutline {
    std::vector<FT_Vector> points;
    std::vector<char> tags;
    std::vector<short> contourEnds;

    [[nodiscard]] std::vector<PathSegment> convert(int32_t unitsPerEm)
    {
        FT_Outline outline {};
        outline.n_points = static_cast<short>(points.size());
        outline.n_contours = static_cast<short>(contourEnds.size());
        outline.points = points.data();
        outline.tags = tags.data();
        outline.contours = contourEnds.data();
        return fdbgen::convertOutline(outline, fdbgen::EmScale(unitsPerEm));
    }
};

TEST(EmScale, RoundsToNearestWithTiesToEven)
{
    struct Row {
        int32_t unitsPerEm;
        int64_t fontUnits;
        int32_t em;
    };
    for (const Row& row : std::vector<Row> {
             { 2048, 1401, 700 }, // the advance of a capital A in 2048-unit fonts: 700.5
             { 2048, 1403, 702 }, // 701.5
             { 2048, -1401, -700 },
             { 2048, -1403, -702 },
             { 2048, 1, 0 },
             { 2048, 3, 2 },
             { 2048, -2, -1 },
             { 1000, 1, 1 }, // 1.024
             { 1000, 500, 512 },
             { 1000, -733, -751 }, // -750.592
             { 1024, 1234, 1234 },
         }) {
        EXPECT_EQ(fdbgen::EmScale(row.unitsPerEm)(row.fontUnits), row.em)
            << row.unitsPerEm << " " << row.fontUnits;
    }
    EXPECT_THROW(fdbgen::EmScale(0), std::invalid_argument);
    EXPECT_THROW(fdbgen::EmScale(16385), std::invalid_argument);
}

TEST(Outline, StraightContourIsScaledFlippedAndClosed)
{
    TestOutline o { { { 0, 0 }, { 2048, 0 }, { 2048, 2048 }, { 0, 2048 } }, { kOn, kOn, kOn, kOn }, { 3 } };
    EXPECT_EQ(o.convert(2048),
        (std::vector { move(0, 0), line(1024, 0), line(1024, -1024), line(0, -1024), line(0, 0) }));
}

TEST(Outline, ImpliedOnCurvePointBetweenTwoOffCurvePoints)
{
    TestOutline o { { { 0, 0 }, { 0, 200 }, { 200, 200 }, { 200, 0 } }, { kOn, kOff, kOff, kOn }, { 3 } };
    EXPECT_EQ(o.convert(2048),
        (std::vector { move(0, 0), quad(0, -100, 50, -100), quad(100, -100, 100, 0), line(0, 0) }));
}

TEST(Outline, ContourMayStartOffCurveAndEmptyContoursVanish)
{
    // Contour 1 is a lone point (as some fonts carry for hinting); contour 2 starts and ends with
    // off-curve points, so it starts at the implied point between its last and first points.
    TestOutline o { { { 500, 500 }, { 0, 100 }, { 100, 100 }, { 100, 0 }, { 0, 0 } },
        { kOn, kOff, kOn, kOff, kOff }, { 0, 4 } };
    EXPECT_EQ(o.convert(1024),
        (std::vector { move(0, -50), quad(0, -100, 100, -100), quad(100, 0, 50, 0), quad(0, 0, 0, -50) }));
}

TEST(Outline, CubicBecomesQuadraticsThroughTheCurve)
{
    // B(0.5) of this cubic is (512, 768): the end of the second of four quadratics.
    TestOutline o { { { 0, 0 }, { 0, 1024 }, { 1024, 1024 }, { 1024, 0 } }, { kOn, kCubic, kCubic, kOn },
        { 3 } };
    const auto path = o.convert(1024);
    ASSERT_EQ(path.size(), 6U); // move, four quadratics, closing line
    EXPECT_EQ(path[2].kind, PathSegment::Kind::Quad);
    EXPECT_EQ(path[2].to, (fdbgen::Point { 512, -768 }));
    EXPECT_EQ(path[4].to, (fdbgen::Point { 1024, 0 }));
    for (size_t i = 1; i <= 4; ++i) {
        EXPECT_GE(path[i].control.x, 0);
        EXPECT_LE(path[i].control.x, 1024);
        EXPECT_GE(path[i].control.y, -1024);
        EXPECT_LE(path[i].control.y, 0);
    }
}

TEST(Outline, TinyEdgesRoundingToNothingAreDropped)
{
    // At 2048 units a 1-unit step rounds to 0 (0.5, ties to even): that edge disappears.
    TestOutline o { { { 0, 0 }, { 1, 0 }, { 400, 0 }, { 400, 400 } }, { kOn, kOn, kOn, kOn }, { 3 } };
    EXPECT_EQ(o.convert(2048), (std::vector { move(0, 0), line(200, 0), line(200, -200), line(0, 0) }));
}

} // namespace
