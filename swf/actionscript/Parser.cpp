// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/actionscript/Parser.h"

#include "swf/actionscript/CompileError.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace swf::actionscript {

using namespace std::literals;

namespace {

// Words that cannot name a variable. this and undefined are handled as values of their own.
constexpr std::array<std::string_view, 19> kReservedWords = {
    "var",
    "if",
    "else",
    "while",
    "do",
    "for",
    "in",
    "break",
    "continue",
    "return",
    "function",
    "true",
    "false",
    "null",
    "typeof",
    "delete",
    "instanceof",
    "new",
    "void",
};

bool isReserved(std::string_view name)
{
    return std::find(kReservedWords.begin(), kReservedWords.end(), name) != kReservedWords.end();
}

// A number used as an object key names the member by its text, in the player's 15 digits.
std::string numberKey(double n)
{
    if (std::isnan(n)) {
        return "NaN";
    }
    if (std::isinf(n)) {
        return n > 0 ? "Infinity" : "-Infinity";
    }
    std::array<char, 32> text {};
    std::snprintf(text.data(), text.size(), "%.15g", n);
    return text.data();
}

// Binding strength of the binary operators; higher binds tighter. 0: not a binary operator.
int precedence(const Token& t)
{
    if (t.kind == TokenKind::Identifier) {
        return t.text == "instanceof"sv ? 7 : 0;
    }
    if (t.kind != TokenKind::Punctuator) {
        return 0;
    }
    const std::string_view op = t.text;
    switch (op[0]) {
    case '|':
        return op == "||"sv ? 1 : op == "|"sv ? 3 : 0;
    case '&':
        return op == "&&"sv ? 2 : op == "&"sv ? 5 : 0;
    case '^':
        return op == "^"sv ? 4 : 0;
    case '=':
        return op == "=="sv || op == "==="sv ? 6 : 0;
    case '!':
        return op == "!="sv || op == "!=="sv ? 6 : 0;
    case '<':
        return op == "<"sv || op == "<="sv ? 7 : op == "<<"sv ? 8 : 0;
    case '>':
        return op == ">"sv || op == ">="sv ? 7 : op == ">>"sv || op == ">>>"sv ? 8 : 0;
    case '+':
    case '-':
        return op.size() == 1 ? 9 : 0;
    case '*':
    case '/':
    case '%':
        return op.size() == 1 ? 10 : 0;
    default:
        return 0;
    }
}

bool isAssignmentOperator(const Token& t)
{
    static constexpr std::array<std::string_view, 12> ops = { "=",
        "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>=" };
    return t.kind == TokenKind::Punctuator && std::find(ops.begin(), ops.end(), t.text) != ops.end();
}

std::string describe(const Token& t)
{
    switch (t.kind) {
    case TokenKind::End:
        return "end of script";
    case TokenKind::Number:
        return "number";
    case TokenKind::String:
        return "string";
    default:
        return "'" + t.text + "'";
    }
}

} // namespace

