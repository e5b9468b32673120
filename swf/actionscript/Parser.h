// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/SyntaxTree.h"
#include "swf/actionscript/Token.h"

#include <string_view>
#include <vector>

namespace swf::actionscript {

// Deepest nesting of statements and expressions a script may have. Generated scripts nest a few
// levels; the cap keeps hostile text from exhausting the stack in the parser, the code generator
// and the tree's destruction, which all recurse over it.
inline constexpr int kMaxNestingDepth = 200;

// Builds the syntax tree of a script from its tokens (recursive descent). Throws CompileError.
class Parser {
public:
    explicit Parser(std::vector<Token> tokens);

    [[nodiscard]] StatementList parseProgram();

private:
    class DepthGuard;

    [[nodiscard]] const Token& current() const { return m_tokens[m_index]; }
    [[nodiscard]] const Token& lookahead(size_t ahead) const;
    const Token& next();
    [[nodiscard]] bool atPunct(std::string_view p) const { return current().isPunct(p); }
    [[nodiscard]] bool atName(std::string_view n) const { return current().isName(n); }
    bool acceptPunct(std::string_view p);
    void expectPunct(std::string_view p);
    std::string expectIdentifier(std::string_view what);
    void expectStatementEnd();
    [[noreturn]] void fail(const Token& at, const std::string& reason) const;
    [[noreturn]] void failUnexpected(const Token& at) const;

    std::unique_ptr<Statement> parseStatement();
    std::unique_ptr<Statement> parseBlock();
    std::unique_ptr<Statement> parseVar(bool requireEnd);
    std::unique_ptr<Statement> parseIf();
    std::unique_ptr<Statement> parseWhile();
    std::unique_ptr<Statement> parseDoWhile();
    std::unique_ptr<Statement> parseFor();
    std::unique_ptr<Statement> parseJump(StmtKind kind);
    std::unique_ptr<Statement> parseReturn();
    StatementList parseFunctionBody();
    ExpressionPtr parseFunction(bool requireName);

    ExpressionPtr parseExpression();
    ExpressionPtr parseAssignment();
    ExpressionPtr parseConditional();
    ExpressionPtr parseBinary(int minPrecedence);
    ExpressionPtr parseUnary();
    ExpressionPtr parsePostfix();
    ExpressionPtr parseCallOrMember(ExpressionPtr expr, bool allowCalls);
    ExpressionPtr parsePrimary();
    ExpressionPtr parseNew();
    ExpressionPtr parseObjectLiteral();
    ExpressionPtr parseArrayLiteral();
    void parseArguments(Expression& call);

    ExpressionPtr make(ExprKind kind, const Token& at);
    // Works out the node's height from its parts and refuses trees deeper than the cap.
    ExpressionPtr finish(ExpressionPtr expr);
    std::unique_ptr<Statement> finish(std::unique_ptr<Statement> stmt);

    std::vector<Token> m_tokens;
    size_t m_index = 0;
    int m_depth = 0;
    int m_loopDepth = 0;
};

} // namespace swf::actionscript
