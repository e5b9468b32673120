// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace testscripts {

// The photo album's controls script: tabs, blanks and CRLF line ends are part of the text, and the
// compiled bytes are fixed for exactly this text.
inline std::string albumControls()
{
    const char* lines[] = {
        "if(!init){",
        "init=true;",
        "stopped=false;",
        "controls = {",
        "onMouseDown: function () {",
        "if(!stopped){",
        "stop();",
        "stopped=true;",
        "}else{",
        "play();",
        "stopped=false;",
        "}",
        "}",
        "};",
        "Mouse.addListener(controls);",
        "}",
    };
    std::string text;
    for (const char* line : lines) {
        text += "\t\t\t\t\t\t ";
        text += line;
        text += "\r\n";
    }
    return text + "\t\t\t\t\t\t ";
}

} // namespace testscripts
