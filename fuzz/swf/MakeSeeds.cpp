// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the writer's fuzzers (binary files, so made at build time):
// MakeSeeds <fdb folder> <bitmap folder>.
#include "swf/ByteWriter.h"
#include "swf/FdbFontData.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void save(const std::filesystem::path& path, const Bytes& data)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

Bytes boxGlyph(int32_t x1, int32_t y0)
{
    swf::ByteWriter w;
    w.ubits(1, 4);
    w.ubits(0, 4);
    w.ubits(0, 1);
    w.ubits(0x03, 5);
    w.ubits(12, 5);
    w.sbits(0, 12);
    w.sbits(y0, 12);
    w.ubits(1, 1);
    w.ubits(1, 1);
    w.ubits(1, 1);
    w.ubits(10, 4);
    w.ubits(0, 1);
    w.ubits(0, 1);
    w.sbits(x1, 12);
    w.ubits(1, 1);
    w.ubits(0, 1);
    w.ubits(10, 4);
    w.sbits(10, 12);
    w.sbits(-y0, 12);
    w.sbits(-10, 12);
    w.sbits(0, 12);
    w.ubits(0, 6);
    return w.take();
}

swf::FdbFontData font(const std::u32string& codes, uint8_t flags)
{
    swf::FdbFontData f;
    f.flags = flags;
    f.name = "Seed";
    f.ascent = 900;
    f.descent = 200;
    for (char32_t c : codes) {
        f.glyphs.push_back({ static_cast<uint16_t>(c), boxGlyph(600, -700), 600, { 0, 600, -700, 0 } });
    }
    if (codes.size() >= 2) {
        f.kerning.push_back({ static_cast<uint16_t>(codes[0]), static_cast<uint16_t>(codes[1]), -40 });
    }
    return f;
}

Bytes dbl(char kind, uint8_t type, uint8_t format)
{
    Bytes raw(format == 3 ? 4 * 3 + 4 * 2 : 4 * 2 * 4, 0x5a);
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(length);
    compress(packed.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(length);
    Bytes body { format, 4, 0, 2, 0 };
    if (format == 3) {
        body.push_back(3);
    }
    body.insert(body.end(), packed.begin(), packed.end());
    Bytes out { 'D', 'B', static_cast<uint8_t>(kind), type };
    if (kind == 'l') {
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(static_cast<uint8_t>(body.size() >> 8));
    out.push_back(static_cast<uint8_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes jpeg(uint8_t frameMarker)
{
    auto segment = [](uint8_t marker, Bytes payload) {
        Bytes out { 0xff, marker, static_cast<uint8_t>((payload.size() + 2) >> 8),
            static_cast<uint8_t>(payload.size() + 2) };
        out.insert(out.end(), payload.begin(), payload.end());
        return out;
    };
    Bytes out { 0xff, 0xd8 };
    for (const Bytes& s : { segment(0xe0, { 'J', 'F', 'I', 'F', 0 }), segment(0xdb, Bytes(65, 1)),
             segment(frameMarker, { 8, 0, 2, 0, 3, 1, 1, 0x11, 0 }), segment(0xc4, Bytes(18, 0)),
             segment(0xda, { 1, 1, 0, 0, 63, 0 }) }) {
        out.insert(out.end(), s.begin(), s.end());
    }
    for (uint8_t b : { 0x12, 0xff, 0x00, 0x34, 0xff, 0xd9 }) {
        out.push_back(b);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: MakeSeeds <fdb folder> <bitmap folder>\n");
        return 2;
    }
    const std::filesystem::path fdb(argv[1]);
    const std::filesystem::path bitmaps(argv[2]);
    std::filesystem::create_directories(fdb);
    std::filesystem::create_directories(bitmaps);
    using F = swf::FdbFontData;
    save(fdb / "latin.fdb", swf::writeFdb(font(U" ABCabc", F::kHasLayout | F::kWideCodes)));
    save(fdb / "narrow-codes.fdb", swf::writeFdb(font(U"AV", F::kHasLayout)));
    save(fdb / "no-layout.fdb", swf::writeFdb(font(U"x", 0)));
    save(fdb / "wide.fdb",
        swf::writeFdb(font(U"a\u00e9\u20ac\u4e2d", F::kHasLayout | F::kWideCodes | F::kBold)));
    save(fdb / "empty.fdb", swf::writeFdb(font(U"", F::kHasLayout)));
    save(bitmaps / "baseline.jpg", jpeg(0xc0));
    save(bitmaps / "progressive.jpg", jpeg(0xc2));
    save(bitmaps / "argb.dbl", dbl('l', 2, 5));
    save(bitmaps / "palette.dbl", dbl('L', 1, 3));
    return 0;
}
