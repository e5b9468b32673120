// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate/PicturePreparation.h"

#include "imaging/Error.h"
#include "imaging/FindFileNoCase.h"
#include "imaging/Format.h"
#include "imaging/Picture.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <system_error>

namespace {

// Anchored and tiled pictures keep their own size up to this; larger ones become the gift size.
constexpr int kMaxKeptWidth = 2400;
constexpr int kMaxKeptHeight = 2000;
// Pictures stretched with their ratio kept are fitted only below this; larger ones become the gift size.
constexpr int kRatioFitWidthLimit = 1200;
constexpr int kRatioFitHeightLimit = 1000;
// Code 10 (stretched) and any unknown code always take the gift size.
constexpr int kPlacementKeepRatio = 11;
constexpr int kLastKeptPlacement = 9; // anchors 0 to 8 and tiled
constexpr int kAlbumQuality = 100;

// The JPEG decoder can only decode at 1/2, 1/4 or 1/8 scale, so a hint helps from half size down.
constexpr int kHintFactor = 2;

// The real file for a source path: exact spelling first, then without regard to case; a stored
// reference may still carry backslashes as separators.
std::optional<std::filesystem::path> findSource(const std::string& source)
{
    if (auto found = imaging::findFileNoCase(std::filesystem::path(source))) {
        return found;
    }
    if (source.find('\\') != std::string::npos) {
        std::string slashed = source;
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        return imaging::findFileNoCase(std::filesystem::path(slashed));
    }
    return std::nullopt;
}

// The size a prepared picture gets, or nullopt when it is encoded at its own size.
std::optional<imaging::Size> preparedSize(imaging::Size picture, int placement, imaging::Size gift)
{
    const bool keptPlacement = placement >= kButtonPlacement && placement <= kLastKeptPlacement;
    if (keptPlacement && picture.width <= kMaxKeptWidth && picture.height <= kMaxKeptHeight) {
        return std::nullopt;
    }
    if (placement == kPlacementKeepRatio && picture.width < kRatioFitWidthLimit &&
        picture.height < kRatioFitHeightLimit) {
        const CPictureSize fitted = FitKeepingRatio(picture.width, picture.height, gift.width, gift.height);
        return imaging::Size { fitted.nWidth, fitted.nHeight };
    }
    return gift;
}

// The size the picture will be scaled to, as a hint to the decoder. A JPEG gets it only when the
// decoder can use it (from half size down: it scales by 1/2, 1/4 or 1/8); other kinds need it only
// when they are too large to decode at full size, and ignore it otherwise.
imaging::DecodeOptions decodeOptionsFor(
    imaging::Format format, imaging::Size picture, const std::optional<imaging::Size>& target)
{
    imaging::DecodeOptions options;
    if (target &&
        (format != imaging::Format::Jpeg ||
            (target->width * kHintFactor <= picture.width &&
                target->height * kHintFactor <= picture.height))) {
        options.sizeHint = *target;
    }
    return options;
}

struct DecodedSource {
    imaging::Picture picture;
    imaging::Size size; // the picture's own size, before any reduction by the decoder
};

// Decodes a source whose prepared size depends on its own size: its header is read first, so that
// the decoder can be told how small the result will be.
std::optional<DecodedSource> decodeSource(const std::filesystem::path& source,
    const std::function<std::optional<imaging::Size>(imaging::Size)>& targetFor, std::string& strReason)
{
    const auto format = imaging::sniffFile(source);
    const auto size = imaging::Picture::probeFile(source, &strReason);
    if (!format || !size) {
        return std::nullopt;
    }
    auto picture =
        imaging::Picture::decodeFile(source, decodeOptionsFor(*format, *size, targetFor(*size)), &strReason);
    if (!picture) {
        return std::nullopt;
    }
    return DecodedSource { std::move(*picture), *size };
}

// Truncates toward zero as the size rules ask, but never below one pixel: a very flat picture
// would otherwise get an empty side that no encoder can write.
int toPixels(double value)
{
    return std::max(1, static_cast<int>(value));
}

// Why a file that could not be decoded cannot even be read ("cannot be read: Permission denied"),
// or nothing when it opens: then it is simply not a picture the decoder knows.
std::optional<std::string> unreadableReason(const std::filesystem::path& path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (in) {
        return std::nullopt;
    }
    const int error = errno;
    return std::string("cannot be read: ") + (error != 0 ? std::strerror(error) : "unknown error");
}

} // namespace

