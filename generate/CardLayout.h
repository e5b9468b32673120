// SPDX-License-Identifier: GPL-3.0-or-later
// Layout rules of a card: colours, picture placement, title lines, link row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Reads a colour text "#" + hexadecimal digits as one number 0xRRGGBB into nValue. A text that does
// not start with "#" followed by at least one digit leaves nValue as it was (so a malformed colour
// shows in the colour read before it). Returns whether it was read.
bool ReadColour(std::string_view strText, uint32_t& nValue);

// Where a picture of its own size goes on the stage and how it is filled.
struct CPicturePlacement {
    int nX = 0;
    int nY = 0;
    int nWidth = 0; // the drawn rectangle
    int nHeight = 0;
    bool bTiled = false; // tiled bitmap fill (else clipped)
};

// Placement codes 0 to 8 anchor the picture (left/middle/right by top/centre/bottom), 9 tiles it
// over the stage, 10, 11 and any other value centre it. A picture at least as large as the stage
// in both dimensions stays at the origin at its own size whatever the code.
[[nodiscard]] CPicturePlacement PlacePicture(
    int nPictureWidth, int nPictureHeight, float fStageWidth, float fStageHeight, int nCode);

struct CTitleLines {
    std::string strLine1;
    std::string strLine2;
};

// Breaks a title at its blanks: words go to line 1 (each as " " + word) while the measured width of
// the line stays within fStageWidth - 20; every later word goes to line 2. Throws what measure throws.
[[nodiscard]] CTitleLines BreakTitle(
    std::string_view strTitle, float fStageWidth, const std::function<float(const std::string&)>& measure);

// A comment line as drawn: without the carriage return of its "\r\n" line end, at most 100
// characters (code points) long.
[[nodiscard]] std::string CommentLineText(std::string_view strLine);

// The top-left corner of link button k's row position is reached by advancing x from 20 by
// button width + 30 (truncated) per link placed; this is one step.
[[nodiscard]] inline float NextButtonX(float fX, float fButtonWidth)
{
    return static_cast<float>(static_cast<int>(fX + fButtonWidth + 30.0F));
}

// The over colour of a colour button: each component reduced by 20, modulo 256.
[[nodiscard]] uint32_t OverColour(uint32_t nColour);
