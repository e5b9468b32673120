// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/Token.h"

#include <string_view>
#include <vector>

namespace swf::actionscript {

// Splits script text into tokens. White space (blanks, tabs, CR, LF, form feed, vertical tab) and
// comments separate tokens; string escapes are decoded into UTF-8.
class Lexer {
public:
    explicit Lexer(std::string_view source);

    // The whole text as tokens, ending with one End token. Throws CompileError.
    [[nodiscard]] std::vector<Token> tokenize();

private:
    [[nodiscard]] bool atEnd() const { return m_index >= m_source.size(); }
    [[nodiscard]] char peek(size_t ahead = 0) const;
    char advance();
    [[nodiscard]] SourcePos here() const { return { m_line, m_column }; }
    // Skips white space and comments; returns whether a line break was crossed.
    bool skipSpace();
    Token readNumber();
    Token readString();
    Token readIdentifier();
    Token readPunctuator();
    unsigned readHexDigits(int count, SourcePos escapePos);

    std::string_view m_source;
    size_t m_index = 0;
    int m_line = 1;
    int m_column = 1;
};

} // namespace swf::actionscript
