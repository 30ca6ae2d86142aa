#include "script/front/CodeGenerator.h"

#include "script/front/Parser.h"
#include "script/front/Selectors.h"
#include "text/Format.h"

#include <algorithm>
#include <array>

namespace zeb::script {

namespace {

// The case and default labels of a switch body in source order, those of inner switches left
// to them. Walked with a stack of its own: a body may hold thousands of statements.
std::vector<Node*> switchLabels(Node* body)
{
    std::vector<Node*> labels;
    std::vector<Node*> pending{body};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (node == nullptr || node->kind == NodeKind::Switch)
            continue;
        if (node->kind == NodeKind::Case || node->kind == NodeKind::Default)
            labels.push_back(node);
        const std::size_t before = pending.size();
        for (Node* item = node->items; item != nullptr; item = item->next)
            pending.push_back(item);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(before), pending.end());
        pending.insert(pending.end(), {node->fourth, node->third, node->second});
        if (node->kind != NodeKind::Case)
            pending.push_back(node->first); // a case's value is matched before the body, not in it
    }
    return labels;
}

} // namespace

CodeGenerator::CodeGenerator(CompiledMethod& method, std::vector<Diagnostic>& diagnostics)
    : m_method(method)
    , m_diagnostics(diagnostics)
{
}

void CodeGenerator::report(const Node* node, std::string text)
{
    m_diagnostics.push_back({node->span.firstLine, node->span.firstColumn, std::move(text)});
}

bool CodeGenerator::generateMethod(Node* body)
{
    m_scopes.push_back({0, {}});
    m_method.emit(Opcode::Link, 0);
    const bool generated = body == nullptr || generate(body);
    for (const PendingGoto& pending : m_gotos) {
        const auto found = m_labels.find(pending.label);
        if (found == m_labels.end()) {
            report(pending.node, text::format("no label \"%s\" in this method", pending.label->c_str()));
            m_broken = true;
            continue;
        }
        m_method.patch(pending.placeholder, found->second);
    }
    m_method.patchLink(m_method.slotCount());
    if (m_method.overflowed())
        m_diagnostics.push_back(
            {0, 0,
             text::format("method \"%s\" is too large: split it into smaller methods", m_method.selector()->c_str())});
    return generated && !m_broken && !m_method.overflowed();
}

bool CodeGenerator::generate(Node* node)
{
    if (node == nullptr)
        return true;
    m_method.noteLine(node->span.firstLine);
    const std::uint32_t start = m_method.position();
    const bool generated = generateKind(node);
    node->firstCode = start;
    node->lastCode = m_method.position() > start ? m_method.position() - 1 : kNoCode;
    return generated;
}

bool CodeGenerator::generateKind(Node* node)
{
    const Selectors& selectors = Selectors::get();
    switch (node->kind) {
    case NodeKind::Sequence:
        return sequence(node);
    case NodeKind::Block:
        return block(node);
    case NodeKind::If:
        return ifStatement(node);
    case NodeKind::While:
    case NodeKind::DoWhile:
        return loop(node);
    case NodeKind::For:
        return forStatement(node);
    case NodeKind::Switch:
        return switchStatement(node);
    case NodeKind::Case:
    case NodeKind::Default:
        return caseLabel(node);
    case NodeKind::Break:
    case NodeKind::Continue:
    case NodeKind::Goto:
        return jumpStatement(node);
    case NodeKind::Label:
        return label(node);
    case NodeKind::Conditional:
        return conditional(node);
    case NodeKind::Return: {
        const bool generated = generate(node->first);
        m_method.emit(Opcode::Return);
        return generated;
    }
    case NodeKind::Assignment:
        return assignment(node);
    case NodeKind::Identifier: {
        const Place place = resolve(node->name);
        m_method.emit(place.get, place.operand);
        return true;
    }
    case NodeKind::Integer:
        m_method.emit(Opcode::Integer, static_cast<std::uint32_t>(node->integer));
        return true;
    case NodeKind::Character:
        m_method.emit(Opcode::Character, node->character);
        return true;
    case NodeKind::Number:
        m_method.emitNumber(node->number);
        return true;
    case NodeKind::String:
        m_method.emit(Opcode::String, m_method.addLiteral(Literal::Kind::String, node->name));
        return true;
    case NodeKind::Self:
        m_method.emit(Opcode::Self);
        return true;
    case NodeKind::Super:
        m_method.emit(Opcode::Super);
        return true;
    case NodeKind::Message:
        return send(node, Opcode::Send);
    case NodeKind::Thread:
        if (node->first->kind == NodeKind::Message)
            return send(node->first, Opcode::Thread);
        report(node, "\"thread\" needs a message send after it; the statement is left out");
        return false;
    case NodeKind::Index:
        generate(node->second);
        m_method.emit(Opcode::Push);
        generate(node->first);
        sendSelector(1, selectors.at);
        return true;
    case NodeKind::ArrayLiteral:
        return arrayLiteral(node);
    case NodeKind::PreIncrement:
    case NodeKind::PostIncrement:
        return increment(node, selectors.increment);
    case NodeKind::PreDecrement:
    case NodeKind::PostDecrement:
        return increment(node, selectors.decrement);
    case NodeKind::Declaration:
        declare(node);
        return true;
    case NodeKind::Method:
        return false;
    }
    return false;
}