CPictureSize FitKeepingRatio(int nPictureWidth, int nPictureHeight, int nGiftWidth, int nGiftHeight)
{
    if (nPictureWidth <= 0 || nPictureHeight <= 0 || nGiftWidth <= 0 || nGiftHeight <= 0) {
        return { std::max(1, nGiftWidth), std::max(1, nGiftHeight) };
    }
    const double w = nPictureWidth;
    const double h = nPictureHeight;
    const double giftW = nGiftWidth;
    const double giftH = nGiftHeight;
    if (giftW / giftH > w / h) {
        // The gift is relatively wider: the height binds.
        if (h < giftH) {
            return { toPixels(w * (giftH / h)), nGiftHeight };
        }
        return { toPixels(w / (h / giftH)), nGiftHeight };
    }
    if (w < giftW) {
        return { nGiftWidth, toPixels(h * (giftW / w)) };
    }
    return { nGiftWidth, toPixels(h / (w / giftW)) };
}

CPictureSize ShrinkToFit(int nPictureWidth, int nPictureHeight, int nMaxWidth, int nMaxHeight)
{
    if (nPictureWidth <= nMaxWidth && nPictureHeight <= nMaxHeight) {
        return { nPictureWidth, nPictureHeight };
    }
    if (nPictureWidth <= 0 || nPictureHeight <= 0 || nMaxWidth <= 0 || nMaxHeight <= 0) {
        return { std::max(1, nMaxWidth), std::max(1, nMaxHeight) };
    }
    const double w = nPictureWidth;
    const double h = nPictureHeight;
    const double maxW = nMaxWidth;
    const double maxH = nMaxHeight;
    if (maxW / maxH > w / h) {
        return { toPixels(w / (h / maxH)), nMaxHeight };
    }
    return { nMaxWidth, toPixels(h / (w / maxW)) };
}

std::string ConvertPictureToJpeg(const CPictureContext& context, const std::string& strSource, int nNumber,
    int nPlacement, int bForce, std::string* pStrReason)
{
    const std::filesystem::path temp = context.appDir / "Temp";
    const std::filesystem::path output = nPlacement == kButtonPlacement
        ? temp / "generate_button.jpg"
        : temp / (std::to_string(nNumber) + ".jpg");
    std::string strReason;
    const auto failed = [&](std::string strWhy) {
        if (pStrReason != nullptr) {
            *pStrReason = std::move(strWhy);
        }
        return std::string();
    };

    std::error_code error;
    if (std::filesystem::exists(output, error)) {
        if (bForce == 0) {
            return output.string();
        }
        // Gone before anything else happens, so that a failed preparation never leaves the previous
        // picture behind for a later call without force to pick up.
        std::filesystem::remove(output, error);
    }

    const auto source = findSource(strSource);
    if (!source) {
        return failed("the file cannot be found");
    }
    const imaging::Size gift { std::max(1, context.nWidth), std::max(1, context.nHeight) };
    const auto targetFor = [&](imaging::Size size) { return preparedSize(size, nPlacement, gift); };
    auto decoded = decodeSource(*source, targetFor, strReason);
    if (!decoded) {
        return failed(strReason);
    }
    const auto target = targetFor(decoded->size);
    const imaging::Picture& picture = decoded->picture;
    try {
        if (target) {
            picture.scaled(*target).saveJpeg(output, context.nQuality);
        } else {
            picture.saveJpeg(output, context.nQuality);
        }
    } catch (const imaging::Error& e) {
        return failed(e.what());
    }
    return output.string();
}

CAlbumPicture ConvertAlbumPicture(const std::string& strSource, const std::filesystem::path& outputFolder,
    int nNumber, int nMaxWidth, int nMaxHeight)
{
    CAlbumPicture result { strSource, 0, 0, {} };
    const auto source = findSource(strSource);
    if (!source) {
        result.strError = "cannot be found";
        return result;
    }
    // From here on the file as found on disk: the name given may differ from it in letter case
    // or use backslashes.
    result.strPath = source->string();
    const auto targetFor = [&](imaging::Size size) -> std::optional<imaging::Size> {
        if (size.width <= nMaxWidth && size.height <= nMaxHeight) {
            return std::nullopt;
        }
        const CPictureSize fitted = ShrinkToFit(size.width, size.height, nMaxWidth, nMaxHeight);
        return imaging::Size { fitted.nWidth, fitted.nHeight };
    };
    std::string strReason;
    auto decoded = decodeSource(*source, targetFor, strReason);
    if (!decoded) {
        result.strError = unreadableReason(*source).value_or("cannot be decoded as a picture");
        return result;
    }
    const auto target = targetFor(decoded->size);
    const CPictureSize fitted = ShrinkToFit(decoded->size.width, decoded->size.height, nMaxWidth, nMaxHeight);
    const imaging::Picture& picture = decoded->picture;
    result.nWidth = fitted.nWidth;
    result.nHeight = fitted.nHeight;
    const std::filesystem::path output = outputFolder / (std::to_string(nNumber) + ".jpg");
    try {
        if (target) {
            picture.scaled(*target).saveJpeg(output, kAlbumQuality);
        } else {
            picture.saveJpeg(output, kAlbumQuality);
        }
    } catch (const imaging::Error& e) {
        result.strError = std::string("the copy cannot be written: ") + e.what();
        return result;
    }
    result.strPath = output.string();
    return result;
}
