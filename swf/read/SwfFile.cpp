// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/SwfFile.h"

#include "swf/ByteReader.h"
#include "swf/read/Records.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace swf {

namespace {

constexpr size_t kHeaderPrefix = 8; // signature, version, file length

std::vector<uint8_t> inflateBody(std::span<const uint8_t> in, size_t expected)
{
    // The stored length is only a hint: grow as needed up to the cap, so that a small file
    // claiming a huge length cannot make us reserve it up front.
    std::vector<uint8_t> out;
    out.resize(std::min<size_t>(std::max<size_t>(expected, 4096), 1024 * 1024));
    z_stream zs {};
    if (inflateInit(&zs) != Z_OK) {
        throw ParseError("movie: cannot initialise zlib");
    }
    zs.next_in = const_cast<Bytef*>(in.data());
    zs.avail_in = static_cast<uInt>(std::min<size_t>(in.size(), UINT32_MAX));
    size_t produced = 0;
    int rc = Z_OK;
    while (true) {
        if (produced == out.size()) {
            if (out.size() >= kMaxMovieSize) {
                inflateEnd(&zs);
                throw ParseError("movie: compressed body inflates past the size limit");
            }
            out.resize(std::min(out.size() * 2, kMaxMovieSize));
        }
        zs.next_out = out.data() + produced;
        zs.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&zs, Z_NO_FLUSH);
        produced = out.size() - zs.avail_out;
        if (rc == Z_STREAM_END) {
            break;
        }
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) {
            break; // truncated stream: keep what we have, the tag reader checks the lengths
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            inflateEnd(&zs);
            throw ParseError("movie: damaged compressed body");
        }
    }
    inflateEnd(&zs);
    out.resize(produced);
    return out;
}

} // namespace

std::vector<uint8_t> uncompressedMovie(std::span<const uint8_t> file)
{
    if (file.size() < kHeaderPrefix) {
        throw ParseError("movie: too short for a Flash header");
    }
    const bool plain = file[0] == 'F' && file[1] == 'W' && file[2] == 'S';
    const bool zipped = file[0] == 'C' && file[1] == 'W' && file[2] == 'S';
    if (!plain && !zipped) {
        throw ParseError("movie: not a Flash file (signature is neither FWS nor CWS)");
    }
    std::vector<uint8_t> out;
    if (plain) {
        if (file.size() > kMaxMovieSize) {
            throw ParseError("movie: file larger than the size limit");
        }
        out.assign(file.begin(), file.end());
    } else {
        ByteReader r(file.subspan(4, 4), "movie header");
        const uint32_t length = r.u32();
        const size_t expected = length > kHeaderPrefix ? length - kHeaderPrefix : 0;
        const auto body = inflateBody(file.subspan(kHeaderPrefix), expected);
        // One allocation for header and body (growing a header-sized vector trips GCC's
        // array-bounds analysis at -O2).
        out.resize(kHeaderPrefix + body.size());
        std::copy(file.begin(), file.begin() + kHeaderPrefix, out.begin());
        std::copy(body.begin(), body.end(), out.begin() + kHeaderPrefix);
    }
    out[0] = 'F';
    return out;
}

std::vector<TagView> readTagStream(std::span<const uint8_t> data, const std::string& what)
{
    std::vector<TagView> tags;
    ByteReader r(data, what);
    while (!r.atEnd()) {
        TagView tag;
        tag.offset = r.pos();
        if (r.remaining() < 2) {
            r.fail("truncated tag header");
        }
        const uint16_t head = r.u16();
        tag.code = static_cast<uint16_t>(head >> 6);
        uint32_t length = head & 0x3fU;
        if (length == 0x3f) {
            length = r.u32();
        }
        if (length > r.remaining()) {
            throw ParseError(what + ": tag " + tagName(tag.code) + " (" + std::to_string(tag.code) +
                ") at offset " + std::to_string(tag.offset) + " claims " + std::to_string(length) +
                " bytes, only " + std::to_string(r.remaining()) + " remain");
        }
        tag.bodyOffset = r.pos();
        tag.body = r.bytes(length);
        if (tag.code == static_cast<uint16_t>(TagCode::End)) {
            break;
        }
        tags.push_back(tag);
    }
    return tags;
}

