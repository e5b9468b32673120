// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PngReduction.h"

#include "imaging/Limits.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>

namespace imaging {

namespace {

constexpr std::size_t kSignatureBytes = 8;
constexpr std::size_t kHeaderEnd = kSignatureBytes + 8 + 13;
// Ancillary chunks are skipped unread, but a damaged length may still ask for a large allocation.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
// How often the deadline is looked at, in rows.
constexpr std::uint32_t kRowsPerDeadlineCheck = 64;
constexpr int kChannels = 4; // the result, and the rows of a picture with transparency
constexpr int kOpaqueChannels = 3; // the rows of a picture without

std::uint32_t bigEndian32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return (std::uint32_t { bytes[at] } << 24) | (std::uint32_t { bytes[at + 1] } << 16) |
        (std::uint32_t { bytes[at + 2] } << 8) | bytes[at + 3];
}

// Sums over the source pixels of one reduced pixel: of the colour weighted by alpha when the
// picture has transparency, else of the colour itself (alpha unused).
struct Cell {
    std::uint32_t red;
    std::uint32_t green;
    std::uint32_t blue;
    std::uint32_t alpha;
    std::uint32_t count;
};

// Everything the decoding touches after setjmp lives here, on the heap: a longjmp back from libpng
// leaves local variables of the function that called setjmp indeterminate, not this object.
struct Decoding {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    char error[160] = {};
    PngHeader header;
    int factor = 1;
    std::chrono::steady_clock::time_point deadline;
    std::uint32_t outWidth = 0;
    std::uint32_t outHeight = 0;
    std::vector<std::uint8_t> row;
    std::vector<Cell> cells; // one band of reduced rows, or all of them for an interlaced file
    std::vector<std::uint8_t> pixels; // RGBA result
    std::uint32_t rowsRead = 0;
    bool timedOut = false;
    bool alpha = false;
};

void readData(png_structp png, png_bytep out, png_size_t length)
{
    auto* decoding = static_cast<Decoding*>(png_get_io_ptr(png));
    if (length > decoding->bytes.size() - decoding->position) {
        png_error(png, "the file ends early");
    }
    std::memcpy(out, decoding->bytes.data() + decoding->position, length);
    decoding->position += length;
}

void onError(png_structp png, png_const_charp message)
{
    auto* decoding = static_cast<Decoding*>(png_get_error_ptr(png));
    std::snprintf(decoding->error, sizeof decoding->error, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp)
{
}

void accumulate(Cell& cell, const std::uint8_t* pixel, bool alpha)
{
    if (alpha) {
        const std::uint32_t weight = pixel[3];
        cell.red += pixel[0] * weight;
        cell.green += pixel[1] * weight;
        cell.blue += pixel[2] * weight;
        cell.alpha += weight;
    } else {
        cell.red += pixel[0];
        cell.green += pixel[1];
        cell.blue += pixel[2];
    }
    ++cell.count;
}

// Adds one whole row to a band of cells, factor pixels a cell: each cell's share of the row is
// summed on its own first, so that a cell is written once a row rather than once a pixel.
void accumulateRow(
    Cell* cells, const std::uint8_t* row, std::uint32_t width, std::uint32_t factor, bool alpha)
{
    for (std::uint32_t x = 0; x < width; x += factor, ++cells) {
        const std::uint32_t n = std::min(factor, width - x);
        std::uint32_t red = 0;
        std::uint32_t green = 0;
        std::uint32_t blue = 0;
        if (alpha) {
            std::uint32_t weight = 0;
            for (std::uint32_t k = 0; k < n; ++k, row += kChannels) {
                const std::uint32_t a = row[3];
                red += row[0] * a;
                green += row[1] * a;
                blue += row[2] * a;
                weight += a;
            }
            cells->alpha += weight;
        } else {
            for (std::uint32_t k = 0; k < n; ++k, row += kOpaqueChannels) {
                red += row[0];
                green += row[1];
                blue += row[2];
            }
        }
        cells->red += red;
        cells->green += green;
        cells->blue += blue;
        cells->count += n;
    }
}

// Writes reduced row outY from the cells of one reduced row.
void emitRow(Decoding& d, const Cell* cells, std::uint32_t outY)
{
    std::uint8_t* out = d.pixels.data() + std::size_t { outY } * d.outWidth * kChannels;
    for (std::uint32_t x = 0; x < d.outWidth; ++x, out += kChannels) {
        const Cell& cell = cells[x];
        if (cell.count == 0) {
            continue;
        }
        const std::uint32_t divisor = d.alpha ? cell.alpha : cell.count;
        if (divisor != 0) {
            out[0] = static_cast<std::uint8_t>((cell.red + divisor / 2) / divisor);
            out[1] = static_cast<std::uint8_t>((cell.green + divisor / 2) / divisor);
            out[2] = static_cast<std::uint8_t>((cell.blue + divisor / 2) / divisor);
        }
        out[3] = d.alpha ? static_cast<std::uint8_t>((cell.alpha + cell.count / 2) / cell.count) : 0xFF;
    }
}

bool pastDeadline(Decoding& d)
{
    if (d.rowsRead % kRowsPerDeadlineCheck == 0 && std::chrono::steady_clock::now() > d.deadline) {
        d.timedOut = true;
    }
    return d.timedOut;
}

// The rows in file order; a libpng error longjmps out of here, so nothing here owns memory.
void readRows(png_structp png, Decoding& d)
{
    const auto factor = static_cast<std::uint32_t>(d.factor);
    if (!d.header.interlaced) {
        for (std::uint32_t y = 0; y < d.header.height; ++y) {
            if (pastDeadline(d)) {
                return;
            }
            png_read_row(png, d.row.data(), nullptr);
            ++d.rowsRead;
            accumulateRow(d.cells.data(), d.row.data(), d.header.width, factor, d.alpha);
            if ((y + 1) % factor == 0 || y + 1 == d.header.height) {
                emitRow(d, d.cells.data(), y / factor);
                std::fill(d.cells.begin(), d.cells.end(), Cell {});
            }
        }
        return;
    }
    // Without libpng's interlace handling each of the seven passes comes as a small picture of its
    // own; every pixel is added to the cell of its place in the whole picture.
    for (int pass = 0; pass < 7; ++pass) {
        const std::uint32_t columns = PNG_PASS_COLS(d.header.width, pass);
        const std::uint32_t rows = PNG_PASS_ROWS(d.header.height, pass);
        if (columns == 0 || rows == 0) {
            continue;
        }
        for (std::uint32_t r = 0; r < rows; ++r) {
            if (pastDeadline(d)) {
                return;
            }
            png_read_row(png, d.row.data(), nullptr);
            ++d.rowsRead;
            const std::uint32_t y = PNG_ROW_FROM_PASS_ROW(r, pass);
            Cell* band = d.cells.data() + std::size_t { y / factor } * d.outWidth;
            const int channels = d.alpha ? kChannels : kOpaqueChannels;
            for (std::uint32_t c = 0; c < columns; ++c) {
                const std::uint32_t x = PNG_COL_FROM_PASS_COL(c, pass);
                accumulate(band[x / factor], d.row.data() + std::size_t { c } * channels, d.alpha);
            }
        }
    }
}

void finishInterlaced(Decoding& d)
{
    for (std::uint32_t y = 0; y < d.outHeight; ++y) {
        emitRow(d, d.cells.data() + std::size_t { y } * d.outWidth, y);
    }
}

struct PngStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngStructs() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// Runs libpng over the file; false when the file's header could not be read. After a later error
// the rows read so far stand, and d.error says what went wrong.
bool run(PngStructs& structs, Decoding& d)
{
    png_structp png = structs.png;
    png_infop info = structs.info;
    if (setjmp(png_jmpbuf(png)) != 0) {
        return d.rowsRead > 0;
    }
    png_set_read_fn(png, &d, readData);
    png_set_user_limits(
        png, static_cast<png_uint_32>(limits::kMaxSide), static_cast<png_uint_32>(limits::kMaxSide));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    // Every ancillary chunk but transparency goes unread: text (which may inflate to gigabytes),
    // colour profiles and the rest play no part in the pixels ImageMagick would give.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != d.header.width ||
        png_get_image_height(png, info) != d.header.height) {
        png_error(png, "the header changed");
    }
    const int colourType = png_get_color_type(png, info);
    d.alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    const int channels = d.alpha ? kChannels : kOpaqueChannels;
    if (png_get_rowbytes(png, info) != std::size_t { d.header.width } * static_cast<std::size_t>(channels)) {
        png_error(png, "unexpected row layout");
    }
    readRows(png, d);
    return true;
}

} // namespace

