// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How a background picture is placed, as the picker's controls show it: a mode, the anchor of an
// anchored picture and whether a stretched picture keeps its ratio.
struct CLookPlacement {
    // m_nMode values.
    static constexpr int32_t kModeAnchored = 0;
    static constexpr int32_t kModeTile = 1;
    static constexpr int32_t kModeStretch = 2;
    // Anchors 0 to 8 run left to right, top to bottom; 4 is the centre.
    static constexpr int32_t kAnchorCount = 9;

    int32_t m_nMode = kModeAnchored;
    int32_t m_nAnchor = 4;
    bool m_bKeepRatio = false;

    bool operator==(const CLookPlacement&) const = default;
};

// The project's placement codes beyond the anchors 0 to 8.
inline constexpr int32_t kPlacementCodeTile = 9;
inline constexpr int32_t kPlacementCodeStretch = 10;
inline constexpr int32_t kPlacementCodeStretchKeepRatio = 11;

// 9 tiles, 10 stretches, 11 stretches keeping the ratio; any other code is taken as an anchor,
// as it is (an anchor outside 0 to 8 comes back unchanged from PlacementToCode).
[[nodiscard]] CLookPlacement PlacementFromCode(int32_t nCode);
// Tile gives 9, Stretch 10 or 11 (keeping the ratio), anchored the anchor. The ratio flag only
// counts when stretching.
[[nodiscard]] int32_t PlacementToCode(const CLookPlacement& placement);
