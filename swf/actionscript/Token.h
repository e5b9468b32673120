// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace swf::actionscript {

struct SourcePos {
    int line = 1;
    int column = 1;
};

enum class TokenKind {
    Identifier, // names and keywords alike; the parser tells them apart
    Number,
    String,
    Punctuator,
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // the name, the punctuator, or the decoded string value (UTF-8)
    double number = 0;
    SourcePos pos;
    bool newlineBefore = false; // a line break lies between this token and the previous one

    [[nodiscard]] bool is(TokenKind k, std::string_view t) const { return kind == k && text == t; }
    [[nodiscard]] bool isPunct(std::string_view t) const { return is(TokenKind::Punctuator, t); }
    [[nodiscard]] bool isName(std::string_view t) const { return is(TokenKind::Identifier, t); }
};

} // namespace swf::actionscript
