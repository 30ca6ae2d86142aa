// Builds the syntax tree of a script by recursive descent, one function per grammar rule.
#pragma once

#include "script/front/Scanner.h"
#include "script/front/SyntaxTree.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zeb::script {

class Parser
{
public:
    // Every script is hostile input: nesting (statements, parentheses, operator chains) deeper
    // than this is a syntax error, so no walk over the tree can exhaust the stack.
    static constexpr std::uint32_t kMaxDepth = 1000;
    // A send or pattern has at most this many arguments.
    static constexpr std::size_t kMaxArguments = 8;

    Parser(std::string_view text, SyntaxTree& tree);

    // The whole script into the tree's definitions, each handed to parsed as soon as it is
    // complete (while its nodes are still in the processor's cache); false at the first syntax
    // error, the tree then being of no use.
    bool parse(const std::function<void(Node*)>& parsed);
    // Where scanning stood when the error was found.
    SourcePosition errorPosition() const { return m_scanner.furthest(); }

private:
    struct SyntaxError
    { };
    class Nesting;

    // Tokens.
    const Token& take();
    const Token& peek();
    bool accept(int code);
    Token expect(int code);
    [[noreturn]] static void fail();

    Node* make(NodeKind kind, const SourceSpan& from);
    // From the start of `from` to the end of the last token taken.
    SourceSpan spanTo(const SourceSpan& from) const
    {
        return {from.firstLine, from.firstColumn, m_previous.lastLine, m_previous.lastColumn};
    }
    Node* nest(Node* node, std::initializer_list<const Node*> children);
    // A send of selector to receiver with the linked arguments.
    Node* message(Name selector, const SourceSpan& from, Node* receiver, Node* arguments);
    Node* identifier();

    Node* definition();
    Node* methodPattern();
    Node* statementList(int end);
    Node* statement();
    Node* declaration();
    Node* selection();
    Node* iteration();
    Node* forStatement();
    Node* jump();
    Node* expression();
    Node* optionalExpression(int end);
    Node* assignmentExpression();
    Node* messageExpression();
    Node* keywordArguments(Node* receiver, const SourceSpan& from);
    Node* conditionalExpression();
    Node* conditionalRest(Node* condition, const SourceSpan& from);
    Node* binaryRest(Node* left, const SourceSpan& from, int minLevel);
    Node* unaryExpression();
    Node* postfixExpression();
    Node* primaryExpression();

    Scanner m_scanner;
    SyntaxTree& m_tree;
    Token m_token;
    std::optional<Token> m_ahead;
    SourceSpan m_previous;
    std::uint32_t m_depth = 0;
};

} // namespace zeb::script
