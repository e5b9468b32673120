// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace swf {

// Any failure of the writer or the reader. The message names what failed (the tag, the record,
// the file), so that the generation step guard can log it beside its own reason.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Damaged or hostile input: a length past the end, a count beyond a cap, an unknown structure.
class ParseError : public Error {
public:
    using Error::Error;
};

} // namespace swf
