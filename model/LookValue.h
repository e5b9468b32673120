// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// A colour of a colour text ("#RRGGBB").
struct CColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const CColour&) const = default;
};

// Reads the text after "#" as one hexadecimal number 0xRRGGBB, digits in either case. Reading stops
// at the first character that is not a hexadecimal digit; a text without digits is black.
[[nodiscard]] CColour ParseColour(std::string_view text);
// "#RRGGBB" with upper-case digits.
[[nodiscard]] std::string FormatColour(CColour colour);
// The system colour value 0x00BBGGRR.
[[nodiscard]] uint32_t ColourToSystem(CColour colour);
[[nodiscard]] CColour SystemToColour(uint32_t value);
[[nodiscard]] inline uint32_t ColourTextToSystem(std::string_view text)
{
    return ColourToSystem(ParseColour(text));
}

// Look values name a background, the button look or the music: a colour text, an absolute path,
// or a path relative to the installation folder such as "Background\sky.jpg".
[[nodiscard]] bool IsColourValue(std::string_view value);
// Absolute when it contains ":" (a drive path) or starts with "/".
[[nodiscard]] bool IsAbsoluteLookPath(std::string_view value);
// A file whose name contains ".swf" in any case is a Flash file; any other file is a picture.
[[nodiscard]] bool IsFlashFile(std::string_view value);
// The file a non-colour value names: an absolute value as it is, any other under the installation
// folder with its backslashes turned into folders, found without regard to case.
[[nodiscard]] std::filesystem::path ResolveLookPath(
    std::string_view value, const std::filesystem::path& home);
