// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finish/TargetLabel.h"

QString TargetLabelText(const QString& strPath)
{
    if (strPath.size() <= kTargetLabelMaxChars) {
        return strPath;
    }
    return strPath.left(kTargetLabelHeadChars) + QStringLiteral("...") + strPath.right(kTargetLabelTailChars);
}
