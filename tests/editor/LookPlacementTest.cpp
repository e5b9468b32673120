// SPDX-License-Identifier: GPL-3.0-or-later
// The picker's placement controls against the project's placement codes, both ways.
#include "editor/addbg/LookPlacement.h"

#include <gtest/gtest.h>

namespace {

struct CPlacementRow {
    int32_t m_nCode;
    CLookPlacement m_placement;
};

constexpr int32_t kAnchored = CLookPlacement::kModeAnchored;
constexpr int32_t kTile = CLookPlacement::kModeTile;
constexpr int32_t kStretch = CLookPlacement::kModeStretch;

// One table for both directions: every code the project stores and the controls it opens with.
const CPlacementRow kRows[] = {
    { 0, { kAnchored, 0, false } },
    { 1, { kAnchored, 1, false } },
    { 2, { kAnchored, 2, false } },
    { 3, { kAnchored, 3, false } },
    { 4, { kAnchored, 4, false } },
    { 5, { kAnchored, 5, false } },
    { 6, { kAnchored, 6, false } },
    { 7, { kAnchored, 7, false } },
    { 8, { kAnchored, 8, false } },
    { 9, { kTile, 4, false } },
    { 10, { kStretch, 4, false } },
    { 11, { kStretch, 4, true } },
};

TEST(LookPlacementTest, CodesAndControlsBothWays)
{
    for (const CPlacementRow& row : kRows) {
        EXPECT_EQ(PlacementFromCode(row.m_nCode), row.m_placement) << "code " << row.m_nCode;
        EXPECT_EQ(PlacementToCode(row.m_placement), row.m_nCode) << "code " << row.m_nCode;
    }
}

TEST(LookPlacementTest, ControlsTheUserChanged)
{
    // The ratio box counts only when stretching; a tiled or anchored picture ignores it.
    EXPECT_EQ(PlacementToCode({ kTile, 4, true }), 9);
    EXPECT_EQ(PlacementToCode({ kAnchored, 7, true }), 7);
    // An anchored picture stretched and anchored again gets its old anchor back.
    CLookPlacement placement = PlacementFromCode(2);
    placement.m_nMode = kStretch;
    EXPECT_EQ(PlacementToCode(placement), 10);
    placement.m_nMode = kAnchored;
    EXPECT_EQ(PlacementToCode(placement), 2);
}

TEST(LookPlacementTest, CodesOutsideTheTableComeBackUnchanged)
{
    // -1 marks the button picture inside picture preparation; damaged files may hold anything.
    for (const int32_t nCode : { -1, 12, 1000 }) {
        const CLookPlacement placement = PlacementFromCode(nCode);
        EXPECT_EQ(placement.m_nMode, kAnchored);
        EXPECT_EQ(PlacementToCode(placement), nCode);
    }
}

} // namespace
