// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/LookValue.h"

#include "model/InstallPaths.h"

#include <cctype>
#include <cstdio>

CColour ParseColour(std::string_view text)
{
    const size_t hash = text.find('#');
    uint64_t value = 0;
    if (hash != std::string_view::npos) {
        for (size_t i = hash + 1; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i]));
             ++i) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            value = ((value << 4) | static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10)) & 0xFFFFFFFFU;
        }
    }
    return CColour { static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
        static_cast<uint8_t>(value & 0xFF) };
}

std::string FormatColour(CColour colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%.2X%.2X%.2X", colour.red, colour.green, colour.blue);
    return text;
}

uint32_t ColourToSystem(CColour colour)
{
    return static_cast<uint32_t>(colour.red) | (static_cast<uint32_t>(colour.green) << 8) |
        (static_cast<uint32_t>(colour.blue) << 16);
}

CColour SystemToColour(uint32_t value)
{
    return CColour { static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
        static_cast<uint8_t>((value >> 16) & 0xFF) };
}

bool IsColourValue(std::string_view value)
{
    return value.find('#') != std::string_view::npos;
}

bool IsAbsoluteLookPath(std::string_view value)
{
    return value.find(':') != std::string_view::npos || (!value.empty() && value.front() == '/');
}

bool IsFlashFile(std::string_view value)
{
    std::string lower(value);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower.find(".swf") != std::string::npos;
}

std::filesystem::path ResolveLookPath(std::string_view value, const std::filesystem::path& home)
{
    if (IsAbsoluteLookPath(value)) {
        return ResolvePathNoCase(std::filesystem::path(std::string(value)));
    }
    return ResolvePathNoCase(JoinInstallPath(home, value));
}
