// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Picture.h"

#include "imaging/DecodePlan.h"
#include "imaging/Error.h"
#include "imaging/Format.h"
#include "imaging/Limits.h"
#include "imaging/MagickSession.h"
#include "imaging/OperationDeadline.h"
#include "imaging/PngReduction.h"
#include "imaging/QuietStderr.h"
#include "imaging/Scratch.h"

#include <Magick++.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

namespace imaging {

struct Picture::Impl {
    Magick::Image image;
    Size source; // as the file declares it
};

namespace {

// WMF has no pixel size of its own; pictures are laid out at the screen's resolution.
constexpr double kMetafileDpi = 96.0;

const char* const kDamaged = "the picture is damaged or cannot be decoded";

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

void fail(std::string* failure, std::string reason)
{
    if (failure != nullptr) {
        *failure = std::move(reason);
    }
}

std::string timeReason()
{
    return "decoding took longer than " + std::to_string(limits::kOperationTimeLimit.count()) + " seconds";
}

// The reason an ImageMagick failure gives: its pixel memory ran out, or the picture is bad.
std::string magickReason(const Magick::Exception& e)
{
    if (dynamic_cast<const Magick::ErrorCache*>(&e) != nullptr ||
        dynamic_cast<const Magick::ErrorResourceLimit*>(&e) != nullptr) {
        return "not enough memory to decode the picture (the limit is " +
            std::to_string(limits::kMaxMemoryBytes >> 20) + " MB)";
    }
    return kDamaged;
}

// A reader for one kind: first frame only, warnings (such as a truncated JPEG) not fatal. A JPEG
// hint lets the decoder scale down; a metafile is drawn at the given resolution.
Magick::Image makeReader(
    Format format, const std::optional<Size>& jpegHint, double metafileDpi = kMetafileDpi)
{
    Magick::Image image;
    image.quiet(true);
    image.subImage(0);
    image.subRange(1);
    image.magick(std::string(coderName(format)));
    if (format == Format::Wmf) {
        image.density(Magick::Geometry(metafileDpi, metafileDpi));
    }
    if (format == Format::Jpeg && jpegHint && jpegHint->width > 0 && jpegHint->height > 0) {
        image.defineValue(
            "jpeg", "size", std::to_string(jpegHint->width) + "x" + std::to_string(jpegHint->height));
    }
    return image;
}

struct Loaded {
    Magick::Image image;
    Size source;
};

// Reads the header of a picture of a known kind: its declared size, checked against the limits.
std::optional<Loaded> pingBlob(const Magick::Blob& blob, Format format, std::string* failure)
{
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(blob.data()), blob.length());
    // The header says how large a PNG claims to be even where ImageMagick refuses to look further.
    if (format == Format::Png) {
        if (const auto header = readPngHeader(bytes)) {
            const Size declared { static_cast<int>(std::min<std::uint32_t>(header->width, INT32_MAX)),
                static_cast<int>(std::min<std::uint32_t>(header->height, INT32_MAX)) };
            if (std::string refusal = sizeRefusal(declared);
                !refusal.empty() && declared.width > 0 && declared.height > 0) {
                fail(failure, std::move(refusal));
                return std::nullopt;
            }
        }
    }
    try {
        std::optional<QuietStderr> quiet;
        if (format == Format::Wmf) {
            quiet.emplace();
        }
        Magick::Image header = makeReader(format, std::nullopt);
        OperationDeadline deadline(header, limits::kOperationTimeLimit);
        header.ping(blob);
        if (deadline.expired()) {
            fail(failure, timeReason());
            return std::nullopt;
        }
        if (!header.isValid()) {
            fail(failure, kDamaged);
            return std::nullopt;
        }
        const Size declared { static_cast<int>(std::min<std::size_t>(header.columns(), INT32_MAX)),
            static_cast<int>(std::min<std::size_t>(header.rows(), INT32_MAX)) };
        if (std::string refusal = sizeRefusal(declared); !refusal.empty()) {
            fail(failure, std::move(refusal));
            return std::nullopt;
        }
        return Loaded { std::move(header), declared };
    } catch (const Magick::Exception& e) {
        fail(failure, magickReason(e));
    } catch (const std::exception&) {
        fail(failure, kDamaged);
    }
    return std::nullopt;
}

// A reduced PNG as an ImageMagick picture of its own.
std::optional<Magick::Image> reducedPng(const Magick::Blob& blob, int factor, std::string* failure)
{
    std::string reason;
    const auto reduced = decodeReducedPng({ static_cast<const std::uint8_t*>(blob.data()), blob.length() },
        factor, std::chrono::steady_clock::now() + limits::kOperationTimeLimit, reason);
    if (!reduced) {
        fail(failure, reason);
        return std::nullopt;
    }
    return Magick::Image(static_cast<std::size_t>(reduced->width), static_cast<std::size_t>(reduced->height),
        reduced->alpha ? "RGBA" : "RGB", Magick::CharPixel, reduced->pixels.data());
}

// Reads or pings the first frame of a picture of a known kind; nullopt on any failure.
std::optional<Loaded> loadBlob(
    const Magick::Blob& blob, Format format, const DecodeOptions& options, bool ping, std::string* failure)
{
    if (format == Format::Png) {
        if (auto copy = safePngCopy({ static_cast<const std::uint8_t*>(blob.data()), blob.length() })) {
            return loadBlob(Magick::Blob(copy->data(), copy->size()), format, options, ping, failure);
        }
    }
    MagickSession::ensureStarted();
    auto header = pingBlob(blob, format, failure);
    if (!header || ping) {
        return header;
    }
    const Size declared = header->source;
    const bool interlaced = format == Format::Png &&
        readPngHeader({ static_cast<const std::uint8_t*>(blob.data()), blob.length() })
            .value_or(PngHeader {})
            .interlaced;
    const DecodePlan plan =
        planDecode(format, declared, options.sizeHint, MagickSession::fullDecodeArea(), interlaced);
    if (!plan.refusal.empty()) {
        fail(failure, plan.refusal);
        return std::nullopt;
    }
    try {
        std::optional<Magick::Image> image;
        if (plan.method == DecodeMethod::PngReduced) {
            image = reducedPng(blob, plan.factor, failure);
            if (!image) {
                return std::nullopt;
            }
        } else {
            std::optional<Size> jpegHint = options.sizeHint;
            if (plan.method == DecodeMethod::JpegScaled) {
                jpegHint = Size { std::max(1, declared.width / plan.factor),
                    std::max(1, declared.height / plan.factor) };
            }
            const double dpi =
                plan.method == DecodeMethod::WmfDensity ? kMetafileDpi / plan.factor : kMetafileDpi;
            std::optional<QuietStderr> quiet;
            if (format == Format::Wmf) {
                quiet.emplace();
            }
            // ImageMagick checks the declared size against the resource limits before it takes any
            // pixel memory, so a decompression bomb is refused without a separate look at its header.
            image = makeReader(format, jpegHint, dpi);
            OperationDeadline deadline(*image, limits::kOperationTimeLimit);
            image->read(blob);
            if (deadline.expired()) {
                fail(failure, timeReason());
                return std::nullopt;
            }
        }
        if (!image->isValid() || !withinLimits(image->columns(), image->rows())) {
            fail(failure, kDamaged);
            return std::nullopt;
        }
        return Loaded { std::move(*image), declared };
    } catch (const Magick::Exception& e) {
        fail(failure, magickReason(e));
    } catch (const std::exception&) {
        // std::bad_alloc and the like: an undecodable picture.
        fail(failure, kDamaged);
    }
    return std::nullopt;
}

std::string fileSizeReason(std::uintmax_t bytes)
{
    return "file too large: " + std::to_string(bytes >> 20) + " MB, the limit is " +
        std::to_string(limits::kMaxFileBytes >> 20) + " MB";
}

const char* const kUnknownKind =
    "not a picture of a kind that can be read (JPEG, GIF, PNG, BMP, ICO, WMF or PCX)";

std::optional<Loaded> load(
    std::span<const std::uint8_t> bytes, const DecodeOptions& options, bool ping, std::string* failure)
{
    if (bytes.empty()) {
        fail(failure, "the file is empty");
        return std::nullopt;
    }
    if (bytes.size() > limits::kMaxFileBytes) {
        fail(failure, fileSizeReason(bytes.size()));
        return std::nullopt;
    }
    const auto format = sniffFormat(bytes);
    if (!format) {
        fail(failure, kUnknownKind);
        return std::nullopt;
    }
    try {
        return loadBlob(Magick::Blob(bytes.data(), bytes.size()), *format, options, ping, failure);
    } catch (const std::exception&) {
        fail(failure, kDamaged);
        return std::nullopt;
    }
}

// Reads a whole file straight into the blob ImageMagick decodes from: a large picture is neither
// zero-filled first nor copied a second time.
std::optional<Loaded> loadFile(
    const std::filesystem::path& path, const DecodeOptions& options, bool ping, std::string* failure)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        fail(failure, "the file cannot be read: " + error.message());
        return std::nullopt;
    }
    if (size == 0) {
        fail(failure, "the file is empty");
        return std::nullopt;
    }
    if (size > limits::kMaxFileBytes) {
        fail(failure, fileSizeReason(size));
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        fail(failure, "the file cannot be read: " + std::generic_category().message(errno));
        return std::nullopt;
    }
    void* data = std::malloc(static_cast<std::size_t>(size));
    const std::size_t got = data == nullptr ? 0 : std::fread(data, 1, static_cast<std::size_t>(size), file);
    std::fclose(file);
    if (got != size) {
        std::free(data);
        fail(failure, data == nullptr ? "not enough memory to read the file" : "the file cannot be read");
        return std::nullopt;
    }
    try {
        Magick::Blob blob;
        blob.updateNoCopy(data, got, Magick::Blob::MallocAllocator);
        const auto format = sniffFormat({ static_cast<const std::uint8_t*>(blob.data()), blob.length() });
        if (!format) {
            fail(failure, kUnknownKind);
            return std::nullopt;
        }
        return loadBlob(blob, *format, options, ping, failure);
    } catch (const std::exception&) {
        fail(failure, kDamaged);
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

std::optional<Picture> Picture::decode(
    std::span<const std::uint8_t> bytes, const DecodeOptions& options, std::string* failure)
{
    auto loaded = load(bytes, options, false, failure);
    if (!loaded) {
        return std::nullopt;
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(loaded->image), loaded->source }));
}

