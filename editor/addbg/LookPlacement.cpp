// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/addbg/LookPlacement.h"

CLookPlacement PlacementFromCode(int32_t nCode)
{
    CLookPlacement placement;
    switch (nCode) {
    case kPlacementCodeTile:
        placement.m_nMode = CLookPlacement::kModeTile;
        break;
    case kPlacementCodeStretch:
        placement.m_nMode = CLookPlacement::kModeStretch;
        break;
    case kPlacementCodeStretchKeepRatio:
        placement.m_nMode = CLookPlacement::kModeStretch;
        placement.m_bKeepRatio = true;
        break;
    default:
        placement.m_nAnchor = nCode;
        break;
    }
    return placement;
}

int32_t PlacementToCode(const CLookPlacement& placement)
{
    switch (placement.m_nMode) {
    case CLookPlacement::kModeTile:
        return kPlacementCodeTile;
    case CLookPlacement::kModeStretch:
        return placement.m_bKeepRatio ? kPlacementCodeStretchKeepRatio : kPlacementCodeStretch;
    default:
        return placement.m_nAnchor;
    }
}