// Counts the parser's recursion, which the tree height alone does not bound (parentheses, unary
// chains and nested blocks recurse without growing the tree the same way).
class Parser::DepthGuard {
public:
    explicit DepthGuard(Parser& parser)
        : m_parser(parser)
    {
        if (++m_parser.m_depth > kMaxNestingDepth) {
            m_parser.fail(m_parser.current(), "script nested too deeply");
        }
    }
    ~DepthGuard() { --m_parser.m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    Parser& m_parser;
};

Parser::Parser(std::vector<Token> tokens)
    : m_tokens(std::move(tokens))
{
    if (m_tokens.empty() || m_tokens.back().kind != TokenKind::End) {
        m_tokens.push_back(Token {});
    }
}

const Token& Parser::lookahead(size_t ahead) const
{
    return m_tokens[std::min(m_index + ahead, m_tokens.size() - 1)];
}

const Token& Parser::next()
{
    const Token& t = m_tokens[m_index];
    if (m_index + 1 < m_tokens.size()) {
        ++m_index;
    }
    return t;
}

bool Parser::acceptPunct(std::string_view p)
{
    if (atPunct(p)) {
        next();
        return true;
    }
    return false;
}

void Parser::expectPunct(std::string_view p)
{
    if (!acceptPunct(p)) {
        fail(current(), "expected '" + std::string(p) + "' but found " + describe(current()));
    }
}

std::string Parser::expectIdentifier(std::string_view what)
{
    const Token& t = current();
    if (t.kind != TokenKind::Identifier || isReserved(t.text) || t.text == "this"sv ||
        t.text == "undefined"sv) {
        fail(t, "expected " + std::string(what) + " but found " + describe(t));
    }
    next();
    return t.text;
}

void Parser::expectStatementEnd()
{
    // A semicolon may be left out before '}', at the end of the script and at a line break.
    if (acceptPunct(";") || atPunct("}") || current().kind == TokenKind::End || current().newlineBefore) {
        return;
    }
    failUnexpected(current());
}

void Parser::fail(const Token& at, const std::string& reason) const
{
    throw CompileError(at.pos.line, at.pos.column, reason);
}

void Parser::failUnexpected(const Token& at) const
{
    fail(at, at.kind == TokenKind::End ? "unexpected end of script" : "unexpected " + describe(at));
}

ExpressionPtr Parser::make(ExprKind kind, const Token& at)
{
    auto expr = std::make_unique<Expression>();
    expr->kind = kind;
    expr->pos = at.pos;
    return expr;
}

ExpressionPtr Parser::finish(ExpressionPtr expr)
{
    int height = 0;
    for (const auto& operand : expr->operands) {
        if (operand) {
            height = std::max(height, operand->depth);
        }
    }
    for (const auto& stmt : expr->body) {
        height = std::max(height, stmt->depth);
    }
    expr->depth = height + 1;
    if (expr->depth > kMaxNestingDepth) {
        throw CompileError(expr->pos.line, expr->pos.column, "expression nested too deeply");
    }
    return expr;
}

std::unique_ptr<Statement> Parser::finish(std::unique_ptr<Statement> stmt)
{
    int height = 0;
    for (const ExpressionPtr* e : { &stmt->expression, &stmt->update, &stmt->function }) {
        if (*e) {
            height = std::max(height, (*e)->depth);
        }
    }
    for (const auto& e : stmt->expressions) {
        if (e) {
            height = std::max(height, e->depth);
        }
    }
    for (const auto& child : stmt->body) {
        if (child) {
            height = std::max(height, child->depth);
        }
    }
    stmt->depth = height + 1;
    if (stmt->depth > kMaxNestingDepth) {
        throw CompileError(stmt->pos.line, stmt->pos.column, "statement nested too deeply");
    }
    return stmt;
}

StatementList Parser::parseProgram()
{
    StatementList program;
    while (current().kind != TokenKind::End) {
        program.push_back(parseStatement());
    }
    return program;
}

std::unique_ptr<Statement> Parser::parseStatement()
{
    DepthGuard guard(*this);
    const Token& t = current();
    if (t.isPunct("{")) {
        return parseBlock();
    }
    if (t.isPunct(";")) {
        auto stmt = std::make_unique<Statement>();
        stmt->kind = StmtKind::Empty;
        stmt->pos = t.pos;
        next();
        return stmt;
    }
    if (t.kind == TokenKind::Identifier) {
        if (t.text == "var"sv) {
            return parseVar(true);
        }
        if (t.text == "if"sv) {
            return parseIf();
        }
        if (t.text == "while"sv) {
            return parseWhile();
        }
        if (t.text == "do"sv) {
            return parseDoWhile();
        }
        if (t.text == "for"sv) {
            return parseFor();
        }
        if (t.text == "break"sv) {
            return parseJump(StmtKind::Break);
        }
        if (t.text == "continue"sv) {
            return parseJump(StmtKind::Continue);
        }
        if (t.text == "return"sv) {
            return parseReturn();
        }
        if (t.text == "function"sv && lookahead(1).kind == TokenKind::Identifier) {
            auto stmt = std::make_unique<Statement>();
            stmt->kind = StmtKind::Function;
            stmt->pos = t.pos;
            stmt->function = parseFunction(true);
            return finish(std::move(stmt));
        }
        if (t.text == "else"sv || t.text == "in"sv) {
            failUnexpected(t);
        }
    }
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::Expression;
    stmt->pos = t.pos;
    stmt->expression = parseExpression();
    expectStatementEnd();
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseBlock()
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::Block;
    stmt->pos = current().pos;
    expectPunct("{");
    while (!atPunct("}")) {
        if (current().kind == TokenKind::End) {
            fail(current(), "expected '}' but found end of script");
        }
        stmt->body.push_back(parseStatement());
    }
    next();
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseVar(bool requireEnd)
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::Var;
    stmt->pos = current().pos;
    next(); // var
    do {
        stmt->names.push_back(expectIdentifier("a variable name"));
        if (acceptPunct("=")) {
            stmt->expressions.push_back(parseAssignment());
        } else {
            stmt->expressions.push_back(nullptr);
        }
    } while (acceptPunct(","));
    if (requireEnd) {
        expectStatementEnd();
    }
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseIf()
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::If;
    stmt->pos = current().pos;
    next(); // if
    expectPunct("(");
    stmt->expression = parseExpression();
    expectPunct(")");
    stmt->body.push_back(parseStatement());
    if (atName("else")) {
        next();
        stmt->body.push_back(parseStatement());
    }
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseWhile()
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::While;
    stmt->pos = current().pos;
    next(); // while
    expectPunct("(");
    stmt->expression = parseExpression();
    expectPunct(")");
    ++m_loopDepth;
    stmt->body.push_back(parseStatement());
    --m_loopDepth;
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseDoWhile()
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::DoWhile;
    stmt->pos = current().pos;
    next(); // do
    ++m_loopDepth;
    stmt->body.push_back(parseStatement());
    --m_loopDepth;
    if (!atName("while")) {
        fail(current(), "expected 'while' but found " + describe(current()));
    }
    next();
    expectPunct("(");
    stmt->expression = parseExpression();
    expectPunct(")");
    acceptPunct(";"); // optional after do-while, whatever follows
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseFor()
{
    auto stmt = std::make_unique<Statement>();
    stmt->pos = current().pos;
    next(); // for
    expectPunct("(");
    std::unique_ptr<Statement> init;
    if (atName("var")) {
        init = parseVar(false);
        if (atName("in")) {
            if (init->names.size() != 1 || init->expressions[0]) {
                fail(current(), "unexpected 'in'");
            }
            stmt->kind = StmtKind::ForIn;
            stmt->text = init->names[0];
            stmt->isVar = true;
        }
    } else if (!atPunct(";")) {
        init = std::make_unique<Statement>();
        init->kind = StmtKind::Expression;
        init->pos = current().pos;
        init->expression = parseExpression();
        init = finish(std::move(init));
        if (atName("in")) {
            if (init->expression->kind != ExprKind::Identifier || init->expression->text == "this"sv) {
                fail(current(), "unexpected 'in'");
            }
            stmt->kind = StmtKind::ForIn;
            stmt->text = init->expression->text;
        }
    }
    if (stmt->kind == StmtKind::ForIn) {
        next(); // in
        stmt->expression = parseExpression();
        expectPunct(")");
    } else {
        stmt->kind = StmtKind::For;
        expectPunct(";");
        if (!atPunct(";")) {
            stmt->expression = parseExpression();
        }
        expectPunct(";");
        if (!atPunct(")")) {
            stmt->update = parseExpression();
        }
        expectPunct(")");
        stmt->body.push_back(std::move(init));
    }
    ++m_loopDepth;
    stmt->body.push_back(parseStatement());
    --m_loopDepth;
    return finish(std::move(stmt));
}

std::unique_ptr<Statement> Parser::parseJump(StmtKind kind)
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = kind;
    stmt->pos = current().pos;
    const Token& keyword = next();
    if (m_loopDepth == 0) {
        fail(keyword, "'" + keyword.text + "' outside a loop");
    }
    expectStatementEnd();
    return stmt;
}

std::unique_ptr<Statement> Parser::parseReturn()
{
    auto stmt = std::make_unique<Statement>();
    stmt->kind = StmtKind::Return;
    stmt->pos = current().pos;
    next(); // return
    // As in the language's other dialects, a line break right after 'return' ends the statement.
    if (!atPunct(";") && !atPunct("}") && current().kind != TokenKind::End && !current().newlineBefore) {
        stmt->expression = parseExpression();
    }
    expectStatementEnd();
    return finish(std::move(stmt));
}

ExpressionPtr Parser::parseFunction(bool requireName)
{
    auto fn = make(ExprKind::Function, current());
    next(); // function
    if (requireName || current().kind == TokenKind::Identifier) {
        fn->text = expectIdentifier("a function name");
    }
    expectPunct("(");
    if (!atPunct(")")) {
        do {
            fn->names.push_back(expectIdentifier("a parameter name"));
        } while (acceptPunct(","));
    }
    expectPunct(")");
    fn->body = parseFunctionBody();
    return finish(std::move(fn));
}

StatementList Parser::parseFunctionBody()
{
    // break and continue never reach out of a function into the loop around it.
    const int savedLoops = std::exchange(m_loopDepth, 0);
    expectPunct("{");
    StatementList body;
    while (!atPunct("}")) {
        if (current().kind == TokenKind::End) {
            fail(current(), "expected '}' but found end of script");
        }
        body.push_back(parseStatement());
    }
    next();
    m_loopDepth = savedLoops;
    return body;
}

ExpressionPtr Parser::parseExpression()
{
    auto first = parseAssignment();
    if (!atPunct(",")) {
        return first;
    }
    auto comma = make(ExprKind::Comma, current());
    comma->pos = first->pos;
    comma->operands.push_back(std::move(first));
    while (acceptPunct(",")) {
        comma->operands.push_back(parseAssignment());
    }
    return finish(std::move(comma));
}

ExpressionPtr Parser::parseAssignment()
{
    DepthGuard guard(*this);
    auto target = parseConditional();
    if (!isAssignmentOperator(current())) {
        return target;
    }
    const Token& op = next();
    if (target->kind != ExprKind::Identifier && target->kind != ExprKind::Member &&
        target->kind != ExprKind::Index) {
        fail(op, "invalid assignment target");
    }
    if (target->kind == ExprKind::Identifier && target->text == "this"sv) {
        fail(op, "invalid assignment target");
    }
    auto assign = make(ExprKind::Assign, op);
    assign->text = op.text;
    assign->operands.push_back(std::move(target));
    assign->operands.push_back(parseAssignment());
    return finish(std::move(assign));
}

ExpressionPtr Parser::parseConditional()
{
    auto condition = parseBinary(1);
    if (!atPunct("?")) {
        return condition;
    }
    auto expr = make(ExprKind::Conditional, current());
    next();
    expr->operands.push_back(std::move(condition));
    expr->operands.push_back(parseAssignment());
    expectPunct(":");
    expr->operands.push_back(parseAssignment());
    return finish(std::move(expr));
}

ExpressionPtr Parser::parseBinary(int minPrecedence)
{
    auto left = parseUnary();
    for (;;) {
        const int prec = precedence(current());
        if (prec == 0 || prec < minPrecedence) {
            return left;
        }
        const Token& op = next();
        auto right = prec == 10 ? parseUnary() : parseBinary(prec + 1);
        const bool logical = op.text == "&&"sv || op.text == "||"sv;
        auto expr = make(logical ? ExprKind::Logical : ExprKind::Binary, op);
        expr->text = op.text;
        expr->operands.push_back(std::move(left));
        expr->operands.push_back(std::move(right));
        left = finish(std::move(expr));
    }
}

ExpressionPtr Parser::parseUnary()
{
    DepthGuard guard(*this);
    const Token& t = current();
    const bool punct = t.kind == TokenKind::Punctuator &&
        (t.text == "!"sv || t.text == "~"sv || t.text == "-"sv || t.text == "+"sv || t.text == "++"sv ||
            t.text == "--"sv);
    const bool word = t.kind == TokenKind::Identifier &&
        (t.text == "typeof"sv || t.text == "delete"sv || t.text == "void"sv);
    if (!punct && !word) {
        return parsePostfix();
    }
    next();
    auto operand = parseUnary();
    if (t.text == "++"sv || t.text == "--"sv) {
        if (operand->kind != ExprKind::Identifier && operand->kind != ExprKind::Member &&
            operand->kind != ExprKind::Index) {
            fail(t, "invalid increment target");
        }
        auto expr = make(ExprKind::Prefix, t);
        expr->text = t.text;
        expr->operands.push_back(std::move(operand));
        return finish(std::move(expr));
    }
    if (t.text == "-"sv && operand->kind == ExprKind::Number) {
        // A negative literal is pushed as one value.
        operand->number = -operand->number;
        operand->pos = t.pos;
        return operand;
    }
    if (t.text == "delete"sv && operand->kind != ExprKind::Identifier && operand->kind != ExprKind::Member &&
        operand->kind != ExprKind::Index) {
        fail(t, "'delete' needs a variable or a member");
    }
    auto expr = make(ExprKind::Unary, t);
    expr->text = t.text;
    expr->operands.push_back(std::move(operand));
    return finish(std::move(expr));
}

ExpressionPtr Parser::parsePostfix()
{
    auto expr = parseCallOrMember(parsePrimary(), true);
    const Token& t = current();
    if ((t.isPunct("++") || t.isPunct("--")) && !t.newlineBefore) {
        if (expr->kind != ExprKind::Identifier && expr->kind != ExprKind::Member &&
            expr->kind != ExprKind::Index) {
            fail(t, "invalid increment target");
        }
        next();
        auto post = make(ExprKind::Postfix, t);
        post->text = t.text;
        post->operands.push_back(std::move(expr));
        return finish(std::move(post));
    }
    return expr;
}

ExpressionPtr Parser::parseCallOrMember(ExpressionPtr expr, bool allowCalls)
{
    for (;;) {
        const Token& t = current();
        if (t.isPunct(".")) {
            next();
            const Token& name = current();
            if (name.kind != TokenKind::Identifier) {
                fail(name, "expected a member name but found " + describe(name));
            }
            next();
            auto member = make(ExprKind::Member, t);
            member->text = name.text;
            member->operands.push_back(std::move(expr));
            expr = finish(std::move(member));
        } else if (t.isPunct("[")) {
            next();
            auto index = make(ExprKind::Index, t);
            index->operands.push_back(std::move(expr));
            index->operands.push_back(parseExpression());
            expectPunct("]");
            expr = finish(std::move(index));
        } else if (t.isPunct("(") && allowCalls) {
            auto call = make(ExprKind::Call, t);
            call->pos = expr->pos;
            call->operands.push_back(std::move(expr));
            parseArguments(*call);
            expr = finish(std::move(call));
        } else {
            return expr;
        }
    }
}

void Parser::parseArguments(Expression& call)
{
    expectPunct("(");
    if (!atPunct(")")) {
        do {
            call.operands.push_back(parseAssignment());
        } while (acceptPunct(","));
    }
    expectPunct(")");
}

ExpressionPtr Parser::parseNew()
{
    DepthGuard guard(*this);
    auto expr = make(ExprKind::New, current());
    next(); // new
    ExpressionPtr callee = atName("new") ? parseNew() : parseCallOrMember(parsePrimary(), false);
    expr->operands.push_back(std::move(callee));
    if (atPunct("(")) {
        parseArguments(*expr);
    }
    return finish(std::move(expr));
}

ExpressionPtr Parser::parsePrimary()
{
    const Token& t = current();
    switch (t.kind) {
    case TokenKind::Number: {
        auto expr = make(ExprKind::Number, t);
        expr->number = t.number;
        next();
        return expr;
    }
    case TokenKind::String: {
        auto expr = make(ExprKind::String, t);
        expr->text = t.text;
        next();
        return expr;
    }
    case TokenKind::Identifier: {
        if (t.text == "function"sv) {
            return parseFunction(false);
        }
        if (t.text == "new"sv) {
            return parseNew();
        }
        static constexpr std::array<std::pair<std::string_view, ExprKind>, 4> literals = { {
            { "true", ExprKind::True },
            { "false", ExprKind::False },
            { "null", ExprKind::Null },
            { "undefined", ExprKind::Undefined },
        } };
        for (const auto& [word, kind] : literals) {
            if (t.text == word) {
                next();
                return make(kind, t);
            }
        }
        if (isReserved(t.text)) {
            failUnexpected(t);
        }
        auto expr = make(ExprKind::Identifier, t);
        expr->text = t.text;
        next();
        return expr;
    }
    case TokenKind::Punctuator:
        if (t.text == "("sv) {
            DepthGuard guard(*this);
            next();
            auto inner = parseExpression();
            expectPunct(")");
            return inner;
        }
        if (t.text == "{"sv) {
            return parseObjectLiteral();
        }
        if (t.text == "["sv) {
            return parseArrayLiteral();
        }
        break;
    case TokenKind::End:
        break;
    }
    failUnexpected(t);
}

ExpressionPtr Parser::parseObjectLiteral()
{
    DepthGuard guard(*this);
    auto expr = make(ExprKind::Object, current());
    next(); // {
    while (!atPunct("}")) {
        const Token& key = current();
        if (key.kind == TokenKind::Identifier || key.kind == TokenKind::String) {
            expr->names.push_back(key.text);
        } else if (key.kind == TokenKind::Number) {
            expr->names.push_back(numberKey(key.number));
        } else {
            fail(key, "expected a member name but found " + describe(key));
        }
        next();
        expectPunct(":");
        expr->operands.push_back(parseAssignment());
        if (!acceptPunct(",")) {
            break;
        }
    }
    expectPunct("}");
    return finish(std::move(expr));
}

ExpressionPtr Parser::parseArrayLiteral()
{
    DepthGuard guard(*this);
    auto expr = make(ExprKind::Array, current());
    next(); // [
    while (!atPunct("]")) {
        expr->operands.push_back(parseAssignment());
        if (!acceptPunct(",")) {
            break;
        }
    }
    expectPunct("]");
    return finish(std::move(expr));
}

} // namespace swf::actionscript
