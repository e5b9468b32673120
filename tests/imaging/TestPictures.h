// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures made at test time (with ImageMagick's command, WMF written here) and JPEG inspection,
// shared by the imaging and picture preparation tests.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace testpictures {

// Debian's ImageMagick command, by full path: another program named convert may come first in PATH.
inline const char* const kConvert = "/usr/bin/convert";

inline bool haveConvert()
{
    return std::filesystem::exists(kConvert);
}

// Runs the command with these arguments (already quoted as needed); throws when it fails.
inline void convert(const std::string& arguments)
{
    const std::string command = std::string(kConvert) + " " + arguments + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("convert failed: " + arguments);
    }
}

// A fresh folder, removed with everything in it at the end of the scope.
class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<int> counter { 0 };
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
            ("marrowlark-pictures-" + std::to_string(::getpid()) + "-" + std::to_string(stamp) + "-" +
                std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The frame header of a JPEG: its marker (0xC0 baseline, 0xC2 progressive, ...), size and
// component count; marker 0 when the file has none before its scan. Also counts metadata segments.
struct JpegFrame {
    int marker = 0;
    int width = 0;
    int height = 0;
    int components = 0;
    int metadataSegments = 0; // APP1 to APP15 and COM
};

inline JpegFrame inspectJpeg(const std::vector<std::uint8_t>& data)
{
    JpegFrame frame;
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return frame;
    }
    std::size_t pos = 2;
    while (pos + 4 <= data.size() && data[pos] == 0xFF) {
        const int marker = data[pos + 1];
        const std::size_t length = (std::size_t { data[pos + 2] } << 8) | data[pos + 3];
        if (marker == 0xDA) {
            break;
        }
        if ((marker >= 0xE1 && marker <= 0xEF) || marker == 0xFE) {
            ++frame.metadataSegments;
        }
        const bool isFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame && pos + 10 <= data.size()) {
            frame.marker = marker;
            frame.height = (data[pos + 5] << 8) | data[pos + 6];
            frame.width = (data[pos + 7] << 8) | data[pos + 8];
            frame.components = data[pos + 9];
        }
        pos += 2 + length;
    }
    return frame;
}

