// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SwfSignature.h"

bool LooksLikeSwf(const QByteArray& data)
{
    // Signature (3), version (1), file length (4).
    constexpr qsizetype kHeaderSize = 8;
    if (data.size() < kHeaderSize) {
        return false;
    }
    const char c = data.at(0);
    return (c == 'F' || c == 'C' || c == 'Z') && data.at(1) == 'W' && data.at(2) == 'S';
}