SwfFile readSwf(std::span<const uint8_t> file)
{
    const auto movie = uncompressedMovie(file);
    SwfFile out;
    out.header.compressed = file[0] == 'C';
    out.header.version = movie[3];
    ByteReader r(movie, "movie header");
    r.skip(4);
    out.header.fileLength = r.u32();
    out.header.frame = rec::readBounds(r);
    out.header.rate = r.u16();
    out.header.frameCount = r.u16();
    const auto tags = readTagStream(std::span<const uint8_t>(movie).subspan(r.pos()), "movie");
    out.tags.reserve(tags.size());
    for (const auto& t : tags) {
        out.tags.emplace_back(t.code, std::vector<uint8_t>(t.body.begin(), t.body.end()));
    }
    return out;
}

const char* tagName(uint16_t code)
{
    switch (static_cast<TagCode>(code)) {
#define MLK_TAG(name)                                                                                        \
    case TagCode::name:                                                                                      \
        return #name;
        MLK_TAG(End)
        MLK_TAG(ShowFrame)
        MLK_TAG(DefineShape)
        MLK_TAG(PlaceObject)
        MLK_TAG(RemoveObject)
        MLK_TAG(DefineBits)
        MLK_TAG(DefineButton)
        MLK_TAG(JPEGTables)
        MLK_TAG(SetBackgroundColor)
        MLK_TAG(DefineFont)
        MLK_TAG(DefineText)
        MLK_TAG(DoAction)
        MLK_TAG(DefineFontInfo)
        MLK_TAG(DefineSound)
        MLK_TAG(StartSound)
        MLK_TAG(DefineButtonSound)
        MLK_TAG(SoundStreamHead)
        MLK_TAG(SoundStreamBlock)
        MLK_TAG(DefineBitsLossless)
        MLK_TAG(DefineBitsJPEG2)
        MLK_TAG(DefineShape2)
        MLK_TAG(DefineButtonCxform)
        MLK_TAG(Protect)
        MLK_TAG(PlaceObject2)
        MLK_TAG(RemoveObject2)
        MLK_TAG(DefineShape3)
        MLK_TAG(DefineText2)
        MLK_TAG(DefineButton2)
        MLK_TAG(DefineBitsJPEG3)
        MLK_TAG(DefineBitsLossless2)
        MLK_TAG(DefineEditText)
        MLK_TAG(DefineSprite)
        MLK_TAG(NameCharacter)
        MLK_TAG(ProductInfo)
        MLK_TAG(FrameLabel)
        MLK_TAG(SoundStreamHead2)
        MLK_TAG(DefineMorphShape)
        MLK_TAG(DefineFont2)
        MLK_TAG(ExportAssets)
        MLK_TAG(ImportAssets)
        MLK_TAG(EnableDebugger)
        MLK_TAG(DoInitAction)
        MLK_TAG(DefineVideoStream)
        MLK_TAG(VideoFrame)
        MLK_TAG(DefineFontInfo2)
        MLK_TAG(DebugID)
        MLK_TAG(EnableDebugger2)
        MLK_TAG(ScriptLimits)
        MLK_TAG(SetTabIndex)
        MLK_TAG(FileAttributes)
        MLK_TAG(PlaceObject3)
        MLK_TAG(ImportAssets2)
        MLK_TAG(DefineFontAlignZones)
        MLK_TAG(CSMTextSettings)
        MLK_TAG(DefineFont3)
        MLK_TAG(SymbolClass)
        MLK_TAG(Metadata)
        MLK_TAG(DefineScalingGrid)
        MLK_TAG(DoABC)
        MLK_TAG(DefineShape4)
        MLK_TAG(DefineMorphShape2)
        MLK_TAG(DefineSceneAndFrameLabelData)
        MLK_TAG(DefineBinaryData)
        MLK_TAG(DefineFontName)
        MLK_TAG(StartSound2)
        MLK_TAG(DefineBitsJPEG4)
        MLK_TAG(DefineFont4)
        MLK_TAG(EnableTelemetry)
#undef MLK_TAG
    }
    if (code == 72) {
        return "DoABCDefine";
    }
    return "Unknown";
}

std::vector<uint8_t> readFileBytes(const std::string& path, size_t maxSize)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw Error("cannot open " + path);
    }
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0) {
        throw Error("cannot read " + path);
    }
    if (static_cast<unsigned long long>(size) > maxSize) {
        throw ParseError(path + ": file larger than the size limit");
    }
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        throw Error("cannot read " + path);
    }
    return bytes;
}

} // namespace swf
