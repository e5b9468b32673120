// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/actionscript/Lexer.h"

#include "swf/actionscript/CompileError.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace swf::actionscript {

namespace {

bool isIdentStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    // Bytes of multi-byte UTF-8 sequences are taken as letters, so names may hold any letter.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || u >= 0x80;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isIdentPart(char c)
{
    return isIdentStart(c) || isDigit(c);
}

int hexValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void appendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Longest first, so that ">>>=" wins over ">>" and ">".
constexpr std::array<std::string_view, 47> kPunctuators = {
    ">>>=",
    "===",
    "!==",
    ">>>",
    "<<=",
    ">>=",
    "==",
    "!=",
    "<=",
    ">=",
    "&&",
    "||",
    "++",
    "--",
    "+=",
    "-=",
    "*=",
    "/=",
    "%=",
    "&=",
    "|=",
    "^=",
    "<<",
    ">>",
    "{",
    "}",
    "(",
    ")",
    "[",
    "]",
    ";",
    ",",
    "<",
    ">",
    "+",
    "-",
    "*",
    "/",
    "%",
    "&",
    "|",
    "^",
    "!",
    "~",
    "?",
    ":",
    "=",
};

} // namespace

Lexer::Lexer(std::string_view source)
    : m_source(source)
{
    // A UTF-8 byte order mark at the start is not part of the script.
    if (m_source.substr(0, 3) == "\xEF\xBB\xBF") {
        m_index = 3;
    }
}

char Lexer::peek(size_t ahead) const
{
    return m_index + ahead < m_source.size() ? m_source[m_index + ahead] : '\0';
}

char Lexer::advance()
{
    const char c = m_source[m_index++];
    if (c == '\n') {
        ++m_line;
        m_column = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        ++m_column; // columns count characters, not the continuation bytes of UTF-8
    }
    return c;
}

bool Lexer::skipSpace()
{
    bool newline = false;
    while (!atEnd()) {
        const char c = peek();
        if (c == '\n' || c == '\r') {
            newline = true;
            advance();
        } else if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
            advance();
        } else if (c == '/' && peek(1) == '/') {
            while (!atEnd() && peek() != '\n' && peek() != '\r') {
                advance();
            }
        } else if (c == '/' && peek(1) == '*') {
            const SourcePos start = here();
            advance();
            advance();
            for (;;) {
                if (atEnd()) {
                    throw CompileError(start.line, start.column, "unterminated comment");
                }
                if (peek() == '*' && peek(1) == '/') {
                    advance();
                    advance();
                    break;
                }
                if (advance() == '\n') {
                    newline = true;
                }
            }
        } else {
            break;
        }
    }
    return newline;
}

std::vector<Token> Lexer::tokenize()
{
    std::vector<Token> tokens;
    tokens.reserve(m_source.size() / 4 + 8); // about one token in four characters of real scripts
    for (;;) {
        const bool newline = skipSpace();
        Token token;
        if (atEnd()) {
            token.kind = TokenKind::End;
            token.pos = here();
        } else {
            const char c = peek();
            if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
                token = readNumber();
            } else if (c == '"' || c == '\'') {
                token = readString();
            } else if (isIdentStart(c)) {
                token = readIdentifier();
            } else if (c == '.') {
                token.kind = TokenKind::Punctuator;
                token.pos = here();
                token.text = ".";
                advance();
            } else {
                token = readPunctuator();
            }
        }
        token.newlineBefore = newline || tokens.empty();
        tokens.push_back(std::move(token));
        if (tokens.back().kind == TokenKind::End) {
            return tokens;
        }
    }
}

