// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Picture.h"

#include "imaging/Error.h"
#include "imaging/Format.h"
#include "imaging/Limits.h"
#include "imaging/MagickSession.h"
#include "imaging/OperationDeadline.h"

#include <Magick++.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace imaging {

struct Picture::Impl {
    Magick::Image image;
};

namespace {

// WMF has no pixel size of its own; pictures are laid out at the screen's resolution.
constexpr double kMetafileDpi = 96.0;

bool withinLimits(std::size_t width, std::size_t height)
{
    return width > 0 && height > 0 && width <= limits::kMaxSide && height <= limits::kMaxSide &&
        std::uint64_t { width } * height <= limits::kMaxArea;
}

void checkTarget(Size target, const char* what)
{
    if (target.width <= 0 || target.height <= 0 || !withinLimits(target.width, target.height)) {
        throw Error(std::string(what) + ": invalid size " + std::to_string(target.width) + "x" +
            std::to_string(target.height));
    }
}

// A reader for one kind: first frame only, warnings (such as a truncated JPEG) not fatal.
Magick::Image makeReader(Format format, const DecodeOptions& options)
{
    Magick::Image image;
    image.quiet(true);
    image.subImage(0);
    image.subRange(1);
    image.magick(std::string(coderName(format)));
    if (format == Format::Wmf) {
        image.density(Magick::Geometry(kMetafileDpi, kMetafileDpi));
    }
    if (format == Format::Jpeg && options.sizeHint && options.sizeHint->width > 0 &&
        options.sizeHint->height > 0) {
        image.defineValue("jpeg", "size",
            std::to_string(options.sizeHint->width) + "x" + std::to_string(options.sizeHint->height));
    }
    return image;
}

// Reads or pings the first frame of a picture of a known kind; nullopt on any failure.
std::optional<Magick::Image> loadBlob(
    const Magick::Blob& blob, Format format, const DecodeOptions& options, bool ping)
{
    if (format == Format::Png) {
        if (auto copy = safePngCopy({ static_cast<const std::uint8_t*>(blob.data()), blob.length() })) {
            return loadBlob(Magick::Blob(copy->data(), copy->size()), format, options, ping);
        }
    }
    MagickSession::ensureStarted();
    try {
        if (ping) {
            Magick::Image header = makeReader(format, {});
            OperationDeadline deadline(header, limits::kOperationTimeLimit);
            header.ping(blob);
            if (deadline.expired() || !header.isValid() || !withinLimits(header.columns(), header.rows())) {
                return std::nullopt;
            }
            return header;
        }
        // ImageMagick checks the declared size against the resource limits before it takes any
        // pixel memory, so a decompression bomb is refused without a separate look at its header.
        Magick::Image image = makeReader(format, options);
        OperationDeadline deadline(image, limits::kOperationTimeLimit);
        image.read(blob);
        if (deadline.expired() || !image.isValid() || !withinLimits(image.columns(), image.rows())) {
            return std::nullopt;
        }
        return image;
    } catch (const std::exception&) {
        // Magick::Exception and std::bad_alloc alike: an undecodable picture.
        return std::nullopt;
    }
}

std::optional<Magick::Image> load(
    std::span<const std::uint8_t> bytes, const DecodeOptions& options, bool ping)
{
    if (bytes.empty() || bytes.size() > limits::kMaxFileBytes) {
        return std::nullopt;
    }
    const auto format = sniffFormat(bytes);
    if (!format) {
        return std::nullopt;
    }
    try {
        return loadBlob(Magick::Blob(bytes.data(), bytes.size()), *format, options, ping);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Reads a whole file straight into the blob ImageMagick decodes from: a large picture is neither
// zero-filled first nor copied a second time.
std::optional<Magick::Image> loadFile(
    const std::filesystem::path& path, const DecodeOptions& options, bool ping)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > limits::kMaxFileBytes) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    void* data = std::malloc(static_cast<std::size_t>(size));
    const std::size_t got = data == nullptr ? 0 : std::fread(data, 1, static_cast<std::size_t>(size), file);
    std::fclose(file);
    if (got != size) {
        std::free(data);
        return std::nullopt;
    }
    try {
        Magick::Blob blob;
        blob.updateNoCopy(data, got, Magick::Blob::MallocAllocator);
        const auto format = sniffFormat({ static_cast<const std::uint8_t*>(blob.data()), blob.length() });
        if (!format) {
            return std::nullopt;
        }
        return loadBlob(blob, *format, options, ping);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Runs one Magick++ operation on a copy under the time limit; failures become imaging::Error.
template<typename Operation>
Magick::Image transform(const Magick::Image& source, const char* what, Operation op)
{
    Magick::Image image = source;
    try {
        OperationDeadline deadline(image, limits::kOperationTimeLimit);
        op(image);
        if (deadline.expired()) {
            throw Error(std::string(what) + ": time limit exceeded");
        }
    } catch (const Magick::Exception& e) {
        throw Error(std::string(what) + ": " + e.what());
    }
    if (!image.isValid()) {
        throw Error(std::string(what) + ": no picture");
    }
    return image;
}

Magick::Color toColor(Rgb colour)
{
    constexpr double kMax = 255.0;
    return Magick::ColorRGB(colour.red / kMax, colour.green / kMax, colour.blue / kMax);
}

// Opaque 8-bit sRGB with three channels, whatever the source was (CMYK, grey, palette, alpha).
Magick::Image opaqueRgb(const Magick::Image& source, Rgb background)
{
    return transform(source, "flatten picture", [&](Magick::Image& image) {
        if (image.colorSpace() != MagickCore::sRGBColorspace &&
            image.colorSpace() != MagickCore::RGBColorspace) {
            image.colorSpace(MagickCore::sRGBColorspace);
        }
        if (image.matte()) {
            image.backgroundColor(toColor(background));
            image.alphaChannel(MagickCore::RemoveAlphaChannel);
        }
        image.type(MagickCore::TrueColorType);
        image.depth(8);
    });
}

} // namespace

Picture::Picture(std::unique_ptr<Impl> impl)
    : m_impl(std::move(impl))
{
}

Picture::~Picture() = default;
Picture::Picture(Picture&& other) noexcept = default;
Picture& Picture::operator=(Picture&& other) noexcept = default;

Picture::Picture(const Picture& other)
    : m_impl(std::make_unique<Impl>(*other.m_impl))
{
}

Picture& Picture::operator=(const Picture& other)
{
    if (this != &other) {
        m_impl = std::make_unique<Impl>(*other.m_impl);
    }
    return *this;
}

std::optional<std::vector<std::uint8_t>> readPictureFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (error || bytes == 0 || bytes > limits::kMaxFileBytes) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes));
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (in.gcount() != static_cast<std::streamsize>(data.size())) {
        return std::nullopt;
    }
    return data;
}

