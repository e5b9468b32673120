// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the user's pictures into baseline JPEG files the movie writer embeds.
#pragma once

#include <filesystem>
#include <string>

// What picture preparation needs of the application and the project settings.
struct CPictureContext {
    std::filesystem::path appDir; // installation folder; outputs go to its Temp folder
    int nWidth = 640; // gift size in pixels
    int nHeight = 480;
    int nQuality = 70; // JPEG quality 0 to 100
};

struct CPictureSize {
    int nWidth = 0;
    int nHeight = 0;

    friend bool operator==(const CPictureSize&, const CPictureSize&) = default;
};

// The album's JPEG copy and the size it was given.
struct CAlbumPicture {
    std::string strPath; // the copy, or the source itself when no copy could be written
    int nWidth = 0; // fitted size; 0 by 0 when the source could not be decoded
    int nHeight = 0;
    // Why no copy was written ("cannot be decoded as a picture", ...); empty when it was.
    std::string strError;

    [[nodiscard]] bool IsCopied() const { return strError.empty(); }
};

// Placement code of the project's button picture (not a card placement).
inline constexpr int kButtonPlacement = -1;

// Prepares a card background (nNumber = the card's position) or, for placement -1, the button
// picture: "<appDir>/Temp/<nNumber>.jpg" or "<appDir>/Temp/generate_button.jpg". With bForce 0 an
// existing output is returned without opening the source. The source is looked up without regard to
// letter case. Returns the output path, or "" when no JPEG could be written; then pStrReason, when
// given, receives the cause ("picture too large: 30000×30000, the limit is 16000 pixels a side",
// "cannot write .../Temp/0.jpg: Permission denied").
[[nodiscard]] std::string ConvertPictureToJpeg(const CPictureContext& context, const std::string& strSource,
    int nNumber, int nPlacement, int bForce, std::string* pStrReason = nullptr);

// Enlarges or reduces w by h, ratio kept, until one side equals the gift's and the other fits.
[[nodiscard]] CPictureSize FitKeepingRatio(
    int nPictureWidth, int nPictureHeight, int nGiftWidth, int nGiftHeight);

// Reduces w by h, ratio kept, to fit within the box; smaller pictures keep their size.
[[nodiscard]] CPictureSize ShrinkToFit(int nPictureWidth, int nPictureHeight, int nMaxWidth, int nMaxHeight);

// Writes the album's copy of a picture as "<outputFolder>/<nNumber>.jpg" at quality 100, shrunk
// to fit the box when larger. The source (looked up without regard to letter case) is only read:
// nothing is written beside it, so a read-only folder or a file that happens to be named like the
// copy is never touched.
[[nodiscard]] CAlbumPicture ConvertAlbumPicture(const std::string& strSource,
    const std::filesystem::path& outputFolder, int nNumber, int nMaxWidth, int nMaxHeight);
