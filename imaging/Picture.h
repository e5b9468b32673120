// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imaging/Size.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace imaging {

struct DecodeOptions {
    // The picture will be scaled down to about this size: the JPEG decoder may then decode at 1/2,
    // 1/4 or 1/8 scale, never below the hint. Much faster for large photos, and lets them fit in memory.
    // Pictures above limits::kMaxFullDecodeArea are decoded at reduced size only with a hint (JPEG,
    // PNG and WMF; further below the hint where memory needs it) and refused without one.
    std::optional<Size> sizeHint;
};

// One decoded picture (the first frame of an animation), alpha kept as decoded.
class Picture {
public:
    ~Picture();
    Picture(const Picture& other);
    Picture(Picture&& other) noexcept;
    Picture& operator=(const Picture& other);
    Picture& operator=(Picture&& other) noexcept;

    // Decodes a JPEG, GIF, PNG, BMP, ICO, WMF (at 96 dpi) or PCX picture. A missing, refused (too
    // large), undecodable or too slow picture gives nullopt, with the cause (and the limit it broke)
    // in failure when given, such as "picture too large: 30000×30000, the limit is 16000 pixels a
    // side"; nothing is thrown or printed.
    [[nodiscard]] static std::optional<Picture> decodeFile(
        const std::filesystem::path& path, const DecodeOptions& options = {}, std::string* failure = nullptr);
    [[nodiscard]] static std::optional<Picture> decode(std::span<const std::uint8_t> bytes,
        const DecodeOptions& options = {}, std::string* failure = nullptr);

    // The size of a picture without decoding its pixels (where the kind allows), nullopt as above.
    [[nodiscard]] static std::optional<Size> probeFile(
        const std::filesystem::path& path, std::string* failure = nullptr);
    [[nodiscard]] static std::optional<Size> probe(
        std::span<const std::uint8_t> bytes, std::string* failure = nullptr);

    [[nodiscard]] Size size() const;
    // The size the file declares: size() unless the picture was decoded at reduced size.
    [[nodiscard]] Size sourceSize() const;
    [[nodiscard]] int width() const { return size().width; }
    [[nodiscard]] int height() const { return size().height; }
    [[nodiscard]] bool hasAlpha() const;

    // Stretched to exactly this size with a bicubic (Catmull-Rom) filter. Throws imaging::Error.
    [[nodiscard]] Picture scaled(Size target) const;
    // A thumbnail of exactly this size (stretched, metadata dropped). Throws imaging::Error.
    [[nodiscard]] Picture thumbnail(Size target) const;
    // Alpha composited onto an opaque background, as drawing onto a 24-bit canvas does.
    [[nodiscard]] Picture flattened(Rgb background) const;

    // Packed 8-bit RGB rows, top row first, alpha composited onto the background.
    [[nodiscard]] std::vector<std::uint8_t> rgb(Rgb background = kBlack) const;
    // The colour of one pixel, alpha composited onto black. Throws imaging::Error outside the picture.
    [[nodiscard]] Rgb pixel(int x, int y) const;

    // Baseline (never progressive) JPEG, 3 components, metadata stripped, alpha composited onto black.
    // Quality 0 to 100 (clamped); 0 is the lowest quality, as libjpeg treats it. Throws imaging::Error.
    [[nodiscard]] std::vector<std::uint8_t> encodeJpeg(int quality) const;
    // encodeJpeg written to a file through a temporary beside it, so a failed save leaves no partial
    // file behind (the temporary is a ScratchFile while it exists). Throws imaging::Error, whose
    // message names the file and the system's reason.
    void saveJpeg(const std::filesystem::path& path, int quality) const;

private:
    struct Impl;
    explicit Picture(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};

// Decodes a picture and makes a thumbnail of exactly this size (for the picture lists). nullopt when
// the picture cannot be decoded or scaled.
[[nodiscard]] std::optional<Picture> makeThumbnail(const std::filesystem::path& path, Size target);

// Reads a whole file of at most limits::kMaxFileBytes; nullopt when it is missing, unreadable or larger.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> readPictureFile(const std::filesystem::path& path);

} // namespace imaging
