// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Formatting helpers of the dump: the same value always prints the same way.

#include <cstdint>
#include <string>

namespace swf {

// A string in double quotes with \" \\ \n \r \t and \xNN for other control bytes.
[[nodiscard]] std::string quoted(const std::string& s);
// The shortest text that reads back as the same value ("12", "0.5", "1e+30", "nan").
[[nodiscard]] std::string number(double v);

} // namespace swf