// A sequence reports success whatever its parts report.
bool CodeGenerator::sequence(Node* node)
{
    for (Node* item = node->items; item != nullptr; item = item->next)
        generate(item);
    return true;
}

bool CodeGenerator::block(Node* node)
{
    const Scope& outer = m_scopes.back();
    m_scopes.push_back({outer.base + static_cast<std::uint32_t>(outer.names.size()), {}});
    const bool generated = generate(node->first);
    m_scopes.pop_back();
    return generated;
}

void CodeGenerator::declare(const Node* node)
{
    if (node->global)
        return;
    Scope& scope = m_scopes.back();
    for (const Node* item = node->items; item != nullptr; item = item->next) {
        const Name name = item->name;
        auto at = std::find(scope.names.begin(), scope.names.end(), name);
        if (at == scope.names.end())
            at = scope.names.insert(scope.names.end(), name);
        m_method.useSlot(scope.base + static_cast<std::uint32_t>(at - scope.names.begin()));
    }
}

// A slot no name reaches, in the current scope.
std::uint32_t CodeGenerator::hiddenSlot()
{
    Scope& scope = m_scopes.back();
    scope.names.push_back(nullptr);
    const std::uint32_t slot = scope.base + static_cast<std::uint32_t>(scope.names.size() - 1);
    m_method.useSlot(slot);
    return slot;
}

// Locals (innermost scope first), arguments, then script variables or globals (told apart when the
// method is bound to its object).
CodeGenerator::Place CodeGenerator::resolve(Name name)
{
    for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope) {
        const auto at = std::find(scope->names.begin(), scope->names.end(), name);
        if (at != scope->names.end())
            return {Opcode::GetLocal, Opcode::SetLocal,
                    scope->base + static_cast<std::uint32_t>(at - scope->names.begin())};
    }
    const auto& arguments = m_method.arguments();
    if (const auto at = std::find(arguments.begin(), arguments.end(), name); at != arguments.end())
        return {Opcode::GetArgument, Opcode::SetArgument, static_cast<std::uint32_t>(at - arguments.begin())};
    return {Opcode::GetGlobal, Opcode::SetGlobal, m_method.addLiteral(Literal::Kind::Symbol, name)};
}

void CodeGenerator::sendWith(Opcode opcode, std::uint32_t count, Name selector)
{
    m_method.emit(opcode, count, m_method.addLiteral(Literal::Kind::Symbol, selector));
}

// if (c) a else b:  c, BRANCH_IF_FALSE L1, a, BRANCH L2, L1: b, L2:
bool CodeGenerator::ifStatement(Node* node)
{
    generate(node->first);
    if (node->second != nullptr && node->third != nullptr) {
        const std::uint32_t toElse = m_method.emitBranch(Opcode::BranchIfFalse);
        generate(node->second);
        const std::uint32_t toEnd = m_method.emitBranch(Opcode::Branch);
        m_method.patchHere(toElse);
        generate(node->third);
        m_method.patchHere(toEnd);
    } else if (node->second != nullptr || node->third != nullptr) {
        const std::uint32_t toEnd
            = m_method.emitBranch(node->second != nullptr ? Opcode::BranchIfFalse : Opcode::BranchIfTrue);
        generate(node->second != nullptr ? node->second : node->third);
        m_method.patchHere(toEnd);
    }
    return true;
}