std::optional<Picture> Picture::decode(std::span<const std::uint8_t> bytes, const DecodeOptions& options)
{
    auto image = load(bytes, options, false);
    if (!image) {
        return std::nullopt;
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(*image) }));
}

std::optional<Picture> Picture::decodeFile(const std::filesystem::path& path, const DecodeOptions& options)
{
    auto image = loadFile(path, options, false);
    if (!image) {
        return std::nullopt;
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(*image) }));
}

std::optional<Size> Picture::probe(std::span<const std::uint8_t> bytes)
{
    const auto image = load(bytes, {}, true);
    if (!image) {
        return std::nullopt;
    }
    return Size { static_cast<int>(image->columns()), static_cast<int>(image->rows()) };
}

std::optional<Size> Picture::probeFile(const std::filesystem::path& path)
{
    const auto image = loadFile(path, {}, true);
    if (!image) {
        return std::nullopt;
    }
    return Size { static_cast<int>(image->columns()), static_cast<int>(image->rows()) };
}

Size Picture::size() const
{
    return { static_cast<int>(m_impl->image.columns()), static_cast<int>(m_impl->image.rows()) };
}

bool Picture::hasAlpha() const
{
    return m_impl->image.matte();
}

Picture Picture::scaled(Size target) const
{
    checkTarget(target, "scale picture");
    auto image = transform(m_impl->image, "scale picture", [&](Magick::Image& copy) {
        Magick::Geometry geometry(
            static_cast<std::size_t>(target.width), static_cast<std::size_t>(target.height));
        geometry.aspect(true);
        copy.filterType(MagickCore::CatromFilter);
        copy.resize(geometry);
    });
    if (image.columns() != static_cast<std::size_t>(target.width) ||
        image.rows() != static_cast<std::size_t>(target.height)) {
        throw Error("scale picture: wrong result size");
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(image) }));
}