// A placeable Windows metafile of width x height twips at 1440 twips an inch (so 96 dpi gives
// width/15 x height/15 pixels): white, the left half filled with the colour, black text on the right.
// Other units an inch give other sizes: at 96, width x height pixels.
inline std::vector<std::uint8_t> makeWmf(
    int widthTwips, int heightTwips, std::uint32_t colourRef, std::uint16_t unitsPerInch = 1440)
{
    std::vector<std::uint16_t> words;
    const auto u32 = [&](std::uint32_t v) {
        words.push_back(static_cast<std::uint16_t>(v & 0xFFFF));
        words.push_back(static_cast<std::uint16_t>(v >> 16));
    };
    const auto record = [&](std::uint16_t function, const std::vector<std::uint16_t>& parameters) {
        u32(static_cast<std::uint32_t>(3 + parameters.size()));
        words.push_back(function);
        words.insert(words.end(), parameters.begin(), parameters.end());
    };
    const auto w = static_cast<std::uint16_t>(widthTwips);
    const auto h = static_cast<std::uint16_t>(heightTwips);
    const std::uint16_t colourLow = colourRef & 0xFFFF;
    const std::uint16_t colourHigh = colourRef >> 16;

    std::vector<std::uint16_t> body;
    std::swap(words, body);
    record(0x020B, { 0, 0 }); // SETWINDOWORG y, x
    record(0x020C, { h, w }); // SETWINDOWEXT height, width
    // The picture's frame is the extent of what is drawn, so a white page covers all of it first.
    record(0x02FC, { 0, 0xFFFF, 0x00FF, 0 }); // CREATEBRUSHINDIRECT solid white: object 0
    record(0x012D, { 0 }); // SELECTOBJECT
    record(0x041B, { h, w, 0, 0 }); // RECTANGLE bottom, right, top, left
    record(0x02FC, { 0, colourLow, colourHigh, 0 }); // the colour: object 1
    record(0x012D, { 1 });
    record(0x041B, { h, static_cast<std::uint16_t>(w / 2), 0, 0 });
    // CREATEFONTINDIRECT: height, width, escapement, orientation, weight, then 8 flag bytes, face name.
    std::vector<std::uint16_t> font { static_cast<std::uint16_t>(h / 4), 0, 0, 0, 400, 0, 0, 0, 0 };
    const char face[16] = "Arial";
    for (int i = 0; i < 16; i += 2) {
        font.push_back(static_cast<std::uint16_t>(
            static_cast<std::uint8_t>(face[i]) | (static_cast<std::uint8_t>(face[i + 1]) << 8)));
    }
    record(0x02FB, font);
    record(0x012D, { 2 }); // SELECTOBJECT font: object 2
    record(0x0209, { 0x0000, 0x0000 }); // SETTEXTCOLOR black
    record(0x0102, { 1 }); // SETBKMODE transparent
    const std::string text = "Hello";
    std::vector<std::uint16_t> textOut { static_cast<std::uint16_t>(text.size()) };
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::uint8_t second = i + 1 < text.size() ? static_cast<std::uint8_t>(text[i + 1]) : 0;
        textOut.push_back(static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[i]) | (second << 8)));
    }
    textOut.push_back(static_cast<std::uint16_t>(h / 2)); // y
    textOut.push_back(static_cast<std::uint16_t>(w / 2)); // x
    record(0x0521, textOut);
    record(0x0000, {}); // EOF
    std::swap(words, body);

    std::uint32_t maxRecord = 0;
    for (std::size_t i = 0; i < body.size();) {
        const std::uint32_t size = body[i] | (std::uint32_t { body[i + 1] } << 16);
        maxRecord = std::max(maxRecord, size);
        i += size;
    }
    // Placeable header: key, handle, bounding box, twips an inch, reserved, checksum of the first 10 words.
    std::vector<std::uint16_t> header { 0xCDD7, 0x9AC6, 0, 0, 0, w, h, unitsPerInch, 0, 0 };
    std::uint16_t checksum = 0;
    for (std::uint16_t word : header) {
        checksum ^= word;
    }
    header.push_back(checksum);
    words = header;
    words.push_back(1); // memory metafile
    words.push_back(9); // header words
    words.push_back(0x0300); // version
    u32(static_cast<std::uint32_t>(9 + body.size()));
    words.push_back(3); // objects
    u32(maxRecord);
    words.push_back(0);
    words.insert(words.end(), body.begin(), body.end());

    std::vector<std::uint8_t> bytes;
    for (std::uint16_t word : words) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

// A baseline greyscale JPEG of any size, mid-grey, written directly: every 8x8 block is "no change,
// end of block", with one-symbol Huffman tables, so even a 12000 x 9000 picture is a few hundred KB
// and needs no memory to make.
inline std::vector<std::uint8_t> makeFlatJpeg(int width, int height)
{
    std::vector<std::uint8_t> out { 0xFF, 0xD8 };
    const auto segment = [&](std::uint8_t marker, const std::vector<std::uint8_t>& body) {
        out.push_back(0xFF);
        out.push_back(marker);
        out.push_back(static_cast<std::uint8_t>((body.size() + 2) >> 8));
        out.push_back(static_cast<std::uint8_t>((body.size() + 2) & 0xFF));
        out.insert(out.end(), body.begin(), body.end());
    };
    std::vector<std::uint8_t> quant { 0x00 };
    quant.resize(65, 1);
    segment(0xDB, quant);
    segment(0xC0,
        { 8, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height & 0xFF),
            static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width & 0xFF), 1, 1, 0x11, 0 });
    // One code of one bit ("0") in each table: DC difference category 0, and AC end of block.
    std::vector<std::uint8_t> dc { 0x00, 1 };
    dc.resize(1 + 16, 0);
    dc.push_back(0x00);
    segment(0xC4, dc);
    std::vector<std::uint8_t> ac { 0x10, 1 };
    ac.resize(1 + 16, 0);
    ac.push_back(0x00);
    segment(0xC4, ac);
    segment(0xDA, { 1, 1, 0x00, 0, 63, 0 });
    const std::size_t blocks = std::size_t((width + 7) / 8) * std::size_t((height + 7) / 8);
    out.resize(out.size() + (blocks * 2 + 7) / 8, 0x00);
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

