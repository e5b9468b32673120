// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/actionscript/CodeGenerator.h"

#include "swf/actionscript/CompileError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <utility>

namespace swf::actionscript {

using namespace std::literals;

namespace {

// Registers 0 to 3 exist in every SWF 6 context. Each is written and read back within one
// short sequence of the statement that uses it, so nested uses cannot disturb each other.
constexpr uint8_t kResultRegister = 0; // the value of an assignment used as a value
constexpr uint8_t kKeyRegister = 1; // a computed key, read again to store the element

ActionCode compoundOperator(const std::string& op)
{
    static const std::array<std::pair<std::string_view, ActionCode>, 11> table = { {
        { "+=", ActionCode::Add2 },
        { "-=", ActionCode::Subtract },
        { "*=", ActionCode::Multiply },
        { "/=", ActionCode::Divide },
        { "%=", ActionCode::Modulo },
        { "&=", ActionCode::BitAnd },
        { "|=", ActionCode::BitOr },
        { "^=", ActionCode::BitXor },
        { "<<=", ActionCode::BitLShift },
        { ">>=", ActionCode::BitRShift },
        { ">>>=", ActionCode::BitURShift },
    } };
    for (const auto& [text, code] : table) {
        if (op == text) {
            return code;
        }
    }
    return ActionCode::Add2;
}

bool isLiteralKey(const Expression& e)
{
    return e.kind == ExprKind::Number || e.kind == ExprKind::String;
}

// A member whose key can be pushed a second time without evaluating anything again.
bool hasConstantKey(const Expression& target)
{
    return target.kind == ExprKind::Member ||
        (target.kind == ExprKind::Index && isLiteralKey(*target.operands[1]));
}

} // namespace

CodeGenerator::CodeGenerator(ActionWriter& out)
    : m_out(out)
{
}

void CodeGenerator::program(const StatementList& program)
{
    statements(program);
}

void CodeGenerator::statements(const StatementList& list)
{
    for (const auto& stmt : list) {
        statement(*stmt);
    }
}

void CodeGenerator::statement(const Statement& stmt)
{
    switch (stmt.kind) {
    case StmtKind::Expression:
        expression(*stmt.expression, false);
        break;
    case StmtKind::Var:
        for (size_t i = 0; i < stmt.names.size(); ++i) {
            m_out.pushString(stmt.names[i], stmt.pos);
            if (stmt.expressions[i]) {
                expression(*stmt.expressions[i]);
                m_out.op(ActionCode::DefineLocal);
            } else {
                m_out.op(ActionCode::DefineLocal2);
            }
        }
        break;
    case StmtKind::Block:
        statements(stmt.body);
        break;
    case StmtKind::If:
        ifStatement(stmt);
        break;
    case StmtKind::While: {
        const auto top = m_out.newLabel();
        const auto end = m_out.newLabel();
        m_out.place(top);
        expression(*stmt.expression);
        m_out.op(ActionCode::Not);
        m_out.jumpIf(end, stmt.pos);
        m_loops.push_back({ end, top, false });
        statement(*stmt.body[0]);
        m_loops.pop_back();
        m_out.jump(top, stmt.pos);
        m_out.place(end);
        break;
    }
    case StmtKind::DoWhile: {
        const auto top = m_out.newLabel();
        const auto test = m_out.newLabel();
        const auto end = m_out.newLabel();
        m_out.place(top);
        m_loops.push_back({ end, test, false });
        statement(*stmt.body[0]);
        m_loops.pop_back();
        m_out.place(test);
        expression(*stmt.expression);
        m_out.jumpIf(top, stmt.pos);
        m_out.place(end);
        break;
    }
    case StmtKind::For: {
        if (stmt.body[0]) {
            statement(*stmt.body[0]);
        }
        const auto top = m_out.newLabel();
        const auto next = m_out.newLabel();
        const auto end = m_out.newLabel();
        m_out.place(top);
        if (stmt.expression) {
            expression(*stmt.expression);
            m_out.op(ActionCode::Not);
            m_out.jumpIf(end, stmt.pos);
        }
        m_loops.push_back({ end, next, false });
        statement(*stmt.body[1]);
        m_loops.pop_back();
        m_out.place(next);
        if (stmt.update) {
            expression(*stmt.update, false);
        }
        m_out.jump(top, stmt.pos);
        m_out.place(end);
        break;
    }
    case StmtKind::ForIn:
        forIn(stmt);
        break;
    case StmtKind::Break:
        if (m_loops.empty()) {
            throw CompileError(stmt.pos.line, stmt.pos.column, "'break' outside a loop");
        }
        m_out.jump(m_loops.back().breakTarget, stmt.pos);
        break;
    case StmtKind::Continue:
        if (m_loops.empty()) {
            throw CompileError(stmt.pos.line, stmt.pos.column, "'continue' outside a loop");
        }
        m_out.jump(m_loops.back().continueTarget, stmt.pos);
        break;
    case StmtKind::Return:
        returnStatement(stmt);
        break;
    case StmtKind::Function:
        function(*stmt.function, stmt.function->text);
        break;
    case StmtKind::Empty:
        break;
    }
}

void CodeGenerator::ifStatement(const Statement& stmt)
{
    const auto end = m_out.newLabel();
    expression(*stmt.expression);
    if (stmt.body.size() < 2) {
        // Without else the branch skips the body when the condition fails.
        m_out.op(ActionCode::Not);
        m_out.jumpIf(end, stmt.pos);
        statement(*stmt.body[0]);
    } else {
        // With else, the else branch comes first and the condition jumps to the then branch.
        const auto then = m_out.newLabel();
        m_out.jumpIf(then, stmt.pos);
        statement(*stmt.body[1]);
        m_out.jump(end, stmt.pos);
        m_out.place(then);
        statement(*stmt.body[0]);
    }
    m_out.place(end);
}

// Enumerate2 pushes a null and then the names of the object's members. Each turn takes one name
// off the stack; the loop ends at the null. Leaving early (break, return) must take the names
// that are left off the stack first.
void CodeGenerator::forIn(const Statement& stmt)
{
    const auto top = m_out.newLabel();
    const auto drain = m_out.newLabel();
    const auto end = m_out.newLabel();
    expression(*stmt.expression);
    m_out.op(ActionCode::Enumerate2);
    m_out.place(top);
    m_out.storeRegister(kResultRegister);
    m_out.pushNull(stmt.pos);
    m_out.op(ActionCode::Equals2);
    m_out.jumpIf(end, stmt.pos);
    m_out.pushString(stmt.text, stmt.pos);
    m_out.pushRegister(kResultRegister, stmt.pos);
    m_out.op(stmt.isVar ? ActionCode::DefineLocal : ActionCode::SetVariable);
    m_loops.push_back({ drain, top, true });
    statement(*stmt.body[0]);
    m_loops.pop_back();
    m_out.jump(top, stmt.pos);
    m_out.place(drain);
    drainEnumeration(stmt.pos);
    m_out.place(end);
}

void CodeGenerator::drainEnumeration(SourcePos pos)
{
    const auto again = m_out.newLabel();
    m_out.place(again);
    m_out.pushNull(pos);
    m_out.op(ActionCode::Equals2);
    m_out.op(ActionCode::Not);
    m_out.jumpIf(again, pos);
}

void CodeGenerator::returnStatement(const Statement& stmt)
{
    if (stmt.expression) {
        expression(*stmt.expression);
    } else {
        m_out.pushUndefined(stmt.pos);
    }
    const auto enumerations =
        std::count_if(m_loops.begin(), m_loops.end(), [](const Loop& l) { return l.enumerates; });
    if (enumerations > 0) {
        m_out.storeRegister(kResultRegister);
        m_out.op(ActionCode::Pop);
        for (long i = 0; i < enumerations; ++i) {
            drainEnumeration(stmt.pos);
        }
        m_out.pushRegister(kResultRegister, stmt.pos);
    }
    m_out.op(ActionCode::Return);
}

void CodeGenerator::function(const Expression& fn, const std::string& name)
{
    const size_t header = m_out.beginFunction(name, fn.names, fn.pos);
    // Loops outside the function are out of reach of its break, continue and return.
    std::vector<Loop> outer = std::exchange(m_loops, {});
    statements(fn.body);
    m_loops = std::move(outer);
    m_out.endFunction(header, fn.pos);
}

void CodeGenerator::expression(const Expression& expr, bool wanted)
{
    const SourcePos pos = expr.pos;
    switch (expr.kind) {
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::True:
    case ExprKind::False:
    case ExprKind::Null:
    case ExprKind::Undefined:
        if (!wanted) {
            return; // a literal on its own does nothing
        }
        if (expr.kind == ExprKind::Number) {
            m_out.pushNumber(expr.number, pos);
        } else if (expr.kind == ExprKind::String) {
            m_out.pushString(expr.text, pos);
        } else if (expr.kind == ExprKind::True || expr.kind == ExprKind::False) {
            m_out.pushBool(expr.kind == ExprKind::True, pos);
        } else if (expr.kind == ExprKind::Null) {
            m_out.pushNull(pos);
        } else {
            m_out.pushUndefined(pos);
        }
        return;
    case ExprKind::Assign:
        assignment(expr, wanted);
        return;
    case ExprKind::Prefix:
    case ExprKind::Postfix:
        increment(expr, wanted);
        return;
    case ExprKind::Call:
        call(expr, wanted);
        return;
    case ExprKind::Conditional:
        conditional(expr, wanted);
        return;
    case ExprKind::Comma:
        for (size_t i = 0; i + 1 < expr.operands.size(); ++i) {
            expression(*expr.operands[i], false);
        }
        expression(*expr.operands.back(), wanted);
        return;
    case ExprKind::Identifier:
        m_out.pushString(expr.text, pos);
        m_out.op(ActionCode::GetVariable);
        break;
    case ExprKind::Member:
        expression(*expr.operands[0]);
        m_out.pushString(expr.text, pos);
        m_out.op(ActionCode::GetMember);
        break;
    case ExprKind::Index:
        expression(*expr.operands[0]);
        expression(*expr.operands[1]);
        m_out.op(ActionCode::GetMember);
        break;
    case ExprKind::New:
        newObject(expr);
        break;
    case ExprKind::Unary:
        unary(expr);
        break;
    case ExprKind::Binary:
        binary(expr);
        break;
    case ExprKind::Logical:
        logical(expr);
        break;
    case ExprKind::Function:
        function(expr, "");
        break;
    case ExprKind::Object:
        for (size_t i = 0; i < expr.names.size(); ++i) {
            m_out.pushString(expr.names[i], pos);
            expression(*expr.operands[i]);
        }
        m_out.pushInt(static_cast<int32_t>(expr.names.size()), pos);
        m_out.op(ActionCode::InitObject);
        break;
    case ExprKind::Array:
        arguments(expr, 0);
        m_out.op(ActionCode::InitArray);
        break;
    }
    if (!wanted) {
        m_out.op(ActionCode::Pop);
    }
}

void CodeGenerator::pushMemberKey(const Expression& target)
{
    if (target.kind == ExprKind::Member) {
        m_out.pushString(target.text, target.pos);
    } else {
        expression(*target.operands[1]);
    }
}

// Reads the target's current value, leaving below it what storeUpdated needs to store the new one:
// the name of a variable; the object (and for a constant key nothing more, the key is pushed again at
// the store); or, for a computed key, the object and the key, kept in a register so that the key
// expression runs once.
void CodeGenerator::readForUpdate(const Expression& target, SourcePos pos)
{
    if (target.kind == ExprKind::Identifier) {
        m_out.pushString(target.text, pos);
        m_out.pushString(target.text, pos);
        m_out.op(ActionCode::GetVariable);
    } else if (hasConstantKey(target)) {
        expression(*target.operands[0]);
        m_out.op(ActionCode::PushDuplicate);
        pushMemberKey(target);
        m_out.op(ActionCode::GetMember);
    } else {
        expression(*target.operands[0]);
        m_out.op(ActionCode::PushDuplicate);
        expression(*target.operands[1]);
        m_out.storeRegister(kKeyRegister);
        m_out.op(ActionCode::GetMember);
        m_out.pushRegister(kKeyRegister, pos);
        m_out.op(ActionCode::StackSwap);
    }
}

// Stores the new value on top of the stack into the target read by readForUpdate.
void CodeGenerator::storeUpdated(const Expression& target)
{
    if (target.kind == ExprKind::Identifier) {
        m_out.op(ActionCode::SetVariable);
        return;
    }
    if (hasConstantKey(target)) {
        // object; dup; key; GetMember; value; op; key; swap; SetMember
        pushMemberKey(target);
        m_out.op(ActionCode::StackSwap);
    }
    m_out.op(ActionCode::SetMember);
}

void CodeGenerator::assignment(const Expression& expr, bool wanted)
{
    const Expression& target = *expr.operands[0];
    const Expression& value = *expr.operands[1];
    const SourcePos pos = expr.pos;

    if (expr.text != "="sv) {
        readForUpdate(target, pos);
        expression(value);
        m_out.op(compoundOperator(expr.text));
        if (wanted) {
            m_out.storeRegister(kResultRegister);
        }
        storeUpdated(target);
    } else if (target.kind == ExprKind::Identifier) {
        m_out.pushString(target.text, pos);
        expression(value);
        if (wanted) {
            m_out.storeRegister(kResultRegister);
        }
        m_out.op(ActionCode::SetVariable);
    } else {
        expression(*target.operands[0]);
        pushMemberKey(target);
        expression(value);
        if (wanted) {
            m_out.storeRegister(kResultRegister);
        }
        m_out.op(ActionCode::SetMember);
    }
    if (wanted) {
        m_out.pushRegister(kResultRegister, pos);
    }
}

void CodeGenerator::increment(const Expression& expr, bool wanted)
{
    const Expression& target = *expr.operands[0];
    const ActionCode step = expr.text == "++"sv ? ActionCode::Increment : ActionCode::Decrement;
    readForUpdate(target, expr.pos);
    if (wanted && expr.kind == ExprKind::Postfix) {
        m_out.op(ActionCode::ToNumber); // x++ gives the old value as a number
        m_out.storeRegister(kResultRegister);
        m_out.op(step);
    } else {
        m_out.op(step);
        if (wanted) {
            m_out.storeRegister(kResultRegister);
        }
    }
    storeUpdated(target);
    if (wanted) {
        m_out.pushRegister(kResultRegister, expr.pos);
    }
}

void CodeGenerator::arguments(const Expression& expr, size_t first)
{
    for (size_t i = expr.operands.size(); i-- > first;) {
        expression(*expr.operands[i]);
    }
    m_out.pushInt(static_cast<int32_t>(expr.operands.size() - first), expr.pos);
}

void CodeGenerator::call(const Expression& expr, bool wanted)
{
    const Expression& callee = *expr.operands[0];
    if (callee.kind == ExprKind::Identifier && builtin(expr, wanted)) {
        return;
    }
    invoke(expr, ActionCode::CallFunction, ActionCode::CallMethod);
    if (!wanted) {
        m_out.op(ActionCode::Pop);
    }
}

void CodeGenerator::newObject(const Expression& expr)
{
    invoke(expr, ActionCode::NewObject, ActionCode::NewMethod);
}

// Calls and `new` share one shape: the arguments, then the callee as a name (byName) or as an
// object and a key (byMethod).
void CodeGenerator::invoke(const Expression& expr, ActionCode byName, ActionCode byMethod)
{
    const Expression& callee = *expr.operands[0];
    arguments(expr, 1);
    switch (callee.kind) {
    case ExprKind::Identifier:
        m_out.pushString(callee.text, callee.pos);
        m_out.op(byName);
        break;
    case ExprKind::Member:
    case ExprKind::Index:
        expression(*callee.operands[0]);
        pushMemberKey(callee);
        m_out.op(byMethod);
        break;
    default:
        // A method call with an undefined name calls (or constructs) the object itself.
        expression(callee);
        m_out.pushUndefined(callee.pos);
        m_out.op(byMethod);
        break;
    }
}

void CodeGenerator::unary(const Expression& expr)
{
    const Expression& operand = *expr.operands[0];
    const std::string& op = expr.text;
    if (op == "delete"sv) {
        if (operand.kind == ExprKind::Identifier) {
            m_out.pushString(operand.text, operand.pos);
            m_out.op(ActionCode::Delete2);
        } else {
            expression(*operand.operands[0]);
            pushMemberKey(operand);
            m_out.op(ActionCode::Delete);
        }
    } else if (op == "void"sv) {
        expression(operand, false);
        m_out.pushUndefined(expr.pos);
    } else if (op == "-"sv) {
        m_out.pushInt(0, expr.pos);
        expression(operand);
        m_out.op(ActionCode::Subtract);
    } else {
        expression(operand);
        if (op == "!"sv) {
            m_out.op(ActionCode::Not);
        } else if (op == "~"sv) {
            m_out.pushInt(-1, expr.pos);
            m_out.op(ActionCode::BitXor);
        } else if (op == "+"sv) {
            m_out.op(ActionCode::ToNumber);
        } else {
            m_out.op(ActionCode::TypeOf);
        }
    }
}

void CodeGenerator::binary(const Expression& expr)
{
    expression(*expr.operands[0]);
    expression(*expr.operands[1]);
    const std::string& op = expr.text;
    static const std::array<std::pair<std::string_view, ActionCode>, 14> simple = { {
        { "+", ActionCode::Add2 },
        { "-", ActionCode::Subtract },
        { "*", ActionCode::Multiply },
        { "/", ActionCode::Divide },
        { "%", ActionCode::Modulo },
        { "&", ActionCode::BitAnd },
        { "|", ActionCode::BitOr },
        { "^", ActionCode::BitXor },
        { "<<", ActionCode::BitLShift },
        { ">>", ActionCode::BitRShift },
        { ">>>", ActionCode::BitURShift },
        { "==", ActionCode::Equals2 },
        { "===", ActionCode::StrictEquals },
        { "<", ActionCode::Less2 },
    } };
    for (const auto& [text, code] : simple) {
        if (op == text) {
            m_out.op(code);
            return;
        }
    }
    if (op == "!="sv) {
        m_out.op(ActionCode::Equals2);
        m_out.op(ActionCode::Not);
    } else if (op == "!=="sv) {
        m_out.op(ActionCode::StrictEquals);
        m_out.op(ActionCode::Not);
    } else if (op == ">="sv) {
        m_out.op(ActionCode::Less2);
        m_out.op(ActionCode::Not);
    } else if (op == ">"sv) {
        // a > b is b < a: the operands are swapped after evaluation, keeping their order.
        m_out.op(ActionCode::StackSwap);
        m_out.op(ActionCode::Less2);
    } else if (op == "<="sv) {
        m_out.op(ActionCode::StackSwap);
        m_out.op(ActionCode::Less2);
        m_out.op(ActionCode::Not);
    } else {
        m_out.op(ActionCode::InstanceOf);
    }
}

void CodeGenerator::logical(const Expression& expr)
{
    // The value is the left operand when it decides the outcome, else the right one.
    const auto end = m_out.newLabel();
    expression(*expr.operands[0]);
    m_out.op(ActionCode::PushDuplicate);
    if (expr.text == "&&"sv) {
        m_out.op(ActionCode::Not);
    }
    m_out.jumpIf(end, expr.pos);
    m_out.op(ActionCode::Pop);
    expression(*expr.operands[1]);
    m_out.place(end);
}

void CodeGenerator::conditional(const Expression& expr, bool wanted)
{
    const auto then = m_out.newLabel();
    const auto end = m_out.newLabel();
    expression(*expr.operands[0]);
    m_out.jumpIf(then, expr.pos);
    expression(*expr.operands[2], wanted);
    m_out.jump(end, expr.pos);
    m_out.place(then);
    expression(*expr.operands[1], wanted);
    m_out.place(end);
}

} // namespace swf::actionscript