Token Lexer::readNumber()
{
    Token token;
    token.kind = TokenKind::Number;
    token.pos = here();
    if (peek() == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
        advance();
        advance();
        double value = 0;
        bool any = false;
        while (hexValue(peek()) >= 0) {
            value = value * 16 + hexValue(advance());
            any = true;
        }
        if (!any) {
            throw CompileError(token.pos.line, token.pos.column, "malformed number");
        }
        token.number = value;
    } else {
        std::string digits;
        while (isDigit(peek())) {
            digits += advance();
        }
        if (peek() == '.') {
            digits += advance();
            while (isDigit(peek())) {
                digits += advance();
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            const char sign = peek(1);
            if (isDigit(sign) || ((sign == '+' || sign == '-') && isDigit(peek(2)))) {
                digits += advance();
                digits += advance();
                while (isDigit(peek())) {
                    digits += advance();
                }
            }
        }
        token.number = std::strtod(digits.c_str(), nullptr);
    }
    if (isIdentPart(peek())) {
        throw CompileError(m_line, m_column, "unexpected character after number");
    }
    return token;
}

unsigned Lexer::readHexDigits(int count, SourcePos escapePos)
{
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(peek());
        if (digit < 0) {
            throw CompileError(escapePos.line, escapePos.column, "malformed escape sequence");
        }
        advance();
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

Token Lexer::readString()
{
    Token token;
    token.kind = TokenKind::String;
    token.pos = here();
    const char quote = advance();
    unsigned pendingHighSurrogate = 0;
    auto flushSurrogate = [&] {
        if (pendingHighSurrogate != 0) {
            appendUtf8(token.text, 0xFFFD); // a high surrogate without its low half
            pendingHighSurrogate = 0;
        }
    };
    for (;;) {
        if (atEnd() || peek() == '\n' || peek() == '\r') {
            throw CompileError(token.pos.line, token.pos.column, "unterminated string");
        }
        const char c = advance();
        if (c == quote) {
            break;
        }
        if (c == '\0') {
            // The constant pool ends each string at a zero byte.
            throw CompileError(m_line, m_column - 1, "a string cannot hold the character 0");
        }
        if (c != '\\') {
            flushSurrogate();
            token.text += c;
            continue;
        }
        const SourcePos escapePos { m_line, m_column - 1 };
        if (atEnd()) {
            throw CompileError(token.pos.line, token.pos.column, "unterminated string");
        }
        const char e = advance();
        unsigned cp = 0;
        switch (e) {
        case 'n':
            cp = '\n';
            break;
        case 'r':
            cp = '\r';
            break;
        case 't':
            cp = '\t';
            break;
        case 'b':
            cp = '\b';
            break;
        case 'f':
            cp = '\f';
            break;
        case 'v':
            cp = '\v';
            break;
        case 'x':
            cp = readHexDigits(2, escapePos);
            break;
        case 'u':
            cp = readHexDigits(4, escapePos);
            break;
        case '\n':
        case '\r':
            throw CompileError(token.pos.line, token.pos.column, "unterminated string");
        default:
            // Any other escaped character stands for itself: \" \' \\ and the like.
            cp = static_cast<unsigned char>(e);
            if (cp >= 0x80) {
                // The escaped character is a multi-byte UTF-8 sequence: copy it as it is.
                flushSurrogate();
                token.text += e;
                continue;
            }
            break;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            flushSurrogate();
            pendingHighSurrogate = cp;
            continue;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            if (pendingHighSurrogate != 0) {
                cp = 0x10000 + ((pendingHighSurrogate - 0xD800) << 10) + (cp - 0xDC00);
                pendingHighSurrogate = 0;
            } else {
                cp = 0xFFFD;
            }
        } else {
            flushSurrogate();
        }
        if (cp == 0) {
            // SWF strings end at a zero byte; a script cannot carry one.
            throw CompileError(escapePos.line, escapePos.column, "a string cannot hold the character 0");
        }
        appendUtf8(token.text, cp);
    }
    flushSurrogate();
    return token;
}

Token Lexer::readIdentifier()
{
    Token token;
    token.kind = TokenKind::Identifier;
    token.pos = here();
    while (!atEnd() && isIdentPart(peek())) {
        token.text += advance();
    }
    return token;
}

Token Lexer::readPunctuator()
{
    Token token;
    token.kind = TokenKind::Punctuator;
    token.pos = here();
    const std::string_view rest = m_source.substr(m_index);
    for (const std::string_view p : kPunctuators) {
        if (p[0] == rest[0] && rest.substr(0, p.size()) == p) {
            for (size_t i = 0; i < p.size(); ++i) {
                advance();
            }
            token.text = std::string(p);
            return token;
        }
    }
    const auto c = static_cast<unsigned char>(peek());
    std::string shown = c >= 0x20 && c < 0x7F
        ? std::string(1, static_cast<char>(c))
        : "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
    throw CompileError(token.pos.line, token.pos.column, "unexpected character '" + shown + "'");
}

} // namespace swf::actionscript