void CodeGenerator::closeJumps(JumpFrame& frame, std::uint32_t breakTarget, std::uint32_t continueTarget)
{
    for (const std::uint32_t placeholder : frame.breaks)
        m_method.patch(placeholder, breakTarget);
    for (const std::uint32_t placeholder : frame.continues)
        m_method.patch(placeholder, continueTarget);
}

// while: L0: condition, BRANCH_IF_FALSE L1, body, BRANCH L0, L1:
// do:    L0: body, Lc: condition, BRANCH_IF_TRUE L0
bool CodeGenerator::loop(Node* node)
{
    m_jumps.push_back({false, {}, {}});
    const std::uint32_t top = m_method.position();
    std::uint32_t continueTarget = top;
    if (node->kind == NodeKind::While) {
        generate(node->first);
        const std::uint32_t exit = m_method.emitBranch(Opcode::BranchIfFalse);
        generate(node->second);
        m_method.emit(Opcode::Branch, top);
        m_method.patchHere(exit);
    } else {
        generate(node->second);
        continueTarget = m_method.position();
        generate(node->first);
        m_method.emit(Opcode::BranchIfTrue, top);
    }
    closeJumps(m_jumps.back(), m_method.position(), continueTarget);
    m_jumps.pop_back();
    return true;
}

// for: init, L0: [condition, BRANCH_IF_FALSE L1], body, Lc: step, BRANCH L0, L1:
bool CodeGenerator::forStatement(Node* node)
{
    generate(node->first);
    m_jumps.push_back({false, {}, {}});
    const std::uint32_t top = m_method.position();
    std::uint32_t exit = kNoCode;
    if (node->second != nullptr) {
        generate(node->second);
        exit = m_method.emitBranch(Opcode::BranchIfFalse);
    }
    generate(node->fourth);
    const std::uint32_t continueTarget = m_method.position();
    generate(node->third);
    m_method.emit(Opcode::Branch, top);
    if (exit != kNoCode)
        m_method.patchHere(exit);
    closeJumps(m_jumps.back(), m_method.position(), continueTarget);
    m_jumps.pop_back();
    return true;
}

// The subject is kept in a slot of its own and compared ("==") with each case value in turn;
// the first match jumps to its label, none to the default label or past the body.
bool CodeGenerator::switchStatement(Node* node)
{
    generate(node->first);
    const std::uint32_t subject = hiddenSlot();
    m_method.emit(Opcode::SetLocal, subject);
    std::unordered_map<const Node*, std::uint32_t> entries;
    const Node* defaultLabel = nullptr;
    for (Node* label : switchLabels(node->second)) {
        if (label->kind == NodeKind::Default) {
            if (defaultLabel != nullptr) {
                report(label, "a switch has at most one \"default\" label");
                m_broken = true;
                entries[label] = kNoCode;
                continue;
            }
            defaultLabel = label;
            continue;
        }
        generate(label->first);
        m_method.emit(Opcode::Push);
        m_method.emit(Opcode::GetLocal, subject);
        sendSelector(1, Selectors::get().equal);
        entries[label] = m_method.emitBranch(Opcode::BranchIfTrue);
    }
    m_jumps.push_back({true, {}, {}});
    const std::uint32_t otherwise = m_method.emitBranch(Opcode::Branch);
    if (defaultLabel != nullptr)
        entries[defaultLabel] = otherwise;
    else
        m_jumps.back().breaks.push_back(otherwise);
    m_switches.push_back(std::move(entries));
    generate(node->second);
    m_switches.pop_back();
    closeJumps(m_jumps.back(), m_method.position(), 0);
    m_jumps.pop_back();
    return true;
}

bool CodeGenerator::caseLabel(Node* node)
{
    const bool inSwitch = !m_switches.empty() && m_switches.back().contains(node);
    if (!inSwitch) {
        report(node, node->kind == NodeKind::Case ? "\"case\" outside a switch" : "\"default\" outside a switch");
        m_broken = true;
        return false;
    }
    m_method.patchHere(m_switches.back().at(node));
    return generate(node->kind == NodeKind::Case ? node->second : node->first);
}