std::optional<Picture> Picture::decodeFile(
    const std::filesystem::path& path, const DecodeOptions& options, std::string* failure)
{
    auto loaded = loadFile(path, options, false, failure);
    if (!loaded) {
        return std::nullopt;
    }
    return Picture(std::make_unique<Impl>(Impl { std::move(loaded->image), loaded->source }));
}

std::optional<Size> Picture::probe(std::span<const std::uint8_t> bytes, std::string* failure)
{
    const auto loaded = load(bytes, {}, true, failure);
    if (!loaded) {
        return std::nullopt;
    }
    return loaded->source;
}

std::optional<Size> Picture::probeFile(const std::filesystem::path& path, std::string* failure)
{
    const auto loaded = loadFile(path, {}, true, failure);
    if (!loaded) {
        return std::nullopt;
    }
    return loaded->source;
}

Size Picture::size() const
{
    return { static_cast<int>(m_impl->image.columns()), static_cast<int>(m_impl->image.rows()) };
}

Size Picture::sourceSize() const
{
    return m_impl->source;
}

bool Picture::hasAlpha() const
{
    return m_impl->image.matte();
}

Picture Picture::scaled(Size target) const
{
    checkTarget(target, "scale picture");
    auto image = transform(m_impl->image, "scale picture", [&](Magick::Image& copy) {
        const std::size_t width = copy.columns();
        const std::size_t height = copy.rows();
        const auto twice = [](int side) { return 2 * static_cast<std::size_t>(side); };
        if (std::uint64_t { width } * height > limits::kMaxDirectResizeArea &&
            (width > twice(target.width) || height > twice(target.height))) {
            Magick::Geometry reduced(
                std::min(width, twice(target.width)), std::min(height, twice(target.height)));
            reduced.aspect(true);
            copy.scale(reduced);
        }
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
    return Picture(std::make_unique<Impl>(Impl { std::move(image), target }));
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
    return Picture(std::make_unique<Impl>(Impl { std::move(image), target }));
}

Picture Picture::flattened(Rgb background) const
{
    return Picture(std::make_unique<Impl>(Impl { opaqueRgb(m_impl->image, background), m_impl->source }));
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
    const auto failed = [&](int error) {
        return Error("cannot write " + path.string() + ": " + std::generic_category().message(error));
    };
    ScratchFile temporary(path.string() + ".part");
    std::FILE* out = std::fopen(temporary.path().c_str(), "wb");
    if (out == nullptr) {
        throw failed(errno);
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int writeError = errno;
    if (std::fclose(out) != 0 || !written) {
        throw failed(written ? errno : writeError);
    }
    std::error_code error;
    std::filesystem::rename(temporary.path(), path, error);
    if (error) {
        throw Error("cannot write " + path.string() + ": " + error.message());
    }
    temporary.release();
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
