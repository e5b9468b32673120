// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/Token.h"

#include <memory>
#include <string>
#include <vector>

namespace swf::actionscript {

struct Statement;
using StatementList = std::vector<std::unique_ptr<Statement>>;

enum class ExprKind {
    Number, // number
    String, // text
    True,
    False,
    Null,
    Undefined,
    Identifier, // text: the name (this, _root and the like included)
    Member, // a.b: operands[0] the object, text the name
    Index, // a[i]: operands[0] the object, operands[1] the key
    Call, // operands[0] the callee, then the arguments
    New, // operands[0] the constructor, then the arguments
    Unary, // text the operator (! ~ - + typeof delete void), operands[0]
    Prefix, // ++x or --x: text "++" or "--", operands[0] the target
    Postfix, // x++ or x--
    Binary, // text the operator (arithmetic, bitwise, comparison, instanceof)
    Logical, // && or ||
    Conditional, // operands: condition, then, else
    Assign, // text "=" or a compound operator; operands: target, value
    Comma, // operands evaluated in order, the last one is the value
    Function, // text the name (may be empty), names the parameters, body
    Object, // names the keys, operands the values
    Array, // operands the elements
};

struct Expression {
    ExprKind kind;
    SourcePos pos;
    std::string text;
    double number = 0;
    std::vector<std::unique_ptr<Expression>> operands;
    std::vector<std::string> names;
    StatementList body;
    int depth = 1; // height of this subtree, so that its walk can be bounded
};

using ExpressionPtr = std::unique_ptr<Expression>;

enum class StmtKind {
    Expression, // expression
    Var, // names with initialisers in expressions (a null entry when there is none)
    Block, // body
    If, // expression the condition, body[0] then, body[1] else (may be absent)
    While, // expression, body[0]
    DoWhile, // body[0], expression
    For, // body[0] the initialiser (may be null), expression the condition (may be null),
         // update (may be null), body[1] the loop body
    ForIn, // text the variable, isVar when declared with var, expression the object, body[0]
    Break,
    Continue,
    Return, // expression (may be null)
    Function, // function: the declared function
    Empty,
};

struct Statement {
    StmtKind kind;
    SourcePos pos;
    std::string text;
    bool isVar = false;
    ExpressionPtr expression;
    ExpressionPtr update;
    ExpressionPtr function;
    std::vector<std::string> names;
    std::vector<ExpressionPtr> expressions;
    StatementList body;
    int depth = 1; // height of this subtree, expressions and nested statements included
};

} // namespace swf::actionscript