std::optional<PngHeader> readPngHeader(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kSignature[kSignatureBytes] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A,
        0x0A };
    if (bytes.size() < kHeaderEnd || !std::equal(kSignature, kSignature + kSignatureBytes, bytes.begin()) ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    PngHeader header;
    header.width = bigEndian32(bytes, 16);
    header.height = bigEndian32(bytes, 20);
    header.interlaced = bytes[28] == 1;
    return header;
}

std::optional<ReducedPng> decodeReducedPng(std::span<const std::uint8_t> bytes, int factor,
    std::chrono::steady_clock::time_point deadline, std::string& failure)
{
    const auto header = readPngHeader(bytes);
    if (!header || header->width == 0 || header->height == 0 || header->width > limits::kMaxSide ||
        header->height > limits::kMaxSide || factor < 1 || factor > kMaxPngReductionFactor) {
        failure = "the picture is damaged or cannot be decoded";
        return std::nullopt;
    }
    auto d = std::make_unique<Decoding>();
    d->bytes = bytes;
    d->header = *header;
    d->factor = factor;
    d->deadline = deadline;
    const auto f = static_cast<std::uint32_t>(factor);
    d->outWidth = (header->width + f - 1) / f;
    d->outHeight = (header->height + f - 1) / f;
    d->row.resize(std::size_t { header->width } * kChannels);
    d->cells.resize(std::size_t { d->outWidth } * (header->interlaced ? d->outHeight : 1));
    d->pixels.assign(std::size_t { d->outWidth } * d->outHeight * kChannels, 0);

    PngStructs structs;
    structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, d.get(), onError, onWarning);
    if (structs.png == nullptr) {
        failure = "not enough memory to decode the picture";
        return std::nullopt;
    }
    structs.info = png_create_info_struct(structs.png);
    if (structs.info == nullptr || !run(structs, *d)) {
        failure = "the picture is damaged or cannot be decoded";
        return std::nullopt;
    }
    if (d->timedOut) {
        failure =
            "decoding took longer than " + std::to_string(limits::kOperationTimeLimit.count()) + " seconds";
        return std::nullopt;
    }
    if (header->interlaced) {
        finishInterlaced(*d);
    } else if (d->error[0] != '\0' && d->rowsRead % f != 0) {
        // The band the error cut short.
        emitRow(*d, d->cells.data(), (d->rowsRead - 1) / f);
    }

    ReducedPng result;
    result.width = static_cast<int>(d->outWidth);
    result.height = static_cast<int>(d->outHeight);
    result.alpha = d->alpha;
    if (result.alpha) {
        result.pixels = std::move(d->pixels);
    } else {
        result.pixels.resize(std::size_t { d->outWidth } * d->outHeight * 3);
        for (std::size_t i = 0, o = 0; o < result.pixels.size(); i += kChannels, o += 3) {
            std::memcpy(result.pixels.data() + o, d->pixels.data() + i, 3);
        }
    }
    return result;
}

} // namespace imaging
