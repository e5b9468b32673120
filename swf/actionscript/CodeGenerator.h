// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "swf/actionscript/ActionWriter.h"
#include "swf/actionscript/SyntaxTree.h"

#include <vector>

namespace swf::actionscript {

// Turns the syntax tree into SWF 6 actions. Statements leave the stack as they found it; an
// expression compiled for its value leaves exactly one value.
class CodeGenerator {
public:
    explicit CodeGenerator(ActionWriter& out);

    void program(const StatementList& program);

private:
    struct Loop {
        ActionWriter::Label breakTarget;
        ActionWriter::Label continueTarget;
        bool enumerates; // for-in: the names not yet visited lie on the stack
    };

    void statements(const StatementList& list);
    void statement(const Statement& stmt);
    void ifStatement(const Statement& stmt);
    void forIn(const Statement& stmt);
    void returnStatement(const Statement& stmt);
    void drainEnumeration(SourcePos pos);

    // Compiles `expr`; with `wanted` false nothing is left on the stack.
    void expression(const Expression& expr, bool wanted = true);
    void assignment(const Expression& expr, bool wanted);
    void increment(const Expression& expr, bool wanted);
    void call(const Expression& expr, bool wanted);
    bool builtin(const Expression& expr, bool wanted);
    void newObject(const Expression& expr);
    void invoke(const Expression& expr, ActionCode byName, ActionCode byMethod);
    void binary(const Expression& expr);
    void unary(const Expression& expr);
    void logical(const Expression& expr);
    void conditional(const Expression& expr, bool wanted);
    void function(const Expression& fn, const std::string& name);
    // Pushes the arguments (operands from `first` on) last to first, then their count.
    void arguments(const Expression& expr, size_t first);
    void windowArgument(const Expression& arg);
    void pushMemberKey(const Expression& target);
    void readForUpdate(const Expression& target, SourcePos pos);
    void storeUpdated(const Expression& target);

    ActionWriter& m_out;
    std::vector<Loop> m_loops;
};

} // namespace swf::actionscript
