// Turns a method's syntax tree into instructions. Names that are neither locals nor arguments are
// compiled as globals and noted in the method: binding it to its script object later turns those
// that are script variables there into script-variable instructions.
#pragma once

#include "script/front/CompiledMethod.h"
#include "script/front/Diagnostic.h"
#include "script/front/Node.h"

#include <unordered_map>
#include <vector>

namespace zeb::script {

class CodeGenerator
{
public:
    CodeGenerator(CompiledMethod& method, std::vector<Diagnostic>& diagnostics);

    // LINK, then the body's code; false when the method must not be installed (the body failed,
    // a jump has no target, or a bound of the method was passed).
    bool generateMethod(Node* body);

private:
    // Where an identifier lives.
    struct Place
    {
        Opcode get;
        Opcode set;
        std::uint32_t operand;
    };
    struct Scope
    {
        std::uint32_t base;
        std::vector<Name> names; // nullptr for a slot the compiler keeps for itself
    };
    // A loop or switch that break (and, for loops, continue) leave.
    struct JumpFrame
    {
        bool isSwitch;
        std::vector<std::uint32_t> breaks;
        std::vector<std::uint32_t> continues;
    };
    struct PendingGoto
    {
        Name label;
        std::uint32_t placeholder;
        const Node* node;
    };

    bool generate(Node* node);
    bool generateKind(Node* node);
    bool sequence(Node* node);
    bool block(Node* node);
    bool ifStatement(Node* node);
    bool loop(Node* node);
    bool forStatement(Node* node);
    bool switchStatement(Node* node);
    bool caseLabel(Node* node);
    bool jumpStatement(Node* node);
    bool label(Node* node);
    bool conditional(Node* node);
    bool send(Node* node, Opcode opcode);
    bool assignment(Node* node);
    bool increment(Node* node, Name selector);
    bool arrayLiteral(Node* node);
    void declare(const Node* node);

    Place resolve(Name name);
    std::uint32_t hiddenSlot();
    void sendSelector(std::uint32_t count, Name selector) { sendWith(Opcode::Send, count, selector); }
    void sendWith(Opcode opcode, std::uint32_t count, Name selector);
    void atPut(Node* receiver, Node* index);
    void closeJumps(JumpFrame& frame, std::uint32_t breakTarget, std::uint32_t continueTarget);
    void report(const Node* node, std::string text);

    CompiledMethod& m_method;
    std::vector<Diagnostic>& m_diagnostics;
    std::vector<Scope> m_scopes;
    std::vector<JumpFrame> m_jumps;
    // For each open switch, its case and default nodes and the branch that reaches each.
    std::vector<std::unordered_map<const Node*, std::uint32_t>> m_switches;
    std::unordered_map<Name, std::uint32_t> m_labels;
    std::vector<PendingGoto> m_gotos;
    bool m_broken = false;
};

} // namespace zeb::script
