// One node of a script's syntax tree.
#pragma once

#include "script/front/SourceSpan.h"
#include "script/front/SymbolTable.h"

#include <cstdint>
#include <limits>

namespace zeb::script {

// Node kinds, numbered as the tree dump and the tools that read it have always numbered them.
enum class NodeKind : std::uint32_t {
    Sequence = 1,
    If,
    While,
    DoWhile,
    For,
    Assignment,
    Identifier,
    String,
    Integer,
    Character,
    Number,
    Return,
    Goto,
    Continue,
    Switch,
    Case,
    Default,
    Break,
    Message,
    PostIncrement,
    PostDecrement,
    ArrayLiteral,
    Index,
    PreIncrement,
    PreDecrement,
    Conditional,
    Method,
    Self,
    Super,
    Declaration,
    Block,
    Thread,
    Label,
};

inline constexpr std::uint32_t kNoCode = std::numeric_limits<std::uint32_t>::max();

// The children a kind uses, in field order:
//   Sequence: items (statements, comma operands)          If: condition, then, otherwise      While/DoWhile: condition,
//   body For: init, condition, step, body  Assignment: target, value (name = selector: "=" or the operator without its
//   "=") Message: receiver, items = arguments (name = selector)      Index: receiver, index Return: value    Switch:
//   subject, body    Case: value, body    Default/Label: body    Block: body Conditional: condition, then, otherwise
//   Thread: the message    increments: target ArrayLiteral: items = elements      Method: body, items = argument
//   identifiers (name = selector) Declaration: items = identifiers (global tells which kind)    Identifier/Goto/Label:
//   name    String: name = text
// Absent children are nullptr. Lists are linked through `next`, so a node owns no memory of its own and
// the nodes of a compile are freed in one sweep.
struct Node
{
    NodeKind kind = NodeKind::Sequence;
    SourceSpan span;
    std::uint32_t firstCode = kNoCode;
    std::uint32_t lastCode = kNoCode;
    // Nesting below this node, sequences not counted: bounds the recursion of every walk over the tree.
    std::uint32_t height = 1;
    Node* first = nullptr;
    Node* second = nullptr;
    Node* third = nullptr;
    Node* fourth = nullptr;
    Node* items = nullptr;
    Node* next = nullptr;
    std::uint32_t count = 0; // of items
    Name name = nullptr;
    std::int32_t integer = 0;
    double number = 0;
    std::uint8_t character = 0;
    bool global = false;
};

} // namespace zeb::script