Picture Picture::thumbnail(Size target) const
{
    checkTarget(target, "make thumbnail");
    auto image = transform(m_impl->image, "make thumbnail", [&](Magick::Image& copy) {
        Magick::Geometry geometry(
            static_cast<std::size_t>(target.width), static_cast<std::size_t>(target.height));
        geometry.aspect(true);
        copy.filterType(MagickCore::CatromFilter);
        copy.thumbnail(geometry);
    });
    if (image.columns() != static_cast<std::size_t>(target.width) ||
        image.rows() != static_cast<std::size_t>(target.height)) {
        throw Error("make thumbnail: wrong result size");
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(image) }));
}

Picture Picture::flattened(Rgb background) const
{
    return Picture(std::make_unique<Impl>(Impl { opaqueRgb(m_impl->image, background) }));
}

std::vector<std::uint8_t> Picture::rgb(Rgb background) const
{
    Magick::Image image = opaqueRgb(m_impl->image, background);
    std::vector<std::uint8_t> pixels(image.columns() * image.rows() * 3);
    try {
        image.write(0, 0, image.columns(), image.rows(), "RGB", MagickCore::CharPixel, pixels.data());
    } catch (const Magick::Exception& e) {
        throw Error(std::string("export pixels: ") + e.what());
    }
    return pixels;
}

Rgb Picture::pixel(int x, int y) const
{
    const Size extent = size();
    if (x < 0 || y < 0 || x >= extent.width || y >= extent.height) {
        throw Error("read pixel: " + std::to_string(x) + "," + std::to_string(y) + " outside the picture");
    }
    Magick::Image image = opaqueRgb(m_impl->image, kBlack);
    std::uint8_t value[3] {};
    try {
        image.write(x, y, 1, 1, "RGB", MagickCore::CharPixel, value);
    } catch (const Magick::Exception& e) {
        throw Error(std::string("read pixel: ") + e.what());
    }
    return { value[0], value[1], value[2] };
}

std::vector<std::uint8_t> Picture::encodeJpeg(int quality) const
{
    // ImageMagick reads quality 0 as "not set" and picks its default of about 92; libjpeg treats 0
    // and 1 alike, so 1 keeps the lowest quality the caller asked for.
    const int jpegQuality = std::clamp(quality, 1, 100);
    Magick::Image image = opaqueRgb(m_impl->image, kBlack);
    Magick::Blob blob;
    try {
        image.strip();
        image.interlaceType(MagickCore::NoInterlace);
        image.quality(static_cast<std::size_t>(jpegQuality));
        image.write(&blob, "JPEG");
    } catch (const Magick::Exception& e) {
        throw Error(std::string("encode JPEG: ") + e.what());
    }
    if (blob.length() == 0) {
        throw Error("encode JPEG: empty result");
    }
    const auto* data = static_cast<const std::uint8_t*>(blob.data());
    return { data, data + blob.length() };
}

void Picture::saveJpeg(const std::filesystem::path& path, int quality) const
{
    const auto bytes = encodeJpeg(quality);
    auto temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw Error("save JPEG: cannot write " + path.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw Error("save JPEG: cannot write " + path.string());
    }
}

std::optional<Picture> makeThumbnail(const std::filesystem::path& path, Size target)
{
    if (target.width <= 0 || target.height <= 0) {
        return std::nullopt;
    }
    auto picture = Picture::decodeFile(path, DecodeOptions { target });
    if (!picture) {
        return std::nullopt;
    }
    try {
        return picture->thumbnail(target);
    } catch (const Error&) {
        return std::nullopt;
    }
}

} // namespace imaging