bool CodeGenerator::jumpStatement(Node* node)
{
    if (node->kind == NodeKind::Goto) {
        m_gotos.push_back({node->name, m_method.emitBranch(Opcode::Branch), node});
        return true;
    }
    const bool isBreak = node->kind == NodeKind::Break;
    auto frame = m_jumps.rbegin();
    while (!isBreak && frame != m_jumps.rend() && frame->isSwitch)
        ++frame;
    if (frame == m_jumps.rend()) {
        report(node, isBreak ? "\"break\" outside a loop or switch" : "\"continue\" outside a loop");
        m_broken = true;
        return false;
    }
    (isBreak ? frame->breaks : frame->continues).push_back(m_method.emitBranch(Opcode::Branch));
    return true;
}

bool CodeGenerator::label(Node* node)
{
    if (!m_labels.emplace(node->name, m_method.position()).second) {
        report(node, text::format("label \"%s\" is defined twice", node->name->c_str()));
        m_broken = true;
    }
    return generate(node->first);
}

// c ? a : b:  c, BRANCH_IF_FALSE L1, a, BRANCH L2, L1: b, L2:
bool CodeGenerator::conditional(Node* node)
{
    generate(node->first);
    const std::uint32_t toElse = m_method.emitBranch(Opcode::BranchIfFalse);
    generate(node->second);
    const std::uint32_t toEnd = m_method.emitBranch(Opcode::Branch);
    m_method.patchHere(toElse);
    generate(node->third);
    m_method.patchHere(toEnd);
    return true;
}

// Arguments last to first, each pushed, so that the first is on top; then the receiver.
bool CodeGenerator::send(Node* node, Opcode opcode)
{
    std::array<Node*, Parser::kMaxArguments> arguments{};
    std::uint32_t count = 0;
    for (Node* item = node->items; item != nullptr && count < arguments.size(); item = item->next)
        arguments[count++] = item;
    for (std::uint32_t i = count; i-- > 0;) {
        generate(arguments[i]);
        m_method.emit(Opcode::Push);
    }
    generate(node->first);
    sendWith(opcode, count, node->name);
    return true;
}

bool CodeGenerator::arrayLiteral(Node* node)
{
    for (Node* element = node->items; element != nullptr; element = element->next) {
        generate(element);
        m_method.emit(Opcode::Push);
    }
    m_method.emit(Opcode::Array, node->count);
    return true;
}

// With the new value in the accumulator and pushed: index, PUSH, receiver, SEND 2 "at:put:".
void CodeGenerator::atPut(Node* receiver, Node* index)
{
    generate(index);
    m_method.emit(Opcode::Push);
    generate(receiver);
    sendSelector(2, Selectors::get().atPut);
}

// x = v: v, SET x.   x op= v: v, PUSH, GET x, SEND 1 op, SET x.
// r[i] = v: v, PUSH, i, PUSH, r, SEND 2 "at:put:".
// r[i] op= v: v, PUSH, i, PUSH, r, SEND 1 "at:", SEND 1 op, PUSH, i, PUSH, r, SEND 2 "at:put:".
bool CodeGenerator::assignment(Node* node)
{
    Node* target = node->first;
    const bool compound = node->name != Selectors::get().assign;
    if (target->kind == NodeKind::Identifier) {
        generate(node->second);
        const Place place = resolve(target->name);
        if (compound) {
            m_method.emit(Opcode::Push);
            m_method.emit(place.get, place.operand);
            sendSelector(1, node->name);
        }
        m_method.emit(place.set, place.operand);
    } else if (target->kind == NodeKind::Index) {
        generate(node->second);
        m_method.emit(Opcode::Push);
        if (compound) {
            generate(target->second);
            m_method.emit(Opcode::Push);
            generate(target->first);
            sendSelector(1, Selectors::get().at);
            sendSelector(1, node->name);
            m_method.emit(Opcode::Push);
        }
        atPut(target->first, target->second);
    }
    return true;
}

// Prefix and postfix alike: the expression's value is the new one.
bool CodeGenerator::increment(Node* node, Name selector)
{
    Node* target = node->first;
    if (target->kind == NodeKind::Identifier) {
        const Place place = resolve(target->name);
        m_method.emit(place.get, place.operand);
        sendSelector(0, selector);
        m_method.emit(place.set, place.operand);
    } else if (target->kind == NodeKind::Index) {
        generate(target->second);
        m_method.emit(Opcode::Push);
        generate(target->first);
        sendSelector(1, Selectors::get().at);
        sendSelector(0, selector);
        m_method.emit(Opcode::Push);
        atPut(target->first, target->second);
    }
    return true;
}

} // namespace zeb::script