// A monochrome PCX of one plane, run-length encoded: a few bytes a row however wide.
inline std::vector<std::uint8_t> makeMonochromePcx(int width, int height)
{
    std::vector<std::uint8_t> pcx(128, 0);
    const auto put16 = [&](std::size_t at, int value) {
        pcx[at] = static_cast<std::uint8_t>(value & 0xFF);
        pcx[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    pcx[0] = 10; // manufacturer
    pcx[1] = 5; // version
    pcx[2] = 1; // run-length encoding
    pcx[3] = 1; // bits a pixel
    put16(8, width - 1);
    put16(10, height - 1);
    put16(12, 96);
    put16(14, 96);
    pcx[16 + 3] = pcx[16 + 4] = pcx[16 + 5] = 0xFF; // palette: black, then white
    pcx[65] = 1; // planes
    const int bytesPerLine = ((width + 15) / 16) * 2;
    put16(66, bytesPerLine);
    put16(68, 1);
    for (int y = 0; y < height; ++y) {
        for (int left = bytesPerLine; left > 0;) {
            const int run = std::min(left, 63);
            pcx.push_back(static_cast<std::uint8_t>(0xC0 | run));
            pcx.push_back(0xFF);
            left -= run;
        }
    }
    return pcx;
}

// An 8-bit BMP of one colour, run-length encoded (RLE8): about 34 bytes a row of 4000 pixels.
inline std::vector<std::uint8_t> makeFlatBmp(int width, int height)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int left = width; left > 0;) {
            const int run = std::min(left, 255);
            pixels.push_back(static_cast<std::uint8_t>(run));
            pixels.push_back(1); // palette entry 1
            left -= run;
        }
        pixels.push_back(0);
        pixels.push_back(0); // end of line
    }
    pixels.push_back(0);
    pixels.push_back(1); // end of bitmap
    constexpr std::uint32_t kHeaders = 14 + 40 + 2 * 4;
    std::vector<std::uint8_t> bmp;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bmp.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    bmp.push_back('B');
    bmp.push_back('M');
    put(kHeaders + static_cast<std::uint32_t>(pixels.size()), 4);
    put(0, 4);
    put(kHeaders, 4);
    put(40, 4); // BITMAPINFOHEADER
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(8, 2);
    put(1, 4); // BI_RLE8
    put(static_cast<std::uint32_t>(pixels.size()), 4);
    put(3780, 4);
    put(3780, 4);
    put(2, 4); // colours used
    put(0, 4);
    put(0x00000000, 4); // black
    put(0x000000FF, 4); // red
    bmp.insert(bmp.end(), pixels.begin(), pixels.end());
    return bmp;
}

// An icon whose one image is a PNG, as icons larger than 256 pixels are stored.
inline std::vector<std::uint8_t> makePngIcon(const std::vector<std::uint8_t>& png)
{
    std::vector<std::uint8_t> ico { 0, 0, 1, 0, 1, 0 };
    const auto size = static_cast<std::uint32_t>(png.size());
    const std::uint8_t entry[16] = { 0, 0, 0, 0, 1, 0, 32, 0, static_cast<std::uint8_t>(size),
        static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size >> 16),
        static_cast<std::uint8_t>(size >> 24), 22, 0, 0, 0 };
    ico.insert(ico.end(), std::begin(entry), std::end(entry));
    ico.insert(ico.end(), png.begin(), png.end());
    return ico;
}

} // namespace testpictures
