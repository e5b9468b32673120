// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/Error.h"

#include <string>

namespace swf::actionscript {

// A script the compiler rejects. The message reads "Line n, column c: reason"; line and column
// (both from 1) are also available on their own. A failure not tied to a place has line 0.
class CompileError : public Error {
public:
    CompileError(int line, int column, const std::string& reason)
        : Error(line > 0
                  ? "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason
                  : reason)
        , m_line(line)
        , m_column(column)
        , m_reason(reason)
    {
    }

    [[nodiscard]] int line() const { return m_line; }
    [[nodiscard]] int column() const { return m_column; }
    [[nodiscard]] const std::string& reason() const { return m_reason; }

private:
    int m_line;
    int m_column;
    std::string m_reason;
};

} // namespace swf::actionscript
