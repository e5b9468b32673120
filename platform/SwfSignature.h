// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>

// True when the bytes start like a Flash movie ("FWS", "CWS" or "ZWS", a version byte and a
// length field); used to refuse other files before they reach the player.
[[nodiscard]] bool LooksLikeSwf(const QByteArray& data);

// The movie's stage size in pixels from its header (uncompressed or zlib-compressed movies);
// an invalid QSize when the header cannot be read.
[[nodiscard]] QSize MovieFrameSize(const QByteArray& data);
