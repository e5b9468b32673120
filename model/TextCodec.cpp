// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TextCodec.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

char32_t Cp1252ToCodePoint(uint8_t b)
{
    if (b >= 0x80 && b < 0xA0) {
        return kHighControls[b - 0x80];
    }
    return b;
}

std::optional<uint8_t> CodePointToCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<uint8_t>(cp);
    }
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) {
            return static_cast<uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

// Decodes one code point at pos and advances. Surrogate code points encoded in three bytes are
// accepted (they carry unpaired UTF-16 units); any other malformed byte decodes as a
// Windows-1252 character.
char32_t DecodeUtf8(std::string_view s, size_t& pos)
{
    const auto b0 = static_cast<uint8_t>(s[pos]);
    const auto cont = [&](size_t k) {
        return pos + k < s.size() && (static_cast<uint8_t>(s[pos + k]) & 0xC0) == 0x80;
    };
    const auto at = [&](size_t k) { return static_cast<char32_t>(static_cast<uint8_t>(s[pos + k]) & 0x3F); };
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    if (b0 >= 0xC2 && b0 < 0xE0 && cont(1)) {
        const char32_t cp = (static_cast<char32_t>(b0 & 0x1F) << 6) | at(1);
        pos += 2;
        return cp;
    }
    if (b0 >= 0xE0 && b0 < 0xF0 && cont(1) && cont(2)) {
        const char32_t cp = (static_cast<char32_t>(b0 & 0x0F) << 12) | (at(1) << 6) | at(2);
        if (cp >= 0x800) {
            pos += 3;
            return cp;
        }
    }
    if (b0 >= 0xF0 && b0 < 0xF5 && cont(1) && cont(2) && cont(3)) {
        const char32_t cp = (static_cast<char32_t>(b0 & 0x07) << 18) | (at(1) << 12) | (at(2) << 6) | at(3);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            pos += 4;
            return cp;
        }
    }
    ++pos;
    return Cp1252ToCodePoint(b0);
}

void EncodeUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = CodePointToCp1252(DecodeUtf8(utf8, pos));
        if (!b) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    bool ascii = true;
    for (const char c : bytes) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        EncodeUtf8(Cp1252ToCodePoint(static_cast<uint8_t>(c)), out);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                (static_cast<char32_t>(utf16[i + 1]) - 0xDC00);
            EncodeUtf8(cp, out);
            ++i;
        } else {
            EncodeUtf8(u, out);
        }
    }
    return out;
}

size_t Utf8Length(std::string_view utf8)
{
    size_t count = 0;
    size_t pos = 0;
    while (pos < utf8.size()) {
        (void)DecodeUtf8(utf8, pos);
        ++count;
    }
    return count;
}

std::string Utf8Truncate(std::string_view utf8, size_t maxChars)
{
    size_t pos = 0;
    for (size_t n = 0; n < maxChars && pos < utf8.size(); ++n) {
        (void)DecodeUtf8(utf8, pos);
    }
    return std::string(utf8.substr(0, pos));
}
